#include "playback/transport.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "core/app.h"
#include "core/vbmp3binding.h"
#include "playback/load.h"
#include "playback/polling.h"
#include "songlist/songlistwindow.h"
#include "ui/form1.h"
#include "ui/form2.h"
#include "ui/form5.h"
#include "ui/timerswitch.h"
#include "ui/tray.h"

namespace {

constexpr int kPitchStep = 20;
constexpr int kKnobStepPixels = 6;

// Moves a bar by `delta`, kept within its range (a value reached by dragging may be less
// than a step from an end). The bar's change procedure runs when the value changes.
bool stepBar(QScrollBar* bar, int delta) {
  const int before = bar->value();
  bar->setValue(std::clamp(before + delta, bar->minimum(), bar->maximum()));
  return bar->value() != before;
}

void stepPitch(App& app, int delta) {
  Form1& f = app.form1();
  applyWithSoundHeld(app, [&] {
    app.vbmp3.setPitch(f.HScroll2->value());
    stepBar(f.HScroll2, delta);
    f.Text4->setText(QString::number(app.vbmp3.getPitch()));
  });
}

// Up moves the knob up (toward loud); a press that cannot move the bar leaves it.
void stepVolume(App& app, int delta) {
  Form1& f = app.form1();
  if (!stepBar(f.HScroll3, delta)) return;
  const int knobDelta = delta > 0 ? -kKnobStepPixels : kKnobStepPixels;
  f.Image2->move(f.Image2->x(), f.Image2->y() + knobDelta);
}

void noticeSilentOutput(App& app) {
  Form1& f = app.form1();
  if (std::exchange(f.outputChecked, true) || app.vbmp3.getOutput() != VBMP3_OUTPUT_SILENT) return;
  f.captionNotice = kSilentOutputNotice;
  ApplyCaptionRule(app);
  QTimer::singleShot(kSilentOutputNoticeMs, &f, [&app] { EndSilentOutputNotice(app); });
}

}  // namespace

bool startDecoder(App& app) {
  if (app.vbmp3.play() == 0) {
    ShowNoTrack(app);
    return false;
  }
  noticeSilentOutput(app);
  return true;
}

void EndSilentOutputNotice(App& app) {
  Form1& f = app.form1();
  if (f.captionNotice != kSilentOutputNotice) return;
  f.captionNotice.clear();
  ApplyCaptionRule(app);
}

void applyWithSoundHeld(App& app, const std::function<void()>& change) {
  int32_t seconds = 0;
  const bool playing = app.vbmp3.getState(seconds) == VBMP3_STATE_PLAYING;
  app.vbmp3.pause();
  change();
  if (playing) app.vbmp3.restart();
}

void playCurrentTrack(App& app) {
  Form1& f = app.form1();
  if (RefreshPlayState(app) == VBMP3_STATE_PAUSED) {
    app.vbmp3.restart();
    switchTimer(f.Timer1, true);
  } else {
    f.Picture5->cls();
  }
  if (!startDecoder(app)) return;
  f.Picture3->move(f.Picture4->contentsRect().left(), f.Picture3->y());  // inside the frame
  f.Picture3->cls();
  f.Command1->setEnabled(false);
  f.Command2->setEnabled(true);
  f.Command3->setEnabled(true);
  RefreshPlayState(app);
  switchTimer(f.Timer1, true);
  switchTimer(f.Timer2, true);
  switchTimer(f.Timer4, true);
}

void Form1_Command1_Click(App& app) {
  playCurrentTrack(app);
  if (app.form1().mPTag->isChecked()) app.form5().show();
}

void Form1_Command2_Click(App& app) {
  Form1& f = app.form1();
  app.vbmp3.stop();
  app.vbmp3.encodeStop();
  f.Command1->setEnabled(true);
  switchTimer(f.Timer1, false);
  switchTimer(f.Timer4, false);
  f.Label1->setText("00:00");
  f.Picture5->cls();
  f.Label13->move(kTitleRestX, f.Label13->y());
}

void Form1_Command3_Click(App& app) {
  Form1& f = app.form1();
  app.vbmp3.pause();
  switchTimer(f.Timer1, false);
  switchTimer(f.Timer4, false);
  RefreshPlayState(app);
  f.Command1->setEnabled(true);
}

void PlayOrPause(App& app, void (*play)(App&)) {
  Form1& f = app.form1();
  int32_t seconds = 0;
  if (app.vbmp3.getState(seconds) == VBMP3_STATE_PLAYING) {
    if (f.Command3->isEnabled()) Form1_Command3_Click(app);
  } else if (f.Command1->isEnabled()) {
    play(app);
  }
}

void PlayPauseKey(App& app) { PlayOrPause(app, Form1_Command1_Click); }

void Form1_HScroll2_Change(App& app) {
  Form1& f = app.form1();
  const int pitch = f.HScroll2->value();
  app.vbmp3.setPitch(pitch);
  f.Text4->setText(QString::number(app.vbmp3.getPitch()));
  f.Command6->setEnabled(pitch != f.HScroll2->maximum());
  f.Command5->setEnabled(pitch != f.HScroll2->minimum());
}

void Form1_Command5_Click(App& app) { stepPitch(app, -kPitchStep); }
void Form1_Command6_Click(App& app) { stepPitch(app, kPitchStep); }

void Form1_HScroll3_Change(App& app) {
  Form1& f = app.form1();
  const int volume = f.HScroll3->value();
  app.vbmp3.setVolume(volume, volume);
  int32_t left = 0, right = 0;
  app.vbmp3.getVolume(left, right);
  f.Command11->setEnabled(volume != f.HScroll3->maximum());
  f.Command12->setEnabled(volume != f.HScroll3->minimum());
}

void PlaceVolumeKnob(App& app) {
  Form1& f = app.form1();
  const int steps = (f.HScroll3->maximum() - f.HScroll3->value() + kVolumeStep / 2) / kVolumeStep;
  f.Image2->move(f.Image2->x(), f.Image2->y() + steps * kKnobStepPixels);
}

void Form1_Command11_Click(App& app) { stepVolume(app, kVolumeStep); }
void Form1_Command12_Click(App& app) { stepVolume(app, -kVolumeStep); }

void Form1_HScroll1_Change(App& app) {
  Form1& f = app.form1();
  const bool byHand = std::exchange(f.seekBarMovedByHand, false);
  const int largeStep = f.HScroll1->pageStep();
  if (largeStep <= 1 && !byHand) return;
  const int32_t value = f.HScroll1->value();
  // A position past the bar's end shows as the end, which is no move of the user's.
  const int32_t last = std::min(app.LastPlayPosition, f.HScroll1->maximum());
  if (byHand || value >= last + largeStep || value < last) {
    app.vbmp3.seek(value);
    int32_t seconds = 0;
    app.vbmp3.getState(seconds);
  }
  if (largeStep > 1) f.Picture5->line(value, 0, value, f.Picture2->height());
  RefreshPlayState(app);
}

void Form1_HScroll1_Action(App& app) {
  QScrollBar* bar = app.form1().HScroll1;
  // An action that leaves the thumb where it is (a click past an end) changes nothing.
  app.form1().seekBarMovedByHand = bar->sliderPosition() != bar->value();
}

void Form1_Picture5_MouseDown(App& app, double x) {
  Form1& f = app.form1();
  const int32_t seconds =
      std::clamp(static_cast<int32_t>(std::lround(x)), f.HScroll1->minimum(), f.HScroll1->maximum());
  f.seekBarMovedByHand = true;
  f.HScroll1->setValue(seconds);
  f.seekBarMovedByHand = false;  // when the bar was there already, nothing consumed it
}

void Form1_Command10_Click(App& app) { ShowSongList(app); }
