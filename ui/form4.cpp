#include "ui/form4.h"

#include "core/app.h"
#include "ui/form1.h"

Form4::Form4(App& app) : SecondaryWindow(&app.form1()) {
  setupUi(this);
  VScroll1 = {VScroll1_0, VScroll1_1, VScroll1_2, VScroll1_3, VScroll1_4,
              VScroll1_5, VScroll1_6, VScroll1_7, VScroll1_8, VScroll1_9};
}
