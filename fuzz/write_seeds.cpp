// Writes the library fuzz target's seeds: the intact tone and every broken file the library's
// tests make, so the corpus can be made again the same way.
//   write_seeds <folder>
#include <cstdio>

#include "vbmp3/broken_files.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <folder>\n", argv[0]);
    return 2;
  }
  const std::string folder = argv[1];
  const fixtures::TempDir scratch;
  const broken_files::Sources sources = broken_files::makeSources(scratch);
  const auto files = broken_files::makeBrokenFiles(sources);
  if (files.empty()) {
    std::fprintf(stderr, "could not make the tone with sox and lame\n");
    return 1;
  }
  fixtures::writeBytes(folder + "/intact.mp3", sources.mp3);
  fixtures::writeBytes(folder + "/intact.wav", sources.wav);
  for (const auto& file : files) fixtures::writeBytes(folder + "/" + file.name, file.bytes);
  return 0;
}
