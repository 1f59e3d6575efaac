#include "ui/waveform.h"

#include <QAction>

#include "core/app.h"
#include "core/vbmp3binding.h"
#include "ui/form1.h"
#include "ui/wavearea.h"

namespace {

void chooseColour(App& app, QAction* chosen, const QColor& colour) {
  Form1& f = app.form1();
  for (QAction* item : {f.mBlack, f.mRed, f.mBlue, f.mGreen}) item->setChecked(item == chosen);
  f.Picture3->setForeColor(colour);
}

}  // namespace

void Form1_Timer2_Timer(App& app) {
  Form1& f = app.form1();
  WaveBuffer left{}, right{};
  app.vbmp3.getWave(left, right);
  // While the title line moves, the picture is painted with its next step: one paint a
  // step instead of two.
  f.Picture3->showPicture(wavePoints(left, right, f.Picture4->contentsRect().width(), f.Picture3->height()),
                          f.Timer4->isActive());
}

void Form1_mBlack_Click(App& app) { chooseColour(app, app.form1().mBlack, QColor(0, 0, 0)); }
void Form1_mRed_Click(App& app) { chooseColour(app, app.form1().mRed, QColor(255, 0, 0)); }
void Form1_mBlue_Click(App& app) { chooseColour(app, app.form1().mBlue, QColor(0, 0, 255)); }
void Form1_mGreen_Click(App& app) { chooseColour(app, app.form1().mGreen, QColor(0, 255, 0)); }
