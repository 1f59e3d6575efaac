#include "ui/clock.h"

#include <QDateTime>

#include "core/app.h"
#include "ui/form1.h"

void Form1_Timer3_Timer(App& app) {
  const QDateTime now = QDateTime::currentDateTime();
  app.form1().Label5->setText(now.toString("yyyy/MM/dd"));
  app.form1().Label6->setText(now.toString("HH:mm:ss"));
}
