#include "ui/form4.h"

#include "core/app.h"
#include "ui/form1.h"
#include "ui/procedure.h"

Form4::Form4(App& app) : SecondaryWindow(&app.form1()), app_(app) {
  setupUi(this);
  VScroll1 = {VScroll1_0, VScroll1_1, VScroll1_2, VScroll1_3, VScroll1_4,
              VScroll1_5, VScroll1_6, VScroll1_7, VScroll1_8, VScroll1_9};
  connectProcedures();
}

// ---- Event procedures of this window -----------------------------------------------------
// One line per control event, e.g.
//   connect(Command1, &QPushButton::clicked, this, runs(app_, Form4_Command1_Click));
//   connect(this, &SecondaryWindow::closeBoxPressed, this, runs(app_, Form4_Form_QueryUnload));
void Form4::connectProcedures() {}
