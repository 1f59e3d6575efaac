// The desktop services of a Qt program on Linux.
#pragma once

#include <QStringList>
#include <memory>

#include "core/platform.h"
#include "platform/qt/cdtray.h"

class QMenu;
class QSystemTrayIcon;

class QtPlatform final : public Platform {
 public:
  // `cdDevices`: the drive nodes the CD tray command tries, in order.
  explicit QtPlatform(QStringList cdDevices = kCdDevices);
  ~QtPlatform() override;

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
  // Moves the tray on a thread of its own, so the window never waits for the drive.
  void moveCdTray(bool open) override;
  void exitProcess(int code) override;

 private:
  // The menu outlives the icon that shows it.
  std::unique_ptr<QMenu> trayMenu_;
  std::unique_ptr<QSystemTrayIcon> tray_;
  std::function<void()> trayClick_;
  QStringList cdDevices_;
};
