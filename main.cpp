// Kestrune: loading the main window starts the program; the command line is not read.
#include <QApplication>

#include "core/app.h"
#include "core/decoder.h"
#include "core/startup.h"
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
  return application.exec();
}
