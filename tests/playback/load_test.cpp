// Loading a track with the scripted decoder and platform against the real windows.
#include "playback/load.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QKeySequence>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <cstring>
#include <functional>

#include "core/textcodec.h"
#include "fakes/program_test.h"
#include "playback/transport.h"
#include "ui/form1.h"
#include "ui/form2.h"
#include "ui/form3.h"
#include "ui/form5.h"

namespace {

TagInfo tagWithTitle(const char* title, int32_t genre = 17) {
  TagInfo tag{};
  std::strncpy(tag.title, title, sizeof tag.title - 1);
  std::strcpy(tag.artist, "Tag Artist");
  std::strcpy(tag.album, "Album");
  std::strcpy(tag.year, "1999");
  std::strcpy(tag.comment, "note");
  tag.genre = genre;
  return tag;
}

class LoadTest : public ProgramTest {
 protected:
  // The Properties dialog is designed with "play at once" and "ask before closing" on;
  // the tests switch them on where they need them.
  LoadTest() {
    app.form3().Check6->setChecked(false);
    app.form3().Check10->setChecked(false);
  }

  // Chooses `path` in the open dialog.
  void open(const QString& path) {
    platform.dialogAnswers.push_back(path);
    Form1_mOpen_Click(app);
  }
  void openTrack(int32_t seconds, int32_t rate = 44100, const char* artist = "Someone") {
    const QString path = QString("/m/track%1.mp3").arg(seconds);
    decoder.addTrack(path, seconds, 128, rate, artist);
    open(path);
  }
  void expectNoTrackShown() {
    EXPECT_FALSE(main.Command1->isEnabled());
    EXPECT_FALSE(main.Command2->isEnabled());
    EXPECT_FALSE(main.Timer1->isActive());
    EXPECT_FALSE(main.Timer4->isActive());
    EXPECT_FALSE(main.Timer5->isActive());
    EXPECT_EQ(main.Label1->text(), "00:00");
    EXPECT_EQ(main.Label3->text(), "00:00");
    EXPECT_EQ(main.Label8->text(), "Nothing");
    EXPECT_EQ(main.Label13->text(), "Kestrune");
    EXPECT_EQ(main.Label13->x(), 8);
    EXPECT_EQ(main.Label12->text(), "Artist");
    EXPECT_EQ(main.windowTitle(), "Kestrune");
  }

  Form1& main = app.form1();
};

// The dialog opens where the last chosen file was while that folder exists, else in the
// Properties' first folder; a cancelled dialog remembers nothing.
TEST_F(LoadTest, OpenDialogStartsInTheLastFolder) {
  const QString existing = folder.path();
  struct Case {
    QString last, first, chosen, expectedFolder, rememberedAfter;
  } cases[] = {
      {"", "", "", "", ""},
      {"", "/music", "", "/music", ""},
      {existing, "/music", existing + "/sub/a.mp3", existing, existing + "/sub"},
      {"/gone/away", "/music", "", "/music", "/gone/away"},
      {"/gone/away", "", "/x/y.mp3", "", "/x"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.last.toStdString() + " | " + c.first.toStdString());
    main.openFolder = c.last;
    app.form3().Text1->setText(c.first);
    platform.dialogs.clear();
    open(c.chosen);
    ASSERT_EQ(platform.dialogs.size(), 1u);
    EXPECT_EQ(platform.dialogs[0].folder, c.expectedFolder);
    EXPECT_EQ(main.openFolder, c.rememberedAfter);
  }
}

TEST_F(LoadTest, OpenShowsTheTrack) {
  app.form2().List1->addItems({"a", "b", "c"});
  decoder.genreNames = QStringList{"Blues", " Classic Rock "};
  decoder.tags["/m/Song Name.mp3"] = tagWithTitle("Tagged", 1);
  decoder.addTrack("/m/Song Name.mp3", 6000, 192, 44100, "Someone");
  main.Label13->move(120, main.Label13->y());
  open("/m/Song Name.mp3");

  EXPECT_EQ(platform.dialogs.at(0).title, "開く");
  EXPECT_EQ(platform.dialogs.at(0).filter,
            "音声ファイル(*.mp3 *.wav);;MP3サウンド形式(*.mp3);;waveサウンド形式(*.wav)");
  EXPECT_EQ(platform.dialogs.at(0).owner, &main);
  EXPECT_EQ(decoder.calls.mid(0, 2), (QStringList{"stop()", "open(/m/Song Name.mp3)"}));
  EXPECT_EQ(decoder.count("play"), 0) << "stays stopped without the play-at-once option";

  EXPECT_EQ(main.Text1->text(), "/m/Song Name.mp3");
  EXPECT_EQ(main.Label3->text(), "100:00");
  EXPECT_EQ(main.Text3->text(), "6000");
  EXPECT_EQ(main.HScroll1->maximum(), 6000);
  EXPECT_EQ(main.HScroll1->pageStep(), 60);
  EXPECT_EQ(main.Picture5->scaleWidth(), 6000);
  EXPECT_EQ(main.Label9->text(), "192k/s");
  EXPECT_EQ(main.Label10->text(), "44.1 kHz");
  EXPECT_EQ(main.Label12->text(), "Someone");
  EXPECT_EQ(main.Label11->text(), "-/3");
  EXPECT_EQ(main.Label8->text(), "mp3");
  EXPECT_EQ(main.Label13->text(), "Song Name");
  EXPECT_EQ(main.Label13->x(), 8);
  EXPECT_EQ(main.windowTitle(), QString("Kestrune") + QChar(0x3000) + "【Song Name】");
  EXPECT_TRUE(main.Command1->isEnabled());
  EXPECT_TRUE(main.mListAdd->isEnabled());

  Form5& editor = app.form5();
  EXPECT_FALSE(editor.isVisible());
  ASSERT_EQ(editor.Combo1->count(), 256);
  EXPECT_EQ(editor.Combo1->itemText(0), "000 - Blues");
  EXPECT_EQ(editor.Combo1->itemText(1), "001 - Classic Rock");
  EXPECT_EQ(editor.Combo1->itemText(255), "255 - ");
  EXPECT_EQ(editor.Combo1->currentIndex(), 1);
  EXPECT_EQ(editor.Text1->text(), "Tagged");
  EXPECT_EQ(editor.Text2->text(), "Tag Artist");
  EXPECT_EQ(editor.Text4->text(), "1999");
  EXPECT_TRUE(platform.messages.empty());

  decoder.calls.clear();
  open("/m/Song Name.mp3");
  EXPECT_EQ(decoder.count("getGenre"), 0) << "the genre list is built once per run";
  EXPECT_EQ(editor.Combo1->count(), 256);
}

TEST_F(LoadTest, TimesRatesAndArtists) {
  openTrack(245, 48000, " ");
  EXPECT_EQ(main.Label3->text(), "04:05");
  EXPECT_EQ(main.Label10->text(), "48 kHz");
  EXPECT_EQ(main.Label12->text(), "Artist") << "a single space";
  openTrack(0, 22050, "");
  EXPECT_EQ(main.Label12->text(), "Artist") << "all NUL";
  EXPECT_EQ(main.Label3->text(), "00:00");
  EXPECT_EQ(main.Label10->text(), "22.05 kHz");
  EXPECT_EQ(main.Picture5->scaleWidth(), 245) << "a 0-second track keeps the scale";
  openTrack(36000, 8000, "  ");  // 10 hours: far beyond a 16-bit count of seconds
  EXPECT_EQ(main.Label12->text(), "  ") << "only a single space counts as none";
  EXPECT_EQ(main.Label3->text(), "600:00");
  EXPECT_EQ(main.Label10->text(), "8 kHz");
  EXPECT_EQ(main.HScroll1->maximum(), 36000);
  EXPECT_EQ(main.HScroll1->pageStep(), 360);
  EXPECT_EQ(main.Text3->text(), "36000");
}

TEST_F(LoadTest, LargeStepIsAHundredthRoundedToEvenOrKept) {
  const std::pair<int, int> lengthsAndSteps[] = {{600, 6}, {30, 6},  {11, 6},  {50, 6},  {10, 1}, {50, 1},
                                                 {150, 2}, {250, 2}, {251, 3}, {350, 4}, {51, 1}, {0, 1}};
  for (const auto& [length, step] : lengthsAndSteps) {
    openTrack(length);
    EXPECT_EQ(main.HScroll1->pageStep(), step) << length << " seconds";
  }
}

TEST_F(LoadTest, TitleRule) {
  main.mTagTitle->setChecked(true);
  const char* const titles[] = {"", " ", "  Spaced  Title ", "Plain"};
  const QString shown[] = {"a.b", "a.b", "  Spaced  Title ", "Plain"};
  for (int i = 0; i < 4; ++i) {
    decoder.tags["/m/a.b.mp3"] = tagWithTitle(titles[i]);
    decoder.addTrack("/m/a.b.mp3", 100);
    open("/m/a.b.mp3");
    EXPECT_EQ(main.Label13->text(), shown[i]) << i;
    EXPECT_EQ(main.windowTitle(), "Kestrune" + QString(QChar(0x3000)) + "【" + main.Label13->text() + "】");
  }

  decoder.addTrack("/m/untagged.wav", 100);
  open("/m/untagged.wav");
  EXPECT_EQ(main.Label13->text(), "untagged") << "the previous file's tag title is not taken over";
  EXPECT_EQ(app.form5().Text1->text(), "");

  main.mTagTitle->setChecked(false);
  open("/m/a.b.mp3");
  EXPECT_EQ(main.Label13->text(), "a.b");

  main.mVisible->setChecked(true);
  main.mTagTitle->setChecked(true);
  open("/m/a.b.mp3");
  EXPECT_EQ(main.Label13->text(), "Kestrune");
  EXPECT_EQ(main.windowTitle(), "Kestrune");
}

TEST_F(LoadTest, CancelledDialogChangesNothing) {
  main.Text1->setText("/m/old.mp3");
  EXPECT_EQ(main.mOpen->shortcut(), QKeySequence("Ctrl+O"));
  main.mOpen->trigger();
  EXPECT_EQ(platform.dialogs.size(), 1u);
  EXPECT_TRUE(decoder.calls.isEmpty());
  EXPECT_EQ(main.Text1->text(), "/m/old.mp3");
}

TEST_F(LoadTest, FailedOpenFromTheDialogShowsTheMessageAndResets) {
  openTrack(245);
  main.Command2->setEnabled(true);
  main.Timer4->start();
  main.Label1->setText("01:00");
  open("/m/missing.mp3");

  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_EQ(platform.messages[0].text, kFailedOpen);
  EXPECT_EQ(platform.messages[0].title, "Kestrune");
  EXPECT_EQ(platform.messages[0].buttons, MessageButtons::Ok);
  expectNoTrackShown();
  EXPECT_TRUE(decoder.calls.mid(decoder.calls.indexOf("open(/m/missing.mp3)")).contains("stop()"));
  EXPECT_EQ(main.Text1->text(), "/m/missing.mp3") << "keeps the path that failed";
  EXPECT_EQ(main.Label9->text(), "128k/s") << "keeps the previous track's values";
}

TEST_F(LoadTest, PlayAtOnceOption) {
  app.form3().Check6->setChecked(true);
  openTrack(245);
  EXPECT_EQ(decoder.count("play"), 1);
  EXPECT_FALSE(main.Command1->isEnabled());
  EXPECT_TRUE(main.Command2->isEnabled());
}

// A failed open has closed the track that was open, so every caller that gives up ends with
// the message and no track shown: play stays refused. Only the random draws stay silent and
// leave the window to their caller, which draws again or tells.
TEST_F(LoadTest, FailuresOfTheOtherCallers) {
  struct Case {
    const char* name;
    std::function<void()> load;
    size_t messages;
    QString pathShown;
  };
  const Case cases[] = {
      {"previous or next", [&] { LoadAndShowTrack(app, "/m/gone.mp3", LoadOptions::fromNeighbour()); }, 1,
       "/m/track245.mp3"},
      {"Song List play", [&] { LoadAndShowTrack(app, "/m/gone.mp3", LoadOptions::fromSongList()); }, 1,
       "/m/gone.mp3"},
      {"start-up song",
       [&] {
         app.form3().Text2->setText("/m/nothing.wav");
         StartupAutoPlay(app);
       },
       1, "/m/track245.mp3"},
      {"random end", [&] { LoadAndShowTrack(app, "/m/gone.mp3", LoadOptions::fromRandomEnd()); }, 0,
       "/m/gone.mp3"},
      {"random button", [&] { LoadAndShowTrack(app, "/m/gone.mp3", LoadOptions::fromRandomButton()); }, 0,
       "/m/gone.mp3"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    openTrack(245);
    Form1_Command1_Click(app);
    platform.messages.clear();
    c.load();
    ASSERT_EQ(platform.messages.size(), c.messages);
    if (c.messages) EXPECT_EQ(platform.messages.back().text, kFailedOpen);
    EXPECT_EQ(main.Text1->text(), c.pathShown);
    EXPECT_EQ(decoder.openPath, "") << "the library has no track open";
    if (c.messages) expectNoTrackShown();
  }
}

TEST_F(LoadTest, OtherCallersOnSuccess) {
  app.form2().List1->addItems({"a", "b"});
  main.mPTag->setChecked(true);
  decoder.addTrack("/m/n.mp3", 300);

  ASSERT_TRUE(LoadAndShowTrack(app, "/m/n.mp3", LoadOptions::fromNeighbour()));
  EXPECT_EQ(decoder.calls.first(), "open(/m/n.mp3)") << "no stop before the open";
  EXPECT_EQ(decoder.count("play"), 1);
  EXPECT_TRUE(app.form5().isVisible());
  EXPECT_EQ(main.Label11->text(), "-/0") << "the list position is not touched";
  EXPECT_FALSE(main.mListAdd->isEnabled());
  app.form5().hide();

  decoder.calls.clear();
  ASSERT_TRUE(LoadAndShowTrack(app, "/m/n.mp3", LoadOptions::fromRandomEnd()));
  EXPECT_EQ(decoder.calls.first(), "stop()");
  EXPECT_EQ(decoder.calls.mid(decoder.calls.size() - 2), (QStringList{"stop()", "play()"}));
  EXPECT_EQ(decoder.count("getState"), 0) << "the play state is not refreshed";

  decoder.calls.clear();
  ASSERT_TRUE(LoadAndShowTrack(app, "/m/n.mp3", LoadOptions::fromSongList()));
  EXPECT_EQ(decoder.calls.mid(0, 2), (QStringList{"open(/m/n.mp3)", "stop()"}));
  EXPECT_EQ(decoder.count("play"), 1);
  EXPECT_FALSE(app.form5().isVisible()) << "the Song List shows the tag editor itself, after hiding";
}

TEST_F(LoadTest, CloseResetsTheWindow) {
  openTrack(245, 48000);
  main.mClose->trigger();
  EXPECT_TRUE(platform.messages.empty());
  expectNoTrackShown();
  EXPECT_EQ(main.Label3->text(), "00:00");
  EXPECT_EQ(main.Label8->text(), "Nothing");
  EXPECT_EQ(decoder.calls.mid(decoder.calls.lastIndexOf("stop()"), 2),
            (QStringList{"stop()", "encodeStop()"}));
  EXPECT_EQ(main.Text1->text(), "/m/track245.mp3");
  EXPECT_EQ(main.Text3->text(), "245");
  EXPECT_EQ(main.Label10->text(), "48 kHz");
}

TEST_F(LoadTest, CloseAsksWhenTheOptionIsOn) {
  app.form3().Check10->setChecked(true);
  Form1_mClose_Click(app);  // no track: "00:00"
  EXPECT_TRUE(platform.messages.empty());
  EXPECT_TRUE(decoder.calls.isEmpty());

  openTrack(245);
  platform.messageAnswers.push_back(MessageResult::No);
  Form1_mClose_Click(app);
  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_EQ(platform.messages[0].text, "曲がセットされています。閉じても宜しいですか？");
  EXPECT_EQ(platform.messages[0].title, "ファイルを閉じる確認");
  EXPECT_EQ(platform.messages[0].buttons, MessageButtons::YesNo);
  EXPECT_EQ(platform.messages[0].icon, MessageIcon::Question);
  EXPECT_EQ(main.Label3->text(), "04:05");
  EXPECT_TRUE(main.Command1->isEnabled());

  Form1_mClose_Click(app);  // Yes
  EXPECT_EQ(main.Label3->text(), "00:00");
  EXPECT_FALSE(main.Command1->isEnabled());
}

TEST(LoadText, CutAtNulAndTrimSpaces) {
  EXPECT_EQ(CutAtNul(QString("ab") + QChar(0) + "cd"), "ab");
  EXPECT_EQ(CutAtNul(QString(QChar(0))), "");
  EXPECT_EQ(CutAtNul("abc"), "abc");
  const char field[6] = {'x', 'y', 'z', 'w', 'v', 'u'};  // no NUL at all
  EXPECT_EQ(CutAtNul(field), "xyzwvu");
  EXPECT_EQ(TrimSpaces("  a b\t "), "a b\t");
  EXPECT_EQ(TrimSpaces("   "), "");
}

}  // namespace
