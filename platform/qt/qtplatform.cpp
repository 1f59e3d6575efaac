#include "platform/qt/qtplatform.h"

#include <pwd.h>
#include <unistd.h>

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QMenu>
#include <QMessageBox>
#include <QProcess>
#include <QStandardPaths>
#include <QSystemTrayIcon>
#include <QUrl>
#include <cstdio>
#include <cstdlib>

#include "ui/pictures.h"

namespace {

QMessageBox::Icon qtIcon(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::Information:
      return QMessageBox::Information;
    case MessageIcon::Question:
      return QMessageBox::Question;
    case MessageIcon::Exclamation:
      return QMessageBox::Warning;
    case MessageIcon::Critical:
      return QMessageBox::Critical;
    case MessageIcon::None:
      break;
  }
  return QMessageBox::NoIcon;
}

}  // namespace

QtPlatform::QtPlatform() = default;
QtPlatform::~QtPlatform() = default;

MessageResult QtPlatform::messageBox(QWidget* owner, const QString& text, const QString& title,
                                     MessageButtons buttons, MessageIcon icon) {
  const bool yesNo = buttons == MessageButtons::YesNo;
  QMessageBox box(qtIcon(icon), title, QString(text).replace("\r\n", "\n"),
                  yesNo ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok, owner);
  if (yesNo) box.setEscapeButton(QMessageBox::No);
  const int answer = box.exec();
  if (!yesNo) return MessageResult::Ok;
  return answer == QMessageBox::Yes ? MessageResult::Yes : MessageResult::No;
}

QString QtPlatform::openFileName(QWidget* owner, const QString& title, const QString& filter,
                                 const QString& folder) {
  return QFileDialog::getOpenFileName(owner, title, folder, filter);
}

QString QtPlatform::saveFileName(QWidget* owner, const QString& title, const QString& filter,
                                 const QString& folder) {
  // The caller may write a name other than the one chosen (an ending added), so it asks
  // about replacing a file itself.
  return QFileDialog::getSaveFileName(owner, title, folder, filter, nullptr,
                                      QFileDialog::DontConfirmOverwrite);
}

QString QtPlatform::browseFolder(QWidget* owner, const QString& title) {
  return QFileDialog::getExistingDirectory(owner, title, QString(), QFileDialog::ShowDirsOnly);
}

void QtPlatform::setClipboardText(const QString& text) { QGuiApplication::clipboard()->setText(text); }

bool QtPlatform::openWithShell(const QString& fileOrUrl) {
  return QDesktopServices::openUrl(QUrl::fromUserInput(fileOrUrl, QString(), QUrl::AssumeLocalFile));
}

bool QtPlatform::startProgram(const QString& program, const QStringList& arguments) {
  return QProcess::startDetached(program, arguments);
}

QString QtPlatform::userName() {
  if (const passwd* entry = getpwuid(geteuid())) return QString::fromLocal8Bit(entry->pw_name);
  return qEnvironmentVariable("USER");
}

bool QtPlatform::deleteFile(const QString& path) { return QFile::remove(path); }

QStringList QtPlatform::listFiles(const QString& folder) {
  return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

bool QtPlatform::trayAvailable() const { return QSystemTrayIcon::isSystemTrayAvailable(); }

void QtPlatform::showTrayIcon(const TrayIcon& icon) {
  if (!tray_) {
    trayMenu_ = std::make_unique<QMenu>();
    tray_ = std::make_unique<QSystemTrayIcon>(QIcon(formPicture(":/icons/kestrune.argb")));
    tray_->setContextMenu(trayMenu_.get());
    // A left click; the right button opens the menu, which Qt handles.
    QObject::connect(tray_.get(), &QSystemTrayIcon::activated,
                     [this](QSystemTrayIcon::ActivationReason reason) {
                       if (reason == QSystemTrayIcon::Trigger && trayClick_) trayClick_();
                     });
  }
  trayClick_ = icon.onClick;
  trayMenu_->clear();
  for (const TrayMenuItem& item : icon.menu) trayMenu_->addAction(item.text, item.run);
  tray_->setToolTip(QString(icon.toolTip).replace("\r\n", "\n"));
  tray_->show();
}

void QtPlatform::hideTrayIcon() {
  if (tray_) tray_->hide();
}

bool QtPlatform::trayIconVisible() const { return tray_ && tray_->isVisible(); }

void QtPlatform::moveCdTray(bool open) {
  const QString eject = QStandardPaths::findExecutable("eject");
  if (eject.isEmpty()) return;
  QProcess::startDetached(eject, open ? QStringList() : QStringList{"-t"});
}

void QtPlatform::exitProcess(int code) {
  std::fflush(nullptr);
  std::_Exit(code);
}
