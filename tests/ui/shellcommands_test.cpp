// The commands that hand work to the desktop (help, program folder, mixer, home page, CD
// tray) with the scripted platform; the Qt platform's own shell and CD tray parts; and the
// help document as it is installed beside the program.
#include "ui/shellcommands.h"

#include <sys/stat.h>

#include <QAction>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>
#include <QTextDocument>
#include <QXmlStreamReader>
#include <chrono>
#include <future>
#include <thread>

#include "fakes/program_test.h"
#include "platform/qt/cdtray.h"
#include "platform/qt/qtplatform.h"
#include "ui/form1.h"

namespace {

class ShellCommands : public ProgramTest {
 protected:
  Form1& f = app.form1();
  void installHelp() { writeFile(kHelpFileName, "<!DOCTYPE html><title>help</title>"); }
};

// ---- CD tray -------------------------------------------------------------------------

TEST_F(ShellCommands, CdButtonOpensClosesAndOpensAgainWhateverTheDrive) {
  for (int press = 0; press < 3; ++press) f.Command9->click();
  EXPECT_EQ(platform.cdTrayMoves, std::vector<bool>({true, false, true}));
  EXPECT_EQ(f.Label14->text(), "1");

  // Any flag other than zero closes; the flag then reads what the button did.
  const std::pair<const char*, bool> flags[] = {
      {"0", true}, {"", true}, {"abc", true}, {"1", false}, {"2", false}};
  for (const auto& [flag, opens] : flags) {
    SCOPED_TRACE(flag);
    f.Label14->setText(flag);
    f.Command9->click();
    EXPECT_EQ(platform.cdTrayMoves.back(), opens);
    EXPECT_EQ(f.Label14->text(), opens ? "1" : "0");
  }
}

TEST_F(ShellCommands, CdLockDisablesTheButtonAndUnlockingEnablesIt) {
  ASSERT_FALSE(f.mCDTry->isChecked());
  f.mCDTry->trigger();
  EXPECT_TRUE(f.mCDTry->isChecked());
  EXPECT_FALSE(f.Command9->isEnabled());
  f.Command9->click();
  EXPECT_TRUE(platform.cdTrayMoves.empty());
  EXPECT_EQ(f.Label14->text(), "0");

  f.mCDTry->trigger();
  EXPECT_FALSE(f.mCDTry->isChecked());
  EXPECT_TRUE(f.Command9->isEnabled());
  f.Command9->click();
  EXPECT_EQ(platform.cdTrayMoves, std::vector<bool>{true});
}

// ---- help, folder, home page ------------------------------------------------------------

TEST_F(ShellCommands, EachCommandHandsItsTargetToTheDesktop) {
  installHelp();
  f.Text1->setText("/srv/music/elsewhere/song.mp3");  // a song from another folder
  const struct {
    QAction* item;
    QString target;
  } cases[] = {{f.mHelp, path(kHelpFileName)}, {f.mFolder, folder.path()}, {f.mMaketoAppHP, kHomePageUrl}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.item->objectName().toStdString());
    platform.shellOpened.clear();
    c.item->trigger();
    EXPECT_EQ(platform.shellOpened, QStringList{c.target});
  }
  EXPECT_TRUE(platform.messages.empty());
  EXPECT_TRUE(platform.programsStarted.empty());
}

TEST_F(ShellCommands, NothingToOpenWithIsReportedNamingTheTarget) {
  installHelp();
  platform.openWithShellResult = false;
  for (QAction* item : {f.mHelp, f.mFolder, f.mMaketoAppHP, f.mHelp}) item->trigger();
  ASSERT_EQ(platform.messages.size(), 4u) << "every failed command says so";
  EXPECT_EQ(
      platform.messages[0].text,
      "[" + path(kHelpFileName) + "]を開けませんでした。\r\n開くためのアプリケーションが見つかりません。");
  EXPECT_TRUE(platform.messages[1].text.startsWith("[" + folder.path() + "]"));
  EXPECT_TRUE(platform.messages[2].text.startsWith("[" + kHomePageUrl + "]"));
  EXPECT_EQ(platform.messages[0].title, kProgramTitle);
  EXPECT_EQ(platform.messages[0].owner, &f);
  EXPECT_FALSE(platform.exitCode);
}

TEST_F(ShellCommands, AMissingHelpFileIsReportedInsteadOfOpened) {
  f.mHelp->trigger();
  EXPECT_TRUE(platform.shellOpened.isEmpty());
  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_EQ(platform.messages[0].text, "ヘルプファイル[" + path(kHelpFileName) +
                                           "]が見つかりません。\r\nkestrune-help.htmlをプログラムと同じ"
                                           "フォルダに置いてください。");
  QDir(folder.path()).mkdir(kHelpFileName);  // a folder of that name is no help either
  f.mHelp->trigger();
  EXPECT_TRUE(platform.shellOpened.isEmpty());
  EXPECT_EQ(platform.messages.size(), 2u);
}

// ---- mixer ----------------------------------------------------------------------------

TEST_F(ShellCommands, VolumeControlStartsTheFirstMixerThatIsInstalled) {
  using Command = std::pair<QString, QStringList>;
  const struct {
    QStringList installed;
    std::vector<Command> started;
  } cases[] = {
      {{"xfce4-mixer", "pavucontrol", "pavucontrol-qt"}, {{"pavucontrol", {}}}},
      {{"xfce4-mixer", "pavucontrol-qt"}, {{"pavucontrol-qt", {}}}},
      {{"gnome-control-center", "mate-volume-control"}, {{"gnome-control-center", {"sound"}}}},
      {{"xfce4-mixer", "alsamixer", "x-terminal-emulator"}, {{"xfce4-mixer", {}}}},
      {{"alsamixer", "x-terminal-emulator"}, {{"x-terminal-emulator", {"-e", "alsamixer"}}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.installed.join(' ').toStdString());
    platform.installedPrograms = c.installed;
    platform.programsStarted.clear();
    f.mVolume->trigger();
    EXPECT_EQ(platform.programsStarted, c.started);
  }
  EXPECT_TRUE(platform.messages.empty());
}

TEST_F(ShellCommands, WithoutAMixerTheProgramSaysSoOncePerRunAndGoesOn) {
  const QStringList unusable[] = {{}, {"x-terminal-emulator"}, {"alsamixer"}};
  for (const QStringList& installed : unusable) {
    SCOPED_TRACE(installed.join(' ').toStdString());
    platform.installedPrograms = installed;
    f.mVolume->trigger();
    EXPECT_TRUE(platform.programsStarted.empty()) << "a terminal without alsamixer is no mixer";
  }
  platform.installedPrograms = {"pavucontrol"};
  platform.startProgramResult = false;  // installed but it does not start
  f.mVolume->trigger();

  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_EQ(platform.messages[0].text,
            "ボリュームコントロールを起動できません。\r\npavucontrol "
            "などの音量ミキサーをインストールしてください。");
  EXPECT_EQ(platform.messages[0].title, kProgramTitle);
  EXPECT_FALSE(platform.exitCode);
  f.Command9->click();  // the window still answers
  EXPECT_EQ(platform.cdTrayMoves.size(), 1u);
}

// ---- the Qt platform --------------------------------------------------------------------

class QtShell : public ::testing::Test {
 protected:
  QTemporaryDir dir;
  QString path(const QString& name) const { return dir.filePath(name); }
};

// Runs moveCdTrayNow on a thread of its own, so a call that blocks fails the test instead
// of hanging it.
std::optional<bool> moveWithin(std::chrono::milliseconds limit, const QStringList& devices, bool open) {
  auto promise = std::make_shared<std::promise<bool>>();
  std::future<bool> result = promise->get_future();
  std::thread([promise, devices, open] { promise->set_value(moveCdTrayNow(devices, open)); }).detach();
  if (result.wait_for(limit) != std::future_status::ready) return std::nullopt;
  return result.get();
}

TEST_F(QtShell, WithoutADriveTheTrayCommandDoesNothingAndReturnsAtOnce) {
  {
    QFile file(path("cdrom"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("not a drive");
  }
  ASSERT_EQ(mkfifo(QFile::encodeName(path("fifo")).constData(), 0600), 0);  // opening it would wait
  const QString noDrives[] = {path("missing"), path("cdrom"), path("fifo"), dir.path(), "/dev/null"};
  for (const QString& device : noDrives) {
    SCOPED_TRACE(device.toStdString());
    for (bool open : {true, false}) EXPECT_EQ(moveWithin(std::chrono::seconds(2), {device}, open), false);
  }
  QFile file(path("cdrom"));
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_EQ(file.readAll(), "not a drive");

  QtPlatform platform({path("fifo"), path("missing")});
  QElapsedTimer clock;
  clock.start();
  for (int press = 0; press < 10; ++press) platform.moveCdTray(press % 2 == 0);
  EXPECT_LT(clock.elapsed(), 100) << "the window never waits for the drive";
}

// A stand-in for xdg-open that records its arguments and ends with the given code.
TEST_F(QtShell, OpeningReportsFailureOnlyWhenTheOpenerSaysItFailed) {
  const QByteArray oldPath = qgetenv("PATH");
  const struct {
    int exitCode;
    bool failed;
  } cases[] = {{0, false}, {2, true}, {3, true}, {4, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.exitCode);
    QTemporaryDir bin;
    const QString args = bin.filePath("args");
    QFile script(bin.filePath("xdg-open"));
    ASSERT_TRUE(script.open(QIODevice::WriteOnly));
    script.write(QStringLiteral("#!/bin/sh\nprintf '%s\\n' \"$@\" > '%1'\nexit %2\n")
                     .arg(args)
                     .arg(c.exitCode)
                     .toUtf8());
    script.close();
    script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("PATH", bin.path().toUtf8() + ":/usr/bin:/bin");

    QtPlatform platform;
    int failures = 0;
    platform.openWithShell("/opt/k e/kestrune-help.html", [&failures] { ++failures; });
    EXPECT_TRUE(QTest::qWaitFor([&] { return QFile::exists(args); }, 5000));
    QTest::qWait(300);  // the opener's end reaches the event loop
    EXPECT_EQ(failures, c.failed ? 1 : 0);
    QFile recorded(args);
    ASSERT_TRUE(recorded.open(QIODevice::ReadOnly));
    EXPECT_EQ(recorded.readAll(), "/opt/k e/kestrune-help.html\n");
  }
  qputenv("PATH", oldPath);
}

// ---- the help document ----------------------------------------------------------------

class HelpDocument : public ::testing::Test {
 protected:
  static QString sourceFile(const QString& name) {
    return qEnvironmentVariable("KESTRUNE_SOURCE_DIR") + '/' + name;
  }
  static QString installed() { return qEnvironmentVariable("KESTRUNE_BUILD_DIR") + '/' + kHelpFileName; }
  static QString read(const QString& file) {
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
  }
};

TEST_F(HelpDocument, LiesBesideTheProgramInTheBuild) {
  ASSERT_TRUE(QFile::exists(qEnvironmentVariable("KESTRUNE_BUILD_DIR") + "/kestrune"));
  const QString copy = read(installed());
  ASSERT_FALSE(copy.isEmpty()) << installed().toStdString();
  EXPECT_EQ(copy, read(sourceFile("resources/help/kestrune-help.html")));
}

TEST_F(HelpDocument, IsValidHtmlWithWorkingLinks) {
  QProcess tidy;
  tidy.start("tidy", {"-q", "-e", "-utf8", installed()});
  ASSERT_TRUE(tidy.waitForFinished(30000)) << "tidy is installed by scripts/setup";
  EXPECT_EQ(tidy.exitCode(), 0) << tidy.readAllStandardError().toStdString();

  const QString html = read(installed());
  QStringList ids;
  for (const auto& m : QRegularExpression(R"re( id="([^"]+)")re").globalMatch(html)) ids << m.captured(1);
  for (const auto& m : QRegularExpression(R"re(href="#([^"]+)")re").globalMatch(html))
    EXPECT_TRUE(ids.contains(m.captured(1))) << "no section " << m.captured(1).toStdString();
}

// Every menu title, item caption and shortcut of the main window, as the menus show them.
QStringList mainMenuTexts() {
  QFile ui(qEnvironmentVariable("KESTRUNE_SOURCE_DIR") + "/resources/Form1.ui");
  EXPECT_TRUE(ui.open(QIODevice::ReadOnly));
  QStringList texts;
  QXmlStreamReader xml(&ui);
  bool inMenu = false;
  while (!xml.atEnd()) {
    if (!xml.readNextStartElement()) continue;
    if (xml.name() == u"action") inMenu = true;
    if (xml.name() == u"widget") inMenu = xml.attributes().value("class") == u"QMenu";
    const auto property = xml.attributes().value("name");
    if (!inMenu || xml.name() != u"property") continue;
    if (property != u"text" && property != u"title" && property != u"shortcut") continue;
    xml.readNextStartElement();
    const QString text = xml.readElementText().replace("&&", "\x01").remove('&').replace('\x01', '&');
    if (!text.isEmpty()) texts << text;
  }
  return texts;
}

TEST_F(HelpDocument, NamesEveryMenuItemAndShortcutOfTheMainWindow) {
  const QStringList texts = mainMenuTexts();
  ASSERT_GT(texts.size(), 80) << "the menus were read";
  QTextDocument document;
  document.setHtml(read(installed()));
  const QString shown = document.toPlainText();
  for (const QString& text : texts) EXPECT_TRUE(shown.contains(text)) << text.toStdString();
  for (const char* file : {"Option.ini", "List0.dat", "List<n>.dat", "Part.dat", "Sound.dat"})
    EXPECT_TRUE(shown.contains(file)) << file;
}

}  // namespace
