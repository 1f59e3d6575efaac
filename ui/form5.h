// Tag editor: the current file's tag.
#pragma once

#include "ui/secondarywindow.h"
#include "ui_Form5.h"

class App;

class Form5 : public SecondaryWindow, public Ui::Form5 {
  Q_OBJECT

 public:
  explicit Form5(App& app);
  void load();  // run by the App once, right after the window is made

 private:
  void connectProcedures();

  App& app_;
};
