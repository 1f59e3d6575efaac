#include "playback/openwith.h"

#include <QFileInfo>
#include <QLabel>

#include "core/app.h"
#include "core/platform.h"
#include "playback/load.h"
#include "songlist/songlistwindow.h"
#include "ui/form1.h"
#include "ui/form2.h"
#include "ui/tray.h"

namespace {

constexpr int kMaxNamedFiles = 10;  // in the message; the rest are counted

// Why a file is skipped; empty when it may be opened.
QString problemWith(const QString& path) {
  const QFileInfo file(path);
  if (!file.exists()) return QStringLiteral("ファイルが見つかりません");
  if (file.isDir()) return QStringLiteral("フォルダです");
  const QString ending = file.suffix().toLower();
  if (ending != u"mp3" && ending != u"wav") return QStringLiteral("MP3・WAVファイルではありません");
  return {};
}

QString skippedLine(const QString& path, const QString& problem) {
  return QStringLiteral("%1（%2）").arg(path, problem);
}

void reportSkipped(App& app, const QStringList& lines) {
  QStringList shown = lines.mid(0, kMaxNamedFiles);
  if (lines.size() > kMaxNamedFiles)
    shown.append(QStringLiteral("ほか%1件").arg(lines.size() - kMaxNamedFiles));
  app.platform.messageBox(
      &app.form1(),
      QStringLiteral("次のファイルは開けませんでした。\r\n") + shown.join(QStringLiteral("\r\n")),
      kProgramTitle);
}

void addToSongList(App& app, const QStringList& paths) {
  QStringList titles;
  for (const QString& path : paths) titles.append(titleOfPath(path));
  appendEntries(app, titles, paths);
  // No save point follows (the Song List is not open), so the list is saved here.
  saveListReporting(app, app.form2().Label7->text().toInt());
}

}  // namespace

void OpenGivenFiles(App& app, const QStringList& files) {
  QStringList usable, skipped;
  for (const QString& path : files) {
    const QString problem = problemWith(path);
    if (problem.isEmpty())
      usable.append(path);
    else
      skipped.append(skippedLine(path, problem));
  }

  bool tried = false, opened = false;
  while (!usable.isEmpty() && !opened) {
    tried = true;
    opened = OpenSoundFile(app, usable.first(), LoadOptions::OnFailure::Nothing);
    if (!opened) skipped.append(skippedLine(usable.takeFirst(), QStringLiteral("開けない形式です")));
  }
  // A refused open has closed the track that was open.
  if (tried && !opened) ResetAfterFailedOpen(app);

  if (files.size() > 1 && !usable.isEmpty()) addToSongList(app, usable);
  if (!skipped.isEmpty()) reportSkipped(app, skipped);
}

void ReceiveHandedOverFiles(App& app, const QStringList& files) {
  Form1_TrayIcon_Click(app);
  OpenGivenFiles(app, files);
}
