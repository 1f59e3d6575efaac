// Files given on the command line or handed over by a later start, against the real windows
// with the scripted decoder (and once with the real library): what opens, what joins the
// Song List and its file, and what is named as skipped.
#include "playback/openwith.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDir>
#include <QRegularExpression>

#include "audio_fixtures.h"
#include "fakes/program_test.h"
#include "playback/load.h"
#include "songlist/songlistwindow.h"
#include "ui/form1.h"
#include "ui/form2.h"
#include "ui/form3.h"

namespace {

class OpenWith : public ProgramTest {
 protected:
  // In the program folder: sound files the decoder opens, one it refuses, a text file and a
  // folder; "missing.mp3" is not there. A track is shown and playing before each case.
  void SetUp() override {
    for (const char* name : {"a.mp3", "b.mp3", "c.wav", "shown.mp3"}) {
      writeFile(name, "sound");
      decoder.addTrack(path(name), 60);
    }
    writeFile("junk.mp3", "not sound");
    writeFile("note.txt", "text");
    QDir(folder.path()).mkdir("sub");
    start();
  }

  // An empty Song List, no message, and a track shown and playing.
  void resetToShownTrack() {
    Form2_Command3_Click(app);
    platform.messages.clear();
    ASSERT_TRUE(OpenSoundFile(app, path("shown.mp3")));
  }

  QStringList paths(const QStringList& names) const {
    QStringList out;
    for (const QString& name : names) out << path(name);
    return out;
  }
  QString message() const { return platform.messages.empty() ? QString() : platform.messages.back().text; }
};

struct Case {
  const char* what;
  QStringList given;
  QString shown;        // in the main window afterwards; empty: no track
  QStringList listed;   // the Song List's files afterwards
  QStringList skipped;  // named in the one message
};

TEST_F(OpenWith, OpensAddsAndNamesWhatIsSkipped) {
  const Case cases[] = {
      {"one sound file opens and stays off the list", {"a.mp3"}, "a.mp3", {}, {}},
      {"several join the list, the first opens",
       {"a.mp3", "b.mp3", "c.wav"},
       "a.mp3",
       {"a.mp3", "b.mp3", "c.wav"},
       {}},
      {"nothing usable leaves the shown track",
       {"missing.mp3", "sub", "note.txt"},
       "shown.mp3",
       {},
       {"missing.mp3（ファイルが見つかりません）", "sub（フォルダです）",
        "note.txt（MP3・WAVファイルではありません）"}},
      {"a refused file gives way to the next",
       {"missing.mp3", "junk.mp3", "b.mp3", "note.txt"},
       "b.mp3",
       {"b.mp3"},
       {"missing.mp3", "note.txt", "junk.mp3（開けない形式です）"}},
      {"only refused files end with no track", {"junk.mp3"}, "", {}, {"junk.mp3"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    resetToShownTrack();

    OpenGivenFiles(app, paths(c.given));

    Form1& main = app.form1();
    if (c.shown.isEmpty()) {
      EXPECT_EQ(main.Label3->text(), "00:00");
      EXPECT_TRUE(decoder.openPath.isEmpty());
    } else {
      EXPECT_EQ(main.Text1->text(), path(c.shown));
      EXPECT_EQ(decoder.openPath, path(c.shown));
      EXPECT_EQ(decoder.current.state, VBMP3_STATE_PLAYING);  // "open and play at once" is on
    }
    QStringList titles = c.listed;
    titles.replaceInStrings(QRegularExpression("\\..*"), "");
    EXPECT_EQ(app.form2().List1->texts(), titles);
    EXPECT_EQ(app.form2().List2->texts(), paths(c.listed));
    if (c.skipped.isEmpty()) {
      EXPECT_TRUE(platform.messages.empty()) << message().toStdString();
    } else {
      ASSERT_EQ(platform.messages.size(), 1u);
      EXPECT_TRUE(message().startsWith("次のファイルは開けませんでした。\r\n"));
      for (const QString& name : c.skipped)
        EXPECT_TRUE(message().contains(name)) << message().toStdString() << name.toStdString();
    }
  }
}

TEST_F(OpenWith, SeveralFilesReachTheListFile) {
  OpenGivenFiles(app, paths({"a.mp3", "b.mp3"}));
  EXPECT_EQ(readFile("List0.dat"),
            ("\"a\"\r\n\"" + path("a.mp3") + "\"\r\n\"b\"\r\n\"" + path("b.mp3") + "\"\r\n").toUtf8());
}

TEST_F(OpenWith, HandedOverFilesBringTheWindowBackAndFollowThePlayOption) {
  Form1& main = app.form1();
  main.show();
  main.setWindowState(Qt::WindowMinimized);
  app.form3().Check6->setChecked(false);

  ReceiveHandedOverFiles(app, paths({"a.mp3"}));

  EXPECT_FALSE(main.isMinimized());
  EXPECT_TRUE(main.isVisible());
  EXPECT_EQ(decoder.openPath, path("a.mp3"));
  EXPECT_EQ(decoder.current.state, VBMP3_STATE_STOPPED);
  EXPECT_TRUE(main.Command1->isEnabled());
}

class OpenWithRealLibrary : public RealLibraryTest {};

TEST_F(OpenWithRealLibrary, ABrokenFileGivesWayToARealOne) {
  ASSERT_TRUE(fixtures::makeWav(file("tone.wav"), 3.0));
  ASSERT_TRUE(fixtures::makeMp3(file("tone.wav"), file("tone.mp3")));
  writeFile("broken.mp3", QByteArray(4096, '\x55'));
  start();
  app.form3().Check6->setChecked(false);

  OpenGivenFiles(app, {path("broken.mp3"), path("tone.mp3")});

  EXPECT_EQ(app.form1().Text1->text(), path("tone.mp3"));
  EXPECT_EQ(app.form1().Text3->text(), "3");
  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_TRUE(platform.messages[0].text.contains("broken.mp3（開けない形式です）"));
  EXPECT_EQ(app.form2().List1->texts(), QStringList{"tone"});
}

}  // namespace
