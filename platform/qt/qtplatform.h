// The desktop services of a Qt program on Linux.
#pragma once

#include <memory>

#include "core/platform.h"

class QSystemTrayIcon;

class QtPlatform final : public Platform {
 public:
  QtPlatform();
  ~QtPlatform() override;

  MessageResult messageBox(QWidget* owner, const QString& text, const QString& title, MessageButtons buttons,
                           MessageIcon icon) override;
  QString openFileName(QWidget* owner, const QString& title, const QString& filter,
                       const QString& folder) override;
  QString saveFileName(QWidget* owner, const QString& title, const QString& filter,
                       const QString& folder) override;
  QString browseFolder(QWidget* owner, const QString& title) override;
  void setClipboardText(const QString& text) override;
  bool openWithShell(const QString& fileOrUrl) override;
  bool startProgram(const QString& program, const QStringList& arguments) override;
  QString userName() override;
  bool deleteFile(const QString& path) override;
  QStringList listFiles(const QString& folder) override;
  void showTrayIcon(const QString& toolTip, std::function<void()> onClick) override;
  void hideTrayIcon() override;
  bool trayIconVisible() const override;
  void moveCdTray(bool open) override;
  void exitProcess(int code) override;

 private:
  std::unique_ptr<QSystemTrayIcon> tray_;
};
