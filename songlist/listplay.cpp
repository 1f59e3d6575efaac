#include "songlist/listplay.h"

#include <QAction>
#include <QComboBox>
#include <QListWidget>

#include "core/app.h"
#include "core/decoder.h"
#include "playback/load.h"
#include "songlist/songlistwindow.h"
#include "ui/form1.h"
#include "ui/form2.h"
#include "ui/form5.h"

void Form2_Command4_Click(App& app) {
  Form2& form = app.form2();
  const QListWidgetItem* path = form.List2->item(selectedEntry(app));
  if (!path) return;  // the button is disabled without a selection
  app.vbmp3.stop();
  saveList(app, form.Combo1->currentIndex());
  if (!LoadAndShowTrack(app, path->text(), LoadOptions::fromSongList())) return;
  form.hide();
  if (app.form1().mPTag->isChecked()) app.form5().show();
}
