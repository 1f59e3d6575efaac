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
#include <thread>

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

QtPlatform::QtPlatform(QStringList cdDevices) : cdDevices_(std::move(cdDevices)) {}
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

// xdg-open picks the desktop's handler; it lives on while a browser it ran in the
// foreground does. Its exit codes 2 to 4 mean the target, a tool or the action failed.
// Without it, Qt's own choice of launcher only tells whether one could be started.
void QtPlatform::openWithShell(const QString& fileOrUrl, std::function<void()> onFailure) {
  const QString xdgOpen = QStandardPaths::findExecutable("xdg-open");
  if (xdgOpen.isEmpty()) {
    if (!QDesktopServices::openUrl(QUrl::fromUserInput(fileOrUrl, QString(), QUrl::AssumeLocalFile)))
      onFailure();
    return;
  }
  auto* opener = new QProcess;
  opener->setProcessChannelMode(QProcess::ForwardedChannels);
  QObject::connect(opener, &QProcess::finished, [opener, onFailure](int code, QProcess::ExitStatus status) {
    if (status == QProcess::NormalExit && code >= 2 && code <= 4) onFailure();
    opener->deleteLater();
  });
  QObject::connect(opener, &QProcess::errorOccurred, [opener, onFailure](QProcess::ProcessError error) {
    if (error != QProcess::FailedToStart) return;
    onFailure();
    opener->deleteLater();
  });
  opener->start(xdgOpen, {fileOrUrl});
}

bool QtPlatform::startProgram(const QString& program, const QStringList& arguments) {
  return QProcess::startDetached(program, arguments);
}

bool QtPlatform::hasProgram(const QString& program) {
  return !QStandardPaths::findExecutable(program).isEmpty();
}

// The account the program runs as; an account missing from the user database (a container
// with a bare uid) falls back to the login name of the terminal, then to $USER.
QString QtPlatform::userName() {
  if (const passwd* entry = getpwuid(getuid())) return QString::fromLocal8Bit(entry->pw_name);
  if (const char* login = getlogin()) return QString::fromLocal8Bit(login);
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
  std::thread([devices = cdDevices_, open] { moveCdTrayNow(devices, open); }).detach();
}

void QtPlatform::exitProcess(int code) {
  std::fflush(nullptr);
  std::_Exit(code);
}
