#include "playback/polling.h"

#include <algorithm>

#include "core/app.h"
#include "core/vbmp3binding.h"
#include "playback/navigation.h"
#include "playback/timedisplay.h"
#include "playback/transport.h"
#include "ui/form1.h"
#include "ui/form2.h"
#include "ui/form3.h"
#include "ui/timerswitch.h"
#include "ui/tray.h"

namespace {

// The number a text box or label holds; anything unreadable counts as 0.
int32_t numberIn(const QString& text) { return text.trimmed().toInt(); }

int32_t decoderPosition(App& app) {
  int32_t seconds = 0;
  app.vbmp3.getState(seconds);
  return seconds;
}

int32_t endThreshold(App& app) { return app.form3().Check2->isChecked() ? 3 : 2; }

void stopCounting(Form1& f) {
  switchTimer(f.Timer5, false);
  f.Label16->setText("0");
}

void restartTrack(App& app) {
  Form1& f = app.form1();
  app.vbmp3.stop();
  if (!startDecoder(app)) return;
  f.Picture5->cls();
  // Polling back on too: a track paused within its last seconds reaches this with the poll
  // off, and without it the counter would restart the track at every tick from then on.
  switchTimer(f.Timer1, true);
  switchTimer(f.Timer4, true);
  f.Command1->setEnabled(false);
}

void stopAtEnd(App& app) {
  Form1& f = app.form1();
  app.vbmp3.stop();
  f.Command1->setEnabled(true);
  switchTimer(f.Timer4, false);
  f.Label13->move(kTitleEndOfTrackX, f.Label13->y());
  f.Picture5->cls();
}

void moveInList(App& app, ListMove move) {
  stopCounting(app.form1());
  if (move != ListMove::Random) app.vbmp3.stop();
  // A failed open has left the no-track window, which must not offer play again.
  if (playListNeighbour(app, move) == ListMoveResult::NoEntries) stopAtEnd(app);
}

}  // namespace

int32_t RefreshPlayState(App& app) {
  Form1& f = app.form1();
  MpegInfo mpeg{};
  app.vbmp3.getMpegInfo(mpeg);
  int32_t position = 0;
  const int32_t state = app.vbmp3.getState(position);
  if (app.vbmp3.getEncodeState() != VBMP3_ENCODE_RUNNING) {
    f.Label1->setText(minutesSeconds(position));
  } else {
    // The elapsed time is held, but the seek bar still follows: without this its moves
    // would look like the user's and seek at every new second.
    app.LastPlayPosition = position;
  }
  // The thumb the user holds stays under the mouse; letting it go seeks.
  if (!f.HScroll1->isSliderDown())
    f.HScroll1->setValue(std::clamp(position, f.HScroll1->minimum(), f.HScroll1->maximum()));
  return state;
}

void Form1_Timer1_Timer(App& app) {
  RefreshPlayState(app);
  decoderPosition(app);
}

void Form1_Label1_Change(App& app) {
  Form1& f = app.form1();
  const int32_t position = decoderPosition(app);
  const int32_t remaining = numberIn(f.Text3->text()) - position;
  // The remaining time first: the change of Text2 may put it in the minimized caption.
  f.Label4->setText(minutesSeconds(remaining));
  f.Text2->setText(QString::number(remaining));
  app.LastPlayPosition = position;
}

void Form1_Text2_Change(App& app) {
  Form1& f = app.form1();
  if (numberIn(f.Text2->text()) > endThreshold(app)) {
    stopCounting(f);
  } else {
    switchTimer(f.Timer5, true);
  }
  if (f.mSmallTime->isChecked()) ApplyCaptionRule(app);
}

void Form1_Timer5_Timer(App& app) {
  Form1& f = app.form1();
  f.Label16->setText(QString::number(numberIn(f.Label16->text()) + 1));
}

void Form1_Label16_Change(App& app) {
  Form1& f = app.form1();
  if (numberIn(f.Label16->text()) < 2) return;
  if (f.mRepeat->isChecked()) {
    restartTrack(app);
  } else if (f.mListTrack->isChecked() && f.mUptoDown->isChecked()) {
    moveInList(app, ListMove::Next);
  } else if (f.mListTrack->isChecked() && f.mDowntoUp->isChecked()) {
    moveInList(app, ListMove::Previous);
  } else if (f.mRandam->isChecked()) {
    if (numberIn(app.form2().Label2->text()) != 0) moveInList(app, ListMove::Random);
  } else {
    stopCounting(f);
    stopAtEnd(app);
  }
}
