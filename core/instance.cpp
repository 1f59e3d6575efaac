#include "core/instance.h"

#include <unistd.h>

#include <QDir>
#include <QFileInfo>
#include <QLocalSocket>
#include <cstdio>

namespace {

// Paths cannot hold a NUL, so each one ends with one.
QByteArray encode(const QStringList& files) {
  QByteArray message;
  for (const QString& file : files) message += file.toUtf8() + '\0';
  return message;
}

QStringList decode(const QByteArray& message) {
  QStringList files;
  for (const QByteArray& file : message.split('\0'))
    if (!file.isEmpty()) files.append(QString::fromUtf8(file));
  return files;
}

QString displayName() {
  QString display = qEnvironmentVariable("WAYLAND_DISPLAY");
  if (display.isEmpty()) display = qEnvironmentVariable("DISPLAY");
  for (QChar& c : display)
    if (!c.isLetterOrNumber() && c != u'.') c = u'_';
  return display;
}

}  // namespace

QString InstanceServerName() {
  const QString display = displayName();
  if (display.isEmpty()) return {};
  QString folder = qEnvironmentVariable("XDG_RUNTIME_DIR");
  if (folder.isEmpty() || !QFileInfo(folder).isDir()) folder = QDir::tempPath();
  return QStringLiteral("%1/kestrune-%2-%3").arg(folder).arg(::getuid()).arg(display);
}

bool HandOverToRunningProgram(const QString& name, const QStringList& files) {
  // In a shared temporary folder, a socket someone else made is not our program.
  const QFileInfo socketFile(name);
  if (!socketFile.exists() || socketFile.ownerId() != ::getuid()) return false;
  QLocalSocket socket;
  socket.connectToServer(name, QIODevice::WriteOnly);
  if (!socket.waitForConnected(1000)) return false;
  // From here on a program is running, so this start must not become a second one even when
  // the files do not get through.
  socket.write(encode(files));
  while (socket.bytesToWrite() > 0 && socket.waitForBytesWritten(1000)) {
  }
  if (socket.bytesToWrite() > 0)
    std::fputs("kestrune: 動いているKestruneにファイルを渡せませんでした。\n", stderr);
  socket.disconnectFromServer();
  return true;
}

bool InstanceServer::listen(const QString& name) {
  server_.setSocketOptions(QLocalServer::UserAccessOption);
  if (!server_.listen(name)) {
    // No program answered there (the caller tried first), so the socket is stale.
    QLocalServer::removeServer(name);
    if (!server_.listen(name)) return false;
  }
  connect(&server_, &QLocalServer::newConnection, this, &InstanceServer::acceptPending);
  return true;
}

void InstanceServer::setReceiver(std::function<void(const QStringList&)> receive) {
  receive_ = std::move(receive);
  deliver();
}

void InstanceServer::acceptPending() {
  // Taken at once: a start that has ended is seen only by a socket already taken.
  while (QLocalSocket* socket = server_.nextPendingConnection()) {
    connect(socket, &QLocalSocket::disconnected, this, [this, socket] {
      socket->deleteLater();
      waiting_.push_back(decode(socket->readAll()));
      deliver();
    });
  }
}

void InstanceServer::deliver() {
  while (receive_ && !waiting_.empty()) {
    const QStringList files = waiting_.front();
    waiting_.pop_front();
    receive_(files);
  }
}
