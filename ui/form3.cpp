#include "ui/form3.h"

#include "core/app.h"
#include "core/options.h"
#include "songlist/genres.h"
#include "tools/properties.h"
#include "ui/form1.h"
#include "ui/procedure.h"

Form3::Form3(App& app) : SecondaryWindow(&app.form1()), app_(app) {
  setupUi(this);
  connectProcedures();
}

// ---- Event procedures of this window -----------------------------------------------------
void Form3::connectProcedures() {
  // The options mirrored by main-menu items; a change made by code is a click too.
  connect(Check1, &QCheckBox::stateChanged, this, runs(app_, Form3_Check1_Click));
  connect(Check3, &QCheckBox::stateChanged, this, runs(app_, Form3_Check3_Click));
  connect(Check4, &QCheckBox::stateChanged, this, runs(app_, Form3_Check4_Click));
  connect(Check6, &QCheckBox::stateChanged, this, runs(app_, Form3_Check6_Click));
  connect(Check9, &QCheckBox::stateChanged, this, runs(app_, Form3_Check9_Click));
  connect(Text3, &QLineEdit::textChanged, this, runs(app_, Form3_Text3_Change));
  connect(Combo3, &QComboBox::currentIndexChanged, this, runs(app_, Form3_Combo3_Click));
  connect(Command5, &QPushButton::clicked, this, runs(app_, Form3_Command5_Click));
  connect(Command6, &QPushButton::clicked, this, runs(app_, Form3_Command6_Click));
  connect(Command1, &QPushButton::clicked, this, runs(app_, Form3_Command1_Click));
  connect(Command7, &QPushButton::clicked, this, runs(app_, Form3_Command7_Click));
  connect(Command2, &QPushButton::clicked, this, runs(app_, Form3_Command2_Click));
  connect(Command8, &QPushButton::clicked, this, runs(app_, Form3_Command8_Click));
  connect(Command3, &QPushButton::clicked, this, runs(app_, Form3_Command3_Click));
  connect(Command4, &QPushButton::clicked, this, runs(app_, Form3_Command4_Click));
  connect(this, &SecondaryWindow::closeBoxPressed, this, runs(app_, Form3_Form_QueryUnload));
}
