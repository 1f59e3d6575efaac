// An open libsndfile file that closes itself.
#pragma once

#include <sndfile.h>

#include <memory>

namespace vbmp3 {

struct SndfileDeleter {
  void operator()(SNDFILE* f) const { sf_close(f); }
};
using SndfileHandle = std::unique_ptr<SNDFILE, SndfileDeleter>;

}  // namespace vbmp3
