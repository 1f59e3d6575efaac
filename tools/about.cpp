#include "tools/about.h"

#include "core/app.h"
#include "core/platform.h"
#include "core/vbmp3binding.h"
#include "kestrune_version.h"
#include "ui/form1.h"
#include "ui/form6.h"
#include "ui/shellcommands.h"

QString ProgramVersionCaption() {
  return QStringLiteral("Kestrune - %1.%2").arg(kProgramVersionMajor).arg(kProgramVersionMinor);
}

QString UserNameShown(const QString& name) {
  qsizetype end = name.size();
  while (end > 0 && (name[end - 1] == QChar(0) || name[end - 1].isSpace())) --end;
  return name.left(end);
}

void Form6_Form_Load(App& app) {
  Form6& form = app.form6();
  form.Label4->setText(UserNameShown(app.platform.userName()));
  form.Label6->setText(QStringLiteral("VBMP3 - ") + QString::number(app.vbmp3.getVersion()));
  form.Label1->setText(ProgramVersionCaption());
  form.Label5->setText(kHomePageUrl);
}

void Form1_mAbout_Click(App& app) {
  Form6& form = app.form6();
  form.showInFront();
  app.form1().Label24->setText(QStringLiteral("1"));
}

void Form6_Label5_Click(App& app) { openHomePage(app); }

void Form6_Command1_Click(App& app) {
  app.form6().hide();
  app.form1().Label24->setText(QStringLiteral("0"));
}

void Form6_Form_QueryUnload(App& app) { Form6_Command1_Click(app); }
