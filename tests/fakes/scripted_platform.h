// A platform for tests: records message boxes, dialogs and every other request, and
// answers from queues. Deleting and listing files act on the real disk (tests work in
// temporary folders). exitProcess only records the code; the caller returns after it.
#pragma once

#include <QString>
#include <QStringList>
#include <deque>
#include <optional>
#include <utility>
#include <vector>

#include "core/platform.h"

class ScriptedPlatform final : public Platform {
 public:
  struct Message {
    QString text, title;
    MessageButtons buttons;
    MessageIcon icon;
    QWidget* owner;
  };
  struct Dialog {
    QString kind;  // "open", "save" or "folder"
    QString title, filter, folder;
    QWidget* owner;
  };

  // --- script ---
  std::deque<MessageResult> messageAnswers;  // then Ok, or Yes for a Yes/No box
  std::deque<QString> dialogAnswers;         // then empty text (cancelled)
  bool startProgramResult = true;
  bool openWithShellResult = true;  // false: the handler fails and onFailure runs at once
  QStringList installedPrograms;    // what hasProgram finds
  bool trayAvailableResult = true;  // the desktop has a notification area
  QString user = "tester";

  // --- record ---
  std::vector<Message> messages;
  std::vector<Dialog> dialogs;
  QString clipboard;
  QStringList shellOpened;
  std::vector<std::pair<QString, QStringList>> programsStarted;
  QStringList programsLookedFor;
  QStringList deleted;
  std::vector<bool> cdTrayMoves;  // true = open
  TrayIcon tray;                  // what the last showTrayIcon set
  int trayIconsShown = 0;         // showTrayIcon calls
  std::optional<int> exitCode;

  // A left click on the tray icon, or choosing the entry of its menu with that text; both
  // do nothing while the icon is hidden.
  void clickTray();
  void chooseTrayMenuItem(const QString& text);
  QStringList trayMenuTexts() const;

  MessageResult messageBox(QWidget* owner, const QString& text, const QString& title, MessageButtons buttons,
                           MessageIcon icon) override;
  QString openFileName(QWidget* owner, const QString& title, const QString& filter,
                       const QString& folder) override;
  QString saveFileName(QWidget* owner, const QString& title, const QString& filter,
                       const QString& folder) override;
  QString browseFolder(QWidget* owner, const QString& title) override;
  void setClipboardText(const QString& text) override;
  void openWithShell(const QString& fileOrUrl, std::function<void()> onFailure) override;
  bool startProgram(const QString& program, const QStringList& arguments) override;
  bool hasProgram(const QString& program) override;
  QString userName() override;
  bool deleteFile(const QString& path) override;
  QStringList listFiles(const QString& folder) override;
  bool trayAvailable() const override;
  void showTrayIcon(const TrayIcon& icon) override;
  void hideTrayIcon() override;
  bool trayIconVisible() const override;
  void moveCdTray(bool open) override;
  void exitProcess(int code) override;

 private:
  QString answerDialog(Dialog dialog);
  bool trayVisible_ = false;
};
