// Peer for the start-up benchmark: a bare Qt main window with a menu bar, shown and
// closed again as soon as the event loop runs.
#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>
#include <QTimer>

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QMainWindow window;
  window.setWindowTitle("Peer");
  for (const char* title : {"File", "Edit", "View", "Settings", "Help"}) {
    QMenu* menu = window.menuBar()->addMenu(title);
    for (int i = 0; i < 8; ++i) menu->addAction(QString("Item %1").arg(i));
  }
  window.resize(393, 300);
  window.show();
  QTimer::singleShot(0, &application, &QCoreApplication::quit);
  return application.exec();
}
