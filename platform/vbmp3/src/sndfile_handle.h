// An open libsndfile file that closes itself, and what the library reads from its format.
#pragma once

#include <sndfile.h>

#include <memory>

namespace vbmp3 {

struct SndfileDeleter {
  void operator()(SNDFILE* f) const { sf_close(f); }
};
using SndfileHandle = std::unique_ptr<SNDFILE, SndfileDeleter>;

// Bits per sample of a libsndfile encoding (16 for those without a fixed size).
inline int bitsPerSample(int format) {
  switch (format & SF_FORMAT_SUBMASK) {
    case SF_FORMAT_PCM_S8:
    case SF_FORMAT_PCM_U8:
    case SF_FORMAT_ULAW:
    case SF_FORMAT_ALAW:
      return 8;
    case SF_FORMAT_PCM_24:
      return 24;
    case SF_FORMAT_PCM_32:
    case SF_FORMAT_FLOAT:
      return 32;
    case SF_FORMAT_DOUBLE:
      return 64;
    case SF_FORMAT_IMA_ADPCM:
    case SF_FORMAT_MS_ADPCM:
      return 4;
    default:
      return 16;
  }
}

}  // namespace vbmp3
