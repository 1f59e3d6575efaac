// One running program per user and display: a later start hands its files to the running
// program through a local socket and ends.
#pragma once

#include <QLocalServer>
#include <QString>
#include <QStringList>
#include <deque>
#include <functional>

// The socket of this user's program on this display: in $XDG_RUNTIME_DIR (the user's own
// folder) when there is one, else in the temporary folder, named by user id and display.
// Empty without a display (DISPLAY or WAYLAND_DISPLAY): there is nothing to share then.
QString InstanceServerName();

// Hands `files` (none: only a wake-up) to the program listening at `name`. False when no
// program answers there.
bool HandOverToRunningProgram(const QString& name, const QStringList& files);

// The running program's end of the socket. What arrives before there is a receiver waits for it.
class InstanceServer : public QObject {
 public:
  // Takes the name, removing a socket left behind by a program that ended without closing it.
  bool listen(const QString& name);
  // From now on `receive` gets each start's files, as they come.
  void setReceiver(std::function<void(const QStringList&)> receive);

 private:
  void acceptPending();
  void deliver();

  QLocalServer server_;
  std::deque<QStringList> waiting_;  // each start's files, until there is a receiver
  std::function<void(const QStringList&)> receive_;
};
