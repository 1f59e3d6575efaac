// Shared by the encode and decode tests: waiting for the job, reading results back.
#pragma once

#include <gtest/gtest.h>
#include <sndfile.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "audio_fixtures.h"
#include "vbmp3.h"

namespace codec {

// Waits until no encode or decode runs; false after `limit`.
inline bool waitIdle(std::chrono::seconds limit = std::chrono::seconds(30)) {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (vbmp3_getEncodeState() != 0) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}

struct Pcm {
  int rate = 0;
  int channels = 0;
  int format = 0;
  std::vector<short> samples;  // interleaved
  long frames() const { return channels ? static_cast<long>(samples.size()) / channels : 0; }
};

// Reads a sound file as 16-bit samples; channels stays 0 when it cannot be read.
inline Pcm readPcm(const std::string& path) {
  Pcm pcm;
  SF_INFO info{};
  SNDFILE* f = sf_open(path.c_str(), SFM_READ, &info);
  if (!f) return pcm;
  pcm.rate = info.samplerate;
  pcm.channels = info.channels;
  pcm.format = info.format;
  pcm.samples.resize(static_cast<size_t>(info.frames) * info.channels);
  pcm.samples.resize(static_cast<size_t>(sf_readf_short(f, pcm.samples.data(), info.frames)) * info.channels);
  sf_close(f);
  return pcm;
}

// Decodes an MP3 with the mpg123 program into a WAV beside it and reads that back.
inline Pcm decodeWithMpg123(const std::string& mp3) {
  const std::string wav = mp3 + ".mpg123.wav";
  if (fixtures::run("mpg123 -q -w " + fixtures::quote(wav) + " " + fixtures::quote(mp3) + " 2>/dev/null") !=
      0)
    return {};
  return readPcm(wav);
}

// Names in a folder, to catch stray temporary files.
inline std::vector<std::string> listDir(const std::string& dir) {
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(dir))
    names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

// A suite that shares one folder of audio made once, and leaves the library with nothing open
// or running after each test and after the suite. SetUpTestSuite makes `dir` and its files.
class LibrarySuite : public ::testing::Test {
 protected:
  static void TearDownTestSuite() {
    vbmp3_free();
    delete dir;
    dir = nullptr;
  }
  void TearDown() override {
    vbmp3_encodeStop();
    vbmp3_free();
  }

  inline static fixtures::TempDir* dir = nullptr;
};

}  // namespace codec
