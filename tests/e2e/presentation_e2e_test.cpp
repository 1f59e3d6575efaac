// The real program on a desktop with a window manager (openbox) and a tray host (trayer),
// playing a real MP3 from start-up: the waveform is redrawn from tick to tick in its blue
// pen, the title line moves, and minimizing with the tray option on takes the window off
// the screen into one tray icon, whose click brings it back. The screenshots are kept in
// the build folder.
#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QThread>

#include "audio_fixtures.h"
#include "desktop.h"

namespace {

const QString kTitled = "^Kestrune";  // the main window's caption while it plays
const int kTrayHeight = 24;

// A screenshot of the window, kept in the build folder under `name`.
QImage windowShot(const QString& display, const QString& window, const QString& name) {
  const QString path = kBuild + "/" + name;
  QFile::remove(path);
  run("import", {"-window", "root", "-crop", windowGeometry(display, window), path}, display);
  return QImage(path).convertToFormat(QImage::Format_RGB32);
}

// The places of the pixels of exactly `colour`.
QList<QPoint> pixelsOf(const QImage& image, QRgb colour) {
  QList<QPoint> found;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if ((image.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF)) found.append({x, y});
  return found;
}

int leftmost(const QList<QPoint>& points) {
  int x = INT_MAX;
  for (const QPoint& p : points) x = std::min(x, p.x());
  return x;
}

bool waitUntil(const std::function<bool()>& done, int milliseconds) {
  for (int waited = 0; waited < milliseconds; waited += 100) {
    if (done()) return true;
    QThread::msleep(100);
  }
  return done();
}

}  // namespace

TEST(EndToEndDesktop, PlayingWindowDrawsMovesAndDocksInTheTray) {
  if (!toolsPresent({"Xvfb", "xdotool", "xwininfo", "import", "openbox", "trayer", "sox", "lame"}))
    GTEST_SKIP() << "Xvfb, xdotool, xwininfo, ImageMagick, openbox, trayer, sox or lame missing";
  QTemporaryDir folder;
  ASSERT_TRUE(QFile::copy(kBuild + "/kestrune", folder.filePath("kestrune")));
  ASSERT_TRUE(QFile::copy(kBuild + "/libvbmp3.so", folder.filePath("libvbmp3.so")));
  const std::string wav = folder.filePath("song.wav").toStdString();
  const QString song = folder.filePath("夜明けの歌.mp3");
  ASSERT_TRUE(fixtures::makeWav(wav, 60.0) && fixtures::makeMp3(wav, song.toStdString()));
  QFile ini(folder.filePath("Option.ini"));
  ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
  ini.write("[Kestrune DataFile]\r\nAutoMusic=" + song.toUtf8() + "\r\nAutoMusicMode=1\r\nTaskMode=1\r\n");
  ini.close();

  VirtualDisplay display;
  ASSERT_FALSE(display.name().isEmpty()) << "Xvfb did not start";
  const QString screen = display.name();
  DesktopHelper windowManager("openbox", {}, screen);
  DesktopHelper trayHost("trayer",
                         {"--edge", "bottom", "--align", "left", "--widthtype", "request", "--height",
                          QString::number(kTrayHeight), "--SetDockType", "true"},
                         screen);
  QThread::msleep(1000);

  QProcess program;
  ASSERT_TRUE(startOnDisplay(program, folder.filePath("kestrune"), {}, screen));
  const QString window = waitForWindow(screen, kTitled + "\u3000");
  ASSERT_FALSE(window.isEmpty()) << "no playing window; stderr: "
                                 << program.readAllStandardError().toStdString();
  QThread::msleep(1500);

  const QImage first = windowShot(screen, window, "e2e_playing_1.png");
  // The README's picture of the program playing; KESTRUNE_UPDATE_SCREENSHOT=1 refreshes it.
  if (qEnvironmentVariable("KESTRUNE_UPDATE_SCREENSHOT") == "1") {
    const QString readmeShot = qEnvironmentVariable("KESTRUNE_SOURCE_DIR") + "/docs/screenshot.png";
    QFile::remove(readmeShot);
    EXPECT_TRUE(QFile::copy(kBuild + "/e2e_playing_1.png", readmeShot)) << readmeShot.toStdString();
  }
  QThread::msleep(450);
  const QImage second = windowShot(screen, window, "e2e_playing_2.png");
  const QList<QPoint> waveBefore = pixelsOf(first, qRgb(0, 0, 255));
  const QList<QPoint> waveAfter = pixelsOf(second, qRgb(0, 0, 255));
  EXPECT_GT(waveBefore.size(), 50) << "no blue waveform";
  EXPECT_GT(waveAfter.size(), 50) << "no blue waveform";
  EXPECT_NE(waveBefore, waveAfter) << "the waveform did not change between ticks";
  const QList<QPoint> titleBefore = pixelsOf(first, qRgb(255, 128, 255));
  const QList<QPoint> titleAfter = pixelsOf(second, qRgb(255, 128, 255));
  ASSERT_FALSE(titleBefore.isEmpty()) << "no title text";
  ASSERT_FALSE(titleAfter.isEmpty()) << "no title text";
  EXPECT_NE(leftmost(titleBefore), leftmost(titleAfter)) << "the title did not move";

  run("xdotool", {"windowminimize", window}, screen);
  EXPECT_TRUE(waitUntil(
      [&] {
        return run("xdotool", {"search", "--onlyvisible", "--name", kTitled}, screen).isEmpty();
      },
      5000))
      << "a window stayed on the screen";
  QThread::msleep(1000);
  const QString trayShot = kBuild + "/e2e_in_tray.png";
  QFile::remove(trayShot);
  run("import", {"-window", "root", trayShot}, screen);

  // The one icon sits at the tray's left end, at the screen's bottom-left corner.
  const QString iconCentre = QString::number(kTrayHeight / 2);
  run("xdotool", {"mousemove", iconCentre, QString::number(768 - kTrayHeight / 2), "click", "1"}, screen);
  EXPECT_FALSE(waitForWindow(screen, kTitled).isEmpty())
      << "the tray icon's click did not bring the window back";

  run("xdotool", {"key", "--window", window, "ctrl+x"}, screen);
  if (!program.waitForFinished(10000)) program.kill();
}

namespace {

// The main window without a track, at a scale factor, on a display of its own; the window's
// screenshot is kept in the build folder.
QImage mainWindowAt(int scale) {
  QTemporaryDir folder;
  QFile::copy(kBuild + "/kestrune", folder.filePath("kestrune"));
  QFile::copy(kBuild + "/libvbmp3.so", folder.filePath("libvbmp3.so"));
  VirtualDisplay display;
  QProcess program;
  startOnDisplay(program, folder.filePath("kestrune"), {}, display.name(),
                 {"QT_SCALE_FACTOR=" + QString::number(scale)});
  const QString window = waitForWindow(display.name(), "^Kestrune$");
  QImage shot;
  if (!window.isEmpty()) {
    QThread::msleep(1000);
    shot = windowShot(display.name(), window, QString("e2e_main_window_%1x.png").arg(scale));
  }
  program.kill();
  program.waitForFinished(5000);
  return shot;
}

// The largest difference of one colour channel between two pixels side by side.
int sharpestStep(const QImage& image) {
  int step = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 1; x < image.width(); ++x)
      for (int shift : {0, 8, 16})
        step = std::max(step, std::abs(int((image.pixel(x, y) >> shift) & 0xFF) -
                                       int((image.pixel(x - 1, y) >> shift) & 0xFF)));
  return step;
}

}  // namespace

// At twice the scale the window is twice as large, and its pictures come from their own
// double-size renderings: an upscaled normal picture would blur its sharpest edges.
TEST(EndToEndDesktop, AtTwiceTheScaleTheWindowIsTwiceAsLargeWithSharpPictures) {
  if (!toolsPresent({"Xvfb", "xdotool", "xwininfo", "import"}))
    GTEST_SKIP() << "Xvfb, xdotool, xwininfo or ImageMagick missing";
  const QImage normal = mainWindowAt(1);
  const QImage twice = mainWindowAt(2);
  ASSERT_FALSE(normal.isNull());
  ASSERT_FALSE(twice.isNull());
  EXPECT_EQ(twice.size(), normal.size() * 2);

  // The volume track: 33x135 at (352, 25) of the window's central area, below the menu bar.
  const QRect track(352, normal.height() - 270 + 25, 33, 135);
  const QImage small = normal.copy(track);
  const QImage large = twice.copy(QRect(track.topLeft() * 2, track.size() * 2));
  EXPECT_GE(sharpestStep(large), sharpestStep(small) * 9 / 10);
}
