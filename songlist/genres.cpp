#include "songlist/genres.h"

#include <QComboBox>
#include <QFile>
#include <QSignalBlocker>
#include <cstdio>

#include "core/app.h"
#include "core/platform.h"
#include "songlist/listfile.h"
#include "songlist/songlistwindow.h"
#include "ui/form2.h"
#include "ui/form3.h"

namespace {

// A genre's number is its position, so when genre k goes, the lists of the genres after
// it move down one number with them: List<k+1>.dat becomes List<k>.dat, and so on.
void renumberListFiles(App& app, int deleted, int lastGenre) {
  for (int genre = deleted + 1; genre <= lastGenre; ++genre) {
    const QString from = app.file(listFileName(genre));
    const QString to = app.file(listFileName(genre - 1));
    if (QFile::exists(from))
      std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData());
  }
}

// Takes genre k out of Part.dat at once, so the stored names stay in step with the
// renumbered list files even when the dialog is left with "Calsel".
void removeStoredGenre(App& app, int genre) {
  const QString path = app.file(kGenreFile);
  FieldPairs names = readListFile(path);
  if (genre > names.first.size()) return;
  names.first.removeAt(genre - 1);
  names.second.removeAt(genre - 1);
  if (writeListFile(path, names) != WriteStatus::Ok) reportNotWritable(app, &app.form3(), kGenreFile);
}

}  // namespace

void showGenre(App& app, int genre) {
  Form2& form = app.form2();
  const QString path = app.file(listFileName(genre));
  ensureExists(path);
  const FieldPairs list = readListFile(path);
  for (ListBox* view : {form.List1, form.List2}) {
    const QSignalBlocker quiet(view);
    view->clear();
  }
  appendEntries(app, list.first, list.second);
  form.Text1->setText(form.Combo1->itemText(genre));
  form.Label7->setText(QString::number(genre));
  selectEntry(app, -1);
  form.Label9->setText(kNoPathText);
}

bool SaveGenres(App& app) {
  const QComboBox* properties = app.form3().Combo3;
  const QComboBox* songList = app.form2().Combo1;
  FieldPairs names;
  for (int genre = 1; genre < properties->count() && genre < songList->count(); ++genre) {
    names.first.append(properties->itemText(genre));
    names.second.append(songList->itemText(genre));
  }
  if (writeListFile(app.file(kGenreFile), names) == WriteStatus::Ok) return true;
  reportNotWritable(app, &app.form3(), kGenreFile);
  return false;
}

void Form2_Combo1_Click(App& app) {
  Form2& form = app.form2();
  const int genre = form.Combo1->currentIndex();
  if (genre < 0) return;
  saveListReporting(app, form.Label7->text().toInt());
  showGenre(app, genre);
}

void Form3_Text3_Change(App& app) {
  Form3& form = app.form3();
  form.Command5->setEnabled(!form.Text3->text().isEmpty());
}

void Form3_Combo3_Click(App& app) {
  Form3& form = app.form3();
  form.Command6->setEnabled(form.Combo3->currentText() != kAllGenres);
}

void Form3_Command5_Click(App& app) {
  Form3& form = app.form3();
  const QString name = form.Text3->text();
  if (name.isEmpty()) return;
  form.Combo3->addItem(name);
  app.form2().Combo1->addItem(name);
  form.Text3->clear();
}

void Form3_Command6_Click(App& app) {
  Form3& properties = app.form3();
  Form2& songList = app.form2();
  const int genre = properties.Combo3->currentIndex();
  if (genre < 1 || genre >= songList.Combo1->count()) return;
  const QString question =
      QStringLiteral(
          "　　ジャンル[%1]を削除します。\r\n同時に対応ジャンルのSong Listも削除されます。\r\n"
          "宜しいですか？")
          .arg(properties.Combo3->itemText(genre));
  if (app.platform.messageBox(&properties, question, QStringLiteral("ジャンル 削除の確認"),
                              MessageButtons::YesNo, MessageIcon::Question) != MessageResult::Yes)
    return;

  // Showing the genre first saves the list shown until now to its own file.
  songList.Combo1->setCurrentIndex(genre);
  app.platform.deleteFile(app.file(listFileName(genre)));
  renumberListFiles(app, genre, songList.Combo1->count() - 1);
  removeStoredGenre(app, genre);

  for (QComboBox* selector : {properties.Combo3, songList.Combo1}) {
    const QSignalBlocker quiet(selector);
    selector->removeItem(genre);
    selector->setCurrentIndex(0);
  }
  Form3_Combo3_Click(app);
  showGenre(app, 0);
}
