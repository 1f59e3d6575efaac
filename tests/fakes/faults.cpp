#include "fakes/faults.h"

#include <fcntl.h>
#include <sys/mount.h>
#include <unistd.h>

#include <QFile>
#include <cerrno>
#include <csignal>
#include <cstring>

FileSizeLimit::FileSizeLimit(rlim_t bytes) {
  getrlimit(RLIMIT_FSIZE, &old_);
  oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
  rlimit small = old_;
  small.rlim_cur = bytes;
  setrlimit(RLIMIT_FSIZE, &small);
}

FileSizeLimit::~FileSizeLimit() {
  setrlimit(RLIMIT_FSIZE, &old_);
  std::signal(SIGXFSZ, oldHandler_);
}

TinyDisk::TinyDisk(const QString& folder, int kilobytes) : folder_(folder) {
  const QByteArray options = "size=" + QByteArray::number(kilobytes) + "k";
  mounted_ = ::mount("tmpfs", QFile::encodeName(folder).constData(), "tmpfs", 0, options.constData()) == 0;
  if (!mounted_) error_ = QString::fromLocal8Bit(std::strerror(errno));
}

TinyDisk::~TinyDisk() {
  if (mounted_) ::umount2(QFile::encodeName(folder_).constData(), MNT_DETACH);
}

void TinyDisk::fill() {
  const int fd =
      ::open(QFile::encodeName(folder_ + "/filler").constData(), O_WRONLY | O_CREAT | O_APPEND, 0644);
  if (fd < 0) return;
  const char block[512] = {};
  while (::write(fd, block, sizeof block) > 0) {
  }
  while (::write(fd, block, 1) > 0) {
  }
  ::close(fd);
}

BusyFile::BusyFile(const QString& source, const QString& target) : target_(target) {
  mounted_ = ::mount(QFile::encodeName(source).constData(), QFile::encodeName(target).constData(), nullptr,
                     MS_BIND, nullptr) == 0;
  if (!mounted_) error_ = QString::fromLocal8Bit(std::strerror(errno));
}

BusyFile::~BusyFile() {
  if (mounted_) ::umount2(QFile::encodeName(target_).constData(), MNT_DETACH);
}

ReadOnlyFolder::ReadOnlyFolder(const QString& folder) : folder_(folder) {
  const QByteArray path = QFile::encodeName(folder);
  if (::mount(path.constData(), path.constData(), nullptr, MS_BIND, nullptr) != 0) {
    error_ = QString::fromLocal8Bit(std::strerror(errno));
    return;
  }
  mounted_ = ::mount(nullptr, path.constData(), nullptr, MS_BIND | MS_REMOUNT | MS_RDONLY, nullptr) == 0;
  if (mounted_) return;
  error_ = QString::fromLocal8Bit(std::strerror(errno));
  ::umount2(path.constData(), MNT_DETACH);
}

ReadOnlyFolder::~ReadOnlyFolder() {
  if (mounted_) ::umount2(QFile::encodeName(folder_).constData(), MNT_DETACH);
}
