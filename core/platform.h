// Everything the program asks of the desktop: message boxes, file and folder dialogs, the
// clipboard, handing things to the shell, the tray icon, the CD tray, the user's name,
// file deletion and folder listing, and ending the process. The Qt implementation lives
// in platform/qt/; tests use a scripted one.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

class QWidget;

enum class MessageButtons { Ok, YesNo };
enum class MessageIcon { None, Information, Question, Exclamation, Critical };
enum class MessageResult { Ok, Yes, No };

struct TrayMenuItem {
  QString text;
  std::function<void()> run;
};

struct TrayIcon {
  QString toolTip;
  std::function<void()> onClick;
  std::vector<TrayMenuItem> menu;
};

class Platform {
 public:
  virtual ~Platform() = default;

  // A modal message box. Line breaks in `text` are CR LF, as the messages are written.
  virtual MessageResult messageBox(QWidget* owner, const QString& text, const QString& title,
                                   MessageButtons buttons = MessageButtons::Ok,
                                   MessageIcon icon = MessageIcon::None) = 0;

  // File dialogs; `filter` is in Qt's form ("MP3サウンド形式(*.mp3);;waveサウンド形式(*.wav)"),
  // the first entry selected. An empty `folder` leaves the dialog's own default. The chosen
  // path, or empty text when cancelled. The save dialog does not ask about replacing an
  // existing file: the caller knows which file it will write and asks.
  virtual QString openFileName(QWidget* owner, const QString& title, const QString& filter,
                               const QString& folder) = 0;
  virtual QString saveFileName(QWidget* owner, const QString& title, const QString& filter,
                               const QString& folder) = 0;
  // Folder browser: the chosen folder, or empty text when cancelled.
  virtual QString browseFolder(QWidget* owner, const QString& title) = 0;

  virtual void setClipboardText(const QString& text) = 0;
  // Opens a file, folder or web address with the desktop's handler for it, without waiting
  // for it. `onFailure` runs, at once or later on the UI thread, when no handler could be
  // started or the handler reports that it could not open the target.
  virtual void openWithShell(const QString& fileOrUrl, std::function<void()> onFailure) = 0;
  // Starts a program, found through the search path, without waiting for it; false when
  // it could not be started.
  virtual bool startProgram(const QString& program, const QStringList& arguments = {}) = 0;
  // Whether a program of that name is found through the search path.
  virtual bool hasProgram(const QString& program) = 0;
  // The logged-on user's account name.
  virtual QString userName() = 0;

  virtual bool deleteFile(const QString& path) = 0;
  // Names of the plain files in a folder, sorted by name.
  virtual QStringList listFiles(const QString& folder) = 0;

  // The notification-area icon. Whether the desktop has a notification area at all; where
  // it has none, an icon shown would be nowhere to be seen.
  virtual bool trayAvailable() const = 0;
  // Shows the one icon (replacing what an earlier call set): the tooltip (line breaks CR LF),
  // `onClick` for a click with the left button, and the entries of its context menu.
  virtual void showTrayIcon(const TrayIcon& icon) = 0;
  virtual void hideTrayIcon() = 0;
  virtual bool trayIconVisible() const = 0;

  // Opens (true) or closes (false) the CD drive's tray; nothing happens without a drive
  // or the means to move it.
  virtual void moveCdTray(bool open) = 0;

  // Ends the process at once with `code`. Callers return right after calling it, so a
  // test platform may simply record the call.
  virtual void exitProcess(int code) = 0;
};
