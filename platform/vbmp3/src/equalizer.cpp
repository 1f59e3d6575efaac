#include "equalizer.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <utility>

namespace vbmp3 {
namespace {

constexpr std::array<double, 10> kCentresHz = {31, 62, 125, 250, 500, 1000, 2000, 4000, 8000, 16000};
constexpr double kQ = std::numbers::sqrt2;  // one octave wide
constexpr double kDbPerStep = 12.0 / 128.0;
// Input kept for settling a new bank: several time constants of the 31 Hz filter.
constexpr size_t kHistoryFrames = 4096;

}  // namespace

EqBank::EqBank(const EqBands& bands, int rate, int channels) : channels_(channels) {
  for (size_t i = 0; i < bands.size(); ++i) {
    const int32_t step = std::clamp(bands[i], -128, 128);
    if (step == 0 || kCentresHz[i] >= 0.45 * rate) continue;
    // Peaking filter from R. Bristow-Johnson's audio EQ cookbook.
    const double a = std::pow(10.0, step * kDbPerStep / 40.0);
    const double w0 = 2 * std::numbers::pi * kCentresHz[i] / rate;
    const double alpha = std::sin(w0) / (2 * kQ);
    const double a0 = 1 + alpha / a;
    Stage s{};
    s.b0 = (1 + alpha * a) / a0;
    s.b1 = -2 * std::cos(w0) / a0;
    s.b2 = (1 - alpha * a) / a0;
    s.a1 = s.b1;
    s.a2 = (1 - alpha / a) / a0;
    stages_.push_back(s);
  }
}

// Up to four stages per pass, each sample through all of them with the state in registers, and
// both channels side by side in one vector: several independent recursions in flight at once.
template <int Stages, int Channels>
void EqBank::run(Stage* stages, float* samples, size_t frames) {
  Pair z1[Stages], z2[Stages];
  for (int k = 0; k < Stages; ++k) z1[k] = stages[k].z1, z2[k] = stages[k].z2;
  for (size_t i = 0; i < frames; ++i) {
    float* frame = samples + i * Channels;
    Pair x = {frame[0], Channels == 2 ? frame[Channels - 1] : 0.0};
    for (int k = 0; k < Stages; ++k) {
      const Stage& s = stages[k];
      const Pair y = s.b0 * x + z1[k];
      z1[k] = s.b1 * x - s.a1 * y + z2[k];
      z2[k] = s.b2 * x - s.a2 * y;
      x = y;
    }
    frame[0] = static_cast<float>(x[0]);
    if (Channels == 2) frame[Channels - 1] = static_cast<float>(x[1]);
  }
  for (int k = 0; k < Stages; ++k) stages[k].z1 = z1[k], stages[k].z2 = z2[k];
}

template <int Channels>
void EqBank::runAll(float* samples, size_t frames) {
  size_t k = 0;
  for (; k + 4 <= stages_.size(); k += 4) run<4, Channels>(&stages_[k], samples, frames);
  if (k + 2 <= stages_.size()) run<2, Channels>(&stages_[k], samples, frames), k += 2;
  if (k < stages_.size()) run<1, Channels>(&stages_[k], samples, frames);
}

void EqBank::process(float* samples, size_t frames) {
  if (channels_ == 2)
    runAll<2>(samples, frames);
  else
    runAll<1>(samples, frames);
}

void EqBank::clearState() {
  for (Stage& s : stages_) s.z1 = s.z2 = Pair{};
}

Equalizer::Equalizer(int rate, int channels)
    : rate_(rate), channels_(channels), history_(kHistoryFrames * channels), scratch_(16384 * channels) {}

void Equalizer::reset(EqBank bank) {
  active_ = std::move(bank);
  active_.clearState();
  next_.reset();
  pending_.reset();
  fadeDone_ = 0;
  std::fill(history_.begin(), history_.end(), 0.0f);
  historyPos_ = 0;
}

std::optional<EqBank> Equalizer::schedule(EqBank bank) {
  std::optional<EqBank> old = std::move(pending_);
  pending_ = std::move(bank);
  if (!old) old = std::exchange(retired_, std::nullopt);
  return old;
}

void Equalizer::remember(const float* samples, size_t frames) {
  if (frames >= kHistoryFrames) {
    std::copy_n(samples + (frames - kHistoryFrames) * channels_, kHistoryFrames * channels_,
                history_.begin());
    historyPos_ = 0;
    return;
  }
  for (size_t done = 0; done < frames;) {
    const size_t n = std::min(frames - done, kHistoryFrames - historyPos_);
    std::copy_n(samples + done * channels_, n * channels_, history_.begin() + historyPos_ * channels_);
    historyPos_ = (historyPos_ + n) % kHistoryFrames;
    done += n;
  }
}

void Equalizer::startCrossfade() {
  next_ = std::move(pending_);
  pending_.reset();
  fadeDone_ = 0;
  // Settle the new filters on the recent input, oldest frame first.
  next_->clearState();
  const size_t tail = kHistoryFrames - historyPos_;
  std::copy_n(history_.begin() + historyPos_ * channels_, tail * channels_, scratch_.begin());
  std::copy_n(history_.begin(), historyPos_ * channels_, scratch_.begin() + tail * channels_);
  next_->process(scratch_.data(), kHistoryFrames);
}

void Equalizer::process(float* samples, size_t frames) {
  if (pending_ && !next_) startCrossfade();
  remember(samples, frames);
  if (!next_) {
    active_.process(samples, frames);
    return;
  }
  const size_t fadeFrames = static_cast<size_t>(rate_ / 25);  // 40 ms
  if (scratch_.size() < frames * channels_) scratch_.resize(frames * channels_);
  std::copy_n(samples, frames * channels_, scratch_.begin());
  active_.process(samples, frames);
  next_->process(scratch_.data(), frames);
  for (size_t i = 0; i < frames; ++i) {
    const float g = fadeDone_ >= fadeFrames ? 1.0f : static_cast<float>(fadeDone_) / fadeFrames;
    if (fadeDone_ < fadeFrames) ++fadeDone_;
    for (int c = 0; c < channels_; ++c) {
      float& out = samples[i * channels_ + c];
      out += g * (scratch_[i * channels_ + c] - out);
    }
  }
  if (fadeDone_ >= fadeFrames) {
    retired_ = std::move(active_);
    active_ = std::move(*next_);
    next_.reset();
  }
}

}  // namespace vbmp3
