// The main window with a scripted decoder that plays in simulated time: run(ms) moves the
// clock in 100 ms steps, advances the decoder's position while it plays, and fires Timer1
// and Timer5 as their intervals come round, calling their tick procedures directly.
#pragma once

#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QScrollBar>

#include "fakes/program_test.h"
#include "playback/polling.h"
#include "playback/timedisplay.h"
#include "playback/transport.h"
#include "ui/form1.h"
#include "ui/form3.h"

class PlaybackTest : public ProgramTest {
 protected:
  Form1& main = app.form1();
  int64_t nowMs_ = 0;

  void SetUp() override {
    // Tests drive the timers themselves; the real ones must not fire during a test.
    for (QTimer* t : {main.Timer1, main.Timer2, main.Timer3, main.Timer4, main.Timer5, main.Timer6}) {
      t->stop();
      t->setInterval(24 * 3600 * 1000);
    }
  }

  // What loading a track leaves for transport and polling: total seconds, seek bar range
  // and large step, progress scale, play enabled, the display brought up to date.
  void loadTrack(int32_t seconds, int largeStep) {
    decoder.addTrack("/m/t.mp3", seconds);
    TrackInfo info{};
    decoder.open("/m/t.mp3", info);
    main.Text3->setText(QString::number(seconds));
    main.HScroll1->setMaximum(seconds);
    main.HScroll1->setPageStep(largeStep);
    main.Picture5->setScaleWidth(seconds);
    main.Command1->setEnabled(true);
    RefreshPlayState(app);
    trackMs_ = seconds * 1000;
    decoder.calls.clear();
  }

  void play() { Form1_Command1_Click(app); }

  // Puts the playing decoder at `seconds` without a poll.
  void playAt(int32_t seconds) {
    decoder.current.seconds = seconds;
    playedMs_ = seconds * 1000;
  }

  void run(int64_t ms) {
    for (int64_t end = nowMs_ + ms; nowMs_ < end;) step();
  }

  // Runs until `done` holds (checked every 100 ms); the time it took, or -1 after `limitMs`.
  template <typename Done>
  int64_t runUntil(Done done, int64_t limitMs = 20000) {
    const int64_t start = nowMs_;
    while (nowMs_ - start < limitMs) {
      step();
      if (done()) return nowMs_ - start;
    }
    return -1;
  }

 private:
  void step() {
    noteCounter();  // a counter switched on between steps started then
    nowMs_ += 100;
    if (decoder.current.seconds != playedMs_ / 1000) playedMs_ = decoder.current.seconds * 1000;
    if (decoder.current.state == 1) {
      playedMs_ += 100;
      decoder.current.seconds = static_cast<int32_t>(playedMs_ / 1000);
      // The end, as the library reports it: stopped, at the track's end until play or stop.
      if (playedMs_ >= trackMs_) decoder.current = {0, static_cast<int32_t>(trackMs_ / 1000)};
    }
    const bool ticks =
        main.Timer5->isActive() && counterSinceMs_ >= 0 && (nowMs_ - counterSinceMs_) % 700 == 0;
    if (main.Timer1->isActive()) Form1_Timer1_Timer(app);
    if (ticks && main.Timer5->isActive()) Form1_Timer5_Timer(app);
    noteCounter();
  }

  void noteCounter() {
    if (!main.Timer5->isActive()) {
      counterSinceMs_ = -1;
    } else if (counterSinceMs_ < 0) {
      counterSinceMs_ = nowMs_;
    }
  }

  int64_t trackMs_ = 0;
  int64_t playedMs_ = 0;
  int64_t counterSinceMs_ = -1;  // when Timer5 was switched on, -1 while off
};
