#include "tools/tageditor.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QStringList>
#include <cstring>

#include "core/app.h"
#include "core/platform.h"
#include "core/textcodec.h"
#include "core/vbmp3binding.h"
#include "ui/form1.h"
#include "ui/form5.h"

namespace {

constexpr int kGenreCount = 256;
constexpr qsizetype kYearCharacters = 5;

QString currentPath(App& app) { return TrimSpaces(app.form1().Text1->text()); }

// "000 - name" for 0..255, entry index = genre number. The library's names never change while
// it runs, so the list is built at the first call only.
void fillGenreList(App& app, Form5& editor) {
  QComboBox* list = editor.Combo1;
  if (list->count() == kGenreCount) return;
  QStringList entries;
  entries.reserve(kGenreCount);
  for (int n = 0; n < kGenreCount; ++n) {
    GenreInfo genre{};
    genre.genre = n;
    app.vbmp3.getGenre(genre);
    entries << QString("%1 - %2").arg(n, 3, 10, QChar('0')).arg(TrimSpaces(CutAtNul(genre.genreName)));
  }
  list->clear();
  list->addItems(entries);
}

// The boxes from `tag`, or emptied with no genre selected when there is none.
void showTag(Form5& editor, const TagInfo* tag) {
  editor.Text1->setText(tag ? CutAtNul(tag->title) : QString());
  editor.Text2->setText(tag ? CutAtNul(tag->artist) : QString());
  editor.Text3->setText(tag ? CutAtNul(tag->album) : QString());
  editor.Text4->setText(tag ? CutAtNul(tag->year) : QString());
  editor.Text5->setText(tag ? CutAtNul(tag->comment) : QString());
  const bool known = tag && tag->genre >= 0 && tag->genre < kGenreCount;
  editor.Combo1->setCurrentIndex(known ? tag->genre : -1);
}

// `text`'s first `characters` characters as UTF-8 in a field of N bytes, shortened by whole
// characters until it fits, then padded with blanks (no NUL).
template <std::size_t N>
void putField(char (&field)[N], const QString& text, qsizetype characters = N) {
  QByteArray bytes;
  for (const uint codePoint : text.toUcs4()) {
    const char32_t c = codePoint;
    const QByteArray one = QString::fromUcs4(&c, 1).toUtf8();
    if (characters-- == 0 || static_cast<std::size_t>(bytes.size() + one.size()) > N) break;
    bytes += one;
  }
  std::memset(field, ' ', N);
  std::memcpy(field, bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

enum class TagTarget { Mp3, NotMp3, Unreadable };

// What the editor can do with a file whose tag the library did not read: an MP3 (as its
// extension says) gets a new tag; anything else it cannot tag.
TagTarget targetKind(const QString& path) {
  QFile file(path);
  if (path.isEmpty() || !QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
    return TagTarget::Unreadable;
  return QFileInfo(path).suffix().compare("mp3", Qt::CaseInsensitive) == 0 ? TagTarget::Mp3
                                                                           : TagTarget::NotMp3;
}

void closeEditor(App& app) {
  app.form1().Label18->setText("0");
  app.form5().hide();
}

}  // namespace

bool ReadTagInfo(App& app) {
  Form5& editor = app.form5();
  fillGenreList(app, editor);
  TagInfo tag{};
  const bool read = app.vbmp3.getFileTagInfoEX(currentPath(app), tag) != 0;
  showTag(editor, read ? &tag : nullptr);
  return read;
}

TagInfo TagRecordFromBoxes(const Form5& editor) {
  TagInfo tag{};
  putField(tag.title, editor.Text1->text());
  putField(tag.artist, editor.Text2->text());
  putField(tag.album, editor.Text3->text());
  putField(tag.year, editor.Text4->text(), kYearCharacters);
  putField(tag.comment, editor.Text5->text());
  tag.genre = editor.Combo1->currentIndex();
  return tag;
}

void Form1_mTagEdit_Click(App& app) {
  if (!ReadTagInfo(app)) {
    switch (targetKind(currentPath(app))) {
      case TagTarget::Unreadable:
        app.platform.messageBox(&app.form1(), kTagUnreadableMessage, kProgramTitle);
        return;
      case TagTarget::NotMp3:
        app.platform.messageBox(&app.form1(), kTagNotMp3Message, kProgramTitle);
        return;
      case TagTarget::Mp3:
        break;  // opens empty, ready for a first tag
    }
  }
  app.form5().show();
  app.form5().raise();
  app.form1().Label18->setText("1");
}

void Form1_mPTag_Click(App& app) {
  QAction* item = app.form1().mPTag;
  item->setChecked(!item->isChecked());
}

void Form5_Form_Load(App& app) { ReadTagInfo(app); }

void Form5_Command1_Click(App& app) {
  Form5& editor = app.form5();
  if (app.vbmp3.setTagInfoEX(currentPath(app), TagRecordFromBoxes(editor), 1, 1) == 0) {
    app.platform.messageBox(&editor, kTagWriteFailedMessage, kProgramTitle);
    return;
  }
  closeEditor(app);
  Form5_Command2_Click(app);
}

void Form5_Command2_Click(App& app) {
  Form5& editor = app.form5();
  for (QLineEdit* box : {editor.Text1, editor.Text2, editor.Text3, editor.Text4, editor.Text5, editor.Text6})
    box->clear();
  editor.Combo1->setCurrentIndex(0);
}

void Form5_Command3_Click(App& app) { closeEditor(app); }

void Form5_Command4_Click(App& app) {
  const QString title = app.form1().Label13->text();
  if (title != kProgramTitle) app.form5().Text1->setText(title);
}

void Form5_Form_QueryUnload(App& app) { closeEditor(app); }
