#include "ui/secondarywindow.h"

#include <QCloseEvent>

SecondaryWindow::SecondaryWindow(QWidget* owner) : QDialog(owner) {}

void SecondaryWindow::closeEvent(QCloseEvent* event) {
  event->ignore();
  hideByCloseBox();
}

void SecondaryWindow::reject() { hideByCloseBox(); }

void SecondaryWindow::hideByCloseBox() {
  hide();
  emit closeBoxPressed();
}
