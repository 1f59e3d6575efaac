// The tag editor against the real windows: with the scripted decoder and platform, and with
// the real library, whose written tags the peer tools (id3v2, mutagen) read back.
#include "tools/tageditor.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QThread>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>

#include "audio_fixtures.h"
#include "fakes/faults.h"
#include "fakes/program_test.h"
#include "playback/load.h"
#include "ui/form1.h"
#include "ui/form5.h"
#include "ui/tray.h"

namespace {

struct Boxes {
  QString title, artist, album, year, comment;
  int genre;
};

template <typename Decoder>
class TagEditorWith : public ProgramWith<Decoder> {
 protected:
  Form1& main() { return this->app.form1(); }
  Form5& editor() { return this->app.form5(); }

  // The track in the main window: a file `name` in the program folder.
  QString current(const QString& name) {
    const QString path = this->path(name);
    main().Text1->setText(path);
    return path;
  }
  void openEditor() { Form1_mTagEdit_Click(this->app); }
  void type(const Boxes& b) {
    editor().Text1->setText(b.title);
    editor().Text2->setText(b.artist);
    editor().Text3->setText(b.album);
    editor().Text4->setText(b.year);
    editor().Text5->setText(b.comment);
    editor().Combo1->setCurrentIndex(b.genre);
  }
  QStringList boxes() {
    return {editor().Text1->text(), editor().Text2->text(), editor().Text3->text(), editor().Text4->text(),
            editor().Text5->text()};
  }
  QStringList messages() const {
    QStringList texts;
    for (const auto& m : this->platform.messages) texts << m.text;
    return texts;
  }
};

using TagEditorTest = TagEditorWith<ScriptedDecoder>;

std::string field(const char* bytes, size_t size) { return {bytes, size}; }
std::string padded(const std::string& text, size_t size) {
  return text + std::string(size - text.size(), ' ');
}

TagInfo scriptedTag(const char* title, int32_t genre) {
  TagInfo tag{};
  std::strcpy(tag.title, title);
  std::strcpy(tag.artist, "Artist A");
  std::strcpy(tag.year, "1999");
  tag.genre = genre;
  return tag;
}

// ---- Scripted decoder and platform ----------------------------------------------------------

TEST_F(TagEditorTest, RecordFromTheBoxesIsCutPaddedAndCarriesTheGenre) {
  const QString path = current("song.mp3");
  const QString kanji100 = QString("漢").repeated(100);  // 300 bytes: 42 whole characters fit
  const struct {
    Boxes boxes;
    std::string title, year;
    int32_t genre;
  } cases[] = {
      {{"Song", "", "", "1999", "", 3}, "Song", "1999", 3},
      {{"Song", "", "", "2024-05-01", "", 0}, "Song", "2024-", 0},
      {{"", "", "", "", "", -1}, "", "", -1},
      {{QString(200, 'x'), "", "", "２０２４年", "", 255}, std::string(128, 'x'), "２", 255},
      {{kanji100, "", "", "12", "", 17}, QString("漢").repeated(42).toStdString(), "12", 17},
  };
  for (const auto& c : cases) {
    type(c.boxes);
    Form5_Command1_Click(app);
    const TagInfo& written = decoder.tags.at(path);
    EXPECT_EQ(field(written.title, 128), padded(c.title, 128)) << c.boxes.title.toStdString();
    EXPECT_EQ(field(written.year, 5), padded(c.year, 5)) << c.boxes.year.toStdString();
    EXPECT_EQ(field(written.album, 128), std::string(128, ' '));
    EXPECT_EQ(written.genre, c.genre);
    EXPECT_EQ(field(written.genreName, 128), std::string(128, '\0'));
    EXPECT_EQ(written.reserved, 0);
  }
  EXPECT_EQ(decoder.calls.filter("setTagInfoEX").first(), "setTagInfoEX(" + path + ",1,1)");
}

TEST_F(TagEditorTest, OpeningTheEditorByWhatTheFileIs) {
  writeFile("tagged.mp3", "audio");
  writeFile("untagged.MP3", "audio");
  writeFile("song.wav", "RIFF");
  QDir(folder.path()).mkdir("folder.mp3");
  decoder.tags[path("tagged.mp3")] = scriptedTag("Tagged", 17);
  const struct {
    QString file;
    QStringList boxes;
    int genre;
    QString message;  // empty: the editor opens
  } cases[] = {
      {"tagged.mp3", {"Tagged", "Artist A", "", "1999", ""}, 17, ""},
      {"untagged.MP3", {"", "", "", "", ""}, -1, ""},
      {"song.wav", {}, 0, kTagNotMp3Message},
      {"missing.mp3", {}, 0, kTagUnreadableMessage},
      {"folder.mp3", {}, 0, kTagUnreadableMessage},
  };
  for (const auto& c : cases) {
    Form5_Command3_Click(app);
    type({"old", "old", "old", "old", "old", 5});
    platform.messages.clear();
    current(c.file);
    openEditor();
    const bool opens = c.message.isEmpty();
    EXPECT_EQ(editor().isVisible(), opens) << c.file.toStdString();
    EXPECT_EQ(main().Label18->text(), opens ? "1" : "0") << c.file.toStdString();
    EXPECT_EQ(messages(), opens ? QStringList() : QStringList{c.message}) << c.file.toStdString();
    if (opens) EXPECT_EQ(boxes(), c.boxes) << c.file.toStdString();
    if (opens) EXPECT_EQ(editor().Combo1->currentIndex(), c.genre) << c.file.toStdString();
  }
  EXPECT_EQ(editor().Combo1->count(), 256);
  EXPECT_EQ(decoder.count("getGenre"), 256) << "the genre list is built once";
}

TEST_F(TagEditorTest, RefusedWriteIsReportedAndKeepsTheEditor) {
  writeFile("song.mp3", "audio");
  current("song.mp3");
  openEditor();
  type({"New", "Someone", "", "2001", "", 4});
  decoder.setTagResult = 0;
  Form5_Command1_Click(app);
  ASSERT_EQ(messages(), QStringList{kTagWriteFailedMessage});
  EXPECT_EQ(platform.messages[0].title, "Kestrune");
  EXPECT_TRUE(editor().isVisible());
  EXPECT_EQ(main().Label18->text(), "1");
  EXPECT_EQ(boxes(), (QStringList{"New", "Someone", "", "2001", ""})) << "the typing is not lost";

  decoder.setTagResult = 1;
  Form5_Command1_Click(app);
  EXPECT_EQ(messages().size(), 1);
  EXPECT_FALSE(editor().isVisible());
  EXPECT_EQ(boxes(), (QStringList{"", "", "", "", ""})) << "written: the boxes are cleared";
  EXPECT_EQ(editor().Combo1->currentIndex(), 0);
}

TEST_F(TagEditorTest, EveryCloseClearsTheFlagSoRestoringLeavesTheEditorClosed) {
  writeFile("song.mp3", "audio");
  current("song.mp3");
  const std::pair<const char*, std::function<void()>> closes[] = {
      {"cancel", [&] { Form5_Command3_Click(app); }},
      {"close box", [&] { editor().close(); }},
      {"Escape", [&] { static_cast<QDialog&>(editor()).reject(); }},
      {"written", [&] { Form5_Command1_Click(app); }},
  };
  for (const auto& [name, close] : closes) {
    openEditor();
    close();
    EXPECT_EQ(main().Label18->text(), "0") << name;
    Form1_Form_Resize(app);  // what a restore of the main window runs
    EXPECT_FALSE(editor().isVisible()) << name;
  }
  openEditor();
  Form1_Form_Resize(app);
  EXPECT_TRUE(editor().isVisible()) << "an open editor comes back with the main window";
}

TEST_F(TagEditorTest, ClearAndTitleFromTheTitleLine) {
  current("song.mp3");
  ReadTagInfo(app);
  type({"a", "b", "c", "1", "e", 9});
  editor().Text6->setText("7");
  Form5_Command2_Click(app);
  EXPECT_EQ(boxes(), (QStringList{"", "", "", "", ""}));
  EXPECT_EQ(editor().Text6->text(), "");
  EXPECT_EQ(editor().Combo1->currentText(), "000 - ");
  EXPECT_EQ(decoder.count("setTagInfoEX"), 0) << "the file is not touched";

  main().Label13->setText("Kestrune");
  Form5_Command4_Click(app);
  EXPECT_EQ(editor().Text1->text(), "") << "no track: nothing to take";
  main().Label13->setText("曲の名前");
  editor().Command4->click();
  EXPECT_EQ(editor().Text1->text(), "曲の名前");
}

TEST_F(TagEditorTest, MenuItems) {
  writeFile("song.mp3", "audio");
  current("song.mp3");
  main().mTagEdit->trigger();
  EXPECT_TRUE(editor().isVisible());
  EXPECT_FALSE(main().mPTag->isChecked());
  main().mPTag->trigger();
  EXPECT_TRUE(main().mPTag->isChecked());
  main().mPTag->trigger();
  EXPECT_FALSE(main().mPTag->isChecked());
}

// ---- The real library and the peer tools ------------------------------------------------------

class TagEditorLibraryTest : public TagEditorWith<BuiltLibrary> {
 protected:
  void SetUp() override {
    ASSERT_TRUE(decoder.ready) << "libvbmp3.so not found: " << qPrintable(BuiltLibrary::file());
  }
  // An MP3 of `seconds` in the program folder, optionally behind a tag with no padding, which
  // any larger tag outgrows.
  QString makeMp3(const QString& name, double seconds, bool tightTag) {
    const std::string wav = path("tone.wav").toStdString(), mp3 = path("plain.mp3").toStdString();
    EXPECT_TRUE(fixtures::makeWav(wav, seconds) && fixtures::makeMp3(wav, mp3));
    QByteArray bytes = readFile("plain.mp3");
    if (tightTag)
      bytes.prepend(
          QByteArray("ID3\3\0\0\0\0\0\x0c"
                     "TIT2\0\0\0\2\0\0\0x",
                     22));
    writeFile(name, bytes);
    return current(name);
  }
  // The file's bytes after its ID3v2 tag and before its ID3v1 tag.
  QByteArray audioFrames(const QString& name) const {
    QByteArray all = readFile(name);
    if (all.size() >= 128 && all.mid(all.size() - 128, 3) == "TAG") all.chop(128);
    if (!all.startsWith("ID3")) return all;
    int size = 0;
    for (int i = 6; i < 10; ++i) size = (size << 7) | (all[i] & 0x7F);
    return all.mid(10 + size);
  }
  const Boxes japanese{"夜明けの歌", "山田花子", "日本の名曲集", "2024", "コメント", 17};
};

TEST_F(TagEditorLibraryTest, JapaneseTagFromTheEditorReadsBackInThePeerTools) {
  const QString mp3 = makeMp3("曲.mp3", 1, false);
  const QByteArray audio = audioFrames("曲.mp3");
  openEditor();
  ASSERT_TRUE(editor().isVisible()) << "an MP3 without a tag opens for a first one";
  EXPECT_EQ(editor().Combo1->currentIndex(), -1);
  EXPECT_EQ(editor().Combo1->itemText(17), "017 - Rock");
  type(japanese);
  Form5_Command1_Click(app);
  ASSERT_TRUE(platform.messages.empty()) << messages().join("\n").toStdString();

  const std::string file = fixtures::quote(mp3.toStdString());
  const std::string listing = fixtures::outputOf("LC_ALL=C.UTF-8 id3v2 -l " + file);
  for (const char* line :
       {"TIT2 (Title/songname/content description): 夜明けの歌\n",
        "TPE1 (Lead performer(s)/Soloist(s)): 山田花子\n", "TALB (Album/Movie/Show title): 日本の名曲集\n",
        "TYER (Year): 2024\n", "TCON (Content type): Rock (17)\n"})
    EXPECT_NE(listing.find(line), std::string::npos) << line << listing;
  const std::string mutagen = fixtures::outputOf(
      "PYTHONIOENCODING=utf-8 /usr/bin/python3 -c 'import sys, mutagen.id3 as m; t = m.ID3(sys.argv[1]); "
      "print(\"|\".join(str(t[k].text[0]) for k in (\"TIT2\", \"TPE1\", \"TALB\", \"TCON\")))' " +
      file);
  EXPECT_EQ(mutagen, "夜明けの歌|山田花子|日本の名曲集|Rock\n");
  EXPECT_EQ(audioFrames("曲.mp3"), audio) << "the audio frames are untouched";

  openEditor();
  EXPECT_EQ(boxes(), (QStringList{"夜明けの歌", "山田花子", "日本の名曲集", "2024", "コメント"}));
  EXPECT_EQ(editor().Combo1->currentIndex(), 17);
}

// The tag outgrows its padding while the track plays: the player keeps the file it opened
// and plays on, and the file on disk is the same audio behind the new tag.
TEST_F(TagEditorLibraryTest, WritingThePlayingTrackKeepsTheSoundAndTheFile) {
  makeMp3("playing.mp3", 4, true);
  const QByteArray audio = audioFrames("playing.mp3");
  const qsizetype tagBefore = readFile("playing.mp3").indexOf(audio);
  ASSERT_TRUE(LoadAndShowTrack(app, main().Text1->text(), LoadOptions::fromOpenDialog()));
  ASSERT_EQ(decoder.library.play(), 1);
  QThread::msleep(500);
  openEditor();
  type(japanese);
  Form5_Command1_Click(app);
  ASSERT_TRUE(platform.messages.empty()) << messages().join("\n").toStdString();
  EXPECT_GT(readFile("playing.mp3").indexOf(audio), tagBefore) << "the tag grew past its padding";
  EXPECT_EQ(audioFrames("playing.mp3"), audio);

  int32_t peak = 0, seconds = 0;
  for (int i = 0; i < 10; ++i) {
    QThread::msleep(100);
    WaveBuffer left{}, right{};
    decoder.library.getWave(left, right);
    for (const int32_t v : left) peak = std::max(peak, std::abs(v));
  }
  EXPECT_EQ(decoder.library.getState(seconds), 1) << "still playing";
  EXPECT_GE(seconds, 1);
  EXPECT_GT(peak, 20) << "the tone still sounds";
  const std::string decoded =
      fixtures::outputOf("mpg123 -q -s " + fixtures::quote(path("playing.mp3").toStdString()) + " | wc -c");
  const std::string plain =
      fixtures::outputOf("mpg123 -q -s " + fixtures::quote(path("plain.mp3").toStdString()) + " | wc -c");
  EXPECT_EQ(decoded, plain) << "mpg123 decodes the tagged file to the same length";
}

TEST_F(TagEditorLibraryTest, WriteTheDiskRefusesIsReported) {
  makeMp3("song.mp3", 0.3, false);
  const QString disk = path("disk");
  QDir(folder.path()).mkdir("disk");
  TinyDisk tiny(disk, 64);
  if (!tiny.mounted()) GTEST_SKIP() << "cannot mount a tmpfs: " << tiny.error().toStdString();
  writeFile("disk/song.mp3", readFile("song.mp3"));
  tiny.fill();
  current("disk/song.mp3");
  const QByteArray before = readFile("disk/song.mp3");
  openEditor();
  type(japanese);
  Form5_Command1_Click(app);
  EXPECT_EQ(messages(), QStringList{kTagWriteFailedMessage});
  EXPECT_EQ(readFile("disk/song.mp3"), before);
  EXPECT_TRUE(editor().isVisible());
}

}  // namespace
