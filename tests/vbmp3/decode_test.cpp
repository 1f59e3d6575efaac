#include <gtest/gtest.h>

#include <filesystem>

#include "codec_helpers.h"
#include "decoder.h"

using codec::Pcm;
using fixtures::TempDir;

namespace {

class Decode : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(vbmp3_init()); }
  void TearDown() override {
    vbmp3_encodeStop();
    vbmp3_free();
    EXPECT_EQ(vbmp3_getEncodeState(), 0);
  }

  // Opens `track` in the player.
  static bool open(const std::string& track) {
    TrackInfo info{};
    return vbmp3_open(track.c_str(), &info) != 0;
  }

  // Ten minutes of MP3 (long enough that a job is surely still running right after it
  // starts), made quickly: a tagless five-second stream repeated.
  std::string longMp3() {
    const std::string wav = dir / "piece.wav", piece = dir / "piece.mp3", mp3 = dir / "long.mp3";
    if (!fixtures::makeWav(wav, 5) || !fixtures::makeMp3(wav, piece, "-b 128 -t")) return "";
    const std::vector<char> bytes = fixtures::readBytes(piece);
    std::vector<char> all;
    for (int i = 0; i < kLongSeconds / 5; ++i) all.insert(all.end(), bytes.begin(), bytes.end());
    fixtures::writeBytes(mp3, all);
    std::filesystem::remove(wav);
    std::filesystem::remove(piece);
    return mp3;
  }
  static constexpr long kLongSeconds = 600;

  TempDir dir;
};

void expectSameAudio(const Pcm& actual, const Pcm& expected) {
  EXPECT_EQ(actual.format, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
  EXPECT_EQ(actual.rate, expected.rate);
  EXPECT_EQ(actual.channels, expected.channels);
  EXPECT_EQ(actual.frames(), expected.frames());
  EXPECT_TRUE(actual.samples == expected.samples);
}

TEST_F(Decode, WritesWhatMpg123WritesSampleForSample) {
  struct Case {
    int rate, channels;
    const char* lameArgs;
  };
  for (const Case c : {Case{44100, 2, "-b 128"}, Case{48000, 1, "-V 2"}, Case{22050, 2, "-b 64 -t"}}) {
    SCOPED_TRACE(c.lameArgs);
    const std::string wav = dir / "source.wav", mp3 = dir / "track.mp3", out = dir / "out.wav";
    ASSERT_TRUE(fixtures::makeWav(wav, 2.5, c.rate, c.channels));
    ASSERT_TRUE(fixtures::makeMp3(wav, mp3, c.lameArgs));
    ASSERT_TRUE(open(mp3));
    ASSERT_TRUE(vbmp3_decodeWave(out.c_str()));
    ASSERT_TRUE(codec::waitIdle());
    expectSameAudio(codec::readPcm(out), codec::decodeWithMpg123(mp3));
  }
}

// The parts after a change of channels and rate come out in the first part's format.
TEST_F(Decode, JoinedStreamIsWrittenWholeInTheFirstFormat) {
  const std::string out = dir / "out.wav", joined = dir / "joined.mp3";
  std::vector<std::string> parts;
  for (const auto& [rate, channels] : {std::pair{44100, 1}, std::pair{48000, 2}}) {
    const std::string name = dir / ("part" + std::to_string(parts.size()));
    ASSERT_TRUE(fixtures::makeWav(name + ".wav", 2.5, rate, channels));
    ASSERT_TRUE(fixtures::makeMp3(name + ".wav", name + ".mp3"));
    parts.push_back(name + ".mp3");
  }
  fixtures::joinFiles(joined, parts);
  TrackInfo info{};
  ASSERT_EQ(vbmp3_open(joined.c_str(), &info), 1);
  EXPECT_EQ(info.length, 5);
  EXPECT_EQ(info.samplingRate, 44100);
  ASSERT_TRUE(vbmp3_decodeWave(out.c_str()));
  ASSERT_TRUE(codec::waitIdle());
  const Pcm written = codec::readPcm(out);
  EXPECT_EQ(written.rate, 44100);
  EXPECT_EQ(written.channels, 1);
  EXPECT_NEAR(written.frames(), vbmp3::openSource(joined)->info().lengthFrames, 4);
}

TEST_F(Decode, WavTrackBecomes16BitPcmWav) {
  const std::string wav = dir / "mono.wav", out = dir / "out.wav";
  ASSERT_TRUE(fixtures::makeWav(wav, 1, 32000, 1, 24));
  ASSERT_TRUE(open(wav));
  ASSERT_TRUE(vbmp3_decodeWave(out.c_str()));
  ASSERT_TRUE(codec::waitIdle());
  // sox without dither rounds to the nearest 16-bit value, as the library does.
  const std::string rounded = dir / "rounded.wav";
  ASSERT_EQ(fixtures::run("sox -q -D " + fixtures::quote(wav) + " -b 16 " + fixtures::quote(rounded)), 0);
  const Pcm expected = codec::readPcm(rounded);
  expectSameAudio(codec::readPcm(out), expected);
}

TEST_F(Decode, PlayDecodeWavePlaysWhileItWrites) {
  const std::string wav = dir / "source.wav", mp3 = dir / "track.mp3", out = dir / "out.wav";
  ASSERT_TRUE(fixtures::makeWav(wav, 5));  // plays on well after the quick decode
  ASSERT_TRUE(fixtures::makeMp3(wav, mp3));
  ASSERT_TRUE(open(mp3));
  ASSERT_TRUE(vbmp3_playDecodeWave(out.c_str()));
  int32_t seconds = -1;
  EXPECT_EQ(vbmp3_getState(&seconds), 1);
  ASSERT_TRUE(codec::waitIdle());
  EXPECT_EQ(vbmp3_getState(&seconds), 1) << "playing goes on after the file is written";
  expectSameAudio(codec::readPcm(out), codec::decodeWithMpg123(mp3));
}

TEST_F(Decode, StopLeavesAValidShorterWav) {
  const std::string mp3 = longMp3(), out = dir / "out.wav";
  ASSERT_TRUE(open(mp3));
  ASSERT_TRUE(vbmp3_decodeWave(out.c_str()));
  EXPECT_EQ(vbmp3_getEncodeState(), 1);
  EXPECT_EQ(vbmp3_encodeStop(), 1);
  EXPECT_EQ(vbmp3_getEncodeState(), 0);
  const Pcm written = codec::readPcm(out);
  EXPECT_EQ(written.channels, 2);
  EXPECT_LT(written.frames(), kLongSeconds * 44100);
  const auto bytes = std::filesystem::file_size(out);
  EXPECT_EQ(bytes, 44 + static_cast<uintmax_t>(written.samples.size()) * 2) << "header sizes match the data";
  EXPECT_EQ(codec::listDir(dir.path()), (std::vector<std::string>{"long.mp3", "out.wav"}));
}

// Freeing the library ends a running job rather than leaving its thread behind.
TEST_F(Decode, FreeEndsARunningJob) {
  ASSERT_TRUE(open(longMp3()));
  ASSERT_TRUE(vbmp3_decodeWave((dir / "out.wav").c_str()));
  vbmp3_free();
  EXPECT_EQ(vbmp3_getEncodeState(), 0);
  EXPECT_LT(codec::readPcm(dir / "out.wav").frames(), kLongSeconds * 44100);
}

TEST_F(Decode, RefusesBadRequestsCleanly) {
  EXPECT_EQ(vbmp3_decodeWave((dir / "none.wav").c_str()), 0) << "no track open";
  EXPECT_EQ(vbmp3_playDecodeWave((dir / "none.wav").c_str()), 0);

  ASSERT_TRUE(open(longMp3()));
  EXPECT_EQ(vbmp3_decodeWave(nullptr), 0);
  EXPECT_EQ(vbmp3_decodeWave((dir / "no/such/out.wav").c_str()), 0);
  std::filesystem::create_directory(dir / "folder.wav");
  EXPECT_EQ(vbmp3_decodeWave((dir / "folder.wav").c_str()), 0);
  EXPECT_EQ(vbmp3_getEncodeState(), 0);

  ASSERT_TRUE(vbmp3_decodeWave((dir / "first.wav").c_str()));
  EXPECT_EQ(vbmp3_decodeWave((dir / "second.wav").c_str()), 0) << "one job at a time";
  EXPECT_EQ(vbmp3_encodeStart((dir / "third.mp3").c_str()), 0);
  EXPECT_EQ(vbmp3_encodeStop(), 1);
  EXPECT_EQ(codec::listDir(dir.path()), (std::vector<std::string>{"first.wav", "folder.wav", "long.mp3"}));
}

}  // namespace
