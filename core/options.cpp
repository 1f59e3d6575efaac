#include "core/options.h"

#include <QAction>

#include "core/app.h"
#include "ui/controls.h"
#include "ui/form1.h"
#include "ui/form3.h"

namespace {

void menuFollowsBox(QAction* item, const QCheckBox* box) { item->setChecked(checkValue(box) != 0); }

// A menu click toggles the item's own mark; the box becomes 1 when now checked, 0 when not.
void toggleWithBox(QAction* item, QCheckBox* box) {
  item->setChecked(!item->isChecked());
  setCheckValue(box, item->isChecked() ? 1 : 0);
}

}  // namespace

void Form3_Check1_Click(App& app) { menuFollowsBox(app.form1().mNotRandomEroor, app.form3().Check1); }
void Form3_Check3_Click(App& app) { menuFollowsBox(app.form1().KPlay, app.form3().Check3); }
void Form3_Check4_Click(App& app) { menuFollowsBox(app.form1().mAuotPlay, app.form3().Check4); }
void Form3_Check6_Click(App& app) { menuFollowsBox(app.form1().mFastPlay, app.form3().Check6); }
void Form3_Check9_Click(App& app) { menuFollowsBox(app.form1().mSmallTask, app.form3().Check9); }

void Form1_mNotRandomEroor_Click(App& app) { toggleWithBox(app.form1().mNotRandomEroor, app.form3().Check1); }
void Form1_KPlay_Click(App& app) { toggleWithBox(app.form1().KPlay, app.form3().Check3); }
void Form1_mAuotPlay_Click(App& app) { toggleWithBox(app.form1().mAuotPlay, app.form3().Check4); }
void Form1_mFastPlay_Click(App& app) { toggleWithBox(app.form1().mFastPlay, app.form3().Check6); }
void Form1_mSmallTask_Click(App& app) { toggleWithBox(app.form1().mSmallTask, app.form3().Check9); }
