// Ten-band graphic equalizer: peaking biquads an octave apart from 31 Hz to 16 kHz.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace vbmp3 {

using EqBands = std::array<int32_t, 10>;  // -128..128 each, ±128 = ±12 dB

// The filters for one setting at one sample rate. Bands at 0 dB (and bands the rate cannot
// carry) have no filter, so an all-zero setting has no stages and leaves samples untouched.
class EqBank {
 public:
  EqBank() = default;
  EqBank(const EqBands& bands, int rate, int channels);

  bool empty() const { return stages_.empty(); }
  void process(float* samples, size_t frames);
  void clearState();

 private:
  using Pair = double __attribute__((vector_size(16)));  // left and right
  struct Stage {
    double b0, b1, b2, a1, a2;
    Pair z1{}, z2{};  // transposed direct form II state
  };
  template <int Stages, int Channels>
  static void run(Stage* stages, float* samples, size_t frames);
  template <int Channels>
  void runAll(float* samples, size_t frames);

  std::vector<Stage> stages_;
  int channels_ = 0;
};

// The bank in use, and the switch to a new one: the new bank is first run over the most recent
// input so its filters are settled, then the output crossfades from the old bank to the new.
class Equalizer {
 public:
  Equalizer(int rate, int channels);

  // Starts over with `bank`, no history, no crossfade.
  void reset(EqBank bank);
  // Queues `bank`; process() switches to it. A bank queued earlier and not yet started is replaced.
  // Returns the bank it replaces or retired earlier, for the caller to free outside the audio thread.
  std::optional<EqBank> schedule(EqBank bank);
  void process(float* samples, size_t frames);

 private:
  void remember(const float* samples, size_t frames);
  void startCrossfade();

  int rate_;
  int channels_;
  EqBank active_;
  std::optional<EqBank> next_;     // crossfading in
  std::optional<EqBank> pending_;  // waiting for the running crossfade to end
  std::optional<EqBank> retired_;  // the bank that was faded out
  size_t fadeDone_ = 0;
  std::vector<float> history_;  // the last kHistoryFrames input frames, oldest first from historyPos_
  size_t historyPos_ = 0;
  std::vector<float> scratch_;
};

}  // namespace vbmp3
