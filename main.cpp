#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QMessageBox>
#include <dlfcn.h>

// Temporary window until the program's own windows exist: shows the library's version.
int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const QString path = QCoreApplication::applicationDirPath() + "/libvbmp3.so";
  void* lib = dlopen(path.toLocal8Bit().constData(), RTLD_NOW);
  auto getVersion = lib ? reinterpret_cast<int (*)()>(dlsym(lib, "vbmp3_getVersion")) : nullptr;
  if (!getVersion) {
    QMessageBox::critical(nullptr, "Kestrune", "VBMP3.dllが見つかりません。\r\nVBMP3を同フォルダに置いてください。");
    return 1;
  }
  QMainWindow window;
  window.setWindowTitle("Kestrune");
  window.setCentralWidget(new QLabel(QString("VBMP3 - %1").arg(getVersion())));
  window.resize(393, 200);
  window.show();
  return app.exec();
}
