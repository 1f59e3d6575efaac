// Plays an MP3 through libvbmp3 for bench/playback.sh with the equalizer on, polling like the
// program does, and reports the CPU used while playing and the slowest call of each kind.
//   bench_play <file.mp3> <seconds>
// Output, one line: cpu=<percent of one core> getState=<ms> getWave=<ms> seek=<ms> equalizer=<ms>
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "vbmp3.h"

namespace {

using Clock = std::chrono::steady_clock;

double cpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
         (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Runs `call` and raises `slowest` (milliseconds) to its duration.
template <class Call>
void timed(double& slowest, Call call) {
  const auto start = Clock::now();
  call();
  slowest = std::max(slowest, std::chrono::duration<double, std::milli>(Clock::now() - start).count());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s <file.mp3> <seconds>\n", argv[0]);
    return 2;
  }
  const int seconds = std::atoi(argv[2]);
  TrackInfo info{};
  if (vbmp3_init() != 1 || vbmp3_open(argv[1], &info) != 1) {
    std::fprintf(stderr, "cannot open %s\n", argv[1]);
    return 1;
  }
  const int32_t presets[2][10] = {{60, 40, 20, 0, -20, -20, 0, 20, 40, 60},
                                  {30, 20, 10, 0, -10, -10, 0, 10, 20, 30}};
  vbmp3_setEqualizer(presets[0]);
  vbmp3_setPitch(100);

  double getState = 0, getWave = 0, seek = 0, equalizer = 0;
  const double cpuStart = cpuSeconds();
  const auto start = Clock::now();
  vbmp3_play();
  // The program polls the state and the wave every 100 ms.
  for (int tick = 1; tick <= seconds * 10; ++tick) {
    std::this_thread::sleep_until(start + std::chrono::milliseconds(100 * tick));
    int32_t position = 0, left[256], right[256];
    timed(getState, [&] { vbmp3_getState(&position); });
    timed(getWave, [&] { vbmp3_getWave(left, right); });
    if (tick % 10 == 5) {
      timed(equalizer, [&] {
        vbmp3_setEqualizer(presets[tick / 10 % 2]);
        vbmp3_reload();
      });
    }
    if (tick % 70 == 35) timed(seek, [&] { vbmp3_seek(std::max(0, position - 3)); });
  }
  const double wall = std::chrono::duration<double>(Clock::now() - start).count();
  const double cpu = cpuSeconds() - cpuStart;
  vbmp3_stop();
  vbmp3_free();
  std::printf("cpu=%.3f getState=%.3f getWave=%.3f seek=%.3f equalizer=%.3f\n", 100 * cpu / wall, getState,
              getWave, seek, equalizer);
  return 0;
}
