#include "renderer.h"

#include <algorithm>
#include <cmath>

namespace vbmp3 {
namespace {

constexpr double kFadeSeconds = 3.0;

// Rounds to the nearest integer (halves away from zero) and clips; whole numbers pass unchanged.
inline int16_t toSample(float v) {
  v = std::clamp(v, -32768.0f, 32767.0f);
  return static_cast<int16_t>(v + (v < 0 ? -0.5f : 0.5f));
}

// Volume 0..100 to a gain; the square gives a more even loudness scale than a straight line.
inline float volumeGain(int volume) {
  const float v = static_cast<float>(volume) / 100.0f;
  return v * v;
}

}  // namespace

Renderer::Renderer(int trackRate, int channels, int64_t lengthFrames, const PlaybackSettings& settings,
                   Wakeup& feederWakeup)
    : trackRate_(trackRate),
      channels_(channels),
      lengthFrames_(lengthFrames),
      settings_(settings),
      feederWakeup_(feederWakeup),
      ring_(kRingFrames, channels),
      equalizer_(kOutputRate, channels),
      rampFrames_(std::max(16, kOutputRate / 200)),  // 5 ms
      block_(kBlockFrames * channels),
      resamplerInput_((kBlockFrames * 2 + 64) * channels) {
  int error = 0;
  resampler_.reset(src_new(SRC_SINC_FASTEST, channels, &error));
}

void Renderer::start(EqBank bank, uint64_t seekGeneration) {
  ring_.reset();
  equalizer_.reset(std::move(bank));
  resampling_ = resamplingNeeded(settings_.pitch);
  if (resampler_) src_reset(resampler_.get());
  paused_ = false;
  ended_ = false;
  jumpIndex_ = endIndex_ = kNoIndex;
  jumpedGeneration_ = seekGeneration;
  segmentFrame_ = 0;
  segmentIndex_ = 0;
  heard_ = sincePlay_ = 0;
  ramp_ = rampFrames_;
  targetGains(&gainLeft_, &gainRight_);
  wave_.fill(0);
}

void Renderer::requestJump(uint64_t ringIndex, int64_t trackFrame, uint64_t seekGeneration) {
  jumpIndex_ = ringIndex;
  jumpFrame_ = trackFrame;
  jumpGeneration_ = seekGeneration;
  endIndex_ = kNoIndex;
  ended_ = false;
}

void Renderer::markEnd(uint64_t ringIndex) { endIndex_ = ringIndex; }

void Renderer::wave(int16_t* left, int16_t* right) const {
  for (size_t i = 0; i < kWaveFrames; ++i) {
    const size_t at = (wavePos_ + i) % kWaveFrames;
    left[i] = wave_[at * 2];
    right[i] = wave_[at * 2 + 1];
  }
}

bool Renderer::render(int16_t* out, size_t frames) {
  bool full = true;
  while (frames > 0) {
    const size_t n = std::min(frames, kBlockFrames);
    full = renderBlock(out, n) && full;
    out += n * kOutputChannels;
    frames -= n;
  }
  if (ring_.writable() >= kRefillFrames) feederWakeup_.notify();
  return full;
}

bool Renderer::renderBlock(int16_t* out, size_t frames) {
  float* buffer = block_.data();
  const size_t filled = fill(buffer, frames);
  std::fill(buffer + filled * channels_, buffer + frames * channels_, 0.0f);
  equalizer_.process(buffer, frames);
  output(buffer, out, frames);
  return filled == frames || paused_ || ended_;
}

bool Renderer::resamplingNeeded(int pitch) const {
  return resampler_ && (pitch != 100 || trackRate_ != kOutputRate);
}

double Renderer::trackFramesPerOutputFrame(int pitch) const {
  return resampling_ ? pitch / 100.0 * trackRate_ / kOutputRate : 1.0;
}

bool Renderer::quietNeeded(int pitch) const {
  return paused_ || jumpIndex_ != kNoIndex || (!resampling_ && resamplingNeeded(pitch));
}

// With the output faded out: moves to a requested position and starts resampling when the
// pitch left 100, both of which would click if done on a playing signal. Once started,
// resampling goes on until the next jump, also at pitch 100.
void Renderer::becomeQuiet(int pitch) {
  if (jumpIndex_ != kNoIndex) {
    ring_.skipTo(jumpIndex_);
    segmentIndex_ = jumpIndex_;
    segmentFrame_ = heard_ = static_cast<double>(jumpFrame_);
    jumpedGeneration_ = jumpGeneration_;
    jumpIndex_ = kNoIndex;
    resampling_ = false;  // settled again below from the pitch
    feederWakeup_.notify();
  }
  if (!resampling_ && resamplingNeeded(pitch)) {
    resampling_ = true;
    src_reset(resampler_.get());
  }
}

size_t Renderer::fill(float* buffer, size_t frames) {
  size_t done = 0;
  while (done < frames && !ended_) {
    const int pitch = settings_.pitch.load(std::memory_order_relaxed);
    const bool quiet = quietNeeded(pitch);
    if (quiet && ramp_ == 0) {
      becomeQuiet(pitch);
      if (paused_) break;
      continue;
    }
    const size_t want = quiet ? std::min(frames - done, static_cast<size_t>(ramp_)) : frames - done;
    const double step = trackFramesPerOutputFrame(pitch);
    float* at = buffer + done * channels_;
    const size_t got = resampling_ ? pullResampled(at, want, pitch) : copyFromRing(at, want);
    applyGains(at, got, quiet, step);
    heard_ += got * step;
    sincePlay_ += got * step;
    done += got;
    if (got == want) continue;
    if (jumpIndex_ != kNoIndex && ring_.readIndex() >= jumpIndex_) {
      ramp_ = 0;  // the old frames ran out before the fade did
      continue;
    }
    if (endIndex_ != kNoIndex && ring_.readIndex() >= endIndex_) {
      ended_ = true;
      heard_ = static_cast<double>(segmentFrame_ + static_cast<int64_t>(endIndex_ - segmentIndex_));
    }
    break;  // at the end, or the decoder is behind: silence for now
  }
  return done;
}

size_t Renderer::available() const {
  const uint64_t limit = jumpIndex_ != kNoIndex ? jumpIndex_ : endIndex_;
  const uint64_t read = ring_.readIndex();
  if (limit <= read) return 0;
  return static_cast<size_t>(std::min<uint64_t>(ring_.readable(), limit - read));
}

size_t Renderer::copyFromRing(float* out, size_t frames) {
  size_t done = 0;
  while (done < frames) {
    size_t span = 0;
    const int16_t* in = ring_.readSpan(ring_.readIndex(), &span);
    const size_t n = std::min({span, frames - done, available()});
    if (n == 0) break;
    std::transform(in, in + n * channels_, out + done * channels_,
                   [](int16_t s) { return static_cast<float>(s); });
    ring_.release(n);
    done += n;
  }
  return done;
}

size_t Renderer::pullResampled(float* out, size_t frames, int pitch) {
  const double ratio = 1.0 / trackFramesPerOutputFrame(pitch);  // output frames per input frame
  const size_t inputCapacity = resamplerInput_.size() / channels_;
  size_t produced = 0;
  while (produced < frames) {
    // Convert what the resampler may need, without taking it from the ring yet.
    const size_t wanted = static_cast<size_t>(std::ceil((frames - produced) / ratio)) + 4;
    const size_t limit = std::min({available(), inputCapacity, wanted});
    size_t have = 0;
    uint64_t index = ring_.readIndex();
    while (have < limit) {
      size_t span = 0;
      const int16_t* in = ring_.readSpan(index, &span);
      const size_t n = std::min(span, limit - have);
      std::transform(in, in + n * channels_, resamplerInput_.begin() + have * channels_,
                     [](int16_t s) { return static_cast<float>(s); });
      have += n;
      index += n;
    }
    SRC_DATA data{};
    data.data_in = resamplerInput_.data();
    data.input_frames = static_cast<long>(have);
    data.data_out = out + produced * channels_;
    data.output_frames = static_cast<long>(frames - produced);
    data.src_ratio = ratio;
    if (src_process(resampler_.get(), &data) != 0) break;
    ring_.release(static_cast<size_t>(data.input_frames_used));
    produced += static_cast<size_t>(data.output_frames_gen);
    if (data.output_frames_gen == 0 && data.input_frames_used == 0) break;
  }
  return produced;
}

void Renderer::applyGains(float* buffer, size_t frames, bool quiet, double step) {
  const double fadeFrames = kFadeSeconds * trackRate_;
  const bool fadingIn = settings_.fadeIn && sincePlay_ < fadeFrames;
  const bool fadingOut = settings_.fadeOut && lengthFrames_ - (heard_ + frames * step) < fadeFrames;
  if (!quiet && ramp_ == rampFrames_ && !fadingIn && !fadingOut) return;
  for (size_t i = 0; i < frames; ++i) {
    float gain = static_cast<float>(ramp_) / rampFrames_;
    ramp_ = quiet ? std::max(0, ramp_ - 1) : std::min(rampFrames_, ramp_ + 1);
    if (fadingIn) {
      const double t = std::min(1.0, (sincePlay_ + i * step) / fadeFrames);
      gain *= static_cast<float>(t * t);
    }
    if (fadingOut) {
      const double t = std::clamp((lengthFrames_ - (heard_ + i * step)) / fadeFrames, 0.0, 1.0);
      gain *= static_cast<float>(t * t);
    }
    for (int c = 0; c < channels_; ++c) buffer[i * channels_ + c] *= gain;
  }
}

void Renderer::targetGains(float* left, float* right) const {
  *left = volumeGain(settings_.volumeLeft);
  *right = volumeGain(settings_.volumeRight);
  if (channels_ == 1) *left = *right = (*left + *right) / 2;  // a mono track stays centred
}

void Renderer::output(const float* buffer, int16_t* out, size_t frames) {
  float left = 0, right = 0;
  targetGains(&left, &right);
  const bool unity = left == 1.0f && right == 1.0f && gainLeft_ == 1.0f && gainRight_ == 1.0f;
  if (unity && channels_ == kOutputChannels) {
    std::transform(buffer, buffer + frames * channels_, out, toSample);
  } else {
    // Glide from the previous volume to the new one over the block, so a change does not click.
    const float stepLeft = (left - gainLeft_) / frames, stepRight = (right - gainRight_) / frames;
    const int rightIn = channels_ - 1;  // mono feeds both channels
    for (size_t i = 0; i < frames; ++i) {
      const float gl = gainLeft_ + stepLeft * (i + 1), gr = gainRight_ + stepRight * (i + 1);
      out[2 * i] = toSample(buffer[i * channels_] * gl);
      out[2 * i + 1] = toSample(buffer[i * channels_ + rightIn] * gr);
    }
  }
  gainLeft_ = left;
  gainRight_ = right;

  const size_t keep = std::min(frames, kWaveFrames);
  for (size_t i = frames - keep; i < frames; ++i) {
    wave_[wavePos_ * 2] = out[2 * i];
    wave_[wavePos_ * 2 + 1] = out[2 * i + 1];
    wavePos_ = (wavePos_ + 1) % kWaveFrames;
  }
}

}  // namespace vbmp3
