// Equalizer window: ten band sliders and the named presets (tools/equalizer.h).
#pragma once

#include <array>

#include "ui/secondarywindow.h"
#include "ui_Form4.h"

class App;

class Form4 : public SecondaryWindow, public Ui::Form4 {
  Q_OBJECT

 public:
  explicit Form4(App& app);
  void load();  // run by the App once, right after the window is made: reads the presets

  // The band sliders as the array they are: band 0 at the left.
  std::array<QScrollBar*, 10> VScroll1;
  // The bands' frequencies, under their sliders.
  std::array<QLabel*, 10> Label1;

 private:
  void connectProcedures();

  App& app_;
};
