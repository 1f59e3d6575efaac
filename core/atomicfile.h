// Whole-file writes that never leave half a file: the bytes go to a new temporary file in
// the same folder; only when every byte is written and synced to disk is it renamed over
// the old file (which keeps its permissions). A crash, a full disk, a file size limit or
// a failed write leaves the old file byte for byte as it was, and a failure removes the
// temporary file again.
#pragma once

#include <QByteArray>
#include <QString>

enum class WriteStatus {
  Ok,
  CannotOpen,   // the file or its folder cannot be written (read-only, missing folder, a
                // folder or device in the file's place, ...)
  WriteFailed,  // writing or the final rename failed (full disk, I/O error); old file kept
};

WriteStatus writeFileAtomically(const QString& path, const QByteArray& bytes);
