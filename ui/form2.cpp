#include "ui/form2.h"

#include "core/app.h"
#include "ui/form1.h"
#include "ui/procedure.h"

Form2::Form2(App& app) : SecondaryWindow(&app.form1()), app_(app) {
  setupUi(this);
  connectProcedures();
}

// ---- Event procedures of this window -----------------------------------------------------
// One line per control event, e.g.
//   connect(Command1, &QPushButton::clicked, this, runs(app_, Form2_Command1_Click));
//   connect(this, &SecondaryWindow::closeBoxPressed, this, runs(app_, Form2_Form_QueryUnload));
void Form2::connectProcedures() {}
