#include "core/atomicfile.h"

#include <QSaveFile>

WriteStatus writeFileAtomically(const QString& path, const QByteArray& bytes) {
  // QSaveFile writes beside the target, syncs and renames on commit; it refuses a
  // read-only target and never falls back to writing the target in place.
  QSaveFile file(path);
  file.setDirectWriteFallback(false);
  if (!file.open(QIODevice::WriteOnly)) return WriteStatus::CannotOpen;
  if (file.write(bytes) != bytes.size()) {
    file.cancelWriting();
    return WriteStatus::WriteFailed;
  }
  return file.commit() ? WriteStatus::Ok : WriteStatus::WriteFailed;
}
