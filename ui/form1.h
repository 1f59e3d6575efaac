// The main window. Its controls, menu items and timers are the program's shared state;
// the event procedures that act on them live in the subsystem folders.
#pragma once

#include <QMainWindow>
#include <QTimer>
#include <functional>
#include <optional>
#include <utility>

#include "ui_Form1.h"

class App;

// Where the title line's left edge rests: opening a track and the stop button put it at
// kTitleRestX; a track that ends with no play mode to go on leaves it at the window's edge.
inline constexpr int kTitleRestX = 8;
inline constexpr int kTitleEndOfTrackX = 0;

class Form1 : public QMainWindow, public Ui::Form1 {
  Q_OBJECT

 public:
  explicit Form1(App& app);

  // Timer1 polls the decoder, Timer2 draws the waveform, Timer3 runs the clock, Timer4
  // scrolls the title, Timer5 counts the end of a track; Timer6 has no work; Timer7 follows
  // a conversion.
  QTimer* Timer1;
  QTimer* Timer2;
  QTimer* Timer3;
  QTimer* Timer4;
  QTimer* Timer5;
  QTimer* Timer6;
  QTimer* Timer7;

  // The second of the time of day the clock labels show, so a clock tick only formats the
  // date and time when they change.
  qint64 clockShownSecond = -1;

  // Set by the user's own move of the seek bar HScroll1 until its change procedure runs:
  // such a move always seeks.
  bool seekBarMovedByHand = false;

  // The folder of the file last chosen in the open dialog, where the dialog opens next time;
  // kept in Option.ini.
  QString openFolder;

  // Whether the library has been asked, after the first play, where the sound goes.
  bool outputChecked = false;
  // A short notice the caption shows in place of the title while the window is not
  // minimized (see ApplyCaptionRule); empty when there is none.
  QString captionNotice;

  // The shutdown sequence, run when the window is closed in any way; set by start-up.
  std::function<void()> onClose;

 protected:
  void closeEvent(QCloseEvent* event) override;
  // Every size or state change, and showing the window, runs the resize handling.
  void changeEvent(QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  QTimer* makeTimer(const char* name, int intervalMs, bool enabled);
  void connectProcedures();
  void restPaintTimersWhileUnseen();

  App& app_;
  // The wave and title ticks' own intervals while they rest (the window unseen); empty
  // while the window is seen.
  std::optional<std::pair<int, int>> seenPaintIntervals_;
};
