// Tag read and write against real MP3s (sox, lame) and the id3v2 tool.
#include "tags.h"

#include <grp.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>

#include "audio_fixtures.h"
#include "text.h"
#include "vbmp3.h"

namespace {

namespace fs = std::filesystem;
using fixtures::quote;

std::string slurp(const std::string& path) {
  const auto bytes = fixtures::readBytes(path);
  return {bytes.begin(), bytes.end()};
}

void spit(const std::string& path, const std::string& bytes) {
  fixtures::writeBytes(path, {bytes.begin(), bytes.end()});
}

std::string cp932(const std::string& utf8) { return vbmp3::utf8ToCp932(utf8).value(); }

std::string bigEndian(size_t n, int count, int bitsPerByte = 8) {
  std::string out(count, '\0');
  for (int i = count - 1; i >= 0; --i, n >>= bitsPerByte)
    out[i] = static_cast<char>(n & ((1 << bitsPerByte) - 1));
  return out;
}

// An ID3v2 tag of text frames {id, encoding byte + text}; ids of 3 letters for version 2.
std::string id3v2Tag(int version, const std::vector<std::pair<std::string, std::string>>& frames) {
  std::string body;
  for (const auto& [id, payload] : frames)
    body += id +
            (version == 2 ? bigEndian(payload.size(), 3)
                          : bigEndian(payload.size(), 4, version == 4 ? 7 : 8) + std::string(2, '\0')) +
            payload;
  return "ID3" + std::string{static_cast<char>(version), 0, 0} + bigEndian(body.size(), 4, 7) + body;
}

// An ID3v2.3 frame whose header declares `size` bytes, whatever the payload holds.
std::string frame3(const std::string& id, const std::string& payload, size_t size = std::string::npos) {
  return id + bigEndian(size == std::string::npos ? payload.size() : size, 4) + std::string(2, '\0') +
         payload;
}

// A text frame's payload: the byte that says Latin-1, then the bytes.
std::string latin1(const std::string& bytes) { return '\0' + bytes; }

// ASCII text as UTF-16 behind its byte-order mark.
std::string utf16(const std::string& ascii, bool bigEndian) {
  std::string out = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
  for (const char c : ascii) out += bigEndian ? std::string{'\0', c} : std::string{c, '\0'};
  return out;
}

std::string tag3(const std::string& frames) {
  return "ID3" + std::string{3, 0, 0} + bigEndian(frames.size(), 4, 7) + frames;
}

std::string id3v1Tag(const std::string& title, const std::string& artist, const std::string& comment,
                     char genre) {
  auto field = [](std::string s, size_t n) { return s.append(n - s.size(), '\0'); };
  return "TAG" + field(title, 30) + field(artist, 30) + field("", 30) + "1987" + field(comment, 30) + genre;
}

// The bytes between an ID3v2 tag at the start and an ID3v1 tag at the end.
std::string audioBytes(const std::string& path) {
  std::string all = slurp(path);
  if (all.size() >= 128 && all.compare(all.size() - 128, 3, "TAG") == 0) all.resize(all.size() - 128);
  if (all.compare(0, 3, "ID3") != 0) return all;
  size_t size = 0;
  for (int i = 6; i < 10; ++i) size = (size << 7) | (all[i] & 0x7F);
  return all.substr(std::min(all.size(), 10 + size));
}

// The first frames of the fixture's 128 kbit/s, 44.1 kHz stream: 417 bytes plus padding.
std::string firstFrames(const std::string& audio, int count) {
  size_t end = 0;
  for (int i = 0; i < count; ++i) end += 417 + ((audio[end + 2] >> 1) & 1);
  return audio.substr(0, end);
}

std::string id3v1Field(const std::string& path, size_t at, size_t size) {
  const std::string v1 = slurp(path).substr(slurp(path).size() - 128);
  return v1.substr(at, std::min(size, v1.find('\0', at) - at));
}

// `id3v2 -l` in a UTF-8 locale, where it prints UTF-16 frames as UTF-8.
std::string id3v2List(const std::string& path) {
  return fixtures::outputOf("LC_ALL=C.UTF-8 id3v2 -l " + quote(path));
}

TagInfo readTag(const std::string& path, int16_t expected = 1) {
  TagInfo tag;
  std::memset(&tag, 0x5A, sizeof tag);
  EXPECT_EQ(expected, vbmp3_getFileTagInfoEX(path.c_str(), &tag)) << path;
  return tag;
}

// A record as the tag editor fills it: every field padded with blanks, no NUL.
TagInfo editorRecord(const std::string& title, const std::string& artist, const std::string& year,
                     const std::string& comment, int32_t genre) {
  TagInfo tag{};
  auto put = [](char* field, size_t size, std::string text) {
    std::memcpy(field, text.append(size - text.size(), ' ').data(), size);
  };
  put(tag.title, sizeof tag.title, title);
  put(tag.artist, sizeof tag.artist, artist);
  put(tag.album, sizeof tag.album, "");
  put(tag.year, sizeof tag.year, year);
  put(tag.comment, sizeof tag.comment, comment);
  tag.genre = genre;
  return tag;
}

int16_t writeTag(const std::string& path, const TagInfo& tag) {
  return vbmp3_setTagInfoEX(path.c_str(), &tag, 1, 1);
}

class Tags : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    ASSERT_TRUE(fixtures::makeWav(source() / "tone.wav", 0.3));
    ASSERT_TRUE(fixtures::makeMp3(source() / "tone.wav", source() / "tone.mp3"));
  }
  static fixtures::TempDir& source() {
    static fixtures::TempDir dir;
    return dir;
  }
  // A fresh copy of the untagged MP3 between `front` and `back`.
  std::string mp3(const std::string& name = "song.mp3", const std::string& front = "",
                  const std::string& back = "") {
    spit(dir / name, front + slurp(source() / "tone.mp3") + back);
    return dir / name;
  }
  fixtures::TempDir dir;
};

TEST_F(Tags, ReadsWhatTheId3v2ToolWrites) {
  const std::string path = mp3();
  ASSERT_EQ(0, fixtures::run(
                   "LC_ALL=C.UTF-8 id3v2 -t 'Hello World' -a '日本語の歌手' -A Album -y 1999 -c note -g 17 " +
                   quote(path)));
  const TagInfo tag = readTag(path);
  EXPECT_STREQ("Hello World", tag.title);
  EXPECT_STREQ("日本語の歌手", tag.artist);
  EXPECT_STREQ("Album", tag.album);
  EXPECT_STREQ("1999", tag.year);
  EXPECT_STREQ("note", tag.comment);
  EXPECT_EQ(17, tag.genre);
  EXPECT_STREQ("Rock", tag.genreName);
}

TEST_F(Tags, SingleByteTextIsCp932WhenItCanBeElseLatin1) {
  auto title = [&](const std::string& front, const std::string& back) {
    return std::string(readTag(mp3("x.mp3", front, back)).title);
  };
  EXPECT_EQ("夜明けのｳﾀ", title("", id3v1Tag(cp932("夜明けのｳﾀ"), "", "", 13)));
  EXPECT_EQ("東京の空", title(id3v2Tag(3, {{"TIT2", '\0' + cp932("東京の空")}}), ""));
  // F6 is a lead byte of CP932's user-defined area, E9 lacks its trail byte
  EXPECT_EQ("Björk Café", title("", id3v1Tag("Bj\xF6rk Caf\xE9", "", "", 0)));
  EXPECT_EQ("Björk", title(id3v2Tag(3, {{"TIT2", std::string("\0Bj\xF6rk", 6)}}), ""));
  // C1 would start an overlong UTF-8 form: the bytes are not UTF-8 but CP932 kana
  EXPECT_EQ("ﾁｮ", title("", id3v1Tag("\xC1\xAE", "", "", 0)));
  const TagInfo v1 = readTag(mp3("v1.mp3", "", id3v1Tag("t", cp932("歌い手"), cp932("コメント"), 13)));
  EXPECT_STREQ("歌い手", v1.artist);
  EXPECT_STREQ("コメント", v1.comment);
  EXPECT_STREQ("1987", v1.year);
  EXPECT_STREQ("Pop", v1.genreName);
}

TEST_F(Tags, ReadsEveryId3v2VersionBeforeId3v1) {
  const std::string v1 = id3v1Tag("old", "old artist", "", 0);
  const std::string utf16 = "\1\xFF\xFE" + std::string("\xE6\x30\xCB\x30", 4);  // "ユニ"
  TagInfo tag = readTag(
      mp3("22.mp3", id3v2Tag(2, {{"TT2", std::string("\0two", 4)}, {"TCO", std::string("\0(8)", 4)}}), v1));
  EXPECT_STREQ("two", tag.title);
  EXPECT_STREQ("", tag.artist);
  EXPECT_STREQ("Jazz", tag.genreName);
  tag = readTag(mp3("23.mp3", id3v2Tag(3, {{"TIT2", utf16}, {"TCON", std::string("\0Jazz", 5)}}), v1));
  EXPECT_STREQ("ユニ", tag.title);
  EXPECT_EQ(8, tag.genre);
  tag = readTag(mp3("24.mp3", id3v2Tag(4, {{"TDRC",
                                            "\3"
                                            "2024-05-01"},
                                           {"TCON", "\3J-Pop"}})));
  EXPECT_STREQ("2024", tag.year);
  EXPECT_EQ(vbmp3::kNoGenre, tag.genre);
  EXPECT_STREQ("J-Pop", tag.genreName);
}

TEST_F(Tags, NoTagIsAFailureWithAZeroedRecord) {
  spit(dir / "garbage.mp3", std::string(5000, '\x55'));
  spit(dir / "empty.mp3", "");
  const TagInfo zero{};
  for (const std::string path : {mp3(), dir / "missing.mp3", dir.path(), dir / "garbage.mp3",
                                 dir / "empty.mp3", source() / "tone.wav"}) {
    const TagInfo tag = readTag(path, 0);
    EXPECT_EQ(0, std::memcmp(&zero, &tag, sizeof zero)) << path;
  }
}

// A FIFO named like a song has no writer: every call refuses it at once instead of waiting.
TEST_F(Tags, AFifoIsRefusedWithoutWaiting) {
  const std::string fifo = dir / "pipe.mp3";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  TagInfo tag{};
  EXPECT_EQ(vbmp3_getFileTagInfoEX(fifo.c_str(), &tag), 0);
  EXPECT_EQ(vbmp3_setTagInfoEX(fifo.c_str(), &tag, 1, 1), 0);
  EXPECT_EQ(vbmp3_open(fifo.c_str(), nullptr), 0);
}

TEST_F(Tags, WavArtistComesFromRiffInfo) {
  const std::string artist = cp932("ウェーブ") + '\0';
  const std::string info = "INFOIART" + std::string{static_cast<char>(artist.size()), 0, 0, 0} + artist;
  std::string wav =
      slurp(source() / "tone.wav") + "LIST" + std::string{static_cast<char>(info.size()), 0, 0, 0} + info;
  const uint32_t riffSize = static_cast<uint32_t>(wav.size() - 8);
  std::memcpy(&wav[4], &riffSize, 4);
  spit(dir / "info.wav", wav);
  TagInfo tag;
  ASSERT_TRUE(vbmp3::readTag(dir / "info.wav", &tag));
  EXPECT_STREQ("ウェーブ", tag.artist);
}

TEST(Genre, NamesComeFromTheId3v1Table) {
  const std::pair<int32_t, const char*> cases[] = {{-1, ""},          {0, "Blues"},      {79, "Hard Rock"},
                                                   {147, "Synthpop"}, {191, "Psybient"}, {192, ""},
                                                   {255, ""},         {100000, ""}};
  for (const auto& [number, name] : cases) {
    GenreInfo info;
    std::memset(&info, 0x5A, sizeof info);
    info.genre = number;
    EXPECT_EQ(*name ? 1 : 0, vbmp3_getGenre(&info)) << number;
    EXPECT_STREQ(name, info.genreName) << number;
  }
}

TEST_F(Tags, WrittenTagReadsBackHereAndInTheId3v2Tool) {
  const std::string path = mp3();
  ASSERT_EQ(1, writeTag(path, editorRecord("Hello", "日本語の歌手", "2024", "コメント", 17)));
  const std::string listing = id3v2List(path);
  for (const char* line : {"TIT2 (Title/songname/content description): Hello\n",
                           "TPE1 (Lead performer(s)/Soloist(s)): 日本語の歌手\n", "TYER (Year): 2024\n",
                           "COMM (Comments): ()[XXX]: コメント\n", "TCON (Content type): Rock (17)\n"})
    EXPECT_NE(std::string::npos, listing.find(line)) << line << listing;
  const std::string all = slurp(path);
  EXPECT_EQ(3, all[3]);                      // ID3v2.3
  EXPECT_EQ(0, all[all.find("TIT2") + 10]);  // ASCII as Latin-1
  EXPECT_EQ(1, all[all.find("TPE1") + 10]);  // the rest as UTF-16
  EXPECT_EQ(cp932("日本語の歌手"), id3v1Field(path, 33, 30));
  EXPECT_EQ("2024", id3v1Field(path, 93, 4));
  EXPECT_EQ(17, all.back());

  const TagInfo tag = readTag(path);
  EXPECT_STREQ("Hello", tag.title);
  EXPECT_STREQ("日本語の歌手", tag.artist);
  EXPECT_STREQ("2024", tag.year);
  EXPECT_STREQ("コメント", tag.comment);  // blanks trimmed
  EXPECT_EQ(17, tag.genre);
}

// Latin-1 bytes beyond ASCII also read as CP932 kana, so such text must be written otherwise.
TEST_F(Tags, WrittenTextInsideLatin1ReadsBackUnchanged) {
  const std::string path = mp3();
  ASSERT_EQ(1, writeTag(path, editorRecord("Élan Ça va", "", "", "", 1)));
  EXPECT_STREQ("Élan Ça va", readTag(path).title);
  EXPECT_NE(std::string::npos,
            id3v2List(path).find("TIT2 (Title/songname/content description): Élan Ça va\n"));
}

TEST_F(Tags, WritesNeverTouchTheAudio) {
  const std::string path = mp3(), audio = audioBytes(path), big(127, 'x');
  ASSERT_GT(audio.size(), 1000u);
  for (const TagInfo& record :
       {editorRecord("a", "b", "1999", "c", 0), editorRecord(big, big, "2000", big, 1),
        editorRecord("短い", "", "", "", 3)}) {
    ASSERT_EQ(1, writeTag(path, record));
    EXPECT_EQ(audio, audioBytes(path));
  }
  ASSERT_EQ(0, fixtures::run("id3v2 -t x -a y -g 5 " + quote(path)));
  ASSERT_EQ(1, writeTag(path, editorRecord(big, "", "", "", 2)));
  EXPECT_EQ(audio, audioBytes(path));
  // No content and no genre: both tags go, the file is the bare audio again.
  ASSERT_EQ(1, writeTag(path, editorRecord("", "", "", "", -1)));
  EXPECT_EQ(audio, slurp(path));
}

TEST_F(Tags, ClearedFieldsLeaveABlankTagWithGenreZero) {
  const std::string path = mp3();
  ASSERT_EQ(1, writeTag(path, editorRecord("t", "a", "1990", "c", 30)));
  ASSERT_EQ(1, writeTag(path, editorRecord("", "", "", "", 0)));
  const TagInfo tag = readTag(path);
  EXPECT_EQ("", std::string(tag.title) + tag.artist + tag.album + tag.year + tag.comment);
  EXPECT_STREQ("Blues", tag.genreName);
  EXPECT_EQ(std::string::npos, id3v2List(path).find("TIT2"));
}

TEST_F(Tags, Id3v1GetsWhatCp932CanHold) {
  std::string fifteen;
  for (int i = 0; i < 15; ++i) fifteen += "漢";
  const std::string twenty = fifteen + "漢漢漢漢漢";
  const std::string path = mp3();
  ASSERT_EQ(1, writeTag(path, editorRecord(twenty, "Ölçü 😀 ok", "", "", -1)));
  EXPECT_EQ(cp932(fifteen), id3v1Field(path, 3, 30));  // 30 bytes, never half a character
  EXPECT_EQ("?l?? ? ok", id3v1Field(path, 33, 30));
  EXPECT_STREQ("Ölçü 😀 ok", readTag(path).artist);  // ID3v2 has it all
}

TEST_F(Tags, GenreNumbersOnWrite) {
  const std::pair<int32_t, int32_t> cases[] = {{-1, 255},  {0, 0},     {79, 79},   {147, 147},
                                               {191, 191}, {192, 192}, {255, 255}, {100000, 255}};
  for (const auto& [written, read] : cases) {
    const std::string path = mp3("g.mp3");
    ASSERT_EQ(1, writeTag(path, editorRecord("t", "", "", "", written)));
    const TagInfo tag = readTag(path);
    EXPECT_EQ(read, tag.genre) << written;
    EXPECT_EQ(vbmp3::genreName(read), tag.genreName) << written;
    EXPECT_EQ(read, static_cast<unsigned char>(slurp(path).back())) << written;
  }
}

TEST_F(Tags, FlagsChooseTheVersionsAndOtherDataStays) {
  const std::string v1 = id3v1Tag("old", "", "", 1);
  const std::string path = mp3("keep.mp3",
                               id3v2Tag(3, {{"TCON", std::string("\0J-Pop", 6)},
                                            {"TRCK", std::string("\0"
                                                                 "7",
                                                                 2)}}),
                               v1);
  TagInfo tag = editorRecord("new", "", "", "", 255);
  ASSERT_EQ(1, vbmp3_setTagInfoEX(path.c_str(), &tag, 1, 0));
  EXPECT_EQ(v1, slurp(path).substr(slurp(path).size() - 128));
  const std::string listing = id3v2List(path);
  EXPECT_NE(std::string::npos, listing.find("J-Pop")) << listing;  // no number says J-Pop
  EXPECT_NE(std::string::npos, listing.find("TRCK (Track number/Position in set): 7")) << listing;
  EXPECT_STREQ("new", readTag(path).title);

  const std::string v1Only = mp3("v1only.mp3");
  ASSERT_EQ(1, vbmp3_setTagInfoEX(v1Only.c_str(), &tag, 0, 1));
  EXPECT_NE(0, slurp(v1Only).compare(0, 3, "ID3"));
  EXPECT_STREQ("new", readTag(v1Only).title);
  EXPECT_EQ(0, vbmp3_setTagInfoEX(v1Only.c_str(), &tag, 0, 0));
}

TEST_F(Tags, OnlyMpegAudioIsWritten) {
  const std::string wav = source() / "tone.wav", audio = audioBytes(source() / "tone.mp3");
  auto made = [&](const std::string& name, const std::string& command) {
    EXPECT_EQ(0, fixtures::run(command + " 2>/dev/null")) << command;
    return slurp(dir / name);
  };
  // Cover art may hold any bytes; here it holds whole MPEG frames.
  const std::string flacArgs =
      "flac --silent --picture=" + quote("3|image/jpeg||16x16x24|" + source() / "tone.mp3");
  const std::string flac = made("a.flac", flacArgs + " -o " + quote(dir / "a.flac") + " " + quote(wav));
  std::string falseSync(6000, '\x55');
  falseSync.replace(100, 4, "\xFF\xFB\x90\x64");  // one MPEG-1 layer III header, nothing after it
  const struct {
    const char* name;
    std::string bytes;
    bool mpeg;
  } cases[] = {
      {"flac", flac, false},
      {"flac behind ID3v2", id3v2Tag(3, {{"TIT2", std::string("\0old", 4)}}) + flac, false},
      {"ogg flac", made("b.oga", flacArgs + " --ogg -o " + quote(dir / "b.oga") + " " + quote(wav)), false},
      {"ogg vorbis", made("c.ogg", "oggenc -Q -o " + quote(dir / "c.ogg") + " " + quote(wav)), false},
      {"ogg speex",
       made("d.spx", "sox " + quote(wav) + " -r 16000 -c 1 " + quote(dir / "s.wav") +
                         " && speexenc --quiet " + quote(dir / "s.wav") + " " + quote(dir / "d.spx")),
       false},
      {"matroska holding MPEG frames", "\x1A\x45\xDF\xA3\x9F\x42\x86\x81\x01" + audio, false},
      {"mp4 holding MPEG frames", std::string(3, '\0') + "\x18" + "ftypisom" + std::string(12, '\0') + audio,
       false},
      {"one false frame sync", falseSync, false},
      {"MPEG-1 layer II", made("e.mp2", "sox " + quote(wav) + " " + quote(dir / "e.mp2")), true},
      {"MPEG-2.5 at 8 kHz",
       made("f.mp3", "lame --quiet --resample 8 -b 8 " + quote(wav) + " " + quote(dir / "f.mp3")), true},
      {"junk before the first frame", id3v2Tag(3, {}) + std::string(3000, '\0') + audio, true},
      {"two frames", firstFrames(audio, 2), true},
  };
  const TagInfo tag = editorRecord("new", "", "", "", 1);
  for (const auto& c : cases) {
    const std::string path = dir / "file";
    spit(path, c.bytes);
    const std::string before = audioBytes(path);
    EXPECT_EQ(c.mpeg ? 1 : 0, writeTag(path, tag)) << c.name;
    if (c.mpeg) {
      EXPECT_STREQ("new", readTag(path).title) << c.name;
      EXPECT_EQ(before, audioBytes(path)) << c.name;
    } else {
      EXPECT_TRUE(c.bytes == slurp(path)) << c.name;  // byte-identical
      readTag(path, 0);
    }
  }
}

// Frames the editor never shows, which a write must keep.
const std::string kUnshownFrames = frame3("POPM", std::string("a@b\0\xC4", 5)) +
                                   frame3("TCOM", latin1("Composer")) + frame3("TRCK", latin1("7"));

TEST_F(Tags, ATagNotReadWholeIsNeitherReadNorRewritten) {
  const std::string title = frame3("TIT2", latin1("Title"));
  const std::pair<const char*, std::string> broken[] = {
      {"zero-size frame first", tag3(frame3("TXXX", "") + title + kUnshownFrames)},
      {"zero-size frame between", tag3(title + frame3("TXXX", "") + kUnshownFrames)},
      {"invalid frame id", tag3(title + frame3("tcmp", latin1("1")) + kUnshownFrames)},
      {"frame past the tag's end", tag3(title + kUnshownFrames + frame3("TPE1", latin1("Artist"), 4000))},
      {"tag past the file's end",
       "ID3" + std::string{3, 0, 0} + bigEndian(0xFFFFFFF, 4, 7) + title + kUnshownFrames},
  };
  for (const auto& [name, v2] : broken) {
    const std::string path = mp3("broken.mp3", v2, id3v1Tag("v1", "", "", 2)), before = slurp(path);
    readTag(path, 0);
    for (const int v1 : {0, 1}) {
      TagInfo tag = editorRecord("new", "", "", "", 1);
      EXPECT_EQ(0, vbmp3_setTagInfoEX(path.c_str(), &tag, 1, v1)) << name;
      EXPECT_TRUE(before == slurp(path)) << name;  // byte-identical
    }
  }
  // The same frames in a tag that reads whole survive a write.
  const std::string path = mp3("whole.mp3", tag3(title + kUnshownFrames));
  ASSERT_EQ(1, writeTag(path, editorRecord("new", "", "", "", 1)));
  const std::string listing = id3v2List(path);
  for (const char* line :
       {"POPM (Popularimeter): a@b, counter=0 rating=196", "TCOM (Composer): Composer",
        "TRCK (Track number/Position in set): 7", "TIT2 (Title/songname/content description): new"})
    EXPECT_NE(std::string::npos, listing.find(line)) << line << listing;
}

TEST_F(Tags, Id3v1AloneIsWrittenBesideATagNotReadWhole) {
  const std::string v2 = tag3(frame3("TXXX", "") + kUnshownFrames);
  const std::string path = mp3("broken.mp3", v2);
  TagInfo tag = editorRecord("new", "", "", "", 1);
  ASSERT_EQ(1, vbmp3_setTagInfoEX(path.c_str(), &tag, 0, 1));
  EXPECT_EQ(0, slurp(path).compare(0, v2.size(), v2));
  EXPECT_EQ("new", id3v1Field(path, 3, 30));
}

TEST_F(Tags, TextIsReadByWhatItHolds) {
  const std::string utf8Mark = "\xEF\xBB\xBF";
  const struct {
    const char* name;
    std::string frame;
    const char* title;
    const char* year;
  } cases[] = {
      {"big-endian UTF-16 in a Latin-1 year", frame3("TYER", latin1(utf16("2009", true))), "", "2009"},
      {"little-endian UTF-16 in a Latin-1 year", frame3("TYER", latin1(utf16("2010", false))), "", "2010"},
      {"UTF-16 in a Latin-1 title", frame3("TIT2", latin1("\xFF\xFE\xE6\x30\xCB\x30")), "ユニ", ""},
      {"marked UTF-8 in a Latin-1 title", frame3("TIT2", latin1(utf8Mark + "café")), "café", ""},
      {"mark in a UTF-8 title", frame3("TIT2", "\3" + utf8Mark + "Title"), "Title", ""},
      {"year in words", frame3("TYER", latin1("Unknown")), "", ""},
      {"year with an apostrophe", frame3("TYER", latin1("'99")), "", ""},
      {"year of five digits", frame3("TYER", latin1("19999")), "", ""},
      {"year with a date", frame3("TYER", latin1("1999-12-31")), "", "1999"},
  };
  for (const auto& c : cases) {
    const TagInfo tag = readTag(mp3("text.mp3", tag3(frame3("TPE1", latin1("A")) + c.frame)));
    EXPECT_STREQ(c.title, tag.title) << c.name;
    EXPECT_STREQ(c.year, tag.year) << c.name;
  }
}

TEST_F(Tags, FailedWritesLeaveTheFileAsItWas) {
  const TagInfo tag = editorRecord("x", "y", "2000", "c", 1);
  spit(dir / "garbage.mp3", std::string(4000, '\x55'));
  spit(dir / "text.mp3", "not an mp3 at all\n");
  fs::copy_file(source() / "tone.wav", dir / "audio.wav");
  for (const std::string path : {dir / "garbage.mp3", dir / "text.mp3", dir / "audio.wav"}) {
    const std::string before = slurp(path);
    EXPECT_EQ(0, writeTag(path, tag)) << path;
    EXPECT_EQ(before, slurp(path)) << path;
  }
  EXPECT_EQ(0, writeTag(dir / "missing.mp3", tag));
  EXPECT_FALSE(fs::exists(dir / "missing.mp3"));
  EXPECT_EQ(0, writeTag(dir.path(), tag));
  EXPECT_EQ(0, vbmp3_setTagInfoEX(nullptr, &tag, 1, 1));
  EXPECT_EQ(0, vbmp3_setTagInfoEX(dir.path().c_str(), nullptr, 1, 1));
}

TEST_F(Tags, ReadOnlyFileIsNotWritten) {
  const std::string path = mp3(), before = slurp(path);
  const TagInfo tag = editorRecord("x", "y", "2000", "c", 1);
  fs::permissions(dir.path(), fs::perms::owner_all | fs::perms::others_read | fs::perms::others_exec);
  fs::permissions(path, fs::perms::owner_read | fs::perms::others_read);
  int rc = -1;
  if (geteuid() != 0) {
    rc = writeTag(path, tag);
  } else {  // root writes through mode bits; an unprivileged child cannot
    const pid_t child = fork();
    if (child == 0) {
      const bool dropped = setgroups(0, nullptr) == 0 && setgid(65534) == 0 && setuid(65534) == 0;
      _exit(!dropped ? 99 : access(path.c_str(), R_OK) != 0 ? 98 : writeTag(path, tag));
    }
    int status = 0;
    ASSERT_EQ(child, waitpid(child, &status, 0));
    ASSERT_TRUE(WIFEXITED(status));
    if (WEXITSTATUS(status) == 99) GTEST_SKIP() << "cannot drop root to test a read-only file";
    rc = WEXITSTATUS(status);
    ASSERT_NE(98, rc) << "the child must be able to read the file";
  }
  EXPECT_EQ(0, rc);
  EXPECT_EQ(before, slurp(path));
}

TEST_F(Tags, LongJapanesePathsWithSpaces) {
  std::string folder = dir.path();
  for (int i = 0; i < 4; ++i) folder += "/フォルダ 名前 with spaces " + std::string(40, 'd');
  fs::create_directories(folder);
  const std::string path = folder + "/曲 の 名前 " + std::string(150, 'n') + ".mp3";
  fs::copy_file(mp3(), path);
  ASSERT_EQ(1, writeTag(path, editorRecord("道", "", "", "", 2)));
  EXPECT_STREQ("道", readTag(path).title);
  EXPECT_NE(std::string::npos, id3v2List(path).find("道"));
}

}  // namespace
