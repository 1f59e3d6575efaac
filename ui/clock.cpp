#include "ui/clock.h"

#include <QDateTime>

#include "core/app.h"
#include "ui/form1.h"

void Form1_Timer3_Timer(App& app) {
  Form1& form = app.form1();
  const qint64 second = QDateTime::currentSecsSinceEpoch();
  if (second == form.clockShownSecond) return;
  form.clockShownSecond = second;
  const QDateTime now = QDateTime::fromSecsSinceEpoch(second);
  form.Label5->setText(now.toString("yyyy/MM/dd"));
  form.Label6->setText(now.toString("HH:mm:ss"));
}
