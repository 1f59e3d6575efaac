// The real program's desktop in the end-to-end tests: a private X server, commands run
// against it, and the program's windows found and measured from outside.
#pragma once

#include <QDir>
#include <QMap>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QStringList>
#include <QThread>
#include <initializer_list>

inline const QString kBuild = qEnvironmentVariable("KESTRUNE_BUILD_DIR");

// Runs a command to its end and returns its standard output, trimmed.
inline QString run(const QString& program, const QStringList& args, const QString& display = {}) {
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

// Starts `program` on the display, with silent sound and a UTF-8 locale, from a folder that
// is not the program's; `variables` ("NAME=value") are set too.
inline bool startOnDisplay(QProcess& process, const QString& program, const QStringList& args,
                           const QString& display, const QStringList& variables = {}) {
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  for (const QString& variable : variables) env.insert(variable.section('=', 0, 0), variable.section('=', 1));
  env.insert("DISPLAY", display);
  env.insert("QT_QPA_PLATFORM", "xcb");
  env.insert("SDL_AUDIODRIVER", "dummy");
  env.insert("LANG", "C.UTF-8");
  process.setProcessEnvironment(env);
  process.setWorkingDirectory(QDir::tempPath());
  process.start(program, args);
  return process.waitForStarted();
}

// A helper program (window manager, tray host) that runs on the display for a test's length.
class DesktopHelper {
 public:
  DesktopHelper(const QString& program, const QStringList& args, const QString& display) {
    startOnDisplay(process_, program, args, display);
  }
  ~DesktopHelper() {
    process_.terminate();
    process_.waitForFinished(5000);
  }

 private:
  QProcess process_;
};

// An X server on a display no one uses; Xvfb picks the number and reports it. It does not
// reset when its last client goes (-noreset): a program started just after another one ended
// would find no display while the server starts over.
class VirtualDisplay {
 public:
  VirtualDisplay() {
    server_.start("Xvfb", {"-displayfd", "1", "-screen", "0", "1024x768x24", "-nolisten", "tcp", "-noreset"});
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

inline bool toolsPresent(std::initializer_list<const char*> tools) {
  for (const char* tool : tools)
    if (QStandardPaths::findExecutable(tool).isEmpty()) return false;
  return true;
}

// The first visible window whose name matches `pattern` (a regular expression).
inline QString waitForWindow(const QString& display, const QString& pattern) {
  for (int i = 0; i < 100; ++i) {
    const QString ids = run("xdotool", {"search", "--onlyvisible", "--name", pattern}, display);
    if (!ids.isEmpty()) return ids.split('\n').first();
    QThread::msleep(100);
  }
  return {};
}

// The window's place on the screen as ImageMagick's crop geometry, WxH+X+Y. xwininfo's
// absolute corner is right also under a window manager's frame, which xdotool counts twice.
inline QString windowGeometry(const QString& display, const QString& window) {
  QMap<QString, QString> values;
  for (const QString& line : run("xwininfo", {"-id", window}, display).split('\n'))
    values.insert(line.section(':', 0, 0).trimmed(), line.section(':', 1).trimmed());
  return QString("%1x%2+%3+%4")
      .arg(values["Width"], values["Height"], values["Absolute upper-left X"],
           values["Absolute upper-left Y"]);
}
