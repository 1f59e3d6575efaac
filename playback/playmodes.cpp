#include "playback/playmodes.h"

#include <QAction>
#include <QLabel>
#include <array>
#include <utility>

#include "core/app.h"
#include "core/vbmp3binding.h"
#include "ui/form1.h"

namespace {

// The three exclusive modes, each with its picture, in the order start-up checks them.
std::array<std::pair<QAction*, QLabel*>, 3> modes(Form1& f) {
  return {{{f.mRepeat, f.Image3}, {f.mListTrack, f.Image4}, {f.mRandam, f.Image5}}};
}

// `chosen` alone checked and its picture alone shown.
void showOnly(Form1& f, const QAction* chosen) {
  for (auto [mode, picture] : modes(f)) {
    mode->setChecked(mode == chosen);
    picture->setVisible(mode == chosen);
  }
}

void clickMode(App& app, QAction* clicked) {
  Form1& f = app.form1();
  if (clicked->isChecked()) {
    clicked->setChecked(false);
    for (auto [mode, picture] : modes(f))
      if (mode == clicked) picture->hide();
  } else {
    showOnly(f, clicked);
  }
}

void chooseDirection(QAction* chosen, QAction* other) {
  other->setChecked(false);
  chosen->setChecked(true);
}

bool toggleFade(QAction* item, QLabel* picture) {
  item->setChecked(!item->isChecked());
  picture->setVisible(item->isChecked());
  return item->isChecked();
}

}  // namespace

void Form1_mRepeat_Click(App& app) { clickMode(app, app.form1().mRepeat); }
void Form1_mListTrack_Click(App& app) { clickMode(app, app.form1().mListTrack); }
void Form1_mRandam_Click(App& app) { clickMode(app, app.form1().mRandam); }

void Form1_mUptoDown_Click(App& app) { chooseDirection(app.form1().mUptoDown, app.form1().mDowntoUp); }
void Form1_mDowntoUp_Click(App& app) { chooseDirection(app.form1().mDowntoUp, app.form1().mUptoDown); }

void Form1_mFadeIn_Click(App& app) {
  Form1& f = app.form1();
  app.vbmp3.setFadeIn(toggleFade(f.mFadeIn, f.Image6) ? VBMP3_FADE_ON : VBMP3_FADE_OFF);
}

void Form1_mFadeOut_Click(App& app) {
  Form1& f = app.form1();
  app.vbmp3.setFadeOut(toggleFade(f.mFadeOut, f.Image7) ? VBMP3_FADE_ON : VBMP3_FADE_OFF);
}

void mPlayMode(App& app) {
  Form1& f = app.form1();
  int checked = 0;
  for (auto [mode, picture] : modes(f)) {
    if (!mode->isChecked()) continue;
    ++checked;
    for (auto [other, otherPicture] : modes(f)) otherPicture->setVisible(other == mode);
  }
  if (checked <= 1) return;
  for (auto [mode, picture] : modes(f)) {
    mode->setChecked(false);
    picture->hide();
  }
}

void mListMode(App& app) {
  Form1& f = app.form1();
  if (!f.mUptoDown->isChecked() || !f.mDowntoUp->isChecked()) return;
  f.mUptoDown->setChecked(false);
  f.mDowntoUp->setChecked(false);
}
