// The real program in a fresh folder under Xvfb, driven from outside with xdotool: it
// starts, shows its main window (a screenshot with the File menu open is kept in the
// build folder), ends on Ctrl+X and leaves its three data files behind.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

#include "core/profile.h"

namespace {

const QString kBuild = qEnvironmentVariable("KESTRUNE_BUILD_DIR");

// Runs a command to its end and returns its standard output, trimmed.
QString run(const QString& program, const QStringList& args, const QString& display = {}) {
  QProcess process;
  if (!display.isEmpty()) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("DISPLAY", display);
    process.setProcessEnvironment(env);
  }
  process.start(program, args);
  process.waitForFinished(15000);
  return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
}

// An X server on a display no one uses; Xvfb picks the number and reports it.
class VirtualDisplay {
 public:
  VirtualDisplay() {
    server_.start("Xvfb", {"-displayfd", "1", "-screen", "0", "1024x768x24", "-nolisten", "tcp"});
    for (int i = 0; i < 100 && number_.isEmpty(); ++i) {
      server_.waitForReadyRead(100);
      number_ = QString::fromUtf8(server_.readAllStandardOutput()).trimmed();
    }
  }
  ~VirtualDisplay() {
    server_.terminate();
    server_.waitForFinished(5000);
  }
  QString name() const { return number_.isEmpty() ? QString() : ":" + number_; }

 private:
  QProcess server_;
  QString number_;
};

bool toolsPresent() {
  for (const char* tool : {"Xvfb", "xdotool", "import"})
    if (QStandardPaths::findExecutable(tool).isEmpty()) return false;
  return true;
}

QString waitForWindow(const QString& display, const QString& title) {
  for (int i = 0; i < 100; ++i) {
    const QString ids = run("xdotool", {"search", "--onlyvisible", "--name", "^" + title + "$"}, display);
    if (!ids.isEmpty()) return ids.split('\n').first();
    QThread::msleep(100);
  }
  return {};
}

// The window's place on the screen as ImageMagick's crop geometry, WxH+X+Y.
QString windowGeometry(const QString& display, const QString& window) {
  QMap<QString, QString> values;
  for (const QString& line : run("xdotool", {"getwindowgeometry", "--shell", window}, display).split('\n'))
    values.insert(line.section('=', 0, 0), line.section('=', 1));
  return QString("%1x%2+%3+%4").arg(values["WIDTH"], values["HEIGHT"], values["X"], values["Y"]);
}

}  // namespace

TEST(EndToEnd, FreshFolderStartShowAndCtrlX) {
  if (!toolsPresent()) GTEST_SKIP() << "Xvfb, xdotool or ImageMagick missing";
  QTemporaryDir folder;
  ASSERT_TRUE(QFile::copy(kBuild + "/kestrune", folder.filePath("kestrune")));
  ASSERT_TRUE(QFile::copy(kBuild + "/libvbmp3.so", folder.filePath("libvbmp3.so")));

  VirtualDisplay display;
  ASSERT_FALSE(display.name().isEmpty()) << "Xvfb did not start";

  QProcess program;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("DISPLAY", display.name());
  env.insert("QT_QPA_PLATFORM", "xcb");
  env.insert("SDL_AUDIODRIVER", "dummy");
  env.insert("LANG", "C.UTF-8");
  program.setProcessEnvironment(env);
  program.setWorkingDirectory(QDir::tempPath());
  program.start(folder.filePath("kestrune"), {});
  ASSERT_TRUE(program.waitForStarted());

  const QString window = waitForWindow(display.name(), "Kestrune");
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
