#include "songlist/genres.h"

#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QSignalBlocker>
#include <cstdio>
#include <vector>

#include "core/app.h"
#include "core/platform.h"
#include "songlist/listfile.h"
#include "songlist/songlistwindow.h"
#include "ui/form2.h"
#include "ui/form3.h"

namespace {

bool renameFile(const QString& from, const QString& to) {
  return std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
}

// Deleting genre k, as one step that either happens whole or not at all: List<k>.dat is
// set aside, the lists of the genres after it move down one number with them (List<k+1>.dat
// becomes List<k>.dat, and so on), and Part.dat loses the name. When any of these fails,
// what was done is undone, so every genre keeps its own list; only then is the set-aside
// list removed.
class GenreDeletion {
 public:
  GenreDeletion(App& app, int genre) : app_(app), genre_(genre) {}

  bool run(int lastGenre) {
    if (!setAside() || !moveLaterListsDown(lastGenre) || !removeStoredName()) {
      undo();
      return false;
    }
    if (QFile::exists(aside_)) app_.platform.deleteFile(aside_);  // a list left behind is harmless
    return true;
  }

 private:
  QString list(int genre) const { return app_.file(listFileName(genre)); }

  bool setAside() {
    const QString path = list(genre_);
    if (!QFileInfo::exists(path) && !QFileInfo(path).isSymLink()) return true;  // never shown
    aside_ = path + QStringLiteral(".deleted");
    if (renameFile(path, aside_)) return true;
    aside_.clear();
    return reportFailure(listFileName(genre_));
  }

  bool moveLaterListsDown(int lastGenre) {
    for (int genre = genre_ + 1; genre <= lastGenre; ++genre) {
      if (!QFile::exists(list(genre))) continue;
      if (!renameFile(list(genre), list(genre - 1))) return reportFailure(listFileName(genre));
      moved_.push_back(genre);
    }
    return true;
  }

  // Takes the genre out of Part.dat at once, so the stored names stay in step with the
  // renumbered list files even when the dialog is left with "Calsel".
  bool removeStoredName() {
    const QString path = app_.file(kGenreFile);
    FieldPairs names = readListFile(path);
    if (genre_ > names.first.size()) return true;
    names.first.removeAt(genre_ - 1);
    names.second.removeAt(genre_ - 1);
    return writeListFile(path, names) == WriteStatus::Ok || reportFailure(kGenreFile);
  }

  void undo() {
    for (auto genre = moved_.rbegin(); genre != moved_.rend(); ++genre)
      renameFile(list(*genre - 1), list(*genre));
    if (!aside_.isEmpty()) renameFile(aside_, list(genre_));
  }

  bool reportFailure(const QString& fileName) {
    reportNotWritable(app_, &app_.form3(), fileName);
    return false;
  }

  App& app_;
  int genre_;
  QString aside_;           // where List<genre>.dat waits until the deletion is complete
  std::vector<int> moved_;  // genres whose list moved down one number, in order
};

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
  const int loaded = form.Label7->text().toInt();
  if (!saveListReporting(app, loaded)) {
    // The list stays on screen rather than being lost: the switch is called off.
    const QSignalBlocker quiet(form.Combo1);
    form.Combo1->setCurrentIndex(loaded);
    return;
  }
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

  // Showing the genre first saves the list shown until now to its own file; when that
  // cannot be written the switch, and with it the deletion, is called off.
  songList.Combo1->setCurrentIndex(genre);
  if (songList.Label7->text().toInt() != genre) return;
  if (!GenreDeletion(app, genre).run(songList.Combo1->count() - 1)) return;

  for (QComboBox* selector : {properties.Combo3, songList.Combo1}) {
    const QSignalBlocker quiet(selector);
    selector->removeItem(genre);
    selector->setCurrentIndex(0);
  }
  Form3_Combo3_Click(app);
  showGenre(app, 0);
}
