#include <gtest/gtest.h>
#include <sys/mount.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <thread>

#include "codec_helpers.h"
#include "pending_file.h"

using codec::Pcm;
using fixtures::TempDir;

namespace {

class Encode : public ::testing::Test {
 protected:
  void TearDown() override {
    vbmp3_encodeStop();
    EXPECT_EQ(vbmp3_getEncodeState(), 0);
  }

  // Encodes `wav` to `mp3` and waits; false if either call refuses.
  static bool encode(const std::string& wav, const std::string& mp3, EncodeInfo* info = nullptr) {
    EncodeInfo scratch{};
    if (!vbmp3_encodeOpen(wav.c_str(), info ? info : &scratch)) return false;
    if (!vbmp3_encodeStart(mp3.c_str())) return false;
    return codec::waitIdle();
  }

  TempDir dir;
};

struct Source {
  int rate;
  int channels;
  int bits;
  const char* encoding;
};

class EncodeFormats : public Encode, public ::testing::WithParamInterface<Source> {};

// The LAME Info frame lets mpg123 cut the encoder delay and padding exactly.
TEST_P(EncodeFormats, DecodesBackToTheSourceLength) {
  const Source s = GetParam();
  const std::string wav = dir / "in.wav", mp3 = dir / "out.mp3";
  ASSERT_TRUE(fixtures::makeWav(wav, 2.5, s.rate, s.channels, s.bits, s.encoding));
  const long sourceFrames = codec::readPcm(wav).frames();

  EncodeInfo info{};
  ASSERT_TRUE(encode(wav, mp3, &info));
  EXPECT_EQ(info.samplingRate, s.rate);
  EXPECT_EQ(info.channels, s.channels);
  EXPECT_EQ(info.bitsPerSample, s.bits);
  EXPECT_EQ(info.seconds, 2);

  const Pcm decoded = codec::decodeWithMpg123(mp3);
  EXPECT_EQ(decoded.rate, s.rate);
  EXPECT_EQ(decoded.channels, s.channels);
  EXPECT_EQ(decoded.frames(), sourceFrames);
  EXPECT_EQ(codec::listDir(dir.path()),
            (std::vector<std::string>{"in.wav", "out.mp3", "out.mp3.mpg123.wav"}));
}

INSTANTIATE_TEST_SUITE_P(Sources, EncodeFormats,
                         ::testing::Values(Source{44100, 2, 16, "signed-integer"},
                                           Source{48000, 1, 16, "signed-integer"},
                                           Source{22050, 2, 24, "signed-integer"},
                                           Source{32000, 1, 32, "floating-point"},
                                           Source{44100, 2, 8, "unsigned-integer"}));

// A rate MP3 cannot carry is resampled by LAME to one it can; the length stays the same.
TEST_F(Encode, ResamplesARateMp3CannotCarry) {
  const std::string wav = dir / "in.wav", mp3 = dir / "out.mp3";
  ASSERT_TRUE(fixtures::makeWav(wav, 2, 96000, 2));
  ASSERT_TRUE(encode(wav, mp3));
  ASSERT_TRUE(fixtures::makeMp3(wav, dir / "lame.mp3", "-b 128"));
  EXPECT_TRUE(fixtures::readBytes(mp3) == fixtures::readBytes(dir / "lame.mp3"));
  const Pcm decoded = codec::decodeWithMpg123(mp3);
  ASSERT_GT(decoded.rate, 0);
  EXPECT_LE(decoded.rate, 48000);
  EXPECT_NEAR(static_cast<double>(decoded.frames()) / decoded.rate, 2.0, 0.03);
}

TEST_F(Encode, StateIsOneWhileRunningAndStopLeavesAShorterValidFile) {
  const std::string wav = dir / "long.wav", mp3 = dir / "out.mp3";
  ASSERT_TRUE(fixtures::makeWav(wav, 60, 44100, 2));
  EncodeInfo info{};
  ASSERT_TRUE(vbmp3_encodeOpen(wav.c_str(), &info));
  EXPECT_EQ(vbmp3_getEncodeState(), 0);
  ASSERT_TRUE(vbmp3_encodeStart(mp3.c_str()));
  EXPECT_EQ(vbmp3_getEncodeState(), 1);
  EXPECT_EQ(vbmp3_encodeStart(mp3.c_str()), 0) << "a second job while one runs";
  std::this_thread::sleep_for(std::chrono::milliseconds(100));

  EXPECT_EQ(vbmp3_encodeStop(), 1);
  EXPECT_EQ(vbmp3_getEncodeState(), 0);
  EXPECT_EQ(vbmp3_encodeStop(), 0) << "nothing left to stop";
  const Pcm decoded = codec::decodeWithMpg123(mp3);
  EXPECT_EQ(decoded.channels, 2);
  EXPECT_GT(decoded.frames(), 0);
  EXPECT_LT(decoded.frames(), 60L * 44100);
  EXPECT_EQ(codec::listDir(dir.path()),
            (std::vector<std::string>{"long.wav", "out.mp3", "out.mp3.mpg123.wav"}));
}

// Opening another source ends the running job the same way a stop does.
TEST_F(Encode, NewOpenEndsTheRunningJob) {
  const std::string wav = dir / "long.wav", mp3 = dir / "out.mp3";
  ASSERT_TRUE(fixtures::makeWav(wav, 60, 44100, 1));
  EncodeInfo info{};
  ASSERT_TRUE(vbmp3_encodeOpen(wav.c_str(), &info));
  ASSERT_TRUE(vbmp3_encodeStart(mp3.c_str()));
  EXPECT_TRUE(vbmp3_encodeOpen(wav.c_str(), &info));
  EXPECT_EQ(vbmp3_getEncodeState(), 0);
  EXPECT_EQ(codec::decodeWithMpg123(mp3).channels, 1);
}

TEST_F(Encode, RefusesBadInputCleanly) {
  const std::string wav = dir / "in.wav";
  ASSERT_TRUE(fixtures::makeWav(wav, 0.5));
  EncodeInfo info{};

  EXPECT_EQ(vbmp3_encodeStop(), 0);
  EXPECT_EQ(vbmp3_encodeOpen((dir / "missing.wav").c_str(), &info), 0);
  EXPECT_EQ(vbmp3_encodeStart((dir / "a.mp3").c_str()), 0) << "nothing is open after a failed open";
  EXPECT_EQ(vbmp3_encodeOpen(nullptr, &info), 0);
  fixtures::writeBytes(dir / "text.wav", {'h', 'e', 'l', 'l', 'o', '\n'});
  EXPECT_EQ(vbmp3_encodeOpen((dir / "text.wav").c_str(), &info), 0);
  ASSERT_TRUE(fixtures::makeWav(dir / "tone.aiff", 0.5));
  EXPECT_EQ(vbmp3_encodeOpen((dir / "tone.aiff").c_str(), &info), 0) << "only WAV is encoded";
  ASSERT_TRUE(fixtures::makeWav(dir / "six.wav", 0.5, 44100, 6));
  EXPECT_EQ(vbmp3_encodeOpen((dir / "six.wav").c_str(), &info), 0);

  ASSERT_TRUE(vbmp3_encodeOpen(wav.c_str(), &info));
  EXPECT_EQ(vbmp3_encodeStart((dir / "no/such/folder/out.mp3").c_str()), 0);
  std::filesystem::create_directory(dir / "folder.mp3");
  EXPECT_EQ(vbmp3_encodeStart((dir / "folder.mp3").c_str()), 0);
  EXPECT_EQ(vbmp3_encodeStart(nullptr), 0);
  EXPECT_EQ(vbmp3_encodeStart(""), 0);
  EXPECT_EQ(vbmp3_getEncodeState(), 0);
  EXPECT_TRUE(std::filesystem::is_empty(dir / "folder.mp3"));
  EXPECT_EQ(codec::listDir(dir.path()),
            (std::vector<std::string>{"folder.mp3", "in.wav", "six.wav", "text.wav", "tone.aiff"}));

  // After all that the opened source still encodes.
  ASSERT_TRUE(vbmp3_encodeStart((dir / "ok.mp3").c_str()));
  ASSERT_TRUE(codec::waitIdle());
  EXPECT_EQ(codec::decodeWithMpg123(dir / "ok.mp3").frames(), 22050);
}

TEST(PendingFile, ReachesItsTargetOnlyWhenCommitted) {
  TempDir dir;
  const std::string target = dir / "out.bin";
  {
    vbmp3::PendingFile abandoned(target);
    ASSERT_TRUE(abandoned.ok());
    ASSERT_EQ(::write(abandoned.fd(), "half", 4), 4);
  }
  EXPECT_TRUE(std::filesystem::is_empty(dir.path()));

  fixtures::writeBytes(target, {'o', 'l', 'd'});
  {
    vbmp3::PendingFile done(target);
    ASSERT_TRUE(done.ok());
    ASSERT_EQ(::write(done.fd(), "new", 3), 3);
    EXPECT_EQ(fixtures::readBytes(target), (std::vector<char>{'o', 'l', 'd'}))
        << "target untouched until commit";
    EXPECT_TRUE(done.commit());
  }
  EXPECT_EQ(fixtures::readBytes(target), (std::vector<char>{'n', 'e', 'w'}));
  EXPECT_EQ(codec::listDir(dir.path()), std::vector<std::string>{"out.bin"});

  EXPECT_FALSE(vbmp3::PendingFile(dir / "missing/out.bin").ok());
  EXPECT_FALSE(vbmp3::PendingFile(dir.path()).ok());
}

// A conversion onto a full disk fails without touching the file it would have replaced and
// leaves nothing of its own behind, in both directions.
TEST(Conversion, OntoAFullDiskKeepsTheOldFile) {
  TempDir dir;
  const std::string wav = dir / "in.wav", mp3 = dir / "in.mp3", disk = dir / "disk";
  ASSERT_TRUE(fixtures::makeWav(wav, 3.0));
  ASSERT_EQ(fixtures::run("lame --quiet " + fixtures::quote(wav) + " " + fixtures::quote(mp3)), 0);
  std::filesystem::create_directory(disk);
  if (::mount("tmpfs", disk.c_str(), "tmpfs", 0, "size=64k") != 0)
    GTEST_SKIP() << "cannot mount a tmpfs here: " << std::strerror(errno);
  struct Unmount {
    std::string path;
    ~Unmount() { ::umount(path.c_str()); }
  } unmount{disk};
  const std::vector<char> old = {'o', 'l', 'd'};
  fixtures::writeBytes(disk + "/out", old);
  std::vector<char> filler(60 * 1024, 'x');
  fixtures::writeBytes(disk + "/filler", filler);  // cut short where the disk is full

  const std::string out = disk + "/out";
  EncodeInfo info{};
  ASSERT_TRUE(vbmp3_encodeOpen(wav.c_str(), &info));
  if (vbmp3_encodeStart(out.c_str())) EXPECT_TRUE(codec::waitIdle());
  EXPECT_EQ(fixtures::readBytes(out), old) << "encode";
  ASSERT_TRUE(vbmp3_open(mp3.c_str(), nullptr));
  if (vbmp3_decodeWave(out.c_str())) EXPECT_TRUE(codec::waitIdle());
  EXPECT_EQ(fixtures::readBytes(out), old) << "decode";
  EXPECT_EQ(codec::listDir(disk), (std::vector<std::string>{"filler", "out"}));
  vbmp3_free();
}

}  // namespace
