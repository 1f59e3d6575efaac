// A tag write replaces the file whole: a reader that has it open (the playing track) goes
// on with the bytes it opened, and the file keeps its mode and stays behind its link.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstring>
#include <filesystem>
#include <vector>

#include "audio_fixtures.h"
#include "decoder.h"
#include "vbmp3.h"

namespace {

namespace fs = std::filesystem;

// A tag whose frames fill it to the last byte: any larger tag outgrows it.
const std::string kTightTag(
    "ID3\3\0\0\0\0\0\x0c"
    "TIT2\0\0\0\2\0\0\0x",
    22);

TagInfo bigRecord() {
  TagInfo tag{};
  for (char* f : {tag.title, tag.artist, tag.album, tag.comment})
    std::strcpy(f, "長い長い長い長い長い長い長い長い長い長い長い");
  std::strcpy(tag.year, "2024");
  tag.genre = 17;
  return tag;
}

std::vector<int16_t> readFrames(vbmp3::Source& source, size_t frames) {
  std::vector<int16_t> pcm(frames * source.info().channels);
  pcm.resize(source.read(pcm.data(), frames) * source.info().channels);
  return pcm;
}

class TagReplace : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(fixtures::makeWav(dir / "tone.wav", 3));
    ASSERT_TRUE(fixtures::makeMp3(dir / "tone.wav", dir / "tone.mp3"));
    const auto audio = fixtures::readBytes(dir / "tone.mp3");
    std::vector<char> tagged(kTightTag.begin(), kTightTag.end());
    tagged.insert(tagged.end(), audio.begin(), audio.end());
    fixtures::writeBytes(dir / "song.mp3", tagged);
    fixtures::writeBytes(dir / "pristine.mp3", tagged);
  }
  fixtures::TempDir dir;
};

TEST_F(TagReplace, AnOpenReaderDecodesTheSameSoundAcrossAGrowingWrite) {
  const auto reference = vbmp3::openSource(dir / "pristine.mp3");
  const auto reader = vbmp3::openSource(dir / "song.mp3");
  ASSERT_TRUE(reference && reader);
  const size_t half = static_cast<size_t>(reader->info().lengthFrames / 2);
  std::vector<int16_t> heard = readFrames(*reader, half);

  const TagInfo tag = bigRecord();
  ASSERT_EQ(1, vbmp3_setTagInfoEX((dir / "song.mp3").c_str(), &tag, 1, 1));
  ASSERT_GT(fs::file_size(dir / "song.mp3"), fs::file_size(dir / "pristine.mp3") + 200) << "the tag grew";

  const std::vector<int16_t> rest = readFrames(*reader, 1 << 20);
  heard.insert(heard.end(), rest.begin(), rest.end());
  EXPECT_EQ(heard, readFrames(*reference, 1 << 20));
  // A seek after the write still lands in the bytes the reader opened.
  ASSERT_TRUE(reader->seek(1000) && reference->seek(1000));
  EXPECT_EQ(readFrames(*reader, 4096), readFrames(*reference, 4096));
}

TEST_F(TagReplace, ModeAndLinkStay) {
  fs::permissions(dir / "song.mp3", fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  fs::create_symlink(dir / "song.mp3", dir / "link.mp3");
  const TagInfo tag = bigRecord();
  ASSERT_EQ(1, vbmp3_setTagInfoEX((dir / "link.mp3").c_str(), &tag, 1, 1));
  EXPECT_TRUE(fs::is_symlink(dir / "link.mp3"));
  EXPECT_EQ(fs::status(dir / "song.mp3").permissions(),
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  TagInfo read{};
  ASSERT_EQ(1, vbmp3_getFileTagInfoEX((dir / "song.mp3").c_str(), &read));
  EXPECT_STREQ(tag.title, read.title);
  EXPECT_EQ(std::vector<std::string>{}, [&] {
    std::vector<std::string> leftovers;
    for (const auto& entry : fs::directory_iterator(dir.path()))
      if (entry.path().extension() == ".part") leftovers.push_back(entry.path().filename());
    return leftovers;
  }()) << "no temporary file is left behind";
}

}  // namespace
