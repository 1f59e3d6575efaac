// The real windows and timers, in-process, with the real libvbmp3.so playing through the
// dummy audio device, in a fresh program folder.
#pragma once

#include <gtest/gtest.h>

#include <QElapsedTimer>

#include "audio_fixtures.h"
#include "core/app.h"
#include "core/vbmp3binding.h"
#include "fakes/scripted_platform.h"

class RealProgram : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(vbmp3_.init(), 1) << "libvbmp3.so not found in " << qPrintable(build()); }
  void TearDown() override { vbmp3_.free(); }

  static QString build() { return qEnvironmentVariable("KESTRUNE_BUILD_DIR", "."); }

  fixtures::TempDir dir_;
  LibraryVbmp3 vbmp3_{build() + "/libvbmp3.so"};
  ScriptedPlatform platform_;
  App app_{vbmp3_, platform_, QString::fromStdString(dir_.path())};
  QElapsedTimer clock_;
};
