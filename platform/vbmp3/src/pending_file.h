// An output file written under a temporary name beside its target and renamed onto the
// target only when complete, so the target never holds a half-written file.
#pragma once

#include <string>

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
  // The open descriptor. A caller that hands it to something that will close it calls
  // releaseFd(), and closes it before commit().
  int fd() const { return fd_; }
  void releaseFd() { fd_ = -1; }

  // Closes the descriptor (if still held) and renames the file onto the target.
  bool commit();

 private:
  std::string target_;
  std::string temp_;
  int fd_ = -1;
  bool committed_ = false;
};

}  // namespace vbmp3
