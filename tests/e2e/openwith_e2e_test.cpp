// The real program's command line: --version and friends, a start with no display, and under Xvfb a second
// start with a file that hands it to the first (which plays it) and ends at once.
#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include "audio_fixtures.h"
#include "desktop.h"
#include "kestrune_version.h"

namespace {

TEST(EndToEndCommandLine, QuestionsAreAnsweredWithoutAWindow) {
  struct Case {
    QString argument;
    int exitCode;
    QString out, err;  // what the output starts with
  };
  const Case cases[] = {
      {"--version", 0, QString("Kestrune %1.%2\n").arg(kProgramVersionMajor).arg(kProgramVersionMinor), ""},
      {"--help", 0, "Usage: kestrune [--help] [--version] [FILE...]\n", ""},
      {"-q", 2, "", "kestrune: 不明なオプション -q\nUsage: kestrune"},
      {"song.mp3", 2, "", "kestrune: ウィンドウを表示できません"},
  };
  for (const Case& c : cases) {
    QProcess program;
    program.setProcessEnvironment(QProcessEnvironment());  // no display: no window is tried
    program.start(kBuild + "/kestrune", {c.argument});
    ASSERT_TRUE(program.waitForFinished(5000)) << c.argument.toStdString();
    EXPECT_EQ(program.exitCode(), c.exitCode) << c.argument.toStdString();
    const QString out = QString::fromUtf8(program.readAllStandardOutput());
    const QString err = QString::fromUtf8(program.readAllStandardError());
    EXPECT_EQ(out.left(c.out.size()).toStdString(), c.out.toStdString());
    EXPECT_EQ(err.left(c.err.size()).toStdString(), c.err.toStdString());
    EXPECT_EQ(out.isEmpty(), c.out.isEmpty());
    EXPECT_EQ(err.isEmpty(), c.err.isEmpty());
  }
}

// Whether the process has SDL's audio thread: it starts at the first play.
bool playing(qint64 pid) {
  for (const QString& task :
       QDir(QString("/proc/%1/task").arg(pid)).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
    QFile name(QString("/proc/%1/task/%2/comm").arg(pid).arg(task));
    if (name.open(QIODevice::ReadOnly) && name.readAll().startsWith("SDLAudio")) return true;
  }
  return false;
}

TEST(EndToEndCommandLine, SecondStartHandsItsFileToTheFirstAndEnds) {
  if (!toolsPresent({"Xvfb", "xdotool", "sox", "lame"})) GTEST_SKIP() << "Xvfb, xdotool, sox or lame missing";
  QTemporaryDir folder;
  ASSERT_TRUE(QFile::copy(kBuild + "/kestrune", folder.filePath("kestrune")));
  ASSERT_TRUE(QFile::copy(kBuild + "/libvbmp3.so", folder.filePath("libvbmp3.so")));
  const std::string wav = folder.filePath("tone.wav").toStdString();
  ASSERT_TRUE(fixtures::makeWav(wav, 20.0));
  ASSERT_TRUE(fixtures::makeMp3(wav, folder.filePath("渡す曲.mp3").toStdString()));

  // The programs' socket goes into a folder of the test's own.
  QTemporaryDir runtime;
  const QByteArray savedRuntime = qgetenv("XDG_RUNTIME_DIR");
  qputenv("XDG_RUNTIME_DIR", runtime.path().toUtf8());
  const auto restoreRuntime = qScopeGuard([&savedRuntime] {
    savedRuntime.isNull() ? qunsetenv("XDG_RUNTIME_DIR") : qputenv("XDG_RUNTIME_DIR", savedRuntime);
  });

  VirtualDisplay display;
  ASSERT_FALSE(display.name().isEmpty()) << "Xvfb did not start";
  QProcess first;
  ASSERT_TRUE(startOnDisplay(first, folder.filePath("kestrune"), {}, display.name()));
  ASSERT_FALSE(waitForWindow(display.name(), "^Kestrune$").isEmpty())
      << "no main window; stderr: " << first.readAllStandardError().toStdString();
  ASSERT_FALSE(playing(first.processId()));

  // Named relative to the second start's working folder, as a shell user may.
  const QString song = QDir(QDir::tempPath()).relativeFilePath(folder.filePath("渡す曲.mp3"));
  QProcess second;
  QElapsedTimer clock;
  clock.start();
  ASSERT_TRUE(startOnDisplay(second, folder.filePath("kestrune"), {song}, display.name()));
  ASSERT_TRUE(second.waitForFinished(5000));
  EXPECT_LT(clock.elapsed(), 2000);
  EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(second.exitCode(), 0) << second.readAllStandardError().toStdString();

  EXPECT_FALSE(waitForWindow(display.name(), "^Kestrune　【渡す曲】$").isEmpty());
  EXPECT_TRUE(QTest::qWaitFor([&first] { return playing(first.processId()); }, 5000));
  EXPECT_EQ(
      run("xdotool", {"search", "--onlyvisible", "--name", "^Kestrune"}, display.name()).split('\n').size(),
      1)
      << "a second main window";

  first.terminate();
  first.waitForFinished(5000);
}

}  // namespace
