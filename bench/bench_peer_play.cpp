// The bare peer for bench/playback.sh: libmpg123 decoding straight into an SDL2 audio
// callback, nothing else. Reports the CPU used while playing.
//   bench_peer_play <file.mp3> <seconds>
// Output, one line: cpu=<percent of one core>
#include <SDL.h>
#include <mpg123.h>
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

namespace {

double cpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
         (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

void SDLCALL fill(void* handle, Uint8* stream, int bytes) {
  size_t done = 0;
  mpg123_read(static_cast<mpg123_handle*>(handle), stream, static_cast<size_t>(bytes), &done);
  std::memset(stream + done, 0, static_cast<size_t>(bytes) - done);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s <file.mp3> <seconds>\n", argv[0]);
    return 2;
  }
  mpg123_handle* mh = mpg123_new(nullptr, nullptr);
  long rate = 0;
  int channels = 0, encoding = 0;
  if (!mh || mpg123_open(mh, argv[1]) != MPG123_OK ||
      mpg123_getformat(mh, &rate, &channels, &encoding) != MPG123_OK) {
    std::fprintf(stderr, "cannot open %s\n", argv[1]);
    return 1;
  }
  mpg123_format_none(mh);
  mpg123_format(mh, rate, channels, MPG123_ENC_SIGNED_16);
  if (SDL_Init(SDL_INIT_AUDIO) != 0) return 1;
  SDL_AudioSpec want{};
  want.freq = static_cast<int>(rate);
  want.format = AUDIO_S16SYS;
  want.channels = static_cast<Uint8>(channels);
  want.samples = 2048;  // as libvbmp3 asks for at 44.1 kHz
  want.callback = fill;
  want.userdata = mh;
  const SDL_AudioDeviceID device = SDL_OpenAudioDevice(nullptr, 0, &want, nullptr, 0);
  if (!device) return 1;

  const double cpuStart = cpuSeconds();
  const auto start = std::chrono::steady_clock::now();
  SDL_PauseAudioDevice(device, 0);
  std::this_thread::sleep_for(std::chrono::seconds(std::atoi(argv[2])));
  const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  const double cpu = cpuSeconds() - cpuStart;
  SDL_CloseAudioDevice(device);
  SDL_Quit();
  mpg123_delete(mh);
  std::printf("cpu=%.3f\n", 100 * cpu / wall);
  return 0;
}
