// The Properties and About dialogs: OK and Calsel, the folder and start-up song buttons,
// the About labels, and every close keeping its dialog closed across a minimize and restore.
#include <gtest/gtest.h>

#include <QAction>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>

#include "fakes/faults.h"
#include "fakes/program_test.h"
#include "platform/qt/qtplatform.h"
#include "ui/controls.h"
#include "ui/form1.h"
#include "ui/form3.h"
#include "ui/form6.h"
#include "ui/shellcommands.h"

namespace {

class Dialogs : public ProgramTest {
 protected:
  void SetUp() override { start().form1().show(); }
  Form1& main() { return app.form1(); }
  Form3& properties() { return app.form3(); }

  // Opens the dialog and changes the tray option (mirrored in the menu), saving at exit,
  // the folder, the start-up song and the genres.
  static void changeOptions(App& program, ScriptedPlatform& answers) {
    Form3& options = program.form3();
    program.form1().mPropaty->trigger();
    options.Check9->click();
    options.Check7->click();
    answers.dialogAnswers = {"/home/me/音楽", "/home/me/a.mp3"};
    options.Command1->click();
    options.Command2->click();
    options.Text3->setText("Rock");
    options.Command5->click();
  }
  static void expectChanged(App& program, bool changed, int genres) {
    EXPECT_EQ(program.form1().mSmallTask->isChecked(), changed);
    EXPECT_EQ(program.form3().Text1->text(), changed ? "/home/me/音楽" : "");
    EXPECT_EQ(program.form3().Text2->text(), changed ? "/home/me/a.mp3" : "");
    EXPECT_EQ(program.form3().Combo3->count(), genres);
  }
};

TEST_F(Dialogs, OkStoresSettingsAndGenresCalselOnlyKeepsThemForThisRun) {
  for (const bool ok : {true, false}) {
    SCOPED_TRACE(ok ? "OK" : "Calsel");
    QTemporaryDir programFolder;
    {
      Restarted first(programFolder.path());
      changeOptions(first.app, first.platform);
      (ok ? first.app.form3().Command3 : first.app.form3().Command4)->click();
      EXPECT_TRUE(first.app.form3().isHidden());
      EXPECT_EQ(first.app.form1().Label23->text(), "0");
      expectChanged(first.app, true, 2);  // in effect either way
      Form1_Form_Unload(first.app);       // saving at exit is off
    }
    Restarted again(programFolder.path());
    expectChanged(again.app, ok, ok ? 2 : 1);
  }
}

// A file that cannot be replaced is reported, the other one is still written and the
// dialog stays open; once the file can be written, OK closes it.
TEST_F(Dialogs, OkThatCannotStoreSaysSoAndStaysOpen) {
  for (const QString blocked : {"Option.ini", "Part.dat"}) {
    SCOPED_TRACE(blocked.toStdString());
    const QString other = blocked == "Option.ini" ? "Part.dat" : "Option.ini";
    writeFile(blocked, "old\r\n");
    QFile::remove(path(other));
    platform.messages.clear();
    main().mPropaty->trigger();
    {
      writeFile("busy", "");
      BusyFile busy(path("busy"), path(blocked));
      if (!busy.mounted()) GTEST_SKIP() << "cannot bind-mount here: " << busy.error().toStdString();
      properties().Command3->click();
    }
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_TRUE(platform.messages[0].text.startsWith("[" + blocked + "]に書き込めません。"));
    EXPECT_EQ(readFile(blocked), "old\r\n");
    EXPECT_TRUE(exists(other));
    EXPECT_TRUE(properties().isVisible());
    EXPECT_EQ(main().Label23->text(), "1");
    properties().Command3->click();
    EXPECT_TRUE(properties().isHidden());
  }
}

TEST_F(Dialogs, FolderAndStartupSongButtons) {
  struct Case {
    QPushButton* Form3::*button;
    QString folderBefore, answer;  // answer empty: cancelled
    QString kind, startFolder;     // the dialog shown; "*" is the program folder
    QString folderAfter, songAfter;
  };
  const Case cases[] = {
      {&Form3::Command1, "/h", "/h/新しい", "folder", "", "/h/新しい", "/old.mp3"},
      {&Form3::Command1, "/h", "", "folder", "", "/h", "/old.mp3"},
      {&Form3::Command7, "/h", "", "", "", "", "/old.mp3"},
      {&Form3::Command2, "/h", "/h/new.wav", "open", "/h", "/h", "/h/new.wav"},
      {&Form3::Command2, "/h", "", "open", "/h", "/h", "/old.mp3"},
      {&Form3::Command2, "", "", "open", "*", "", "/old.mp3"},
      {&Form3::Command8, "/h", "", "", "", "/h", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE((properties().*c.button)->objectName().toStdString() + " " + c.answer.toStdString());
    properties().Text1->setText(c.folderBefore);
    properties().Text2->setText("/old.mp3");
    platform.dialogs.clear();
    platform.dialogAnswers = {c.answer};
    (properties().*c.button)->click();
    EXPECT_EQ(properties().Text1->text(), c.folderAfter);
    EXPECT_EQ(properties().Text2->text(), c.songAfter);
    ASSERT_EQ(platform.dialogs.size(), c.kind.isEmpty() ? 0u : 1u);
    if (c.kind.isEmpty()) continue;
    const ScriptedPlatform::Dialog& shown = platform.dialogs[0];
    EXPECT_EQ(shown.kind, c.kind);
    EXPECT_EQ(shown.owner, &properties());
    EXPECT_EQ(shown.folder, c.startFolder == "*" ? folder.path() : c.startFolder);
    EXPECT_EQ(shown.title, c.kind == "folder" ? "初期表示ディレクトリを選択してください。" : "開く");
  }
}

TEST_F(Dialogs, AboutLabelsAreFilledOnceFromTheSystemTheLibraryAndTheBuild) {
  struct Case {
    QString user;
    int32_t version;
    QString userShown, versionShown;
  };
  const Case cases[] = {
      {QString::fromUtf8("tester\0\0\0", 9), 7, "tester", "VBMP3 - 7"},
      {QString::fromUtf8("yamada \t\0", 9), 2147483647, "yamada", "VBMP3 - 2147483647"},
      {"山田 太郎  ", 100, "山田 太郎", "VBMP3 - 100"},
  };
  QFile project(qEnvironmentVariable("KESTRUNE_SOURCE_DIR") + "/CMakeLists.txt");
  ASSERT_TRUE(project.open(QIODevice::ReadOnly));
  const auto version = QRegularExpression(R"(project\(kestrune VERSION (\d+\.\d+))").match(project.readAll());
  for (const Case& c : cases) {
    SCOPED_TRACE(c.userShown.toStdString());
    ScriptedDecoder library;
    ScriptedPlatform system;
    library.version = c.version;
    system.user = c.user;
    App program(library, system, folder.path());
    program.form1().mAbout->trigger();
    system.user = "later";
    program.form6().Command1->click();
    program.form1().mAbout->trigger();
    EXPECT_EQ(program.form6().Label4->text(), c.userShown);
    EXPECT_EQ(program.form6().Label6->text(), c.versionShown);
    EXPECT_EQ(program.form6().Label1->text(), "Kestrune - " + version.captured(1));
    EXPECT_EQ(library.count("getVersion"), 1);
    QTest::mouseClick(program.form6().Label5, Qt::LeftButton);
    EXPECT_EQ(system.shellOpened, QStringList{kHomePageUrl});
    EXPECT_EQ(program.form6().Label5->text(), kHomePageUrl);
  }
}

TEST_F(Dialogs, EveryCloseClearsTheFlagSoRestoreLeavesTheDialogClosed) {
  using Close = void (*)(App&);
  const std::vector<std::pair<int, Close>> cases = {
      {3, [](App& a) { a.form3().Command3->click(); }},  // OK
      {3, [](App& a) { a.form3().Command4->click(); }},  // Calsel
      {3, [](App& a) { a.form3().close(); }},
      {3, [](App& a) { QTest::keyClick(&a.form3(), Qt::Key_Escape); }},
      {6, [](App& a) { a.form6().Command1->click(); }},  // OK
      {6, [](App& a) { a.form6().close(); }},
  };
  const auto minimizeAndRestore = [this] {
    main().setWindowState(main().windowState() | Qt::WindowMinimized);
    main().setWindowState(main().windowState() & ~Qt::WindowMinimized);
  };
  for (size_t i = 0; i < cases.size(); ++i) {
    SCOPED_TRACE(i);
    const bool about = cases[i].first == 6;
    QWidget& dialog = about ? static_cast<QWidget&>(app.form6()) : properties();
    ChangeLabel* flag = about ? main().Label24 : main().Label23;
    (about ? main().mAbout : main().mPropaty)->trigger();
    EXPECT_EQ(flag->text(), "1");
    minimizeAndRestore();
    EXPECT_TRUE(dialog.isVisible()) << "an open dialog comes back with the main window";
    cases[i].second(app);
    EXPECT_EQ(flag->text(), "0");
    minimizeAndRestore();
    EXPECT_TRUE(dialog.isHidden());
  }
}

TEST_F(RealLibraryTest, AboutShowsTheLibraryVersionAndTheAccountName) {
  EXPECT_TRUE(QRegularExpression("^VBMP3 - [1-9][0-9]*$").match(app.form6().Label6->text()).hasMatch());
  QProcess id;
  id.start("id", {"-un"});
  ASSERT_TRUE(id.waitForFinished());
  EXPECT_EQ(QtPlatform().userName(), QString::fromLocal8Bit(id.readAllStandardOutput()).trimmed());
}

}  // namespace
