// The audio callback's side of playback: takes decoded frames from the ring and turns them into
// what the output device plays: varispeed and the conversion from the track's rate to the
// output's (one resampling stage), fades, equalizer, volume, and mono to both channels. It also
// keeps the track position of what has been played and the last block of output for the wave
// display.
#pragma once

#include <samplerate.h>
#include <semaphore.h>
#include <time.h>

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <vector>

#include "equalizer.h"
#include "frame_ring.h"

namespace vbmp3 {

// Settings the API thread changes at any time and the callback reads on every block.
struct PlaybackSettings {
  std::atomic<int> pitch{100};  // percent of normal speed, 60..200
  std::atomic<int> volumeLeft{100};
  std::atomic<int> volumeRight{100};
  std::atomic<bool> fadeIn{false};
  std::atomic<bool> fadeOut{false};
};

// Wakes the decoding thread from the audio callback without a lock. A POSIX semaphore, whose
// wait sleeps in the kernel at once instead of spinning first.
class Wakeup {
 public:
  Wakeup() { sem_init(&semaphore_, 0, 0); }
  ~Wakeup() { sem_destroy(&semaphore_); }
  Wakeup(const Wakeup&) = delete;
  Wakeup& operator=(const Wakeup&) = delete;

  void notify() {
    if (!signalled_.exchange(true)) sem_post(&semaphore_);
  }
  void waitFor(std::chrono::milliseconds timeout) {
    timespec until{};
    clock_gettime(CLOCK_MONOTONIC, &until);
    const auto ns = until.tv_nsec + std::chrono::nanoseconds(timeout).count();
    until.tv_sec += static_cast<time_t>(ns / 1'000'000'000);
    until.tv_nsec = static_cast<long>(ns % 1'000'000'000);
    if (sem_clockwait(&semaphore_, CLOCK_MONOTONIC, &until) == 0) signalled_.store(false);
  }

 private:
  sem_t semaphore_;
  std::atomic<bool> signalled_{false};
};

class Renderer {
 public:
  static constexpr size_t kRingFrames = 1 << 16;
  // The decoding thread refills the ring once this much of it is free.
  static constexpr size_t kRefillFrames = kRingFrames / 4;
  static constexpr size_t kWaveFrames = 256;
  // The output format: every track is played as 16-bit stereo at this rate. Most MP3s are
  // 44.1 kHz, and they pass through untouched at normal speed.
  static constexpr int kOutputRate = 44100;
  static constexpr int kOutputChannels = 2;

  Renderer(int trackRate, int channels, int64_t lengthFrames, const PlaybackSettings& settings,
           Wakeup& feederWakeup);

  FrameRing& ring() { return ring_; }
  Equalizer& equalizer() { return equalizer_; }
  // Filters for `bands` as the equalizer runs them (at the output rate); callable any time.
  EqBank equalizerBank(const EqBands& bands) const { return EqBank(bands, kOutputRate, channels_); }

  // The calls below run while the callback is held off (the output device locked), or before
  // the device plays.

  // Starts a new playback at frame 0 of the track with an empty ring. `seekGeneration` is the
  // newest seek request at this moment.
  void start(EqBank bank, uint64_t seekGeneration);
  void setPaused(bool paused) { paused_ = paused; }
  // The frames from `ringIndex` on belong to `trackFrame` onwards; what lies before is dropped
  // after a short fade-out. `seekGeneration` identifies the seek request this answers.
  void requestJump(uint64_t ringIndex, int64_t trackFrame, uint64_t seekGeneration);
  // The decoder produced its last frame before `ringIndex`.
  void markEnd(uint64_t ringIndex);
  bool ended() const { return ended_; }
  // Track frame of what was played last.
  int64_t position() const { return static_cast<int64_t>(heard_); }
  uint64_t seekGenerationPlayed() const { return jumpedGeneration_; }
  // The last kWaveFrames output frames, oldest first.
  void wave(int16_t* left, int16_t* right) const;

  // The audio callback: fills `frames` interleaved output frames. False when the decoder was
  // behind and some of them are silence while the track plays (not paused, not at its end).
  bool render(int16_t* out, size_t frames);

 private:
  static constexpr size_t kBlockFrames = 4096;
  static constexpr uint64_t kNoIndex = UINT64_MAX;

  struct SrcDeleter {
    void operator()(SRC_STATE* state) const { src_delete(state); }
  };

  bool renderBlock(int16_t* out, size_t frames);
  size_t fill(float* buffer, size_t frames);
  size_t pull(float* out, size_t frames);
  size_t pullResampled(float* out, size_t frames, int pitch);
  size_t copyFromRing(float* out, size_t frames);
  size_t available() const;
  bool resamplingNeeded(int pitch) const;
  double trackFramesPerOutputFrame(int pitch) const;
  bool quietNeeded(int pitch) const;
  void becomeQuiet(int pitch);
  void applyGains(float* buffer, size_t frames, bool quiet, double step);
  void output(const float* buffer, int16_t* out, size_t frames);
  void targetGains(float* left, float* right) const;

  const int trackRate_;
  const int channels_;  // the track's; the stages before output() keep it
  const int64_t lengthFrames_;
  const PlaybackSettings& settings_;
  Wakeup& feederWakeup_;
  FrameRing ring_;
  Equalizer equalizer_;
  std::unique_ptr<SRC_STATE, SrcDeleter> resampler_;
  bool resampling_ = false;

  bool paused_ = false;
  bool ended_ = false;
  uint64_t jumpIndex_ = kNoIndex;
  int64_t jumpFrame_ = 0;
  uint64_t jumpGeneration_ = 0;
  uint64_t jumpedGeneration_ = 0;
  uint64_t endIndex_ = kNoIndex;
  int64_t segmentFrame_ = 0;   // track frame at segmentIndex_
  uint64_t segmentIndex_ = 0;  // ring index where the current run of frames began

  double heard_ = 0;       // track frame of the last frame played
  double sincePlay_ = 0;   // track frames played since play, for the fade-in
  const int rampFrames_;   // length of the short fade around seeks and pauses
  int ramp_ = 0;           // 0 silent .. rampFrames_ full
  float gainLeft_ = 1.0f;  // volume as applied at the end of the last block
  float gainRight_ = 1.0f;

  std::vector<float> block_;
  std::vector<float> resamplerInput_;
  std::array<int16_t, kWaveFrames * kOutputChannels> wave_{};
  size_t wavePos_ = 0;
};

}  // namespace vbmp3
