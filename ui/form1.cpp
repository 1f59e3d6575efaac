#include "ui/form1.h"

#include <QCloseEvent>

#include "core/app.h"
#include "ui/procedure.h"

Form1::Form1(App& app) : app_(app) {
  setupUi(this);
  Timer1 = makeTimer("Timer1", 100, true);
  Timer2 = makeTimer("Timer2", 10, true);
  Timer3 = makeTimer("Timer3", 10, false);
  Timer4 = makeTimer("Timer4", 30, false);
  Timer5 = makeTimer("Timer5", 700, false);
  Timer6 = makeTimer("Timer6", 30, false);
  connectProcedures();
}

QTimer* Form1::makeTimer(const char* name, int intervalMs, bool enabled) {
  auto* timer = new QTimer(this);
  timer->setObjectName(name);
  timer->setInterval(intervalMs);
  if (enabled) timer->start();
  return timer;
}

void Form1::closeEvent(QCloseEvent* event) {
  if (onClose) onClose();
  event->accept();
}

// ---- Event procedures of the main window -------------------------------------------------
// One line per control event, e.g.
//   connect(Command1, &QPushButton::clicked, this, runs(app_, Form1_Command1_Click));
//   connect(Label1, &ChangeLabel::changed, this, runs(app_, Form1_Label1_Change));
//   connect(Timer1, &QTimer::timeout, this, runs(app_, Form1_Timer1_Timer));
//   connectMenuItem(app_, mRepeat, Form1_mRepeat_Click);
void Form1::connectProcedures() {}
