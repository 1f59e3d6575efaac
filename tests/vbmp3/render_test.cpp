// The signal path behind the output device, driven directly, faster than real time.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>

#include "equalizer.h"
#include "renderer.h"

namespace {

using vbmp3::EqBands;
using vbmp3::EqBank;
using vbmp3::Equalizer;
using vbmp3::Renderer;

constexpr int kRate = 44100;

std::vector<float> sine(double hz, double amplitude, size_t frames, int channels = 2) {
  std::vector<float> out(frames * channels);
  for (size_t i = 0; i < frames; ++i)
    for (int c = 0; c < channels; ++c)
      out[i * channels + c] = static_cast<float>(amplitude * std::sin(2 * std::numbers::pi * hz * i / kRate));
  return out;
}

double peak(const std::vector<float>& samples, size_t from) {
  double p = 0;
  for (size_t i = from; i < samples.size(); ++i) p = std::max(p, std::abs(static_cast<double>(samples[i])));
  return p;
}

TEST(EqualizerTest, AllBandsAtZeroLeaveTheSignalBitForBit) {
  std::mt19937 random(3);
  std::vector<float> samples(20000);
  for (auto& s : samples) s = static_cast<float>(static_cast<int16_t>(random()));
  const auto original = samples;
  Equalizer eq(kRate, 2);
  eq.reset(EqBank(EqBands{}, kRate, 2));
  eq.process(samples.data(), samples.size() / 2);
  EXPECT_EQ(samples, original);
  EXPECT_TRUE(EqBank(EqBands{}, kRate, 2).empty());
}

TEST(EqualizerTest, FullBoostRaisesItsBandByTwelveDecibels) {
  EqBands bands{};
  bands[5] = 128;  // 1 kHz
  for (auto [hz, gain] : {std::pair{1000.0, 3.98}, std::pair{8000.0, 1.0}, std::pair{62.0, 1.0}}) {
    SCOPED_TRACE(hz);
    EqBank bank(bands, kRate, 2);
    auto samples = sine(hz, 1000, kRate / 2);
    bank.process(samples.data(), kRate / 2);
    EXPECT_NEAR(peak(samples, kRate / 4 * 2) / 1000, gain, 0.06);
  }
  bands[5] = -128;
  EqBank cut(bands, kRate, 2);
  auto samples = sine(1000, 1000, kRate / 2);
  cut.process(samples.data(), kRate / 2);
  EXPECT_NEAR(peak(samples, kRate / 4 * 2) / 1000, 0.251, 0.01);
}

TEST(EqualizerTest, ANewSettingGlidesInWithoutAStep) {
  // A 1 kHz tone at 1000 through a flat equalizer, then a +12 dB setting at 1 kHz arrives.
  // A click would show as a step far larger than the tone's own largest change per sample.
  EqBands boost{};
  boost[5] = 128;
  Equalizer eq(kRate, 1);
  eq.reset(EqBank(EqBands{}, kRate, 1));
  auto samples = sine(1000, 1000, kRate, 1);
  const size_t block = 1024;
  for (size_t at = 0; at < samples.size(); at += block) {
    if (at == 10 * block) EXPECT_FALSE(eq.schedule(EqBank(boost, kRate, 1)).has_value());
    eq.process(samples.data() + at, std::min(block, samples.size() - at));
  }
  double largestStep = 0;
  for (size_t i = 1; i < samples.size(); ++i)
    largestStep = std::max(largestStep, std::abs(static_cast<double>(samples[i] - samples[i - 1])));
  const double toneStep =
      2 * std::numbers::pi * 1000 / kRate * 1000 * 3.98;  // steepest slope after the boost
  EXPECT_LT(largestStep, toneStep * 1.1);
  EXPECT_NEAR(peak(samples, samples.size() - 4410) / 1000, 3.98, 0.06);
}

// Writes interleaved samples into the ring, in as many spans as it takes.
void push(vbmp3::FrameRing& ring, const std::vector<int16_t>& samples) {
  const size_t frames = samples.size() / ring.channels();
  for (size_t done = 0; done < frames;) {
    size_t span = 0;
    int16_t* at = ring.writeSpan(&span);
    span = std::min(span, frames - done);
    std::copy_n(samples.begin() + done * ring.channels(), span * ring.channels(), at);
    ring.commit(span);
    done += span;
  }
}

class RendererTest : public ::testing::Test {
 protected:
  // Writes frames whose both channels hold (first + i) % 30000, so every frame tells where it came from.
  void pushCounting(int64_t first, size_t frames) {
    auto& ring = renderer.ring();
    for (size_t done = 0; done < frames;) {
      size_t span = 0;
      int16_t* at = ring.writeSpan(&span);
      span = std::min(span, frames - done);
      for (size_t i = 0; i < span; ++i)
        at[2 * i] = at[2 * i + 1] = static_cast<int16_t>((first + done + i) % 30000);
      ring.commit(span);
      done += span;
    }
  }
  std::vector<int16_t> render(size_t frames) {
    std::vector<int16_t> out(frames * 2);
    renderer.render(out.data(), frames);
    return out;
  }

  vbmp3::PlaybackSettings settings;
  vbmp3::Wakeup wakeup;
  Renderer renderer{kRate, 2, 10 * kRate, settings, wakeup};
};

TEST_F(RendererTest, NeutralSettingsPassFramesThroughUnchanged) {
  renderer.start(EqBank(EqBands{}, kRate, 2), 0);
  pushCounting(0, 20000);
  const auto out = render(20000);
  for (size_t i = 0; i < 20000; ++i) ASSERT_EQ(out[2 * i], static_cast<int16_t>(i)) << i;
  EXPECT_EQ(renderer.position(), 20000);
}

TEST_F(RendererTest, JumpLandsOnTheExactFrameAfterAShortFade) {
  renderer.start(EqBank(EqBands{}, kRate, 2), 0);
  pushCounting(0, 30000);
  render(10000);
  // The decoder moved to track frame 100000: its frames follow the 30000 already queued.
  renderer.requestJump(30000, 100000, 1);
  pushCounting(100000, 20000);
  const auto out = render(10000);
  EXPECT_EQ(renderer.seekGenerationPlayed(), 1u);
  // The fade-out uses at most 5 ms of the old frames, then silence ends at the first new frame,
  // which comes back to full level within 5 ms.
  const size_t fade = kRate / 200;
  for (size_t i = 0; i < fade; ++i) EXPECT_LE(std::abs(out[2 * i]), 10000 + static_cast<int>(i) + 1);
  const size_t settled = 2 * fade + 10;
  EXPECT_EQ(out[2 * settled], (100000 + settled - fade) % 30000);
  EXPECT_EQ(renderer.position(), 100000 + 10000 - static_cast<int64_t>(fade));
}

TEST_F(RendererTest, PauseFadesOutAndHoldsThePosition) {
  renderer.start(EqBank(EqBands{}, kRate, 2), 0);
  pushCounting(5000, 40000);
  render(1000);
  renderer.setPaused(true);
  const auto out = render(4000);
  EXPECT_LE(std::abs(out[0] - 6000), 2);  // carries on from the last frame, no step
  for (size_t i = kRate / 200; i < 4000; ++i) ASSERT_EQ(out[2 * i], 0);
  const int64_t held = renderer.position();
  EXPECT_EQ(held, 1000 + kRate / 200);
  render(4000);
  EXPECT_EQ(renderer.position(), held);
  renderer.setPaused(false);
  render(4000);
  EXPECT_EQ(renderer.position(), held + 4000);
}

TEST_F(RendererTest, DoubleSpeedUsesTwoTrackSecondsPerSecond) {
  settings.pitch = 200;
  renderer.start(EqBank(EqBands{}, kRate, 2), 0);
  pushCounting(0, 60000);
  render(kRate / 2);
  EXPECT_NEAR(renderer.position(), kRate, 10);
  EXPECT_NEAR(static_cast<double>(renderer.ring().readIndex()), kRate, 100);
}

TEST_F(RendererTest, EndStopsAtTheLastFrame) {
  renderer.start(EqBank(EqBands{}, kRate, 2), 0);
  pushCounting(0, 1000);
  renderer.markEnd(1000);
  EXPECT_FALSE(renderer.ended());
  const auto out = render(3000);
  EXPECT_TRUE(renderer.ended());
  EXPECT_EQ(renderer.position(), 1000);
  EXPECT_EQ(out[2 * 999], 999);
  EXPECT_EQ(out[2 * 1000], 0);
}

// What the library counts as an underrun: a block cut short while the track plays.
TEST_F(RendererTest, ABlockComesShortOnlyWhenDecodingIsBehindAPlayingTrack) {
  renderer.start(EqBank(EqBands{}, kRate, 2), 0);
  pushCounting(0, 3000);
  std::vector<int16_t> out(2000 * 2);
  EXPECT_TRUE(renderer.render(out.data(), 2000));
  EXPECT_FALSE(renderer.render(out.data(), 2000)) << "1000 frames missing";
  renderer.setPaused(true);
  EXPECT_TRUE(renderer.render(out.data(), 2000)) << "a pause is silent by intent";
  renderer.setPaused(false);
  pushCounting(3000, 500);
  renderer.markEnd(3500);
  EXPECT_TRUE(renderer.render(out.data(), 2000)) << "so is the track's end";
}

TEST_F(RendererTest, FadesShapeTheStartAndTheEndOfTheTrack) {
  settings.fadeIn = true;
  settings.fadeOut = true;
  renderer.start(EqBank(EqBands{}, kRate, 2), 0);
  auto& ring = renderer.ring();
  // A constant level over the whole ten-second track, written as the renderer takes it.
  std::vector<int16_t> level;
  for (int second = 0; second < 10; ++second) {
    for (size_t done = 0; done < kRate;) {
      size_t span = 0;
      int16_t* at = ring.writeSpan(&span);
      span = std::min(span, kRate - done);
      std::fill_n(at, span * 2, int16_t{10000});
      ring.commit(span);
      done += span;
    }
    const auto out = render(kRate);
    level.push_back(out[2 * (kRate - 1)]);
  }
  // Quiet at the start, full from 3 s on, falling over the last 3 s.
  EXPECT_NEAR(level[0], 10000.0 / 9, 30);
  EXPECT_EQ(level[3], 10000);
  EXPECT_EQ(level[6], 10000);
  EXPECT_NEAR(level[7], 10000.0 * 4 / 9, 30);
  EXPECT_NEAR(level[8], 10000.0 / 9, 30);
  EXPECT_LE(level[9], 1);
}

TEST_F(RendererTest, VolumeScalesEachChannelAndTheWaveShowsTheOutput) {
  settings.volumeLeft = 50;
  settings.volumeRight = 0;
  renderer.start(EqBank(EqBands{}, kRate, 2), 0);
  pushCounting(20000, 10000);
  const auto out = render(10000);
  EXPECT_NEAR(out[2 * 9999], (20000 + 9999) % 30000 / 4.0, 1);
  EXPECT_EQ(out[2 * 9999 + 1], 0);
  int16_t left[256], right[256];
  renderer.wave(left, right);
  EXPECT_EQ(left[255], out[2 * 9999]);
  EXPECT_EQ(left[0], out[2 * (9999 - 255)]);
  EXPECT_EQ(right[100], 0);
}

TEST(RendererFormatTest, AMonoTrackAtAnotherRateIsResampledAndCentred) {
  constexpr int kTrackRate = 48000;
  constexpr size_t kOutFrames = 40000;
  std::vector<int16_t> tone(kTrackRate);  // a second of 1 kHz
  for (size_t i = 0; i < tone.size(); ++i)
    tone[i] =
        static_cast<int16_t>(std::lround(10000 * std::sin(2 * std::numbers::pi * 1000 * i / kTrackRate)));
  vbmp3::PlaybackSettings settings;
  settings.volumeRight = 0;  // no balance on a mono track: half the gain on both sides
  vbmp3::Wakeup wakeup;
  auto play = [&](EqBank bank) {
    Renderer renderer(kTrackRate, 1, 10 * kTrackRate, settings, wakeup);
    renderer.start(std::move(bank), 0);
    push(renderer.ring(), tone);
    std::vector<int16_t> out(kOutFrames * 2);
    renderer.render(out.data(), kOutFrames);
    EXPECT_NEAR(renderer.position(), kOutFrames * kTrackRate / kRate, 2);
    return out;
  };
  const auto out = play(EqBank());
  EXPECT_EQ(play(EqBank(EqBands{}, kRate, 1)), out);  // a flat equalizer changes nothing here either
  size_t rising = 0;
  double top = 0;
  for (size_t i = 1000; i < kOutFrames; ++i) {
    ASSERT_EQ(out[2 * i], out[2 * i + 1]) << i;
    rising += out[2 * (i - 1)] < 0 && out[2 * i] >= 0;
    top = std::max(top, std::abs(static_cast<double>(out[2 * i])));
  }
  EXPECT_NEAR(rising, (kOutFrames - 1000) * 1000.0 / kRate, 2);  // still 1 kHz at the output rate
  EXPECT_NEAR(top, 10000 * 0.5, 60);
}

}  // namespace
