// The real windows and timers, in-process, with the real libvbmp3.so playing through the
// dummy audio device, in a fresh program folder.
#pragma once

#include <QElapsedTimer>

#include "audio_fixtures.h"
#include "fakes/program_test.h"

class RealProgram : public RealLibraryTest {
 protected:
  QElapsedTimer clock_;
};
