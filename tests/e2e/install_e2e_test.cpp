// The installed program: `cmake --install` into a temporary prefix lays out the program
// folder, the link and the desktop's files, which validate; the manifest removes them again;
// and the program started through P/bin/kestrune from that prefix mounted read-only keeps
// its Song List in a temporary XDG home, across a restart, writing nothing into the prefix.
#include <gtest/gtest.h>

#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "audio_fixtures.h"
#include "desktop.h"
#include "fakes/faults.h"
#include "fakes/program_test.h"
#include "kestrune_version.h"

namespace {

const QString kDesktopFile = "share/applications/kestrune.desktop";
const QString kMetainfoFile = "share/metainfo/org.kestrune.kestrune.metainfo.xml";

// Runs a program to its end: its exit code (-1 when it did not run) and its output.
std::pair<int, QString> runChecked(const QString& program, const QStringList& args) {
  QProcess process;
  process.setProcessChannelMode(QProcess::MergedChannels);
  process.start(program, args);
  if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit) return {-1, {}};
  return {process.exitCode(), QString::fromUtf8(process.readAll())};
}

// Every file and link under `folder`, relative to it, sorted.
QStringList filesUnder(const QString& folder) {
  QStringList files;
  QDirIterator it(folder, QDir::Files | QDir::System | QDir::Hidden, QDirIterator::Subdirectories);
  while (it.hasNext()) files << QDir(folder).relativeFilePath(it.next());
  files.sort();
  return files;
}

// Presses keys in `window`, given the focus first: Qt ignores keys sent to a window.
void press(const QString& screen, const QString& window, const QString& keys) {
  run("xdotool", {"windowfocus", "--sync", window}, screen);
  run("xdotool", {"key", keys}, screen);
}

// The names of the visible windows, for failure messages.
std::string windowNames(const QString& screen) {
  QStringList names;
  for (const QString& id : run("xdotool", {"search", "--onlyvisible", "--name", "."}, screen).split('\n'))
    names << run("xdotool", {"getwindowname", id}, screen);
  return names.join(" | ").toStdString();
}

// Waits up to `seconds` for the windows matching `pattern` to go.
bool waitUntilGone(const QString& screen, const QString& pattern, int seconds = 10) {
  for (int i = 0; i < 10 * seconds; ++i, QThread::msleep(100))
    if (run("xdotool", {"search", "--onlyvisible", "--name", pattern}, screen).isEmpty()) return true;
  return false;
}

class Installed : public testing::Test {
 protected:
  // The one component, so the build folder's install_manifest.txt (the user's own install)
  // is left alone; this install's list goes to install_manifest_Unspecified.txt.
  void SetUp() override {
    const auto [code, output] =
        runChecked("cmake", {"--install", kBuild, "--component", "Unspecified", "--prefix", prefix_});
    ASSERT_EQ(code, 0) << output.toStdString();
  }
  QString at(const QString& relative) const { return prefix_ + '/' + relative; }

  QTemporaryDir root_;
  const QString prefix_ = root_.filePath("prefix");
};

TEST_F(Installed, LaysOutTheProgramFolderTheLinkAndTheIcons) {
  for (const QString& file :
       {"lib/kestrune/kestrune", "lib/kestrune/libvbmp3.so", "lib/kestrune/kestrune-help.html",
        "share/icons/hicolor/scalable/apps/kestrune.svg"})
    EXPECT_TRUE(QFileInfo(at(file)).isFile()) << file.toStdString();
  EXPECT_EQ(QFileInfo(at("bin/kestrune")).canonicalFilePath(),
            QFileInfo(at("lib/kestrune/kestrune")).canonicalFilePath());
  EXPECT_EQ(run("readlink", {at("bin/kestrune")}), "../lib/kestrune/kestrune")
      << "the link moves with the prefix";
  for (const int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
    const QImage icon(at(QString("share/icons/hicolor/%1x%1/apps/kestrune.png").arg(size)));
    EXPECT_EQ(icon.size(), QSize(size, size)) << size;
  }
}

TEST_F(Installed, DesktopEntryAndMetainfoValidate) {
  if (!toolsPresent({"desktop-file-validate", "appstreamcli"}))
    GTEST_SKIP() << "desktop-file-validate or appstreamcli missing";
  const auto [desktopCode, desktopOutput] = runChecked("desktop-file-validate", {at(kDesktopFile)});
  EXPECT_EQ(desktopCode, 0) << desktopOutput.toStdString();
  EXPECT_EQ(desktopOutput, "") << "hints are faults too";
  const auto [metainfoCode, metainfoOutput] =
      runChecked("appstreamcli", {"validate", "--no-net", "--pedantic", at(kMetainfoFile)});
  EXPECT_EQ(metainfoCode, 0) << metainfoOutput.toStdString();
  EXPECT_FALSE(metainfoOutput.contains(QRegularExpression("^[EWIP]:", QRegularExpression::MultilineOption)))
      << metainfoOutput.toStdString();

  QFile metainfo(at(kMetainfoFile));
  ASSERT_TRUE(metainfo.open(QIODevice::ReadOnly));
  EXPECT_TRUE(metainfo.readAll().contains(
      QString("<release version=\"%1.%2\"").arg(kProgramVersionMajor).arg(kProgramVersionMinor).toUtf8()));
}

TEST_F(Installed, TheManifestRemovesEveryFile) {
  const QString manifest = kBuild + "/install_manifest_Unspecified.txt";
  const auto [code, output] = runChecked("sh", {"-c", "xargs -d '\\n' rm -f -- < \"$1\"", "sh", manifest});
  ASSERT_EQ(code, 0) << output.toStdString();
  EXPECT_EQ(filesUnder(prefix_), QStringList{});
}

TEST_F(Installed, ReadOnlyInstallKeepsTheSongListInTheUserFolders) {
  if (!toolsPresent({"Xvfb", "xdotool", "lame"})) GTEST_SKIP() << "Xvfb, xdotool or lame missing";
  const QStringList installedFiles = filesUnder(prefix_);
  ReadOnlyFolder readOnly(prefix_);
  if (!readOnly.mounted())
    GTEST_SKIP() << "cannot mount the prefix read-only: " << readOnly.error().toStdString();
  const QString home = root_.filePath("home");
  ASSERT_TRUE(QDir().mkpath(home));
  const ScopedVariable homeVariable("HOME", home.toUtf8());
  const ScopedVariable config("XDG_CONFIG_HOME", (home + "/config").toUtf8());
  const ScopedVariable data("XDG_DATA_HOME", (home + "/data").toUtf8());
  const QString song = home + "/install_probe.mp3", wav = home + "/probe.wav";
  ASSERT_TRUE(fixtures::makeWav(wav.toStdString(), 3.0));
  ASSERT_TRUE(fixtures::makeMp3(wav.toStdString(), song.toStdString()));
  VirtualDisplay display;
  ASSERT_FALSE(display.name().isEmpty()) << "Xvfb did not start";
  const QString screen = display.name();

  // Adds the song through the Song List's add button and the open dialog, keeps the list
  // with "メイン", and quits.
  QProcess first;
  ASSERT_TRUE(startOnDisplay(first, at("bin/kestrune"), {}, screen));
  const QString main = waitForWindow(screen, "^Kestrune$");
  ASSERT_FALSE(main.isEmpty()) << "no main window; stderr: " << first.readAllStandardError().toStdString();
  press(screen, main, "ctrl+s");
  const QString songList = waitForWindow(screen, "^Song List$");
  ASSERT_FALSE(songList.isEmpty()) << "no Song List window";
  QString dialog;  // a click that comes before the window takes input is lost
  for (int i = 0; i < 3 && dialog.isEmpty(); ++i) {
    run("xdotool", {"mousemove", "--window", songList, "260", "20", "click", "1"}, screen);
    dialog = waitForWindow(screen, "^開く$");
  }
  ASSERT_FALSE(dialog.isEmpty()) << "no open dialog";
  // Typed again while the dialog stays: a busy desktop may give the keys to another window
  // or drop some, and the name box's completion list, once shown, takes a Return itself. A
  // mistyped name leaves a "not found" box, with the dialog's title, to be closed first.
  for (int i = 0; i < 5; ++i) {
    for (const QString& box :
         run("xdotool", {"search", "--onlyvisible", "--name", "^開く$"}, screen).split('\n'))
      if (!box.isEmpty() && box != dialog) press(screen, box, "Return");
    press(screen, dialog, "ctrl+a");
    run("xdotool", {"type", "--delay", "20", song}, screen);
    run("xdotool", {"key", "Return"}, screen);
    if (waitUntilGone(screen, "^開く$", 3)) break;
  }
  ASSERT_TRUE(waitUntilGone(screen, "^開く$")) << windowNames(screen);
  // A click that comes as the dialog goes may find the window not yet enabled again.
  for (int i = 0; i < 8 && !waitUntilGone(screen, "^Song List$", 2); ++i)
    run("xdotool", {"mousemove", "--window", songList, "260", "212", "click", "1"}, screen);
  ASSERT_TRUE(waitUntilGone(screen, "^Song List$")) << windowNames(screen);
  press(screen, main, "ctrl+x");
  ASSERT_TRUE(first.waitForFinished(10000)) << "the program did not end on Ctrl+X";
  EXPECT_EQ(first.exitCode(), 0) << first.readAllStandardError().toStdString();

  // Started again, the Song List holds the song and plays it.
  QProcess second;
  ASSERT_TRUE(startOnDisplay(second, at("bin/kestrune"), {}, screen));
  QString again;  // a busy machine may take longer than one wait to show it
  for (int i = 0; i < 3 && again.isEmpty(); ++i) again = waitForWindow(screen, "^Kestrune$");
  ASSERT_FALSE(again.isEmpty()) << "no main window after the restart: " << windowNames(screen) << "; running "
                                << (second.state() == QProcess::Running) << "; stderr "
                                << second.readAllStandardError().toStdString();
  press(screen, again, "ctrl+s");
  const QString listAgain = waitForWindow(screen, "^Song List$");
  ASSERT_FALSE(listAgain.isEmpty()) << windowNames(screen);
  QString playing;
  for (int i = 0; i < 5 && playing.isEmpty(); ++i) {
    run("xdotool", {"mousemove", "--window", listAgain, "40", "40", "click", "1"}, screen);
    run("xdotool", {"mousemove", "--window", listAgain, "260", "148", "click", "1"}, screen);
    playing = waitForWindow(screen, "install_probe");
  }
  EXPECT_FALSE(playing.isEmpty()) << "the song did not come back: " << windowNames(screen);
  press(screen, again, "ctrl+x");
  ASSERT_TRUE(second.waitForFinished(10000));
  EXPECT_EQ(second.exitCode(), 0);

  QFile list(home + "/data/kestrune/List0.dat");
  ASSERT_TRUE(list.open(QIODevice::ReadOnly));
  EXPECT_EQ(list.readAll(), "\"install_probe\"\r\n\"" + song.toUtf8() + "\"\r\n");
  EXPECT_TRUE(QFileInfo::exists(home + "/data/kestrune/Part.dat"));
  EXPECT_TRUE(QFileInfo::exists(home + "/config/kestrune/Option.ini"));
  EXPECT_EQ(filesUnder(prefix_), installedFiles) << "nothing written into the prefix";
}

}  // namespace
