#include "tools/properties.h"

#include "core/app.h"
#include "core/platform.h"
#include "core/settings.h"
#include "playback/load.h"
#include "songlist/genres.h"
#include "ui/form1.h"
#include "ui/form3.h"

namespace {

void leaveDialog(App& app) {
  app.form3().hide();
  app.form1().Label23->setText(QStringLiteral("0"));
}

}  // namespace

QString ChooseSoundFile(App& app, QWidget* owner) {
  const QString folder = app.form3().Text1->text();
  return app.platform.openFileName(owner, QStringLiteral("開く"), kSoundFileFilter,
                                   folder.isEmpty() ? app.dataFolder() : folder);
}

void Form1_mPropaty_Click(App& app) {
  Form3& form = app.form3();
  form.showInFront();
  app.form1().Label23->setText(QStringLiteral("1"));
}

void Form3_Command1_Click(App& app) {
  Form3& form = app.form3();
  const QString folder =
      app.platform.browseFolder(&form, QStringLiteral("初期表示ディレクトリを選択してください。"));
  if (!folder.isEmpty()) form.Text1->setText(folder);
}

void Form3_Command7_Click(App& app) { app.form3().Text1->clear(); }

void Form3_Command2_Click(App& app) {
  Form3& form = app.form3();
  const QString song = ChooseSoundFile(app, &form);
  if (!song.isEmpty()) form.Text2->setText(song);
}

void Form3_Command8_Click(App& app) { app.form3().Text2->clear(); }

void Form3_Command3_Click(App& app) {
  const bool settingsSaved = SaveSettings(app);
  const bool genresSaved = SaveGenres(app);
  if (settingsSaved && genresSaved) leaveDialog(app);
}

void Form3_Command4_Click(App& app) { leaveDialog(app); }

void Form3_Form_QueryUnload(App& app) { leaveDialog(app); }
