// Properties dialog: the options, the initial folder, the start-up song and the genres.
#pragma once

#include "ui/secondarywindow.h"
#include "ui_Form3.h"

class App;

class Form3 : public SecondaryWindow, public Ui::Form3 {
  Q_OBJECT

 public:
  explicit Form3(App& app);

 private:
  void connectProcedures();

  App& app_;
};
