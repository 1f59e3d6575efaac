// Files given on the command line or handed over by a later start, against the real windows
// with the scripted decoder (and once with the real library): what opens, what joins the
// Song List and its file, and what is named as skipped.
#include "playback/openwith.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDir>

#include "audio_fixtures.h"
#include "fakes/program_test.h"
#include "playback/load.h"
#include "songlist/listfile.h"
#include "songlist/songlistwindow.h"
#include "ui/form1.h"
#include "ui/form2.h"
#include "ui/form3.h"

namespace {

// In the program folder: sound files the decoder opens, one it refuses, a text file and a
// folder; "missing.mp3" is not there.
class OpenWith : public ProgramTest {
 protected:
  void SetUp() override {
    for (const char* name : {"a.mp3", "b.wav", "shown.mp3"}) {
      writeFile(name, "sound");
      decoder.addTrack(path(name), 60);
    }
    writeFile("junk.mp3", "not sound");
    writeFile("note.txt", "text");
    QDir(folder.path()).mkdir("sub");
    start();
  }

  QStringList paths(const QStringList& names) const {
    QStringList out;
    for (const QString& name : names) out << path(name);
    return out;
  }
};

TEST_F(OpenWith, OpensAddsAndNamesWhatIsSkipped) {
  struct Case {
    QStringList given;
    QString shown;        // afterwards, playing ("open and play at once" is on); empty: no track
    QStringList listed;   // the Song List's files afterwards, in memory and in List0.dat
    QStringList skipped;  // named in the one message
  };
  const Case cases[] = {
      {{"a.mp3"}, "a.mp3", {}, {}},
      {{"a.mp3", "b.wav"}, "a.mp3", {"a.mp3", "b.wav"}, {}},
      {{"missing.mp3", "sub", "note.txt"},
       "shown.mp3",
       {},
       {"missing.mp3（ファイルが見つかりません）", "sub（フォルダです）",
        "note.txt（MP3・WAVファイルではありません）"}},
      {{"missing.mp3", "junk.mp3", "b.wav"},
       "b.wav",
       {"b.wav"},
       {"missing.mp3", "junk.mp3（開けない形式です）"}},
      {{"junk.mp3"}, "", {}, {"junk.mp3"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.given.join(' ').toStdString());
    Form2_Command3_Click(app);  // an empty Song List
    ASSERT_TRUE(saveList(app, 0) && OpenSoundFile(app, path("shown.mp3")));
    platform.messages.clear();

    OpenGivenFiles(app, paths(c.given));

    EXPECT_EQ(decoder.openPath, c.shown.isEmpty() ? QString() : path(c.shown));
    EXPECT_EQ(decoder.current.state, c.shown.isEmpty() ? VBMP3_STATE_STOPPED : VBMP3_STATE_PLAYING);
    if (c.shown.isEmpty()) EXPECT_EQ(app.form1().Label3->text(), "00:00");
    EXPECT_EQ(app.form2().List2->texts(), paths(c.listed));
    EXPECT_EQ(readListFile(path("List0.dat")).second, paths(c.listed));
    ASSERT_EQ(platform.messages.size(), c.skipped.isEmpty() ? 0u : 1u);
    for (const QString& name : c.skipped)
      EXPECT_TRUE(platform.messages[0].text.contains(name)) << qPrintable(name);
  }
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
}

TEST_F(RealLibraryTest, GivenFilesABrokenOneGivesWayToARealOne) {
  ASSERT_TRUE(fixtures::makeWav(file("tone.wav"), 3.0));
  ASSERT_TRUE(fixtures::makeMp3(file("tone.wav"), file("tone.mp3")));
  writeFile("broken.mp3", QByteArray(4096, '\x55'));
  start();

  OpenGivenFiles(app, {path("broken.mp3"), path("tone.mp3")});

  EXPECT_EQ(app.form1().Text3->text(), "3");
  EXPECT_EQ(app.form2().List2->texts(), QStringList{path("tone.mp3")});
  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_TRUE(platform.messages[0].text.contains("broken.mp3（開けない形式です）"));
}

}  // namespace
