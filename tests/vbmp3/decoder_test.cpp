#include "decoder.h"

#include <gtest/gtest.h>
#include <sndfile.h>
#include <unistd.h>

#include <cstdlib>
#include <random>

#include "audio_fixtures.h"

namespace {

using fixtures::TempDir;

std::vector<int16_t> readAll(vbmp3::Source& source) {
  std::vector<int16_t> pcm;
  std::vector<int16_t> block(4096 * source.info().channels);
  while (size_t got = source.read(block.data(), 4096))
    pcm.insert(pcm.end(), block.begin(), block.begin() + got * source.info().channels);
  return pcm;
}

// What the mpg123 command line tool writes for the file: the reference decoding.
std::vector<int16_t> referenceDecode(const std::string& mp3, const TempDir& dir) {
  const std::string wav = dir / "reference.wav";
  if (fixtures::run("mpg123 -q -w " + fixtures::quote(wav) + " " + fixtures::quote(mp3)) != 0) return {};
  SF_INFO info{};
  SNDFILE* f = sf_open(wav.c_str(), SFM_READ, &info);
  if (!f) return {};
  std::vector<int16_t> pcm(info.frames * info.channels);
  sf_readf_short(f, pcm.data(), info.frames);
  sf_close(f);
  return pcm;
}

class Mp3Decoding : public ::testing::Test {
 protected:
  // Makes `name`.mp3 from a sox tone at the given rate and channel count, encoded with lame `args`.
  std::string makeMp3(const std::string& name, int rate, int channels, const std::string& args,
                      double seconds = 2.5) {
    const std::string wav = dir / (name + ".wav");
    const std::string mp3 = dir / (name + ".mp3");
    EXPECT_TRUE(fixtures::makeWav(wav, seconds, rate, channels));
    EXPECT_TRUE(fixtures::makeMp3(wav, mp3, args));
    return mp3;
  }

  void expectMatchesReference(const std::string& mp3, int rate, int channels, int version, int layer = 3) {
    SCOPED_TRACE(mp3);
    auto source = vbmp3::openSource(mp3);
    ASSERT_TRUE(source);
    const auto& info = source->info();
    EXPECT_EQ(info.rate, rate);
    EXPECT_EQ(info.channels, channels);
    EXPECT_EQ(info.mpegVersion, version);
    EXPECT_EQ(info.layer, layer);
    EXPECT_GT(info.frames, 0);
    const auto decoded = readAll(*source);
    const auto reference = referenceDecode(mp3, dir);
    ASSERT_FALSE(reference.empty());
    EXPECT_EQ(info.lengthFrames * channels, static_cast<int64_t>(reference.size()));
    EXPECT_TRUE(decoded == reference)
        << "decoded " << decoded.size() << " samples, reference " << reference.size();
  }

  TempDir dir;
};

TEST_F(Mp3Decoding, MatchesTheMpg123ToolSampleForSample) {
  expectMatchesReference(makeMp3("cbr", 44100, 2, "-b 128"), 44100, 2, 1);
  expectMatchesReference(makeMp3("vbr", 44100, 2, "-V 2"), 44100, 2, 1);
  expectMatchesReference(makeMp3("r48", 48000, 2, "-b 192"), 48000, 2, 1);
  expectMatchesReference(makeMp3("mono", 22050, 1, "-b 64"), 22050, 1, 2);
  expectMatchesReference(makeMp3("mpeg2", 24000, 2, "-b 64"), 24000, 2, 2);
  expectMatchesReference(makeMp3("mpeg25", 11025, 1, "-b 32"), 11025, 1, 3);
  // Layer II, written by sox through twolame.
  ASSERT_TRUE(fixtures::makeWav(dir / "layer2.wav", 2.0));
  ASSERT_EQ(fixtures::run("sox -q " + fixtures::quote(dir / "layer2.wav") + " " +
                          fixtures::quote(dir / "layer2.mp2")),
            0);
  expectMatchesReference(dir / "layer2.mp2", 44100, 2, 1, 2);
}

TEST_F(Mp3Decoding, ReportsBitRateAndExactLength) {
  auto cbr = vbmp3::openSource(makeMp3("cbr", 44100, 2, "-b 128", 3.0));
  ASSERT_TRUE(cbr);
  EXPECT_EQ(cbr->info().bitRate, 128);
  EXPECT_EQ(cbr->info().lengthFrames, 3 * 44100);

  // VBR: the average over the file's audio bytes.
  const std::string vbrPath = makeMp3("vbr", 44100, 2, "-V 2", 3.0);
  auto vbr = vbmp3::openSource(vbrPath);
  ASSERT_TRUE(vbr);
  EXPECT_EQ(vbr->info().lengthFrames, 3 * 44100);
  const double expected = fixtures::readBytes(vbrPath).size() * 8.0 / 3.0 / 1000.0;
  EXPECT_NEAR(vbr->info().bitRate, expected, expected * 0.03);
}

TEST_F(Mp3Decoding, SkipsId3TagsAndSeeksToTheExactFrame) {
  // Both an ID3v2 tag in front and an ID3v1 tag at the end.
  const std::string mp3 =
      makeMp3("tagged", 44100, 2, "-b 128 --add-id3v2 --pad-id3v2 --tt Title --ta Someone", 3.0);
  auto source = vbmp3::openSource(mp3);
  ASSERT_TRUE(source);
  EXPECT_EQ(source->info().lengthFrames, 3 * 44100);
  const auto whole = readAll(*source);
  for (int64_t target : {int64_t{0}, int64_t{44100}, int64_t{100003}, int64_t{1234}}) {
    ASSERT_TRUE(source->seek(target));
    std::vector<int16_t> block(2 * 1000);
    ASSERT_EQ(source->read(block.data(), 1000), 1000u);
    EXPECT_TRUE(std::equal(block.begin(), block.end(), whole.begin() + target * 2)) << "seek to " << target;
  }
  EXPECT_FALSE(source->seek(-1));
  EXPECT_FALSE(source->seek(3 * 44100 + 1));
}

TEST_F(Mp3Decoding, TruncatedFileYieldsWhatIsThere) {
  const std::string mp3 = makeMp3("whole", 44100, 2, "-V 2", 3.0);
  auto bytes = fixtures::readBytes(mp3);
  bytes.resize(bytes.size() / 2);
  fixtures::writeBytes(dir / "half.mp3", bytes);
  auto source = vbmp3::openSource(dir / "half.mp3");
  ASSERT_TRUE(source);
  EXPECT_LT(source->info().lengthFrames, 2 * 44100);
  // The cut-off last frame is counted but cannot be decoded.
  EXPECT_NEAR(static_cast<double>(readAll(*source).size()), source->info().lengthFrames * 2.0, 1152 * 2);
}

struct WaveCase {
  int rate;
  int channels;
  int bits;
  const char* encoding;
  int tolerance;  // against the 16-bit rendering of the same tone
};

TEST(WaveDecoding, ReadsEveryPcmVariantAs16Bit) {
  TempDir dir;
  const WaveCase cases[] = {
      {44100, 2, 16, "signed-integer", 0}, {44100, 2, 8, "unsigned-integer", 300},
      {44100, 2, 24, "signed-integer", 2}, {44100, 2, 32, "signed-integer", 2},
      {44100, 2, 32, "floating-point", 2}, {22050, 1, 16, "signed-integer", 0},
      {11025, 2, 24, "signed-integer", 2}, {7350, 1, 32, "floating-point", 2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.bits) + " bit " + c.encoding + " at " + std::to_string(c.rate));
    const std::string path = dir / "variant.wav";
    const std::string reference = dir / "reference.wav";
    ASSERT_TRUE(fixtures::makeWav(path, 1.0, c.rate, c.channels, c.bits, c.encoding));
    ASSERT_EQ(fixtures::run("sox -q -D " + fixtures::quote(path) + " -b 16 -e signed-integer " +
                            fixtures::quote(reference)),
              0);
    auto source = vbmp3::openSource(path);
    auto expected = vbmp3::openSource(reference);
    ASSERT_TRUE(source);
    ASSERT_TRUE(expected);
    EXPECT_EQ(source->info().rate, c.rate);
    EXPECT_EQ(source->info().channels, c.channels);
    EXPECT_EQ(source->info().lengthFrames, c.rate);
    EXPECT_EQ(source->info().bitRate, c.rate * c.bits * c.channels / 1000);
    EXPECT_EQ(source->info().mpegVersion, 0);
    const auto got = readAll(*source);
    const auto want = readAll(*expected);
    ASSERT_EQ(got.size(), want.size());
    int worst = 0;
    for (size_t i = 0; i < got.size(); ++i) worst = std::max(worst, std::abs(got[i] - want[i]));
    EXPECT_LE(worst, c.tolerance);
  }
}

TEST(WaveDecoding, HeaderThatOverstatesTheDataStopsAtTheRealEnd) {
  TempDir dir;
  const std::string path = dir / "lying.wav";
  ASSERT_TRUE(fixtures::makeWav(path, 1.0));
  auto bytes = fixtures::readBytes(path);
  bytes.resize(bytes.size() - 44100);  // a quarter of the data is missing; the header still claims it
  fixtures::writeBytes(path, bytes);
  auto source = vbmp3::openSource(path);
  ASSERT_TRUE(source);
  const auto pcm = readAll(*source);
  EXPECT_LE(static_cast<int64_t>(pcm.size()), source->info().lengthFrames * 2);
  EXPECT_LT(pcm.size(), 44100u * 2);
}

TEST(BadInput, AnythingThatIsNotAudioGivesNoSource) {
  TempDir dir;
  std::mt19937 random(7);
  std::vector<char> noise(64 * 1024);
  for (auto& b : noise) b = static_cast<char>(random());
  fixtures::writeBytes(dir / "noise.mp3", noise);
  fixtures::writeBytes(dir / "noise.wav", noise);
  fixtures::writeBytes(dir / "empty.mp3", {});
  const std::string text = "This is not music, just a note to self.\n";
  fixtures::writeBytes(dir / "note.mp3", std::vector<char>(text.begin(), text.end()));
  ASSERT_TRUE(fixtures::makeWav(dir / "tone.wav", 1.0));
  ASSERT_TRUE(fixtures::makeMp3(dir / "tone.wav", dir / "tone.mp3"));
  auto mp3 = fixtures::readBytes(dir / "tone.mp3");
  fixtures::writeBytes(dir / "stub.mp3", std::vector<char>(mp3.begin(), mp3.begin() + 100));
  auto wav = fixtures::readBytes(dir / "tone.wav");
  fixtures::writeBytes(dir / "stub.wav", std::vector<char>(wav.begin(), wav.begin() + 30));
  std::filesystem::create_directory(dir / "folder.mp3");
  ASSERT_EQ(mkfifo((dir / "pipe.mp3").c_str(), 0600), 0);

  for (const char* name : {"noise.mp3", "noise.wav", "empty.mp3", "note.mp3", "stub.mp3", "stub.wav",
                           "folder.mp3", "pipe.mp3", "missing.mp3"}) {
    EXPECT_FALSE(vbmp3::openSource(dir / name)) << name;
  }
  EXPECT_FALSE(vbmp3::openSource(""));
  EXPECT_FALSE(vbmp3::openSource(dir.path() + "/" + std::string(5000, 'a') + ".mp3"));

  if (geteuid() != 0) {  // root reads files whatever their mode says
    std::filesystem::permissions(dir / "tone.mp3", std::filesystem::perms::none);
    EXPECT_FALSE(vbmp3::openSource(dir / "tone.mp3"));
  }
}

}  // namespace
