#include "ui/form4.h"

#include "core/app.h"
#include "tools/equalizer.h"
#include "ui/form1.h"
#include "ui/procedure.h"

Form4::Form4(App& app) : SecondaryWindow(&app.form1()), app_(app) {
  setupUi(this);
  VScroll1 = {VScroll1_0, VScroll1_1, VScroll1_2, VScroll1_3, VScroll1_4,
              VScroll1_5, VScroll1_6, VScroll1_7, VScroll1_8, VScroll1_9};
  Label1 = {Label1_0, Label1_1, Label1_2, Label1_3, Label1_4,
            Label1_5, Label1_6, Label1_7, Label1_8, Label1_9};
  connectProcedures();
}

void Form4::load() { Form4_Form_Load(app_); }

// ---- Event procedures of this window -----------------------------------------------------
void Form4::connectProcedures() {
  for (int band = 0; band < int(VScroll1.size()); ++band)
    connect(VScroll1[band], &QScrollBar::valueChanged, this,
            [this, band] { Form4_VScroll1_Change(app_, band); });
  connect(Combo1, &QComboBox::currentIndexChanged, this, runs(app_, Form4_Combo1_Click));
  connect(Text1, &QLineEdit::textChanged, this, runs(app_, Form4_Text1_Change));
  connect(Command1, &QPushButton::clicked, this, runs(app_, Form4_Command1_Click));
  connect(Command2, &QPushButton::clicked, this, runs(app_, Form4_Command2_Click));
  connect(Command3, &QPushButton::clicked, this, runs(app_, Form4_Command3_Click));
  connect(Command4, &QPushButton::clicked, this, runs(app_, Form4_Command4_Click));
  connect(this, &SecondaryWindow::closeBoxPressed, this, runs(app_, Form4_Form_QueryUnload));
}
