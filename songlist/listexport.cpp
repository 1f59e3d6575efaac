#include "songlist/listexport.h"

#include <QCheckBox>
#include <QFileInfo>

#include "core/app.h"
#include "core/atomicfile.h"
#include "core/platform.h"
#include "core/textcodec.h"
#include "songlist/songlistwindow.h"
#include "ui/form1.h"
#include "ui/form2.h"
#include "ui/form3.h"

QByteArray formatTitleExport(const QStringList& titles, bool numbered) {
  QString text;
  for (qsizetype k = 0; k < titles.size(); ++k) {
    if (numbered) text += QStringLiteral("%1").arg(k + 1, 3, 10, QChar(u'0'));
    text += titles[k] + QStringLiteral("\r\n");
  }
  return textcodec::encode(text);
}

QString exportPath(const QString& chosen) {
  const QString name = CutAtNul(chosen);
  return name.endsWith(QStringLiteral(".txt"), Qt::CaseInsensitive) ? name : name + QStringLiteral(".txt");
}

void Form1_mSongListTextSave_Click(App& app) {
  Form1& main = app.form1();
  const QString chosen = app.platform.saveFileName(&main, QStringLiteral("名前付けて保存"),
                                                   QStringLiteral("テキスト文章(*.txt)"), app.dataFolder());
  if (chosen.isEmpty()) return;  // cancelled
  const QString path = exportPath(chosen);
  // The dialog saw the chosen name; the question is about the file that is written.
  if (QFileInfo(path).isFile() &&
      app.platform.messageBox(&main, QStringLiteral("[%1]は既に存在します。\r\n上書きしますか？").arg(path),
                              QStringLiteral("上書きの確認"), MessageButtons::YesNo,
                              MessageIcon::Question) != MessageResult::Yes)
    return;

  const QStringList& titles = app.form2().List1->texts();
  const bool numbered = app.form3().Check8->isChecked();
  if (writeFileAtomically(path, formatTitleExport(titles, numbered)) == WriteStatus::Ok) return;
  app.platform.messageBox(&main,
                          QStringLiteral("[%1]ファイルを作成できません。\r\n"
                                         "読み取り専用になっている可能性があります。")
                              .arg(path),
                          kProgramTitle);
}
