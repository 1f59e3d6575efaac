// Opening a track: the time from the open dialog's answer to the filled main window,
// through File > "サウンドファイルを開く(&O)..." with the production library binding.
// Usage: app_open <file> [runs]   (prints each run in ms, then the medians)
// Besides the wall time it reports the CPU time the process spent meanwhile: on a busy
// machine the wall time mostly measures waiting for a core.
#include <QApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

#include "core/app.h"
#include "core/vbmp3binding.h"
#include "platform/qt/qtplatform.h"
#include "playback/load.h"
#include "ui/form1.h"

namespace {

double cpuMilliseconds() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

// The desktop services, except that the open dialog answers `file` at once and starts the
// clock, and message boxes go to stderr instead of waiting for a click.
class BenchPlatform final : public Platform {
 public:
  explicit BenchPlatform(QString file) : file_(std::move(file)) {}

  QElapsedTimer clock;
  double cpuAtAnswer = 0;

  QString openFileName(QWidget*, const QString&, const QString&, const QString&) override {
    cpuAtAnswer = cpuMilliseconds();
    clock.start();
    return file_;
  }
  MessageResult messageBox(QWidget*, const QString& text, const QString&, MessageButtons,
                           MessageIcon) override {
    std::fprintf(stderr, "message: %s\n", qPrintable(text));
    return MessageResult::Ok;
  }

  QString saveFileName(QWidget* o, const QString& t, const QString& f, const QString& d) override {
    return qt_.saveFileName(o, t, f, d);
  }
  QString browseFolder(QWidget* o, const QString& t) override { return qt_.browseFolder(o, t); }
  void setClipboardText(const QString& text) override { qt_.setClipboardText(text); }
  void openWithShell(const QString& what, std::function<void()> onFailure) override {
    qt_.openWithShell(what, std::move(onFailure));
  }
  bool startProgram(const QString& p, const QStringList& a) override { return qt_.startProgram(p, a); }
  bool hasProgram(const QString& program) override { return qt_.hasProgram(program); }
  QString userName() override { return qt_.userName(); }
  bool deleteFile(const QString& path) override { return qt_.deleteFile(path); }
  QStringList listFiles(const QString& folder) override { return qt_.listFiles(folder); }
  bool trayAvailable() const override { return qt_.trayAvailable(); }
  void showTrayIcon(const TrayIcon& icon) override { qt_.showTrayIcon(icon); }
  void hideTrayIcon() override { qt_.hideTrayIcon(); }
  bool trayIconVisible() const override { return qt_.trayIconVisible(); }
  void moveCdTray(bool open) override { qt_.moveCdTray(open); }
  void exitProcess(int code) override { qt_.exitProcess(code); }

 private:
  QString file_;
  QtPlatform qt_;
};

}  // namespace

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  if (argc < 2) {
    std::fprintf(stderr, "usage: app_open <file> [runs]\n");
    return 2;
  }
  const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
  const QString folder = QCoreApplication::applicationDirPath();
  LibraryVbmp3 vbmp3(folder + "/libvbmp3.so");
  if (vbmp3.init() == 0) {
    std::fprintf(stderr, "libvbmp3.so not found beside the driver\n");
    return 1;
  }
  BenchPlatform platform(QString::fromLocal8Bit(argv[1]));
  App app(vbmp3, platform, folder);
  Form1& main = app.form1();
  main.show();
  QCoreApplication::processEvents();

  std::vector<double> wall, cpu;
  for (int i = 0; i < runs; ++i) {
    Form1_mOpen_Click(app);
    main.repaint();  // the filled display, painted
    wall.push_back(platform.clock.nsecsElapsed() / 1e6);
    cpu.push_back(cpuMilliseconds() - platform.cpuAtAnswer);
    std::printf("run %d: %.2f ms wall, %.2f ms CPU (%s, %s)\n", i + 1, wall.back(), cpu.back(),
                qPrintable(main.Label3->text()), qPrintable(main.Label9->text()));
    QCoreApplication::processEvents();
  }
  std::sort(wall.begin(), wall.end());
  std::sort(cpu.begin(), cpu.end());
  std::printf("median: %.2f ms wall, %.2f ms CPU\n", wall[wall.size() / 2], cpu[cpu.size() / 2]);
  vbmp3.free();
  return 0;
}
