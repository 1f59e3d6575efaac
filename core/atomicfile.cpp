#include "core/atomicfile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <cerrno>

namespace {

bool isNotWritableError(int error) {
  return error == EACCES || error == EPERM || error == EROFS || error == ENOENT || error == ENOTDIR ||
         error == EISDIR;
}

// Creates a new file beside `target` (O_EXCL, so nothing existing is ever opened), named
// "<target>.<six random letters>". Returns the descriptor, -1 with errno set on failure.
int createTemporary(const QByteArray& target, QByteArray& name) {
  static const char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  for (int attempt = 0; attempt < 100; ++attempt) {
    name = target + '.';
    for (int k = 0; k < 6; ++k)
      name += kLetters[QRandomGenerator::global()->bounded(int(sizeof kLetters) - 1)];
    const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  errno = EEXIST;
  return -1;
}

// Writes every byte, stepping over interrupted and short writes; false at the first error
// (a full disk or a file size limit ends here, or at fsync for a delayed error).
bool writeAll(int fd, const QByteArray& bytes) {
  const char* data = bytes.constData();
  qsizetype left = bytes.size();
  while (left > 0) {
    const ssize_t written = ::write(fd, data, size_t(left));
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    data += written;
    left -= written;
  }
  return true;
}

void syncFolderOf(const QByteArray& target) {
  const qsizetype slash = target.lastIndexOf('/');
  const QByteArray folder = slash < 0 ? QByteArray(".") : slash == 0 ? QByteArray("/") : target.left(slash);
  const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);  // the file is already in place; a folder that cannot be synced changes nothing
  ::close(fd);
}

}  // namespace

WriteStatus writeFileAtomically(const QString& path, const QByteArray& bytes) {
  // A link is followed, so the file it points to is replaced and the link stays.
  const QFileInfo info(path);
  const QByteArray target = QFile::encodeName(info.isSymLink() ? info.symLinkTarget() : path);

  struct stat old {};
  const bool exists = ::stat(target.constData(), &old) == 0;
  if (exists && (!S_ISREG(old.st_mode) || ::faccessat(AT_FDCWD, target.constData(), W_OK, AT_EACCESS) != 0))
    return WriteStatus::CannotOpen;  // a folder, a device or a read-only file is left alone

  QByteArray temporary;
  const int fd = createTemporary(target, temporary);
  if (fd < 0) return isNotWritableError(errno) ? WriteStatus::CannotOpen : WriteStatus::WriteFailed;

  bool ok = (!exists || ::fchmod(fd, old.st_mode & 07777) == 0) && writeAll(fd, bytes) && ::fsync(fd) == 0;
  ok = ::close(fd) == 0 && ok;
  if (ok && ::rename(temporary.constData(), target.constData()) == 0) {
    syncFolderOf(target);
    return WriteStatus::Ok;
  }
  ::unlink(temporary.constData());
  return WriteStatus::WriteFailed;
}
