#include "ui/form6.h"

#include "core/app.h"
#include "tools/about.h"
#include "ui/form1.h"
#include "ui/procedure.h"

Form6::Form6(App& app) : SecondaryWindow(&app.form1()), app_(app) {
  setupUi(this);
  connectProcedures();
}

void Form6::load() { Form6_Form_Load(app_); }

// ---- Event procedures of this window -----------------------------------------------------
void Form6::connectProcedures() {
  connect(Label5, &ChangeLabel::clicked, this, runs(app_, Form6_Label5_Click));
  connect(Command1, &QPushButton::clicked, this, runs(app_, Form6_Command1_Click));
  connect(this, &SecondaryWindow::closeBoxPressed, this, runs(app_, Form6_Form_QueryUnload));
}
