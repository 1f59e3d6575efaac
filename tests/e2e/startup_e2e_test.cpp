// The real program in a fresh folder under Xvfb, driven from outside with xdotool: it
// starts, shows its main window (a screenshot with the File menu open is kept in the
// build folder), ends on Ctrl+X and leaves its three data files behind.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include "core/profile.h"
#include "desktop.h"

TEST(EndToEnd, FreshFolderStartShowAndCtrlX) {
  if (!toolsPresent({"Xvfb", "xdotool", "xwininfo", "import"}))
    GTEST_SKIP() << "Xvfb, xdotool, xwininfo or ImageMagick missing";
  QTemporaryDir folder;
  ASSERT_TRUE(QFile::copy(kBuild + "/kestrune", folder.filePath("kestrune")));
  ASSERT_TRUE(QFile::copy(kBuild + "/libvbmp3.so", folder.filePath("libvbmp3.so")));

  VirtualDisplay display;
  ASSERT_FALSE(display.name().isEmpty()) << "Xvfb did not start";

  QProcess program;
  ASSERT_TRUE(startOnDisplay(program, folder.filePath("kestrune"), {}, display.name()));

  const QString window = waitForWindow(display.name(), "^Kestrune$");
  ASSERT_FALSE(window.isEmpty()) << "no main window; stderr: "
                                 << program.readAllStandardError().toStdString();
  run("xdotool", {"windowfocus", "--sync", window}, display.name());

  run("xdotool", {"key", "alt+f"}, display.name());
  QThread::msleep(500);
  const QString shot = kBuild + "/e2e_main_window_file_menu.png";
  QFile::remove(shot);
  run("import", {"-window", "root", "-crop", windowGeometry(display.name(), window), shot}, display.name());
  EXPECT_TRUE(QFile::exists(shot));
  run("xdotool", {"key", "Escape"}, display.name());
  QThread::msleep(200);

  run("xdotool", {"key", "ctrl+x"}, display.name());
  ASSERT_TRUE(program.waitForFinished(10000)) << "the program did not end on Ctrl+X";
  EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(program.exitCode(), 0);

  EXPECT_EQ(QFileInfo(folder.filePath("List0.dat")).size(), 0);
  EXPECT_TRUE(QFileInfo::exists(folder.filePath("Part.dat")));
  EXPECT_EQ(QFileInfo(folder.filePath("Part.dat")).size(), 0);

  QFile ini(folder.filePath("Option.ini"));
  ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
  const QList<QByteArray> lines = ini.readAll().split('\n');
  ASSERT_GE(lines.size(), 27);
  EXPECT_EQ(lines[0].trimmed(), "[Kestrune DataFile]");
  const QStringList keys{"FastFolder",  "AutoMusic", "MainTop",   "MainLeft",  "OPMUSIC",   "AutoMusicMode",
                         "MusicTitle",  "MusicPath", "NTitle",    "EcoView",   "TagView",   "EcoLeft",
                         "EcoTop",      "TagLeft",   "TagTop",    "FastPlay",  "AppSave",   "TaskMode",
                         "CloseDialog", "PlayMode1", "PlayMode2", "PlayMode3", "FadeMode1", "FadeMode2",
                         "ListMode1",   "ListMode2"};
  for (int i = 0; i < keys.size(); ++i)
    EXPECT_TRUE(lines[i + 1].startsWith(keys[i].toUtf8() + "=")) << lines[i + 1].toStdString();
  const QString path = folder.filePath("Option.ini");
  EXPECT_EQ(profile::read(path, "Kestrune DataFile", "MusicTitle"), "Kestrune");
  EXPECT_EQ(profile::read(path, "Kestrune DataFile", "AppSave"), "1");
  EXPECT_EQ(profile::read(path, "Kestrune DataFile", "PlayMode1"), "True");
}
