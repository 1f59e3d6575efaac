// Start-up benchmark driver: the program's own start (production library binding and
// desktop services, program folder = this executable's folder), which ends through
// File > "アプリケーションの終了(&X)" as soon as the main window has been shown.
#include <QApplication>
#include <QTimer>

#include "core/app.h"
#include "core/decoder.h"
#include "core/startup.h"
#include "platform/qt/qtplatform.h"
#include "ui/form1.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  const QString folder = QCoreApplication::applicationDirPath();
  LibraryVbmp3 vbmp3(folder + "/libvbmp3.so");
  QtPlatform platform;
  App app(vbmp3, platform, folder);
  Form1_Form_Load(app);
  app.form1().show();
  QTimer::singleShot(0, [&app] { Form1_mEnd_Click(app); });
  return application.exec();
}
