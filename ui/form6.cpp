#include "ui/form6.h"

#include "core/app.h"
#include "ui/form1.h"

Form6::Form6(App& app) : SecondaryWindow(&app.form1()) { setupUi(this); }
