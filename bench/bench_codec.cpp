// Drives one encode or decode through libvbmp3 for bench/codec.sh and prints the wall and
// CPU microseconds the conversion took, from the call that starts it to the end of the job
// (the rest of the process's time is library start-up, track opening and shutdown).
//   bench_codec encode <in.wav> <out.mp3>
//   bench_codec decode <in.mp3> <out.wav>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <thread>

#include "vbmp3.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Start {
  Clock::time_point wall = Clock::now();
  std::clock_t cpu = std::clock();  // the whole process, all threads
};

void reportJobSince(const Start& start) {
  while (vbmp3_getEncodeState() != 0) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  const auto wall = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - start.wall).count();
  const double cpu = 1e6 * static_cast<double>(std::clock() - start.cpu) / CLOCKS_PER_SEC;
  std::printf("%lld %.0f\n", static_cast<long long>(wall), cpu);
}

int encode(const char* wav, const char* mp3) {
  const Start start;
  EncodeInfo info{};
  if (!vbmp3_encodeOpen(wav, &info) || !vbmp3_encodeStart(mp3)) {
    std::fprintf(stderr, "cannot encode %s to %s\n", wav, mp3);
    return 1;
  }
  reportJobSince(start);
  return 0;
}

int decode(const char* mp3, const char* wav) {
  TrackInfo track{};
  if (!vbmp3_init() || !vbmp3_open(mp3, &track)) {
    std::fprintf(stderr, "cannot open %s\n", mp3);
    return 1;
  }
  const Start start;
  if (!vbmp3_decodeWave(wav)) {
    std::fprintf(stderr, "cannot decode %s to %s\n", mp3, wav);
    return 1;
  }
  reportJobSince(start);
  vbmp3_free();
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4 && std::strcmp(argv[1], "encode") == 0) return encode(argv[2], argv[3]);
  if (argc == 4 && std::strcmp(argv[1], "decode") == 0) return decode(argv[2], argv[3]);
  std::fprintf(stderr, "usage: %s encode <in.wav> <out.mp3> | decode <in.mp3> <out.wav>\n", argv[0]);
  return 2;
}
