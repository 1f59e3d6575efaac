#include "core/startup.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QRegularExpression>
#include <QScrollBar>

#include "core/vbmp3binding.h"
#include "fakes/program_test.h"
#include "ui/controls.h"
#include "ui/form1.h"
#include "ui/form2.h"
#include "ui/form3.h"

namespace {

// Names the file missing on this system and the folder it was looked for in.
QString libraryMissing(const QString& folder) {
  return "libvbmp3.soが見つかりません。\r\nlibvbmp3.soを同フォルダ[" + folder + "]に置いてください。";
}

QStringList items(const QComboBox* box) {
  QStringList texts;
  for (int i = 0; i < box->count(); ++i) texts << box->itemText(i);
  return texts;
}

using Startup = ProgramTest;

TEST_F(Startup, FirstStartInAnEmptyFolder) {
  start();
  Form1& main = app.form1();
  Form2& songList = app.form2();

  EXPECT_FALSE(platform.exitCode);
  EXPECT_TRUE(platform.messages.empty());
  EXPECT_TRUE(decoder.calls.contains("useAtMarkTag(1)"));
  EXPECT_EQ(readFile("List0.dat"), "");
  EXPECT_TRUE(exists("List0.dat"));
  EXPECT_TRUE(exists("Part.dat"));
  EXPECT_EQ(readFile("Part.dat"), "");
  EXPECT_FALSE(exists("Option.ini")) << "start-up only reads the settings";

  EXPECT_EQ(songList.List1->count(), 0);
  EXPECT_EQ(songList.Label2->text(), "0");
  EXPECT_EQ(songList.Text1->text(), "全てのジャンル");
  EXPECT_EQ(items(songList.Combo1), QStringList{"全てのジャンル"});
  EXPECT_EQ(items(app.form3().Combo3), QStringList{"全てのジャンル"});

  EXPECT_EQ(main.Label13->text(), "Kestrune");
  EXPECT_EQ(main.windowTitle(), "Kestrune");
  EXPECT_EQ(main.Label22->text(), "0000");
  EXPECT_EQ(main.HScroll3->value(), 100);
  EXPECT_TRUE(QRegularExpression(R"(^\d{4}/\d\d/\d\d$)").match(main.Label5->text()).hasMatch());
  EXPECT_TRUE(QRegularExpression(R"(^\d\d:\d\d:\d\d$)").match(main.Label6->text()).hasMatch());
  EXPECT_EQ(main.Timer2->interval(), 100);
  EXPECT_TRUE(main.Timer3->isActive());
  EXPECT_TRUE(main.Image6->isHidden());
  EXPECT_TRUE(main.Image7->isHidden());
}

TEST_F(Startup, FirstStartShowsTheDesignedMenusPlusPlayAtOnce) {
  Form1& main = start().form1();
  for (QAction* item :
       {main.mSmallTime, main.mTimeNormal, main.mNormalMinSecTime, main.mListIndexDec, main.mRightToLeft,
        main.mBlue, main.mNotRandomEroor, main.mRepeat, main.mUptoDown, main.mFastPlay})
    EXPECT_TRUE(item->isChecked()) << item->objectName().toStdString();
  for (QAction* item :
       {main.mVisible,       main.mPTag,         main.mTagTitle,    main.mSmallTask, main.mTimeUnNormal,
        main.mNornalSecTime, main.mListIndexHex, main.mLeftToRight, main.mLRmove,    main.mBlack,
        main.mRed,           main.mGreen,        main.KPlay,        main.mAuotPlay,  main.mListTrack,
        main.mRandam,        main.mFadeIn,       main.mFadeOut,     main.mDowntoUp,  main.mCDTry})
    EXPECT_FALSE(item->isChecked()) << item->objectName().toStdString();
  EXPECT_FALSE(main.mListAdd->isEnabled());
}

TEST_F(Startup, ReadsTheSongListAndTheGenres) {
  writeFile("List0.dat", "\"A\"\r\n\"/m/A.mp3\"\r\n\"B, live\"\r\n\"/m/B.wav\"\r\n");
  writeFile("Part.dat", "\"Rock\"\r\n\"Rock\"\r\n\"ジャズ\",\"ジャズ\"\r\n");
  start();
  EXPECT_EQ(app.form2().List1->texts(), (QStringList{"A", "B, live"}));
  EXPECT_EQ(app.form2().List2->texts(), (QStringList{"/m/A.mp3", "/m/B.wav"}));
  EXPECT_EQ(app.form2().Label2->text(), "2");
  EXPECT_EQ(items(app.form3().Combo3), (QStringList{"全てのジャンル", "Rock", "ジャズ"}));
  EXPECT_EQ(items(app.form2().Combo1), (QStringList{"全てのジャンル", "Rock", "ジャズ"}));
  EXPECT_EQ(app.form2().Text1->text(), "全てのジャンル");
}

TEST_F(Startup, GarbageDataFilesStartAndKeepWhatCanBeRead) {
  QByteArray garbage(100000, 'x');
  const char binary[] = "\r\n\"\xff\xfe\x00\x81\"\r\r\"lone";
  garbage += QByteArray(binary, sizeof binary - 1);
  writeFile("List0.dat", garbage);
  writeFile("Part.dat", QByteArray("\"odd\"\r\n"));
  writeFile("Option.ini",
            QByteArray(3000, '\0') + "\n[Kestrune DataFile]\nMainLeft=" + QByteArray(200000, '9'));
  start();
  EXPECT_FALSE(platform.exitCode);
  EXPECT_EQ(app.form2().Label2->text(), QString::number(app.form2().List2->count()));
  EXPECT_EQ(app.form3().Combo3->count(), 1) << "a genre without its second field is dropped";
}

TEST_F(Startup, ReadsAtMostTheLargestListItHolds) {
  QByteArray list;
  for (int i = 0; i < 40000; ++i) list += "\"t\"\r\n\"/p\"\r\n";
  writeFile("List0.dat", list);
  EXPECT_EQ(start().form2().Label2->text(), "32767");
}

TEST_F(Startup, MissingLibraryShowsItsMessageAndEndsWithNothingWritten) {
  decoder.initResults = {1, 0};  // only the second answer counts
  start();
  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_EQ(platform.messages[0].text, libraryMissing(folder.path()));
  EXPECT_EQ(platform.messages[0].title, "Kestrune");
  EXPECT_EQ(platform.messages[0].buttons, MessageButtons::Ok);
  EXPECT_EQ(platform.exitCode, 1);
  EXPECT_FALSE(app.form1().Timer3->isActive()) << "start-up goes no further";
  EXPECT_TRUE(QDir(folder.path()).isEmpty());
}

TEST_F(Startup, OnlyTheSecondInitialisationCounts) {
  decoder.initResults = {0, 1};
  start();
  EXPECT_FALSE(platform.exitCode);
  EXPECT_TRUE(platform.messages.empty());
}

TEST_F(Startup, ProductionBindingWithoutTheLibraryEndsWithItsMessage) {
  LibraryVbmp3 absent(path("libvbmp3.so"));
  App withoutLibrary(absent, platform, folder.path());
  Form1_Form_Load(withoutLibrary);
  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_EQ(platform.messages[0].text, libraryMissing(folder.path()));
  EXPECT_EQ(platform.exitCode, 1);
  EXPECT_TRUE(QDir(folder.path()).isEmpty());
}

TEST_F(Startup, SongListThatCannotBeCreatedEndsTheProgram) {
  ASSERT_TRUE(QDir(folder.path()).mkdir("List0.dat"));  // a folder cannot be opened for appending
  start();
  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_EQ(platform.messages[0].text,
            "[List0.dat]ファイルを作成できません。\r\n読み取り専用になっている可能性があります。");
  EXPECT_EQ(platform.messages[0].title, "Kestrune");
  EXPECT_EQ(platform.exitCode, 1);
  EXPECT_FALSE(exists("Part.dat"));
}

TEST_F(Startup, ReadOnlySongListEndsTheProgram) {
  if (geteuid() == 0) GTEST_SKIP() << "root may write read-only files";
  writeFile("List0.dat", "\"A\"\r\n\"/m/A.mp3\"\r\n");
  QFile::setPermissions(path("List0.dat"), QFileDevice::ReadOwner);
  start();
  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_TRUE(platform.messages[0].text.startsWith("[List0.dat]"));
  EXPECT_EQ(platform.exitCode, 1);
}

TEST_F(Startup, GenreFileThatCannotBeCreatedEndsTheProgramAfterTheList) {
  ASSERT_TRUE(QDir(folder.path()).mkdir("Part.dat"));
  start();
  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_EQ(platform.messages[0].text,
            "[Part.dat]ファイルを作成できません。\r\n読み取り専用になっている可能性があります。");
  EXPECT_EQ(platform.exitCode, 1);
  EXPECT_TRUE(exists("List0.dat"));
}

TEST_F(Startup, RestoredOptionsShapeTheTitleMenusAndIndicators) {
  writeFile("Option.ini",
            "[Kestrune DataFile]\r\nOPMUSIC=1\r\nNTitle=True\r\nFadeMode1=True\r\nFadeMode2=1\r\n"
            "FastPlay=0\r\nMusicTitle=Old title\r\n");
  Form1& main = start().form1();
  EXPECT_TRUE(main.KPlay->isChecked());
  EXPECT_FALSE(main.mListAdd->isEnabled());
  EXPECT_TRUE(main.mVisible->isChecked());
  EXPECT_EQ(main.Label13->text(), "Kestrune");
  EXPECT_EQ(main.windowTitle(), "Kestrune");
  EXPECT_FALSE(main.Image6->isHidden());
  EXPECT_FALSE(main.Image7->isHidden());
  EXPECT_FALSE(main.mFastPlay->isChecked()) << "play-at-once off stays off";
}

TEST_F(Startup, TwoRestoredPlayModesLeaveNoneAndBothDirectionsNeither) {
  writeFile("Option.ini",
            "[Kestrune DataFile]\r\nPlayMode1=True\r\nPlayMode2=False\r\nPlayMode3=True\r\n"
            "ListMode1=True\r\nListMode2=True\r\n");
  Form1& main = start().form1();
  for (QAction* item : {main.mRepeat, main.mListTrack, main.mRandam, main.mUptoDown, main.mDowntoUp})
    EXPECT_FALSE(item->isChecked()) << item->objectName().toStdString();
  for (QWidget* picture : {main.Image3, main.Image4, main.Image5}) EXPECT_TRUE(picture->isHidden());
}

using Shutdown = ProgramTest;

TEST_F(Shutdown, SavesStopsFreesAndEnds) {
  start();
  decoder.calls.clear();
  app.form1().mEnd->trigger();
  EXPECT_EQ(decoder.calls, (QStringList{"stop()", "free()"}));
  EXPECT_EQ(platform.exitCode, 0);
  EXPECT_TRUE(readFile("Option.ini").startsWith("[Kestrune DataFile]\r\nFastFolder=\r\n"));
}

TEST_F(Shutdown, ClosingTheMainWindowDoesTheSame) {
  start();
  app.form1().show();
  app.form1().close();
  EXPECT_EQ(decoder.calls.mid(decoder.calls.size() - 2), (QStringList{"stop()", "free()"}));
  EXPECT_EQ(platform.exitCode, 0);
  EXPECT_TRUE(exists("Option.ini"));
}

TEST_F(Shutdown, WithoutSaveOnExitTheSettingsFileIsUntouched) {
  const QByteArray before = "[Kestrune DataFile]\r\nAppSave=0\r\nMainLeft=1200\r\n";
  writeFile("Option.ini", before);
  start();
  EXPECT_EQ(checkValue(app.form3().Check7), 0);
  app.form1().move(300, 300);
  app.form1().mEnd->trigger();
  EXPECT_EQ(platform.exitCode, 0);
  EXPECT_EQ(readFile("Option.ini"), before);
}

}  // namespace
