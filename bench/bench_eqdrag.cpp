// Drags one equalizer band through all 257 slider positions while an MP3 plays, as the
// equalizer window does: each position sends the whole band array and reloads. Times each
// setEqualizer + reload pair and counts the output's underruns meanwhile.
//   bench_eqdrag <file.mp3> <band 0..9> <milliseconds between positions>
// Output, one line:
//   pairs=257 median=<ms> max=<ms> cpu_median=<ms> cpu_max=<ms> over_1ms=<count> underruns=<count>
// The wall times include any wait for the output callback (which holds the device lock while
// it renders a block); the CPU times are the calling thread's alone.
#include <sys/resource.h>
#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <utility>
#include <vector>

#include "vbmp3.h"

namespace {

double threadCpuMs() {
  timespec ts{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
  return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

// Context switches of the calling thread so far: voluntary (it blocked, e.g. on a lock) and
// involuntary (the scheduler took the core away).
std::pair<long, long> switches() {
  rusage usage{};
  getrusage(RUSAGE_THREAD, &usage);
  return {usage.ru_nvcsw, usage.ru_nivcsw};
}

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: %s <file.mp3> <band 0..9> <ms between positions>\n", argv[0]);
    return 2;
  }
  const int band = std::clamp(std::atoi(argv[2]), 0, 9);
  const auto step = std::chrono::microseconds(static_cast<long>(std::atof(argv[3]) * 1000));
  TrackInfo info{};
  if (vbmp3_init() != 1 || vbmp3_open(argv[1], &info) != 1 || vbmp3_play() != 1) {
    std::fprintf(stderr, "cannot play %s\n", argv[1]);
    return 1;
  }
  // Let playback settle: the first moments of a play may count an underrun of their own.
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  const int32_t underrunsBefore = vbmp3_getUnderruns();

  int32_t bands[10] = {};
  std::vector<double> wall, cpu;
  long blocked = 0, preempted = 0;  // pairs during which the thread blocked / was preempted
  auto next = std::chrono::steady_clock::now();
  // The slider's positions from the top to the bottom; the library gets the negated value.
  for (int position = -128; position <= 128; ++position) {
    std::this_thread::sleep_until(next);
    next += step;
    bands[band] = -position;
    const double cpuStart = threadCpuMs();
    const auto start = std::chrono::steady_clock::now();
    vbmp3_setEqualizer(bands);
    vbmp3_reload();
    wall.push_back(
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    cpu.push_back(threadCpuMs() - cpuStart);
  }
  // Whatever the last reload started is heard before counting.
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  const int32_t underruns = vbmp3_getUnderruns() - underrunsBefore;
  vbmp3_stop();
  vbmp3_free();
  const long over = std::count_if(wall.begin(), wall.end(), [](double ms) { return ms > 1.0; });
  const auto slowest = std::max_element(wall.begin(), wall.end());
  std::printf(
      "pairs=%zu median=%.4f max=%.4f max_at=%ld cpu_median=%.4f cpu_max=%.4f over_1ms=%ld blocked=%ld "
      "preempted=%ld underruns=%d\n",
      wall.size(), median(wall), *slowest, static_cast<long>(slowest - wall.begin()), median(cpu),
      *std::max_element(cpu.begin(), cpu.end()), over, blocked, preempted, underruns);
  return 0;
}
