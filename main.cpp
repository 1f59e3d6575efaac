// Kestrune: loading the main window starts the program; the command line is not read.
#include <QApplication>
#include <csignal>

#include "core/app.h"
#include "core/startup.h"
#include "core/vbmp3binding.h"
#include "platform/qt/qtplatform.h"
#include "ui/form1.h"
#include "ui/programstyle.h"

int main(int argc, char** argv) {
  // A file-size limit makes a write fail with EFBIG, which the writers report, instead of
  // ending the program.
  std::signal(SIGXFSZ, SIG_IGN);
  QApplication application(argc, argv);
  setProgramLook();
  const QString folder = QCoreApplication::applicationDirPath();
  LibraryVbmp3 vbmp3(folder + "/libvbmp3.so");
  QtPlatform platform;
  App app(vbmp3, platform, folder);
  Form1_Form_Load(app);
  app.form1().show();
  return application.exec();
}
