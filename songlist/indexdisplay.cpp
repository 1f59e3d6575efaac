#include "songlist/indexdisplay.h"

#include <QAction>

#include "core/app.h"
#include "songlist/songlistwindow.h"
#include "ui/form1.h"
#include "ui/form2.h"

namespace {

QString hex(int value) { return QString::number(value, 16).toUpper(); }

// Counted from 0, after the selection of the paths.
QString hexPosition(App& app) {
  const ListBox* paths = app.form2().List2;
  const int selected = paths->selectedRow();
  return (selected < 0 ? QStringLiteral("0") : hex(selected)) + u'/' + hex(paths->count());
}

}  // namespace

void Form2_Label1_Change(App& app) {
  Form1& main = app.form1();
  main.Label11->setText(main.mListIndexHex->isChecked() ? hexPosition(app) : app.form2().Label1->text());
}

namespace {

// Checks the chosen numbering and shows the list position in it.
void showListIndexIn(App& app, bool hexadecimal) {
  Form1& main = app.form1();
  main.mListIndexHex->setChecked(hexadecimal);
  main.mListIndexDec->setChecked(!hexadecimal);
  app.form2().Label1->setText(positionText(app));
  main.Label11->setText(hexadecimal ? hexPosition(app) : positionText(app));
}

}  // namespace

void Form1_mListIndexDec_Click(App& app) { showListIndexIn(app, false); }

void Form1_mListIndexHex_Click(App& app) { showListIndexIn(app, true); }
