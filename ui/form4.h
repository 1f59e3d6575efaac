// Equalizer window: ten band sliders and the named presets.
#pragma once

#include <array>

#include "ui/secondarywindow.h"
#include "ui_Form4.h"

class App;

class Form4 : public SecondaryWindow, public Ui::Form4 {
  Q_OBJECT

 public:
  explicit Form4(App& app);

  // The band sliders as the array they are: band 0 at the left.
  std::array<QScrollBar*, 10> VScroll1;
};
