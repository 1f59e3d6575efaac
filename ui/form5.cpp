#include "ui/form5.h"

#include "core/app.h"
#include "ui/form1.h"
#include "ui/procedure.h"

Form5::Form5(App& app) : SecondaryWindow(&app.form1()), app_(app) {
  setupUi(this);
  connectProcedures();
}

// ---- Event procedures of this window -----------------------------------------------------
// One line per control event, e.g.
//   connect(Command1, &QPushButton::clicked, this, runs(app_, Form5_Command1_Click));
//   connect(this, &SecondaryWindow::closeBoxPressed, this, runs(app_, Form5_Form_QueryUnload));
void Form5::connectProcedures() {}
