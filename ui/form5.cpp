#include "ui/form5.h"

#include "core/app.h"
#include "ui/form1.h"

Form5::Form5(App& app) : SecondaryWindow(&app.form1()) { setupUi(this); }
