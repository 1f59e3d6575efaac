// A read-only file descriptor that closes itself. Opening never waits (a FIFO or a device
// opens at once); reads of a regular file block as usual.
#pragma once

#include <fcntl.h>
#include <unistd.h>

#include <string>
#include <utility>

namespace vbmp3 {

class FileDescriptor {
 public:
  explicit FileDescriptor(const std::string& path) : fd_(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC)) {}
  FileDescriptor(FileDescriptor&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
  ~FileDescriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  FileDescriptor& operator=(FileDescriptor&&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

}  // namespace vbmp3
