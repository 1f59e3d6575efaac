#include "core/settings.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QLineEdit>
#include <QScrollBar>

#include "core/options.h"
#include "core/textcodec.h"
#include "fakes/program_test.h"
#include "ui/controls.h"
#include "ui/form1.h"
#include "ui/form3.h"
#include "ui/form4.h"
#include "ui/form5.h"

namespace {

using Settings = ProgramTest;

TEST_F(Settings, SaveWritesTheTwentySixKeysInOrderThenTheLaterOnes) {
  start();
  Form1& main = app.form1();
  main.move(80, 60);
  setCheckValue(app.form3().Check3, 1);
  app.form3().Text1->setText("/home/me/音楽");
  main.Text1->setText("/m/a b=c.mp3");
  main.mListTrack->setChecked(true);
  app.form4().move(30, 45);
  SaveSettings(app);

  const QByteArray expected =
      "[Kestrune DataFile]\r\n"
      "FastFolder=/home/me/音楽\r\nAutoMusic=\r\nMainTop=900\r\nMainLeft=1200\r\n"
      "OPMUSIC=1\r\nAutoMusicMode=0\r\nMusicTitle=Kestrune\r\nMusicPath=/m/a b=c.mp3\r\n"
      "NTitle=False\r\nEcoView=\r\nTagView=\r\n"
      "EcoLeft=450\r\nEcoTop=675\r\n"
      "TagLeft=\r\nTagTop=\r\n"  // never shown nor moved: no place to keep
      "FastPlay=1\r\nAppSave=1\r\nTaskMode=0\r\nCloseDialog=1\r\n"
      "PlayMode1=True\r\nPlayMode2=True\r\nPlayMode3=False\r\n"
      "FadeMode1=False\r\nFadeMode2=False\r\nListMode1=True\r\nListMode2=False\r\n"
      "Volume=100\r\nPitch=100\r\nOpenFolder=\r\n";
  EXPECT_EQ(readFile("Option.ini"), textcodec::toCp932(QString::fromUtf8(expected)));
}

TEST_F(Settings, SavingTwiceGivesTheSameBytes) {
  start();
  app.form1().Text1->setText("/音楽/曲.mp3");
  SaveSettings(app);
  const QByteArray first = readFile("Option.ini");
  SaveSettings(app);
  EXPECT_EQ(readFile("Option.ini"), first);
}

TEST_F(Settings, ForeignSectionsAndKeysSurviveASave) {
  const QByteArray foreign = "; notes\r\n[Other]\r\nx=1\r\n";
  writeFile("Option.ini", foreign + "[Kestrune DataFile]\r\nUnknown=5\r\nMainTop=30\r\n[Tail]\r\ny=2\r\n");
  start();
  SaveSettings(app);
  const QByteArray saved = readFile("Option.ini");
  EXPECT_TRUE(saved.startsWith(foreign + "[Kestrune DataFile]\r\nUnknown=5\r\nMainTop=30\r\n"));
  EXPECT_TRUE(
      saved.endsWith("ListMode2=False\r\nVolume=100\r\nPitch=100\r\nOpenFolder=\r\n[Tail]\r\ny=2\r\n"));
}

TEST_F(Settings, SaveNowFromTheEditMenu) {
  start();
  EXPECT_FALSE(exists("Option.ini"));
  app.form1().mWtireForm->trigger();
  EXPECT_TRUE(readFile("Option.ini").contains("ListMode2=False\r\n"));
}

TEST_F(Settings, RestoresEveryKindOfValue) {
  writeFile("Option.ini",
            "[Kestrune DataFile]\r\n"
            "FastFolder=/home/me/音楽\r\nAutoMusic= /m/auto.mp3\r\n"
            "MainTop=-300\r\nMainLeft=150.0\r\n"
            "OPMUSIC=2\r\nAutoMusicMode=1\r\nMusicTitle=Not shown\r\nMusicPath=/m/a b=c.mp3\r\n"
            "NTitle=false\r\nEcoView=1\r\nTagView=0\r\n"
            "EcoLeft=1500\r\nEcoTop=3000\r\nTagLeft=45\r\nTagTop=1e3\r\n"
            "FastPlay=0\r\nAppSave=0\r\nTaskMode=1\r\nCloseDialog=0\r\n"
            "PlayMode1=FALSE\r\nPlayMode2=0\r\nPlayMode3=tRuE\r\n"
            "FadeMode1=-1\r\nFadeMode2= 1 \r\nListMode1=0\r\nListMode2=True\r\n");
  start();
  Form1& main = app.form1();
  Form3& options = app.form3();
  EXPECT_EQ(options.Text1->text(), "/home/me/音楽");
  EXPECT_EQ(options.Text2->text(), "/m/auto.mp3") << "blanks around a value are not part of it";
  EXPECT_EQ(main.pos(), QPoint(10, -20));
  EXPECT_EQ(options.Check3->checkState(), Qt::PartiallyChecked);
  EXPECT_TRUE(main.KPlay->isChecked()) << "a greyed box checks its mirror";
  EXPECT_EQ(checkValue(options.Check4), 1);
  EXPECT_TRUE(main.mAuotPlay->isChecked());
  EXPECT_EQ(main.Label13->text(), "Kestrune");
  EXPECT_EQ(main.Text1->text(), "/m/a b=c.mp3");
  EXPECT_FALSE(main.mVisible->isChecked());
  EXPECT_EQ(main.Label17->text(), "1");
  EXPECT_EQ(main.Label18->text(), "0");
  EXPECT_EQ(app.form4().pos(), QPoint(100, 200));
  EXPECT_EQ(app.form5().pos(), QPoint(3, 67));
  EXPECT_TRUE(app.form4().isHidden());
  EXPECT_EQ(checkValue(options.Check6), 0);
  EXPECT_FALSE(main.mFastPlay->isChecked());
  EXPECT_EQ(checkValue(options.Check7), 0);
  EXPECT_EQ(checkValue(options.Check9), 1);
  EXPECT_TRUE(main.mSmallTask->isChecked());
  EXPECT_EQ(checkValue(options.Check10), 0);
  EXPECT_FALSE(main.mRepeat->isChecked());
  EXPECT_FALSE(main.mListTrack->isChecked());
  EXPECT_TRUE(main.mRandam->isChecked());
  EXPECT_TRUE(main.mFadeIn->isChecked());
  EXPECT_TRUE(main.mFadeOut->isChecked());
  EXPECT_FALSE(main.mUptoDown->isChecked());
  EXPECT_TRUE(main.mDowntoUp->isChecked());
}

TEST_F(Settings, UnreadableValuesLeaveTheDesignedState) {
  writeFile("Option.ini",
            "[Kestrune DataFile]\r\nMainTop=abc\r\nMainLeft=\r\nOPMUSIC=3\r\nAutoMusicMode=yes\r\n"
            "FastPlay=\r\nAppSave=inf\r\nTaskMode=-1\r\nCloseDialog=1,0\r\nPlayMode1=yes\r\n"
            "ListMode1=\r\nEcoLeft=99999999999999\r\nFadeMode1=Truth\r\n");
  start();
  Form1& main = app.form1();
  Form3& options = app.form3();
  QTemporaryDir otherFolder;
  ScriptedDecoder otherDecoder;
  ScriptedPlatform otherPlatform;
  App designed(otherDecoder, otherPlatform, otherFolder.path());
  EXPECT_EQ(main.pos(), designed.form1().pos());
  EXPECT_EQ(app.form4().pos(), designed.form4().pos());
  EXPECT_EQ(checkValue(options.Check3), 0);
  EXPECT_EQ(checkValue(options.Check4), 0);
  EXPECT_EQ(checkValue(options.Check6), 1);
  EXPECT_EQ(checkValue(options.Check7), 1);
  EXPECT_EQ(checkValue(options.Check9), 0);
  EXPECT_EQ(checkValue(options.Check10), 1);
  EXPECT_TRUE(main.mRepeat->isChecked());
  EXPECT_TRUE(main.mUptoDown->isChecked());
  EXPECT_FALSE(main.mFadeIn->isChecked());
  EXPECT_TRUE(main.mFastPlay->isChecked());
  EXPECT_TRUE(platform.messages.empty());
}

TEST_F(Settings, CheckBoxValuesRoundToTheNearestState) {
  writeFile("Option.ini", "[Kestrune DataFile]\r\nOPMUSIC=0.6\r\nAutoMusicMode=2.5\r\nTaskMode=0.5\r\n");
  start();
  EXPECT_EQ(checkValue(app.form3().Check3), 1);
  EXPECT_EQ(checkValue(app.form3().Check4), 2);
  EXPECT_EQ(checkValue(app.form3().Check9), 0);
}

TEST_F(Settings, MainWindowFarOffTheLeftEdgeComesBack) {
  writeFile("Option.ini", "[Kestrune DataFile]\r\nMainTop=-48000\r\nMainLeft=-48000\r\n");
  EXPECT_EQ(start().form1().pos(), QPoint(0, 0));
}

TEST_F(Settings, MainWindowJustAtTheLimitStaysWhereItWas) {
  writeFile("Option.ini", "[Kestrune DataFile]\r\nMainTop=-48000\r\nMainLeft=-900\r\n");
  EXPECT_EQ(start().form1().pos(), QPoint(-60, -3200));
}

TEST_F(Settings, ValuesWithEqualsSignsAndJapaneseComeBackWhole) {
  start();
  app.form1().Text1->setText("/ミュージック/a=b c.mp3");
  app.form3().Text2->setText("C:=x");
  SaveSettings(app);
  ScriptedDecoder otherDecoder;
  ScriptedPlatform otherPlatform;
  App again(otherDecoder, otherPlatform, folder.path());
  RestoreSettings(again);
  EXPECT_EQ(again.form1().Text1->text(), "/ミュージック/a=b c.mp3");
  EXPECT_EQ(again.form3().Text2->text(), "C:=x");
}

// Volume and pitch come back through their bars' change procedures, so the decoder gets
// them, and the volume knob stands where the buttons would have put it.
TEST_F(Settings, VolumeAndPitchComeBackWithinTheirRanges) {
  struct Case {
    const char* keys;
    int volume, pitch, knobSteps;
  } cases[] = {
      {"", 100, 100, 0},  // an older file without the keys
      {"Volume=70\r\nPitch=140\r\n", 70, 140, 6},
      {"Volume=72\r\nPitch=60\r\n", 72, 60, 6},
      {"Volume=0\r\nPitch=200\r\n", 0, 200, 20},
      {"Volume=250\r\nPitch=20\r\n", 100, 60, 0},
      {"Volume=-5\r\nPitch=1e9\r\n", 0, 200, 20},
      {"Volume=loud\r\nPitch=\r\n", 100, 100, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.keys);
    writeFile("Option.ini", QByteArray("[Kestrune DataFile]\r\nMainTop=0\r\n") + c.keys);
    Restarted again(folder.path());
    const Form1& main = again.app.form1();
    const QPoint designedKnob = app.form1().Image2->pos();
    EXPECT_EQ(main.HScroll3->value(), c.volume);
    EXPECT_EQ(main.HScroll2->value(), c.pitch);
    EXPECT_EQ(main.Text4->text(), QString::number(c.pitch));
    EXPECT_EQ(again.decoder.volumeLeft, c.volume);
    EXPECT_EQ(again.decoder.volumeRight, c.volume);
    EXPECT_EQ(again.decoder.pitch, c.pitch);
    EXPECT_EQ(main.Image2->pos(), designedKnob + QPoint(0, 6 * c.knobSteps));
  }
}

// A secondary window opens centred on the main window unless the file gives it a place;
// (0, 0) is what files held for windows that had none.
TEST_F(Settings, SecondaryWindowsWithoutASavedPlaceOpenCentredOnTheMainWindow) {
  struct Case {
    const char* keys;
    bool centred;
  } cases[] = {
      {"", true},
      {"EcoLeft=0\r\nEcoTop=0\r\n", true},
      {"EcoLeft=\r\nEcoTop=\r\n", true},
      {"EcoLeft=1500\r\nEcoTop=1200\r\n", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.keys);
    writeFile("Option.ini", QByteArray("[Kestrune DataFile]\r\nMainLeft=1500\r\nMainTop=1500\r\n") + c.keys);
    Restarted again(folder.path());
    QWidget& main = again.app.form1();
    QWidget& equalizer = again.app.form4();
    equalizer.show();
    if (c.centred)
      EXPECT_LE((equalizer.frameGeometry().center() - main.frameGeometry().center()).manhattanLength(), 2);
    else
      EXPECT_EQ(equalizer.pos(), QPoint(100, 80));
    equalizer.hide();
  }
}

TEST_F(Settings, VolumePitchAndOpenFolderSurviveARestart) {
  start();
  Form1& main = app.form1();
  main.Command12->click();
  main.Command6->click();
  main.openFolder = "/home/me/ミュージック";
  SaveSettings(app);
  Restarted again(folder.path());
  EXPECT_EQ(again.app.form1().HScroll3->value(), 95);
  EXPECT_EQ(again.app.form1().HScroll2->value(), 120);
  EXPECT_EQ(again.app.form1().openFolder, "/home/me/ミュージック");
  EXPECT_EQ(again.app.form1().Image2->pos(), main.Image2->pos());
}

using Mirrors = ProgramTest;

struct MirrorPair {
  QCheckBox* box;
  QAction* item;
};

std::vector<MirrorPair> mirrorPairs(App& app) {
  Form1& m = app.form1();
  Form3& o = app.form3();
  return {{o.Check1, m.mNotRandomEroor},
          {o.Check3, m.KPlay},
          {o.Check4, m.mAuotPlay},
          {o.Check6, m.mFastPlay},
          {o.Check9, m.mSmallTask}};
}

TEST_F(Mirrors, CheckBoxesAndMenuItemsFollowEachOther) {
  start();
  for (auto [box, item] : mirrorPairs(app)) {
    SCOPED_TRACE(box->objectName().toStdString());
    setCheckValue(box, 0);
    EXPECT_FALSE(item->isChecked());
    box->click();
    EXPECT_TRUE(item->isChecked());
    item->trigger();
    EXPECT_FALSE(item->isChecked());
    EXPECT_EQ(checkValue(box), 0);
    item->trigger();
    EXPECT_TRUE(item->isChecked());
    EXPECT_EQ(checkValue(box), 1);
    setCheckValue(box, 2);
    EXPECT_TRUE(item->isChecked());
    item->trigger();
    EXPECT_EQ(checkValue(box), 0);
  }
}

}  // namespace
