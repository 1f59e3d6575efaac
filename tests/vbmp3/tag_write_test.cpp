#include <grp.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include "tag_fixtures.h"
#include "tags.h"

using namespace tagfixtures;
namespace fs = std::filesystem;

namespace {

// A record filled the way the tag editor fills it: fields padded with blanks.
TagInfo editorRecord(const std::string& title, const std::string& artist, const std::string& album,
                     const std::string& year, const std::string& comment, int32_t genre) {
  TagInfo tag{};
  auto put = [](char* field, size_t size, std::string text) {
    text.resize(size, ' ');
    std::memcpy(field, text.data(), size);
  };
  put(tag.title, sizeof tag.title, title);
  put(tag.artist, sizeof tag.artist, artist);
  put(tag.album, sizeof tag.album, album);
  put(tag.year, sizeof tag.year, year);
  put(tag.comment, sizeof tag.comment, comment);
  tag.genre = genre;
  return tag;
}

int16_t write(const std::string& path, const TagInfo& tag) {
  return vbmp3_setTagInfoEX(path.c_str(), &tag, 1, 1);
}

Bytes id3v1Of(const std::string& path) {
  const Bytes all = fixtures::readBytes(path);
  return all.size() >= 128 ? Bytes(all.end() - 128, all.end()) : Bytes{};
}

std::string v1Field(const Bytes& v1, size_t at, size_t size) {
  return std::string(&v1[at], strnlen(&v1[at], size));
}

// The text encoding byte of the first frame with this id, -1 when there is none.
int frameEncoding(const std::string& path, const std::string& id) {
  const Bytes all = fixtures::readBytes(path);
  const auto at = std::search(all.begin(), all.end(), id.begin(), id.end());
  return at == all.end() || all.end() - at < 11 ? -1 : at[10];
}

TEST_F(TagTest, WrittenTagReadsBackHereAndInTheId3v2Tool) {
  const std::string path = mp3();
  ASSERT_EQ(1, write(path, editorRecord("Hello", "日本語の歌手", "アルバム", "2024", "コメント", 17)));

  const std::string listing = id3v2List(path);
  EXPECT_NE(std::string::npos, listing.find("TIT2 (Title/songname/content description): Hello\n")) << listing;
  EXPECT_NE(std::string::npos, listing.find("TPE1 (Lead performer(s)/Soloist(s)): 日本語の歌手\n"))
      << listing;
  EXPECT_NE(std::string::npos, listing.find("TALB (Album/Movie/Show title): アルバム\n")) << listing;
  EXPECT_NE(std::string::npos, listing.find("TYER (Year): 2024\n")) << listing;
  EXPECT_NE(std::string::npos, listing.find("COMM (Comments): ()[XXX]: コメント\n")) << listing;
  EXPECT_NE(std::string::npos, listing.find("TCON (Content type): Rock (17)\n")) << listing;
  EXPECT_EQ(3, fixtures::readBytes(path)[3]);  // ID3v2.3
  EXPECT_EQ(0, frameEncoding(path, "TIT2"));   // ASCII stays Latin-1
  EXPECT_EQ(1, frameEncoding(path, "TPE1"));   // UTF-16

  const Bytes v1 = id3v1Of(path);
  ASSERT_EQ("TAG", std::string(v1.data(), 3));
  EXPECT_EQ("Hello", v1Field(v1, 3, 30));
  EXPECT_EQ(utf8ToCp932("日本語の歌手"), v1Field(v1, 33, 30));
  EXPECT_EQ(utf8ToCp932("アルバム"), v1Field(v1, 63, 30));
  EXPECT_EQ("2024", v1Field(v1, 93, 4));
  EXPECT_EQ(17, v1[127]);

  const auto r = readTagOf(path);
  ASSERT_EQ(1, r.rc);
  EXPECT_EQ("Hello", r.title());
  EXPECT_EQ("日本語の歌手", r.artist());
  EXPECT_EQ("アルバム", r.album());
  EXPECT_EQ("2024", r.year());
  EXPECT_EQ("コメント", r.comment());
  EXPECT_EQ(17, r.tag.genre);
  EXPECT_EQ("Rock", r.genreName());
}

TEST_F(TagTest, AudioFramesNeverChange) {
  const std::string path = mp3();
  const Bytes audio = audioBytes(path);
  ASSERT_GT(audio.size(), 1000u);
  const std::string big(127, 'x');
  const TagInfo records[] = {editorRecord("a", "b", "c", "1999", "d", 0),
                             editorRecord(big, big, big, "2000", big, 1),  // outgrows the padding
                             editorRecord("", "", "", "", "", -1),         // tag goes away
                             editorRecord("短い", "", "", "", "", 3)};
  for (const auto& record : records) {
    ASSERT_EQ(1, write(path, record));
    EXPECT_EQ(audio, audioBytes(path));
  }
  ASSERT_EQ(1, write(path, records[2]));
  EXPECT_EQ(audio, fixtures::readBytes(path));
  // A tag someone else wrote, in both versions
  ASSERT_EQ(0, fixtures::run("id3v2 -t x -a y -g 5 " + fixtures::quote(path)));
  ASSERT_EQ(1, write(path, records[1]));
  EXPECT_EQ(audio, audioBytes(path));
}

TEST_F(TagTest, ClearedFieldsWriteABlankTagWithGenreZero) {
  const std::string path = mp3();
  ASSERT_EQ(1, write(path, editorRecord("t", "a", "al", "1990", "c", 30)));
  ASSERT_EQ(1, write(path, editorRecord("", "", "", "", "", 0)));
  const auto r = readTagOf(path);
  ASSERT_EQ(1, r.rc);
  EXPECT_EQ("", r.title() + r.artist() + r.album() + r.year() + r.comment());
  EXPECT_EQ(0, r.tag.genre);
  EXPECT_EQ("Blues", r.genreName());
  const std::string listing = id3v2List(path);
  EXPECT_EQ(std::string::npos, listing.find("TIT2")) << listing;
  EXPECT_NE(std::string::npos, listing.find("TCON (Content type): Blues (0)")) << listing;
}

TEST_F(TagTest, Id3v1TakesWhatCp932CanHold) {
  std::string kanji;
  for (int i = 0; i < 20; ++i) kanji += "漢";  // 40 bytes in CP932
  const std::string path = mp3();
  ASSERT_EQ(1, write(path, editorRecord(kanji, "Ölçü 😀 ok", "", "", "", -1)));
  const Bytes v1 = id3v1Of(path);
  std::string fifteen;
  for (int i = 0; i < 15; ++i) fifteen += "漢";
  EXPECT_EQ(utf8ToCp932(fifteen), v1Field(v1, 3, 30));  // never half a character
  EXPECT_EQ("?l?? ? ok", v1Field(v1, 33, 30));
  EXPECT_EQ(255, static_cast<unsigned char>(v1[127]));
  EXPECT_EQ("Ölçü 😀 ok", readTagOf(path).artist());  // ID3v2 holds the real text
}

TEST_F(TagTest, GenreNumbersOnWrite) {
  const std::pair<int32_t, int32_t> cases[] = {{-1, 255},  {0, 0},     {79, 79},   {147, 147},
                                               {191, 191}, {192, 192}, {255, 255}, {100000, 255}};
  for (const auto& [written, read] : cases) {
    const std::string path = mp3("genre" + std::to_string(written) + ".mp3");
    ASSERT_EQ(1, write(path, editorRecord("t", "", "", "", "", written)));
    const auto r = readTagOf(path);
    EXPECT_EQ(read, r.tag.genre) << written;
    EXPECT_EQ(vbmp3::genreName(read), r.genreName()) << written;
    EXPECT_EQ(read, static_cast<unsigned char>(id3v1Of(path)[127])) << written;
  }
}

TEST_F(TagTest, KeepsWhatTheRecordCannotExpress) {
  const auto tag = id3v2Tag(3, {{"TCON", 0, bytes("J-Pop")}, {"TRCK", 0, bytes("7")}});
  const std::string path = mp3("keep.mp3", tag);
  ASSERT_EQ(1, write(path, editorRecord("new", "", "", "", "", 255)));
  const std::string listing = id3v2List(path);
  EXPECT_NE(std::string::npos, listing.find("J-Pop")) << listing;
  EXPECT_NE(std::string::npos, listing.find("TRCK (Track number/Position in set): 7")) << listing;
  ASSERT_EQ(1, write(path, editorRecord("new", "", "", "", "", 8)));
  EXPECT_EQ("Jazz", readTagOf(path).genreName());
}

TEST_F(TagTest, TheTwoFlagsChooseTheTagVersions) {
  const Bytes oldV1 = id3v1Tag("old", "", "", "", "", 1);
  const std::string path = mp3("flags.mp3", {}, oldV1);
  TagInfo tag = editorRecord("new", "", "", "", "", 2);
  ASSERT_EQ(1, vbmp3_setTagInfoEX(path.c_str(), &tag, 1, 0));
  EXPECT_EQ(oldV1, id3v1Of(path));
  EXPECT_EQ("new", readTagOf(path).title());

  const std::string v1Only = mp3("v1only.mp3");
  ASSERT_EQ(1, vbmp3_setTagInfoEX(v1Only.c_str(), &tag, 0, 1));
  EXPECT_NE('I', fixtures::readBytes(v1Only)[0]);
  EXPECT_EQ("new", readTagOf(v1Only).title());

  const Bytes before = fixtures::readBytes(path);
  EXPECT_EQ(0, vbmp3_setTagInfoEX(path.c_str(), &tag, 0, 0));
  EXPECT_EQ(before, fixtures::readBytes(path));
}

TEST_F(TagTest, FailedWritesLeaveEverythingAsItWas) {
  const TagInfo tag = editorRecord("x", "y", "z", "2000", "c", 1);
  fixtures::writeBytes(dir_ / "garbage.mp3", Bytes(4000, '\x55'));
  fixtures::writeBytes(dir_ / "text.mp3", bytes("not an mp3 at all\n"));
  fixtures::run("cp " + fixtures::quote(sourceWav()) + " " + fixtures::quote(dir_ / "audio.wav"));
  for (const std::string path : {dir_ / "garbage.mp3", dir_ / "text.mp3", dir_ / "audio.wav"}) {
    const Bytes before = fixtures::readBytes(path);
    EXPECT_EQ(0, write(path, tag)) << path;
    EXPECT_EQ(before, fixtures::readBytes(path)) << path;
  }
  EXPECT_EQ(0, write(dir_ / "missing.mp3", tag));
  EXPECT_FALSE(fs::exists(dir_ / "missing.mp3"));
  EXPECT_EQ(0, write(dir_.path(), tag));
  EXPECT_EQ(0, vbmp3_setTagInfoEX(nullptr, &tag, 1, 1));
  EXPECT_EQ(0, vbmp3_setTagInfoEX(dir_.path().c_str(), nullptr, 1, 1));
}

TEST_F(TagTest, ReadOnlyFileIsNotWritten) {
  const std::string path = mp3();
  const TagInfo tag = editorRecord("x", "y", "z", "2000", "c", 1);
  const Bytes before = fixtures::readBytes(path);
  fs::permissions(dir_.path(), fs::perms::owner_all | fs::perms::others_read | fs::perms::others_exec);
  fs::permissions(path, fs::perms::owner_read | fs::perms::others_read);
  int16_t rc = -1;
  if (geteuid() != 0) {
    rc = write(path, tag);
  } else {
    // Root writes through any mode bits; an unprivileged child sees the file as read-only.
    const pid_t child = fork();
    if (child == 0) {
      const bool dropped = setgroups(0, nullptr) == 0 && setgid(65534) == 0 && setuid(65534) == 0;
      _exit(!dropped ? 99 : access(path.c_str(), R_OK) != 0 ? 98 : write(path, tag));
    }
    int status = 0;
    ASSERT_EQ(child, waitpid(child, &status, 0));
    ASSERT_TRUE(WIFEXITED(status));
    ASSERT_NE(98, WEXITSTATUS(status)) << "the child must be able to read the file";
    if (WEXITSTATUS(status) == 99) GTEST_SKIP() << "cannot drop root to test a read-only file";
    rc = static_cast<int16_t>(WEXITSTATUS(status));
  }
  EXPECT_EQ(0, rc);
  EXPECT_EQ(before, fixtures::readBytes(path));
}

TEST_F(TagTest, LongJapanesePathsWithSpaces) {
  std::string folder = dir_.path();
  for (int i = 0; i < 4; ++i)
    folder += "/フォルダ 名前 with spaces " + std::to_string(i) + std::string(40, 'd');
  fs::create_directories(folder);
  const std::string path = folder + "/曲 の 名前 " + std::string(150, 'n') + ".mp3";
  fs::copy_file(mp3(), path);
  ASSERT_EQ(1, write(path, editorRecord("道", "", "", "", "", 2)));
  EXPECT_EQ("道", readTagOf(path).title());
  EXPECT_NE(std::string::npos, id3v2List(path).find("道"));
}

}  // namespace
