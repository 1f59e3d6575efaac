// Song List window: the genre's song list, its edit buttons and the title search. Shown
// modally by its callers; List1/List2 are also the main window's play list.
#pragma once

#include "ui/secondarywindow.h"
#include "ui_Form2.h"

class App;

class Form2 : public SecondaryWindow, public Ui::Form2 {
  Q_OBJECT

 public:
  explicit Form2(App& app);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void connectProcedures();

  App& app_;
};
