// About dialog: program and library versions, the user's name, the maker's address.
#pragma once

#include "ui/secondarywindow.h"
#include "ui_Form6.h"

class App;

class Form6 : public SecondaryWindow, public Ui::Form6 {
  Q_OBJECT

 public:
  explicit Form6(App& app);
  void load();  // run by the App once, right after the window is made

 private:
  void connectProcedures();

  App& app_;
};
