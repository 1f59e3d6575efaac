#include "platform/qt/cdtray.h"

#include <fcntl.h>
#include <linux/cdrom.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <QFile>
#include <mutex>

namespace {

// One command at a time, so that a quick open and close reach the drive in that order.
std::mutex driveLock;

bool moveTray(const QString& device, bool open) {
  // O_NONBLOCK: an empty drive, or one whose tray is out, opens without waiting for a disc.
  const int fd = ::open(QFile::encodeName(device).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return false;
  // Only the CD-ROM driver answers this; it keeps the eject commands away from other
  // devices (a SCSI disk takes them too) and from files and pipes.
  const int capabilities = ::ioctl(fd, CDROM_GET_CAPABILITY, 0);
  const int needed = open ? CDC_OPEN_TRAY : CDC_CLOSE_TRAY;
  const bool moved = capabilities >= 0 && (capabilities & needed) != 0 &&
                     ::ioctl(fd, open ? CDROMEJECT : CDROMCLOSETRAY, 0) == 0;
  ::close(fd);
  return moved;
}

}  // namespace

bool moveCdTrayNow(const QStringList& devices, bool open) {
  const std::lock_guard<std::mutex> hold(driveLock);
  for (const QString& device : devices)
    if (moveTray(device, open)) return true;
  return false;
}
