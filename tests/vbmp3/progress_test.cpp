// vbmp3_getConversionProgress: how far a conversion has got and how it ended, for both
// directions: to the end, stopped on the way, and failed to start (a failure on a full disk
// is checked through the File menu).
#include <gtest/gtest.h>

#include <functional>
#include <thread>

#include "codec_helpers.h"

using fixtures::TempDir;

namespace {

struct Direction {
  const char* name;
  // Starts converting the 8 s source in `dir` to `out`; the call's result.
  std::function<int16_t(const TempDir& dir, const std::string& out)> start;
};

int32_t progress(int32_t& perMille) { return vbmp3_getConversionProgress(&perMille); }

class ConversionProgress : public ::testing::TestWithParam<Direction> {
 protected:
  void SetUp() override {
    ASSERT_TRUE(fixtures::makeWav(dir / "in.wav", 8.0, 44100, 2));
    ASSERT_EQ(fixtures::run("lame --quiet " + fixtures::quote(dir / "in.wav") + " " +
                            fixtures::quote(dir / "in.mp3")),
              0);
  }
  void TearDown() override {
    vbmp3_encodeStop();
    vbmp3_free();
  }

  TempDir dir;
};

const Direction kDirections[] = {
    {"encode",
     [](const TempDir& dir, const std::string& out) -> int16_t {
       EncodeInfo info{};
       return vbmp3_encodeOpen((dir / "in.wav").c_str(), &info) ? vbmp3_encodeStart(out.c_str()) : 0;
     }},
    {"decode",
     [](const TempDir& dir, const std::string& out) -> int16_t {
       return vbmp3_open((dir / "in.mp3").c_str(), nullptr) ? vbmp3_decodeWave(out.c_str()) : 0;
     }},
};

TEST_P(ConversionProgress, RisesWhileRunningAndEndsDone) {
  ASSERT_TRUE(GetParam().start(dir, dir / "out"));
  int32_t perMille = -1, last = 0, seenBetween = 0;
  while (progress(perMille) == VBMP3_CONVERSION_RUNNING) {
    EXPECT_GE(perMille, last) << "never goes back";
    if (perMille > 0 && perMille < 1000) ++seenBetween;
    last = perMille;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  EXPECT_EQ(progress(perMille), VBMP3_CONVERSION_DONE);
  EXPECT_EQ(perMille, 1000);
  EXPECT_GT(seenBetween, 0) << "some point between start and end was seen";
  EXPECT_EQ(vbmp3_getEncodeState(), VBMP3_ENCODE_IDLE);
}

TEST_P(ConversionProgress, StopKeepsThePointReached) {
  ASSERT_TRUE(GetParam().start(dir, dir / "out"));
  int32_t perMille = 0;
  while (progress(perMille) == VBMP3_CONVERSION_RUNNING && perMille == 0)
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  ASSERT_EQ(vbmp3_encodeStop(), 1) << "ended before it could be stopped";
  EXPECT_EQ(progress(perMille), VBMP3_CONVERSION_STOPPED);
  EXPECT_GT(perMille, 0);
  EXPECT_LT(perMille, 1000);
}

// A start that fails forgets the outcome of the conversion before it.
TEST_P(ConversionProgress, FailedStartReadsNone) {
  ASSERT_TRUE(GetParam().start(dir, dir / "out"));
  ASSERT_TRUE(codec::waitIdle());
  int32_t perMille = -1;
  ASSERT_EQ(progress(perMille), VBMP3_CONVERSION_DONE);
  EXPECT_EQ(GetParam().start(dir, dir / "no/such/folder/out"), 0);
  EXPECT_EQ(progress(perMille), VBMP3_CONVERSION_NONE);
  EXPECT_EQ(perMille, 0);
  EXPECT_EQ(vbmp3_getConversionProgress(nullptr), VBMP3_CONVERSION_NONE);
}

INSTANTIATE_TEST_SUITE_P(Directions, ConversionProgress, ::testing::ValuesIn(kDirections),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
