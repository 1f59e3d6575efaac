#include "songlist/listplay.h"

#include <QAction>
#include <QComboBox>

#include "core/app.h"
#include "core/vbmp3binding.h"
#include "playback/load.h"
#include "songlist/songlistwindow.h"
#include "ui/form1.h"
#include "ui/form2.h"
#include "ui/form5.h"

void Form2_Command4_Click(App& app) {
  Form2& form = app.form2();
  const int index = selectedEntry(app);
  if (index < 0) return;  // the button is disabled without a selection
  const QString path = form.List2->text(index);
  app.vbmp3.stop();
  saveList(app, form.Combo1->currentIndex());
  if (!LoadAndShowTrack(app, path, LoadOptions::fromSongList())) return;
  form.hide();
  if (app.form1().mPTag->isChecked()) app.form5().show();
}
