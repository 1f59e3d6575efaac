// Equalizer window: ten band sliders and the named presets (tools/equalizer.h).
#pragma once

#include <array>

#include "ui/secondarywindow.h"
#include "ui_Form4.h"

class App;

class Form4 : public SecondaryWindow, public Ui::Form4 {
  Q_OBJECT

 public:
  // Builds the window and loads it: the presets come from Sound.dat.
  explicit Form4(App& app);

  // The band sliders as the array they are: band 0 at the left.
  std::array<QScrollBar*, 10> VScroll1;
  // The bands' frequencies, under their sliders.
  std::array<QLabel*, 10> Label1;

 private:
  void connectProcedures();

  App& app_;
};
