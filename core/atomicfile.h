// Whole-file writes that never leave half a file: the bytes go to a temporary file in the
// same folder, which is flushed to disk and then renamed over the old file. A crash, a
// full disk or a failed write leaves the old file whole.
#pragma once

#include <QByteArray>
#include <QString>

enum class WriteStatus {
  Ok,
  CannotOpen,   // the file or its folder cannot be written (read-only, missing folder, ...)
  WriteFailed,  // writing or the final rename failed (full disk, I/O error); old file kept
};

WriteStatus writeFileAtomically(const QString& path, const QByteArray& bytes);
