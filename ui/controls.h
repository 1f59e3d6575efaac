// Conversions shared by every procedure that reads or writes controls: a check box's
// value as the program stores and tests it (0 unchecked, 1 checked, 2 greyed), and
// window positions in twips (15 twips = 1 pixel).
#pragma once

#include <QCheckBox>
#include <QWidget>

inline constexpr int kTwipsPerPixel = 15;

inline int checkValue(const QCheckBox* box) {
  switch (box->checkState()) {
    case Qt::Checked:
      return 1;
    case Qt::PartiallyChecked:
      return 2;
    case Qt::Unchecked:
      break;
  }
  return 0;
}

// Values other than 0, 1 and 2 are ignored. Setting a different value emits the box's
// stateChanged, which runs its click reaction.
inline void setCheckValue(QCheckBox* box, int value) {
  if (value == 2) box->setTristate(true);
  if (value == 0) box->setCheckState(Qt::Unchecked);
  if (value == 1) box->setCheckState(Qt::Checked);
  if (value == 2) box->setCheckState(Qt::PartiallyChecked);
}

inline int leftTwips(const QWidget* window) { return window->x() * kTwipsPerPixel; }
inline int topTwips(const QWidget* window) { return window->y() * kTwipsPerPixel; }
