// Switching a window timer on or off. Switching on a timer that already runs leaves its
// current interval running: restarting it on every call would keep pushing its next tick
// away (the end counter is switched on at every change of the remaining time).
#pragma once

#include <QTimer>

inline void switchTimer(QTimer* timer, bool on) {
  if (!on) {
    timer->stop();
  } else if (!timer->isActive()) {
    timer->start();
  }
}
