#include "ui/secondarywindow.h"

#include <QCloseEvent>

// Fixed layouts (each window's size is fixed in its form): no maximize button, and no
// minimize of its own, as the window leaves and comes back with the main window.
SecondaryWindow::SecondaryWindow(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                         Qt::WindowCloseButtonHint) {}

void SecondaryWindow::closeEvent(QCloseEvent* event) {
  event->ignore();
  hideByCloseBox();
}

void SecondaryWindow::reject() { hideByCloseBox(); }

void SecondaryWindow::hideByCloseBox() {
  hide();
  emit closeBoxPressed();
}

void SecondaryWindow::showInFront() {
  show();
  raise();
  activateWindow();
}
