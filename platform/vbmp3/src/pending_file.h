// An output file written under a temporary name beside its target and renamed onto the
// target only when complete, so the target never holds a half-written file.
#pragma once

#include <string>
#include <utility>

namespace vbmp3 {

class PendingFile {
 public:
  // Creates the temporary file; check ok() before use. Fails when the target is a
  // directory or its folder cannot be written.
  explicit PendingFile(std::string target);
  ~PendingFile();  // removes the temporary file unless committed
  PendingFile(const PendingFile&) = delete;
  PendingFile& operator=(const PendingFile&) = delete;

  bool ok() const { return fd_ >= 0; }
  // The open descriptor, owned by this object until releaseFd() hands it to a new owner, which
  // then closes it (before commit()) whatever happens.
  int fd() const { return fd_; }
  int releaseFd() { return std::exchange(fd_, -1); }

  // Closes the descriptor (if still held), syncs the file to disk and renames it onto the
  // target.
  bool commit();

 private:
  std::string target_;
  std::string temp_;
  int fd_ = -1;
  bool committed_ = false;
};

}  // namespace vbmp3
