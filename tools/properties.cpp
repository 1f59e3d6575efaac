#include "tools/properties.h"

#include "core/app.h"
#include "core/settings.h"
#include "songlist/genres.h"
#include "ui/form1.h"
#include "ui/form3.h"

namespace {

void leaveDialog(App& app) {
  app.form3().hide();
  app.form1().Label23->setText(QStringLiteral("0"));
}

}  // namespace

void Form3_Command3_Click(App& app) {
  SaveSettings(app);
  SaveGenres(app);
  leaveDialog(app);
}

void Form3_Command4_Click(App& app) { leaveDialog(app); }

void Form3_Form_QueryUnload(App& app) { leaveDialog(app); }
