#include "ui/form5.h"

#include "core/app.h"
#include "tools/tageditor.h"
#include "ui/form1.h"
#include "ui/procedure.h"

Form5::Form5(App& app) : SecondaryWindow(&app.form1()), app_(app) {
  setupUi(this);
  connectProcedures();
}

void Form5::load() { Form5_Form_Load(app_); }

// ---- Event procedures of this window -----------------------------------------------------
void Form5::connectProcedures() {
  connect(Command1, &QPushButton::clicked, this, runs(app_, Form5_Command1_Click));
  connect(Command2, &QPushButton::clicked, this, runs(app_, Form5_Command2_Click));
  connect(Command3, &QPushButton::clicked, this, runs(app_, Form5_Command3_Click));
  connect(Command4, &QPushButton::clicked, this, runs(app_, Form5_Command4_Click));
  connect(this, &SecondaryWindow::closeBoxPressed, this, runs(app_, Form5_Form_QueryUnload));
}
