#include "songlist/search.h"

#include <QComboBox>
#include <QRadioButton>

#include "core/app.h"
#include "songlist/songlistwindow.h"
#include "ui/form2.h"

int findTitle(const QStringList& titles, const QString& text, int after, bool wholeTitle) {
  const int count = static_cast<int>(titles.size());
  if (after < -1 || after >= count) after = -1;
  for (int step = 1; step <= count; ++step) {
    const int row = (after + step) % count;
    const QString& title = titles[row];
    const bool found = wholeTitle ? title.compare(text, Qt::CaseInsensitive) == 0
                                  : title.startsWith(text, Qt::CaseInsensitive);
    if (found) return row;
  }
  return -1;
}

void Form2_Command9_Click(App& app) {
  Form2& form = app.form2();
  const int found = findTitle(form.List1->texts(), form.Combo2->currentText(), selectedEntry(app),
                              form.Option2->isChecked());
  selectEntry(app, found);
}

void Form1_mListSearchFormat_Click(App& app) { app.form2().Combo2->setEditText(QString()); }
