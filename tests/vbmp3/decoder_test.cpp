#include "decoder.h"

#include <gtest/gtest.h>
#include <sndfile.h>
#include <unistd.h>

#include <cstdlib>
#include <functional>
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

// Sample frames the mpg123 tool decodes from the file when held to one rate and channel count.
int64_t peerFrames(const std::string& mp3, int rate, int channels, const TempDir& dir) {
  const std::string raw = dir / "peer.raw";
  // Through a pipe: written to a file, the tool starts the file again at each change of format.
  const std::string command = "mpg123 -q -s -e s16 -r " + std::to_string(rate) +
                              (channels == 1 ? " --mono " : " --stereo ") + fixtures::quote(mp3) +
                              " 2>/dev/null | cat > " + fixtures::quote(raw);
  if (fixtures::run(command) != 0) return -1;
  return static_cast<int64_t>(std::filesystem::file_size(raw)) / (2 * channels);
}

int64_t framesOf(const std::vector<int16_t>& pcm, const vbmp3::Source& source) {
  return static_cast<int64_t>(pcm.size()) / source.info().channels;
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

  // Bytes of `name`, made by `command` with {in} and {out} standing for the WAV and the file.
  std::string make(const std::string& name, const std::string& command, const std::string& wav) {
    std::string line = command;
    line.replace(line.find("{in}"), 4, fixtures::quote(wav));
    line.replace(line.find("{out}"), 5, fixtures::quote(dir / name));
    EXPECT_EQ(fixtures::run(line + " >/dev/null 2>&1"), 0) << line;
    return dir / name;
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

  // VBR: the average over the file's frames, each 1152 samples long.
  const std::string vbrPath = makeMp3("vbr", 44100, 2, "-V 2", 3.0);
  auto vbr = vbmp3::openSource(vbrPath);
  ASSERT_TRUE(vbr);
  EXPECT_EQ(vbr->info().lengthFrames, 3 * 44100);
  const double seconds = vbr->info().frames * 1152 / 44100.0;
  const double expected = fixtures::readBytes(vbrPath).size() * 8.0 / seconds / 1000.0;
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
      {44100, 2, 24, "signed-integer", 0}, {44100, 2, 32, "signed-integer", 0},
      {44100, 2, 32, "floating-point", 2}, {22050, 1, 16, "signed-integer", 0},
      {11025, 2, 24, "signed-integer", 0}, {7350, 1, 32, "floating-point", 2},
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
  // WAVs whose data chunk declares no bytes hold no audio, whatever follows the chunk.
  ASSERT_EQ(std::string(wav.begin() + 36, wav.begin() + 40), "data");
  auto emptyWav = [&](const std::string& name, std::vector<char> after) {
    std::vector<char> bytes(wav.begin(), wav.begin() + 40);
    bytes.insert(bytes.end(), 4, 0);
    bytes.insert(bytes.end(), after.begin(), after.end());
    fixtures::writeBytes(dir / name, bytes);
  };
  emptyWav("data0.wav", {});
  emptyWav("data0-list.wav", {'L', 'I', 'S', 'T', 4, 0, 0, 0, 'I', 'N', 'F', 'O'});
  emptyWav("data0-pcm.wav", std::vector<char>(wav.begin() + 44, wav.end()));
  std::filesystem::create_directory(dir / "folder.mp3");
  ASSERT_EQ(mkfifo((dir / "pipe.mp3").c_str(), 0600), 0);

  for (const char* name :
       {"noise.mp3", "noise.wav", "empty.mp3", "note.mp3", "stub.mp3", "stub.wav", "data0.wav",
        "data0-list.wav", "data0-pcm.wav", "folder.mp3", "pipe.mp3", "missing.mp3"}) {
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

namespace {

// Two streams joined end to end, as conformance streams and careless concatenations have them.
TEST_F(Mp3Decoding, JoinedStreamsDecodeToTheEndInTheFirstFormat) {
  struct Case {
    const char* name;
    int rate1, channels1, rate2, channels2;
  };
  for (const Case c :
       {Case{"mono then stereo", 44100, 1, 44100, 2}, Case{"stereo then mono", 44100, 2, 44100, 1},
        Case{"44.1 then 48 kHz", 44100, 2, 48000, 2}, Case{"48 then 32 kHz", 48000, 1, 32000, 2}}) {
    SCOPED_TRACE(c.name);
    const std::string joined = dir / "joined.mp3";
    fixtures::joinFiles(joined, {makeMp3("first", c.rate1, c.channels1, "-b 128", 2.0),
                                 makeMp3("second", c.rate2, c.channels2, "-b 128", 3.0)});
    auto source = vbmp3::openSource(joined);
    ASSERT_TRUE(source);
    EXPECT_EQ(source->info().rate, c.rate1);
    EXPECT_EQ(source->info().channels, c.channels1);
    const auto whole = readAll(*source);
    const int64_t frames = framesOf(whole, *source);
    EXPECT_GE(frames, 5 * c.rate1) << "both parts come out";
    EXPECT_NEAR(frames, peerFrames(joined, c.rate1, c.channels1, dir), 4);
    EXPECT_NEAR(source->info().lengthFrames, frames, 4);

    // A seek into the second part lands within an MPEG frame of the target.
    const int64_t target = 7 * c.rate1 / 2;
    ASSERT_TRUE(source->seek(target));
    EXPECT_NEAR(framesOf(readAll(*source), *source), frames - target, 1152);
  }
}

TEST_F(Mp3Decoding, DamagedStreamYieldsWhatMpg123Yields) {
  const auto clean = fixtures::readBytes(makeMp3("clean", 44100, 2, "-V 2", 4.0));
  const size_t middle = clean.size() / 2;
  std::mt19937 random(11);
  auto noise = [&](size_t n) {
    std::vector<char> bytes(n);
    for (auto& b : bytes) b = static_cast<char>(random());
    return bytes;
  };
  using Bytes = std::vector<char>;
  struct Damage {
    const char* name;
    std::function<void(Bytes&)> apply;
  };
  const Damage damages[] = {
      {"500 zero bytes", [&](Bytes& b) { std::fill_n(b.begin() + middle, 500, 0); }},
      {"1000 random bytes",
       [&](Bytes& b) {
         auto n = noise(1000);
         std::copy(n.begin(), n.end(), b.begin() + middle);
       }},
      {"frame headers with flipped bits",
       [&](Bytes& b) {
         int flipped = 0;
         for (size_t i = middle; i + 2 < b.size() && flipped < 3; ++i)
           if (static_cast<unsigned char>(b[i]) == 0xff && (b[i + 1] & 0xe0) == 0xe0)
             b[i + 2] ^= 1 << flipped++;
       }},
      {"a frame cut short", [&](Bytes& b) { b.erase(b.begin() + middle, b.begin() + middle + 300); }},
      {"an ID3v2 tag in the middle",
       [&](Bytes& b) {
         Bytes tag = {'I', 'D', '3', 3, 0, 0, 0, 0, 2, 0};
         tag.resize(10 + 256);
         b.insert(b.begin() + middle, tag.begin(), tag.end());
       }},
      {"5000 random bytes inserted",
       [&](Bytes& b) {
         auto n = noise(5000);
         b.insert(b.begin() + middle, n.begin(), n.end());
       }},
  };
  for (const auto& damage : damages) {
    SCOPED_TRACE(damage.name);
    Bytes bytes = clean;
    damage.apply(bytes);
    fixtures::writeBytes(dir / "damaged.mp3", bytes);
    auto source = vbmp3::openSource(dir / "damaged.mp3");
    ASSERT_TRUE(source);
    const int64_t frames = framesOf(readAll(*source), *source);
    EXPECT_NEAR(frames, peerFrames(dir / "damaged.mp3", 44100, 2, dir), 1152);
    // The scan can count a frame or two that decoding then drops.
    EXPECT_NEAR(source->info().lengthFrames, frames, 2 * 1152);
  }
}

// Containers whose payload holds bytes that look like MPEG frames (cover art, a spliced-in
// stretch, an MP3 track) are what they are, not MP3.
TEST_F(Mp3Decoding, OtherContainersDoNotOpenEvenWithFramesInside) {
  const std::string wav = dir / "tone.wav", mp3 = makeMp3("tone", 44100, 2, "-b 128", 3.0);
  ASSERT_EQ(fixtures::run("sox -q -n -r 44100 -c 2 -b 16 -e signed-integer -t wavpcm " +
                          fixtures::quote(wav) + " synth 3 sine 440"),
            0);
  const auto frames = fixtures::readBytes(mp3);
  const std::vector<char> art(frames.begin(), frames.begin() + 20000);
  fixtures::writeBytes(dir / "art.bin", art);
  const std::string picture = " --picture='3|image/jpeg||300x300x24|" + (dir / "art.bin") + "'";
  // Frames spliced in after the first 200 bytes of a file.
  auto splice = [&](const std::string& path) {
    auto bytes = fixtures::readBytes(path);
    bytes.insert(bytes.begin() + 200, art.begin(), art.end());
    fixtures::writeBytes(path, bytes);
    return path;
  };
  std::vector<std::string> files = {
      make("cover.flac", "flac -s" + picture + " {in} -o {out}", wav),
      make("cover.oga", "flac -s --ogg" + picture + " {in} -o {out}", wav),
      splice(make("spliced.ogg", "oggenc -Q {in} -o {out}", wav)),
      splice(make("spliced.spx", "sox {in} -r 16000 -c 1 -t wavpcm - | speexenc --quiet - {out}", wav)),
      make("tone.aiff", "sox {in} {out}", wav),
      make("tone.au", "sox {in} {out}", wav),
  };
  // Matroska with the MP3 as its audio track: EBML elements with 8-byte sizes.
  auto element = [](std::vector<char> id, const std::vector<char>& payload) {
    id.push_back(1);
    for (int shift = 48; shift >= 0; shift -= 8) id.push_back(static_cast<char>(payload.size() >> shift));
    id.insert(id.end(), payload.begin(), payload.end());
    return id;
  };
  auto concat = [](std::vector<char> a, const std::vector<char>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
  };
  const auto ebml = element({'\x1a', '\x45', '\xdf', '\xa3'},
                            element({'\x42', '\x82'}, {'m', 'a', 't', 'r', 'o', 's', 'k', 'a'}));
  const auto track =
      element({'\x16', '\x54', '\xae', '\x6b'},
              element({'\xae'}, element({'\x86'}, {'A', '_', 'M', 'P', 'E', 'G', '/', 'L', '3'})));
  const auto block = element({'\xa3'}, concat({'\x81', 0, 0, '\x80'}, frames));
  const auto cluster = element({'\x1f', '\x43', '\xb6', '\x75'}, concat(element({'\xe7'}, {0}), block));
  fixtures::writeBytes(dir / "track.mka",
                       concat(ebml, element({'\x18', '\x53', '\x80', '\x67'}, concat(track, cluster))));
  files.push_back(dir / "track.mka");
  // Each again behind an ID3v2 tag, as some taggers leave them.
  const std::vector<char> id3 = {'I', 'D', '3', 3, 0, 0, 0,   0, 0, 20, 'T', 'I', 'T', '2', 0,
                                 0,   0,   2,   0, 0, 0, 'x', 0, 0, 0,  0,   0,   0,   0,   0};
  for (size_t i = 0, n = files.size(); i < n; ++i) {
    files.push_back(files[i] + ".tagged");
    fixtures::writeBytes(files.back(), concat(id3, fixtures::readBytes(files[i])));
  }
  for (const auto& file : files) EXPECT_FALSE(vbmp3::openSource(file)) << file;
  EXPECT_TRUE(vbmp3::openSource(mp3)) << "the frames themselves are an MP3";
}

TEST_F(Mp3Decoding, StreamsOfEveryShapeStillOpen) {
  const std::string wav = dir / "tone.wav";
  ASSERT_TRUE(fixtures::makeWav(wav, 2.0));
  const std::string plain = make("plain.mp3", "lame --quiet -b 128 {in} {out}", wav);
  const auto plainBytes = fixtures::readBytes(plain);
  std::mt19937 random(5);
  std::vector<char> junk(20000);
  for (auto& b : junk) b = static_cast<char>(random());
  junk.insert(junk.end(), plainBytes.begin(), plainBytes.end());
  fixtures::writeBytes(dir / "junk.mp3", junk);
  ASSERT_TRUE(fixtures::makeWav(dir / "blip.wav", 0.06));
  const std::string files[] = {
      make("tagged.mp3", "lame --quiet -V 2 --add-id3v2 --pad-id3v2-size 100000 --tt Title {in} {out}", wav),
      dir / "junk.mp3",
      make("free.mp3", "lame --quiet --freeformat -b 400 {in} {out}", wav),
      make("blip.mp3", "lame --quiet -t -b 128 {in} {out}", dir / "blip.wav"),
      make("layer2.mp2", "sox -q {in} {out}", wav),
  };
  for (const auto& file : files) {
    SCOPED_TRACE(file);
    auto source = vbmp3::openSource(file);
    ASSERT_TRUE(source);
    EXPECT_EQ(framesOf(readAll(*source), *source), peerFrames(file, 44100, 2, dir));
  }
}

TEST_F(Mp3Decoding, BitRateCountsTheAudioFramesOnly) {
  struct Case {
    const char* lameArgs;
    int bitRate;  // 0: whatever the encoder made of the tone
  };
  for (const Case c : {Case{"-b 160", 160}, Case{"--abr 160", 0}, Case{"-V 2", 0}}) {
    SCOPED_TRACE(c.lameArgs);
    const std::string bare = makeMp3("bare", 44100, 2, c.lameArgs, 1.0);
    // The same audio behind a 30 KB ID3v2 tag, followed by a 20 KB APE tag (cover art, say) and
    // an ID3v1 tag.
    std::vector<char> bytes = {'I', 'D', '3', 3, 0, 0, 0, 1, 0x6a, 0x30};  // 30000 bytes follow
    bytes.resize(10 + 30000);
    const auto audio = fixtures::readBytes(bare);
    bytes.insert(bytes.end(), audio.begin(), audio.end());
    std::vector<char> ape(20000, 'x');
    std::copy_n("APETAGEX", 8, ape.begin());
    bytes.insert(bytes.end(), ape.begin(), ape.end());
    std::vector<char> id3v1(128, ' ');
    std::copy_n("TAG", 3, id3v1.begin());
    bytes.insert(bytes.end(), id3v1.begin(), id3v1.end());
    const std::string tagged = dir / "tagged.mp3";
    fixtures::writeBytes(tagged, bytes);
    auto plain = vbmp3::openSource(bare), withTags = vbmp3::openSource(tagged);
    ASSERT_TRUE(plain && withTags);
    if (c.bitRate) EXPECT_NEAR(plain->info().bitRate, c.bitRate, c.bitRate / 20);
    EXPECT_EQ(withTags->info().bitRate, plain->info().bitRate);
  }
}

TEST(WaveDecoding, WideSamplesRoundToTheNearest16BitValue) {
  TempDir dir;
  struct Case {
    int32_t sample;  // as libsndfile gives it: left-aligned in 32 bits
    int16_t expected;
  };
  const Case cases[] = {
      {0x00007f00, 0},  {0x00008000, 1},   {0x0000ff00, 1},     {0x12348000, 0x1235},
      {-0x00008000, 0}, {-0x00008100, -1}, {0x7fffff00, 32767}, {INT32_MIN, -32768},
  };
  for (const int bits : {24, 32}) {
    SCOPED_TRACE(bits);
    const std::string path = dir / "wide.wav";
    SF_INFO info{};
    info.samplerate = 44100;
    info.channels = 1;
    info.format = SF_FORMAT_WAV | (bits == 24 ? SF_FORMAT_PCM_24 : SF_FORMAT_PCM_32);
    SNDFILE* f = sf_open(path.c_str(), SFM_WRITE, &info);
    ASSERT_TRUE(f);
    std::vector<int> samples;
    for (const auto& c : cases) samples.push_back(c.sample);
    sf_write_int(f, samples.data(), static_cast<sf_count_t>(samples.size()));
    sf_close(f);
    auto source = vbmp3::openSource(path);
    ASSERT_TRUE(source);
    std::vector<int16_t> got(samples.size());
    ASSERT_EQ(source->read(got.data(), got.size()), got.size());
    for (size_t i = 0; i < got.size(); ++i)
      EXPECT_EQ(got[i], cases[i].expected) << std::hex << cases[i].sample;
  }
}

}  // namespace
