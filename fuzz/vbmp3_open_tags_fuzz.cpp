// Arbitrary bytes as an .mp3 file: tag read, tag write, and opening and decoding it.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "../platform/vbmp3/src/decoder.h"
#include "../platform/vbmp3/src/tags.h"
#include "vbmp3.h"

namespace {

// The input goes into this folder, which is removed when the process ends.
char inputDir[] = "/tmp/vbmp3-fuzz-XXXXXX";
constexpr const char* kInputName = "/input file.mp3";

void removeInput() {
  std::remove((std::string(inputDir) + kInputName).c_str());
  std::remove(inputDir);
}

const std::string& inputPath() {
  static const std::string path = [] {
    if (!mkdtemp(inputDir)) std::abort();
    std::atexit(removeInput);
    return std::string(inputDir) + kInputName;
  }();
  return path;
}

void writeInput(const uint8_t* data, size_t size) {
  FILE* f = std::fopen(inputPath().c_str(), "wb");
  if (!f) std::abort();
  std::fwrite(data, 1, size, f);
  std::fclose(f);
}

void decodeSome(const std::string& path) {
  auto source = vbmp3::openSource(path);
  if (!source) return;
  int16_t pcm[4096];
  const size_t frames = sizeof pcm / sizeof pcm[0] / 2;
  for (int i = 0; i < 4 && source->read(pcm, frames) > 0; ++i) {
  }
  if (source->info().lengthFrames > 0 && source->seek(source->info().lengthFrames / 2))
    source->read(pcm, frames);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  writeInput(data, size);
  const std::string& path = inputPath();
  TagInfo tag;
  const bool tagged = vbmp3_getFileTagInfoEX(path.c_str(), &tag) != 0;
  vbmp3::readTag(path, &tag);
  decodeSome(path);
  if (tagged) {
    vbmp3_setTagInfoEX(path.c_str(), &tag, 1, 1);
    vbmp3_getFileTagInfoEX(path.c_str(), &tag);
  }
  return 0;
}
