#include "ui/clock.h"

#include <QDateTime>

#include "core/app.h"
#include "ui/form1.h"

int msToNextSecond(qint64 msSinceEpoch) {
  // A millisecond past the turn, so that a tick never lands just before it.
  return int(1000 - (msSinceEpoch % 1000 + 1000) % 1000) + 1;
}

void Form1_Timer3_Timer(App& app) {
  Form1& form = app.form1();
  const qint64 nowMs = QDateTime::currentMSecsSinceEpoch();
  const qint64 second = nowMs / 1000;
  form.Timer3->setInterval(msToNextSecond(nowMs));
  if (second == form.clockShownSecond) return;
  form.clockShownSecond = second;
  const QDateTime now = QDateTime::fromSecsSinceEpoch(second);
  form.Label5->setText(now.toString("yyyy/MM/dd"));
  form.Label6->setText(now.toString("HH:mm:ss"));
}
