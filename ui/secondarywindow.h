// The base of the five secondary windows. They are created hidden, live as long as the
// program and are owned by the main window; their close box (and Escape) only hides them
// and then reports closeBoxPressed(), to which a window connects what its close does
// besides hiding (clearing the main window's shown-flag, for instance).
#pragma once

#include <QDialog>

class SecondaryWindow : public QDialog {
  Q_OBJECT

 public:
  explicit SecondaryWindow(QWidget* owner);

  void showInFront();  // shown, raised over the others and given the focus

 signals:
  void closeBoxPressed();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void reject() override;

 private:
  void hideByCloseBox();
};
