#include <gtest/gtest.h>

#include "tag_fixtures.h"
#include "tags.h"

using namespace tagfixtures;

namespace {

Bytes utf16(const std::string& utf8) {
  const std::string le = output("printf '%s' " + fixtures::quote(utf8) + " | iconv -f UTF-8 -t UTF-16LE");
  Bytes out{'\xFF', '\xFE'};
  append(out, bytes(le));
  return out;
}

TEST_F(TagTest, ReadsWhatTheId3v2ToolWrites) {
  const std::string path = mp3();
  ASSERT_EQ(0, fixtures::run("LC_ALL=C.UTF-8 id3v2 -t 'Hello World' -a '日本語アーティスト' -A 'Album' "
                             "-y 1999 -c 'a comment' -g 17 " +
                             fixtures::quote(path)));
  const auto r = readTagOf(path);
  ASSERT_EQ(1, r.rc);
  EXPECT_EQ("Hello World", r.title());
  EXPECT_EQ("日本語アーティスト", r.artist());
  EXPECT_EQ("Album", r.album());
  EXPECT_EQ("1999", r.year());
  EXPECT_EQ("a comment", r.comment());
  EXPECT_EQ(17, r.tag.genre);
  EXPECT_EQ("Rock", r.genreName());
}

TEST_F(TagTest, Id3v1BytesAreCp932WhenTheyFormJapanese) {
  const std::string path = mp3("v1.mp3", {},
                               id3v1Tag(utf8ToCp932("夜明けのうた"), utf8ToCp932("ｶﾀｶﾅ歌手"), "Plain", "1987",
                                        utf8ToCp932("コメント"), 13));
  const auto r = readTagOf(path);
  ASSERT_EQ(1, r.rc);
  EXPECT_EQ("夜明けのうた", r.title());
  EXPECT_EQ("ｶﾀｶﾅ歌手", r.artist());
  EXPECT_EQ("Plain", r.album());
  EXPECT_EQ("1987", r.year());
  EXPECT_EQ("コメント", r.comment());
  EXPECT_EQ(13, r.tag.genre);
  EXPECT_EQ("Pop", r.genreName());
}

TEST_F(TagTest, Id3v1BytesThatAreNotCp932StayLatin1) {
  // F6 is a CP932 user-defined lead byte, E9 at the end has no trail byte.
  const auto r = readTagOf(mp3("latin.mp3", {}, id3v1Tag("Bj\xF6rk", "Caf\xE9", "", "", "", 255)));
  ASSERT_EQ(1, r.rc);
  EXPECT_EQ("Björk", r.title());
  EXPECT_EQ("Café", r.artist());
  EXPECT_EQ(255, r.tag.genre);
  EXPECT_EQ("", r.genreName());
}

TEST_F(TagTest, Id3v2Latin1FramesHoldingCp932ReadAsJapanese) {
  const auto tag = id3v2Tag(3, {{"TIT2", 0, bytes(utf8ToCp932("東京の空"))},
                                {"TPE1", 0, bytes(utf8ToCp932("歌い手"))},
                                {"TCON", 0, bytes("(24)")}});
  const auto r = readTagOf(mp3("sjis.mp3", tag));
  ASSERT_EQ(1, r.rc);
  EXPECT_EQ("東京の空", r.title());
  EXPECT_EQ("歌い手", r.artist());
  EXPECT_EQ(24, r.tag.genre);
  EXPECT_EQ("Soundtrack", r.genreName());
}

TEST_F(TagTest, ReadsEveryId3v2VersionAndPrefersItOverId3v1) {
  const auto v1 = id3v1Tag("old title", "old artist", "", "", "", 0);
  const auto v22 = id3v2Tag(2, {{"TT2", 0, bytes("two two")}, {"TYE", 0, bytes("2002")}});
  const auto v23 = id3v2Tag(3, {{"TIT2", 1, utf16("ユニコード")}, {"TCON", 0, bytes("Jazz")}});
  const auto v24 = id3v2Tag(
      4,
      {{"TIT2", 3, bytes("ÜTF-8 タイトル")}, {"TDRC", 3, bytes("2024-05-01")}, {"TCON", 3, bytes("J-Pop")}});
  auto r = readTagOf(mp3("22.mp3", v22, v1));
  EXPECT_EQ("two two", r.title());
  EXPECT_EQ("", r.artist());
  EXPECT_EQ("2002", r.year());
  r = readTagOf(mp3("23.mp3", v23, v1));
  EXPECT_EQ("ユニコード", r.title());
  EXPECT_EQ(8, r.tag.genre);
  EXPECT_EQ("Jazz", r.genreName());
  r = readTagOf(mp3("24.mp3", v24));
  EXPECT_EQ("ÜTF-8 タイトル", r.title());
  EXPECT_EQ("2024", r.year());
  EXPECT_EQ(vbmp3::kNoGenre, r.tag.genre);
  EXPECT_EQ("J-Pop", r.genreName());
}

TEST_F(TagTest, LongTextIsCutAtACharacterBoundary) {
  std::string title;
  for (int i = 0; i < 60; ++i) title += "あ";  // 180 bytes
  const auto r = readTagOf(mp3("long.mp3", id3v2Tag(3, {{"TIT2", 1, utf16(title)}})));
  ASSERT_EQ(1, r.rc);
  EXPECT_EQ(title.substr(0, 126), r.title());
}

TEST_F(TagTest, NoTagReadsAsFailureWithAZeroedRecord) {
  fixtures::writeBytes(dir_ / "garbage.mp3", Bytes(5000, '\x55'));
  fixtures::writeBytes(dir_ / "empty.mp3", {});
  for (const std::string path :
       {mp3(), dir_ / "missing.mp3", dir_.path(), dir_ / "garbage.mp3", dir_ / "empty.mp3", sourceWav()}) {
    const auto r = readTagOf(path);
    EXPECT_EQ(0, r.rc) << path;
    EXPECT_TRUE(isZeroed(r.tag)) << path;
  }
  EXPECT_EQ(0, vbmp3_getFileTagInfoEX(nullptr, nullptr));
}

TEST_F(TagTest, WavArtistComesFromTheRiffInfoTag) {
  Bytes wav = fixtures::readBytes(sourceWav());
  const std::string artist = utf8ToCp932("ウェーブ歌手");
  Bytes info = bytes("INFOIART");
  append(info, Bytes{static_cast<char>(artist.size() + 1), 0, 0, 0});
  append(info, bytes(artist));
  info.push_back(0);
  if (info.size() % 2) info.push_back(0);
  append(wav, bytes("LIST"));
  append(wav, Bytes{static_cast<char>(info.size()), 0, 0, 0});
  append(wav, info);
  const uint32_t riffSize = static_cast<uint32_t>(wav.size() - 8);
  std::memcpy(&wav[4], &riffSize, 4);
  fixtures::writeBytes(dir_ / "info.wav", wav);

  TagInfo tag;
  ASSERT_TRUE(vbmp3::readTag(dir_ / "info.wav", &tag));
  EXPECT_STREQ("ウェーブ歌手", tag.artist);
}

TEST(Genre, NamesComeFromTheId3v1Table) {
  const std::pair<int32_t, std::string> cases[] = {{-1, ""},          {0, "Blues"},      {79, "Hard Rock"},
                                                   {147, "Synthpop"}, {191, "Psybient"}, {192, ""},
                                                   {255, ""},         {100000, ""}};
  for (const auto& [number, name] : cases) {
    GenreInfo info;
    std::memset(&info, 0x5A, sizeof info);
    info.genre = number;
    EXPECT_EQ(name.empty() ? 0 : 1, vbmp3_getGenre(&info)) << number;
    EXPECT_EQ(name, std::string(info.genreName)) << number;
  }
  EXPECT_EQ(17, vbmp3::genreNumber("rock"));
  EXPECT_EQ(vbmp3::kNoGenre, vbmp3::genreNumber("J-Pop"));
}

}  // namespace
