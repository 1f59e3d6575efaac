// Start-up benchmark driver: the program's own start (production library binding and
// desktop services, program folder = this executable's folder). As soon as the main window
// has been shown it ends, by default through File > "アプリケーションの終了(&X)" (which saves
// the settings and stops and frees the library); with BENCH_END=window it ends at once,
// which measures start-up alone.
#include <QApplication>
#include <QTimer>
#include <cstdlib>

#include "core/app.h"
#include "core/startup.h"
#include "core/vbmp3binding.h"
#include "platform/qt/qtplatform.h"
#include "ui/form1.h"
#include "ui/programstyle.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  setProgramLook();
  const QString folder = QCoreApplication::applicationDirPath();
  LibraryVbmp3 vbmp3(folder + "/libvbmp3.so");
  QtPlatform platform;
  App app(vbmp3, platform, folder);
  Form1_Form_Load(app);
  app.form1().show();
  const bool startOnly = qEnvironmentVariable("BENCH_END") == "window";
  QTimer::singleShot(0, [&app, &platform, startOnly] {
    if (startOnly) platform.exitProcess(0);
    Form1_mEnd_Click(app);
  });
  return application.exec();
}
