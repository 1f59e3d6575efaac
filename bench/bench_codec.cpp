// Drives one encode through libvbmp3 for bench/codec.sh.
//   bench_codec encode <in.wav> <out.mp3>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <thread>

#include "vbmp3.h"

namespace {

int waitForJob() {
  while (vbmp3_getEncodeState() != 0) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  return 0;
}

int encode(const char* wav, const char* mp3) {
  EncodeInfo info{};
  if (!vbmp3_encodeOpen(wav, &info) || !vbmp3_encodeStart(mp3)) {
    std::fprintf(stderr, "cannot encode %s to %s\n", wav, mp3);
    return 1;
  }
  return waitForJob();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4 && std::strcmp(argv[1], "encode") == 0) return encode(argv[2], argv[3]);
  std::fprintf(stderr, "usage: %s encode <in.wav> <out.mp3>\n", argv[0]);
  return 2;
}
