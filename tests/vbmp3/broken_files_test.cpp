// Damaged and unusual files through the C interface: no crash and no hang, a clean 0 where a
// file cannot be played, and whatever opens plays to its end and decodes to what is really there.
#include "broken_files.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "codec_helpers.h"

namespace {

using namespace std::chrono_literals;
using broken_files::Audio;
using broken_files::BrokenFile;
using Clock = std::chrono::steady_clock;

class BrokenFiles : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(vbmp3_init()); }
  void TearDown() override { vbmp3_free(); }

  // Sample frames of the intact stream each file was made from, as the peer tools decode it.
  void measureIntact(const broken_files::Sources& sources) {
    fixtures::writeBytes(dir / "intact.mp3", sources.mp3);
    fixtures::writeBytes(dir / "intact.wav", sources.wav);
    intactMp3 = codec::decodeWithMpg123(dir / "intact.mp3").frames();
    intactWav = codec::readPcm(dir / "intact.wav").frames();
  }

  static bool playsToItsEnd(Clock::duration limit) {
    if (vbmp3_play() != 1) return false;
    const auto end = Clock::now() + limit;
    int32_t seconds = 0;
    while (vbmp3_getState(&seconds) != 0)
      if (Clock::now() > end)
        return false;
      else
        std::this_thread::sleep_for(5ms);
    return true;
  }

  void expectDecodedAudio(const BrokenFile& file) {
    const std::string out = dir / "decoded.wav";
    ASSERT_EQ(vbmp3_decodeWave(out.c_str()), 1);
    ASSERT_TRUE(codec::waitIdle());
    const long frames = codec::readPcm(out).frames();
    const bool isWav = file.name.ends_with(".wav");
    const long intact = isWav ? intactWav : intactMp3;
    if (file.audio == Audio::Part) {
      EXPECT_GT(frames, 0);
      EXPECT_LT(frames, intact);
    } else {
      // An MPEG stream whose length header lies may keep the encoder's padding: one frame.
      EXPECT_NEAR(frames, intact, isWav ? 0 : kSamplesPerFrame);
    }
  }

  static constexpr long kSamplesPerFrame = 576;  // MPEG-2 layer III
  fixtures::TempDir dir;
  long intactMp3 = 0, intactWav = 0;
};

TEST_F(BrokenFiles, OpenCleanlyAndPlayAndDecodeWhatIsThere) {
  const auto sources = broken_files::makeSources(dir);
  const auto files = broken_files::makeBrokenFiles(sources);
  ASSERT_FALSE(files.empty());
  measureIntact(sources);
  ASSERT_GT(intactMp3, 0);

  for (const BrokenFile& file : files) {
    SCOPED_TRACE(file.name);
    const std::string path = dir / file.name;
    fixtures::writeBytes(path, file.bytes);
    TrackInfo info{};
    TagInfo tag{};
    const auto start = Clock::now();
    const bool opened = vbmp3_open(path.c_str(), &info) != 0;
    const bool tagged = vbmp3_getFileTagInfoEX(path.c_str(), &tag) != 0;
    EXPECT_LT(Clock::now() - start, 5s);
    EXPECT_EQ(tagged, !file.title.empty());
    EXPECT_EQ(std::string(tag.title), file.title);
    EXPECT_EQ(opened, file.audio != Audio::None);
    if (!opened) {
      int32_t seconds = -1;
      EXPECT_EQ(vbmp3_play(), 0);
      EXPECT_EQ(vbmp3_getState(&seconds), 0);
      continue;
    }
    EXPECT_TRUE(playsToItsEnd(info.length * 1s + 5s));
    expectDecodedAudio(file);
  }
}

}  // namespace
