#include "songlist/songlistwindow.h"

#include <QMimeData>
#include <QSignalBlocker>
#include <QUrl>

#include "core/app.h"
#include "core/platform.h"
#include "songlist/listfile.h"
#include "tools/properties.h"
#include "ui/form1.h"
#include "ui/form2.h"

namespace {

void setSelectedRowQuietly(ListBox* list, int row) {
  const QSignalBlocker quiet(list);
  list->setSelectedRow(row);
}

void showFullListMessage(App& app) {
  app.platform.messageBox(&app.form2(),
                          QStringLiteral("Song Listに登録できるのは%1曲までです。\r\n"
                                         "これ以上は追加できません。")
                              .arg(kMaxListEntries),
                          kProgramTitle);
}

// Takes entry `from` out of the list and puts it back at `to`, then selects it there.
void moveEntry(App& app, int from, int to) {
  Form2& form = app.form2();
  for (ListBox* list : {form.List1, form.List2}) {
    const QSignalBlocker quiet(list);
    list->moveRow(from, to);
  }
  selectEntry(app, to);
}

bool isMp3Name(const QString& name) {
  const qsizetype dot = name.lastIndexOf(u'.');
  return dot >= 0 && QStringView(name).mid(dot + 1) == u"mp3";
}

}  // namespace

QString titleOfPath(const QString& path) {
  const QString name = path.mid(path.lastIndexOf(u'/') + 1);
  const qsizetype dot = name.lastIndexOf(u'.');
  return dot < 0 ? name : name.left(dot);
}

int selectedEntry(App& app) { return app.form2().List1->selectedRow(); }

int entryCount(App& app) { return app.form2().List1->count(); }

void selectEntry(App& app, int index) {
  setSelectedRowQuietly(app.form2().List1, index);
  Form2_List1_Click(app);
}

bool appendEntries(App& app, const QStringList& titles, const QStringList& paths) {
  Form2& form = app.form2();
  const qsizetype room = std::max(0, kMaxListEntries - form.List1->count());
  const qsizetype taken = std::min({room, titles.size(), paths.size()});
  if (taken > 0) {
    for (auto [list, texts] : {std::pair{form.List1, &titles}, std::pair{form.List2, &paths}}) {
      const QSignalBlocker quiet(list);
      list->addItems(texts->mid(0, taken));
    }
  }
  showPosition(app);
  if (taken < titles.size()) {
    showFullListMessage(app);
    return false;
  }
  return true;
}

bool appendEntry(App& app, const QString& path) { return appendEntries(app, {titleOfPath(path)}, {path}); }

QString positionText(App& app) {
  return QStringLiteral("%1/%2").arg(selectedEntry(app) + 1).arg(entryCount(app));
}

void showPosition(App& app) {
  Form2& form = app.form2();
  form.Label1->setText(positionText(app));
  form.Label2->setText(QString::number(entryCount(app)));
}

bool saveList(App& app, int genre) {
  Form2& form = app.form2();
  return writeListFile(app.file(listFileName(genre)), {form.List1->texts(), form.List2->texts()}) ==
         WriteStatus::Ok;
}

bool saveListReporting(App& app, int genre) {
  if (saveList(app, genre)) return true;
  reportNotWritable(app, &app.form2(), listFileName(genre));
  return false;
}

void reportNotWritable(App& app, QWidget* owner, const QString& fileName) {
  app.platform.messageBox(
      owner,
      QStringLiteral("[%1]に書き込めません。\r\n読み取り専用になっている可能性があります。").arg(fileName),
      kProgramTitle);
}

void ShowSongList(App& app) { app.form2().exec(); }

void Form1_mSongList_Click(App& app) { ShowSongList(app); }

void Form2_List1_Click(App& app) {
  Form2& form = app.form2();
  const int index = selectedEntry(app);
  // The paths follow first: everything below, and the position display's change, reads them.
  setSelectedRowQuietly(form.List2, index);
  form.Label1->setText(positionText(app));
  form.Command4->setEnabled(index != -1);
  form.Label2->setText(QString::number(entryCount(app)));
  form.Label9->setText(form.List2->text(index));
}

void Form2_List1_DblClick(App& app) {
  Form2& form = app.form2();
  const int index = selectedEntry(app);
  if (index < 0) return;
  const QString title = form.List1->text(index);
  app.platform.setClipboardText(title);
  form.Label9->setText(QStringLiteral("【%1】をクリップボードにコピーしました。").arg(title));
}

void Form2_Command1_Click(App& app) {
  Form2& form = app.form2();
  const QString path = ChooseSoundFile(app, &form);
  if (path.isEmpty()) return;  // cancelled
  appendEntry(app, path);
}

void Form2_Command8_Click(App& app) {
  Form2& form = app.form2();
  const QString folder =
      app.platform.browseFolder(&form, QStringLiteral("一括でリストに追加するフォルダを選択してください。"));
  if (folder.isEmpty()) return;  // cancelled
  form.Text2->setText(folder);
  const QString prefix = folder.endsWith(u'/') ? folder : folder + u'/';
  QStringList titles, paths;
  for (const QString& name : app.platform.listFiles(folder)) {
    if (!isMp3Name(name)) continue;
    titles.append(titleOfPath(name));
    paths.append(prefix + name);
  }
  appendEntries(app, titles, paths);
}

void Form2_Command2_Click(App& app) {
  Form2& form = app.form2();
  const int index = selectedEntry(app);
  if (index < 0) return;  // any selected entry goes, an empty title too
  for (ListBox* list : {form.List1, form.List2}) {
    const QSignalBlocker quiet(list);
    list->removeRow(index);
  }
  selectEntry(app, -1);
  form.Label9->setText(kNoPathText);
}

void Form2_Command3_Click(App& app) {
  Form2& form = app.form2();
  const MessageResult answer = app.platform.messageBox(
      &form, QStringLiteral("Song Listをフォーマットします,宜しいですか？"),
      QStringLiteral("Song List Formatの確認"), MessageButtons::YesNo, MessageIcon::Question);
  if (answer != MessageResult::Yes) return;
  for (ListBox* list : {form.List1, form.List2}) {
    const QSignalBlocker quiet(list);
    list->clear();
  }
  selectEntry(app, -1);
  form.Label9->setText(kNoPathText);
  Form1& main = app.form1();
  main.setWindowTitle(kProgramTitle);
  main.Command4->setEnabled(false);
}

void Form2_Command5_Click(App& app) {
  const int index = selectedEntry(app);
  if (index >= 1) moveEntry(app, index, index - 1);
}

void Form2_Command6_Click(App& app) {
  const int index = selectedEntry(app);
  if (index >= 0 && index < entryCount(app) - 1) moveEntry(app, index, index + 1);
}

void Form2_Command7_Click(App& app) {
  Form2& form = app.form2();
  saveListReporting(app, form.Combo1->currentIndex());
  form.hide();
}

void Form2_List1_OLEDragDrop(App& app, const QMimeData& data) {
  const QList<QUrl> urls = data.urls();
  if (urls.isEmpty() || !urls.first().isLocalFile()) return;  // text or no file at all
  const QString path = urls.first().toLocalFile();
  static const QStringList kAudioEndings = {"mp3", "MP3", "wav", "WAV"};
  if (kAudioEndings.contains(path.right(3))) Kakunin(app, path);
}

void Kakunin(App& app, const QString& path) {
  if (appendEntry(app, path)) selectEntry(app, entryCount(app) - 1);
}

void Form1_mListAdd_Click(App& app) {
  Form1& main = app.form1();
  main.mListAdd->setEnabled(false);
  const QString path = main.Text1->text();
  if (!path.isEmpty()) appendEntry(app, path);
}
