#include "fakes/scripted_platform.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

MessageResult ScriptedPlatform::messageBox(QWidget* owner, const QString& text, const QString& title,
                                           MessageButtons buttons, MessageIcon icon) {
  messages.push_back({text, title, buttons, icon, owner});
  if (!messageAnswers.empty()) {
    const MessageResult answer = messageAnswers.front();
    messageAnswers.pop_front();
    return answer;
  }
  return buttons == MessageButtons::YesNo ? MessageResult::Yes : MessageResult::Ok;
}

QString ScriptedPlatform::answerDialog(Dialog dialog) {
  dialogs.push_back(std::move(dialog));
  if (dialogAnswers.empty()) return {};
  QString answer = dialogAnswers.front();
  dialogAnswers.pop_front();
  return answer;
}

QString ScriptedPlatform::openFileName(QWidget* owner, const QString& title, const QString& filter,
                                       const QString& folder) {
  return answerDialog({"open", title, filter, folder, owner});
}

QString ScriptedPlatform::saveFileName(QWidget* owner, const QString& title, const QString& filter,
                                       const QString& folder) {
  return answerDialog({"save", title, filter, folder, owner});
}

QString ScriptedPlatform::browseFolder(QWidget* owner, const QString& title) {
  return answerDialog({"folder", title, {}, {}, owner});
}

void ScriptedPlatform::setClipboardText(const QString& text) { clipboard = text; }

void ScriptedPlatform::openWithShell(const QString& fileOrUrl, std::function<void()> onFailure) {
  shellOpened << fileOrUrl;
  if (!openWithShellResult) onFailure();
}

bool ScriptedPlatform::startProgram(const QString& program, const QStringList& arguments) {
  programsStarted.emplace_back(program, arguments);
  return startProgramResult;
}

bool ScriptedPlatform::hasProgram(const QString& program) {
  programsLookedFor << program;
  return installedPrograms.contains(program);
}

QString ScriptedPlatform::userName() { return user; }

bool ScriptedPlatform::deleteFile(const QString& path) {
  deleted << path;
  return QFile::remove(path);
}

QStringList ScriptedPlatform::listFiles(const QString& folder) {
  return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

bool ScriptedPlatform::trayAvailable() const { return trayAvailableResult; }

void ScriptedPlatform::showTrayIcon(const TrayIcon& icon) {
  tray = icon;
  ++trayIconsShown;
  trayVisible_ = true;
}

void ScriptedPlatform::hideTrayIcon() { trayVisible_ = false; }

bool ScriptedPlatform::trayIconVisible() const { return trayVisible_; }

void ScriptedPlatform::clickTray() {
  if (trayVisible_ && tray.onClick) tray.onClick();
}

void ScriptedPlatform::chooseTrayMenuItem(const QString& text) {
  if (!trayVisible_) return;
  for (const TrayMenuItem& item : tray.menu) {
    if (item.text == text) return item.run();
  }
  ADD_FAILURE() << "no tray menu entry " << text.toStdString();
}

QStringList ScriptedPlatform::trayMenuTexts() const {
  QStringList texts;
  for (const TrayMenuItem& item : tray.menu) texts << item.text;
  return texts;
}

void ScriptedPlatform::moveCdTray(bool open) { cdTrayMoves.push_back(open); }

void ScriptedPlatform::exitProcess(int code) {
  if (!exitCode) exitCode = code;
}
