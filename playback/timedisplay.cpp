#include "playback/timedisplay.h"

#include <QAction>

#include "core/app.h"
#include "ui/form1.h"

QString minutesSeconds(int32_t seconds) {
  seconds = std::max<int32_t>(seconds, 0);
  return QStringLiteral("%1:%2").arg(seconds / 60, 2, 10, QChar('0')).arg(seconds % 60, 2, 10, QChar('0'));
}

namespace {

void showPlayTime(Form1& f, bool remaining) {
  ChangeLabel* shown = remaining ? f.Label4 : f.Label1;
  ChangeLabel* hidden = remaining ? f.Label1 : f.Label4;
  hidden->hide();
  shown->show();
  shown->raise();
  f.mTimeUnNormal->setChecked(remaining);
  f.mTimeNormal->setChecked(!remaining);
}

void showTotal(Form1& f, bool inSeconds) {
  (inSeconds ? f.Label3 : f.Label22)->hide();
  (inSeconds ? f.Label22 : f.Label3)->show();
  f.mNornalSecTime->setChecked(inSeconds);
  f.mNormalMinSecTime->setChecked(!inSeconds);
}

}  // namespace

void Form1_Label1_Click(App& app) { showPlayTime(app.form1(), true); }
void Form1_mTimeUnNormal_Click(App& app) { showPlayTime(app.form1(), true); }
void Form1_Label4_Click(App& app) { showPlayTime(app.form1(), false); }
void Form1_mTimeNormal_Click(App& app) { showPlayTime(app.form1(), false); }
void Form1_Label3_Click(App& app) { showTotal(app.form1(), true); }
void Form1_mNornalSecTime_Click(App& app) { showTotal(app.form1(), true); }
void Form1_Label22_Click(App& app) { showTotal(app.form1(), false); }
void Form1_mNormalMinSecTime_Click(App& app) { showTotal(app.form1(), false); }

void Form1_Text3_Change(App& app) {
  Form1& f = app.form1();
  const QString total = f.Text3->text();
  f.Label22->setText(total.trimmed().toLongLong() > 999 ? total : "0" + total);
}
