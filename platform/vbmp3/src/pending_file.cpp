#include "pending_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <random>

namespace vbmp3 {

namespace {

std::string randomSuffix() {
  static constexpr char kChars[] = "abcdefghijklmnopqrstuvwxyz0123456789";
  thread_local std::mt19937 rng{std::random_device{}()};
  std::uniform_int_distribution<size_t> pick(0, sizeof kChars - 2);
  std::string s(8, ' ');
  for (char& c : s) c = kChars[pick(rng)];
  return s;
}

bool isDirectory(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// Flushes the file's data to the disk. Opened anew because the writer may have closed its own
// descriptor already; a write error that only the flush shows fails here.
bool syncToDisk(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool synced = ::fsync(fd) == 0;
  return ::close(fd) == 0 && synced;
}

}  // namespace

PendingFile::PendingFile(std::string target) : target_(std::move(target)) {
  if (target_.empty() || isDirectory(target_)) return;
  const std::filesystem::path path(target_);
  const std::string stem = "." + path.filename().string() + ".";
  for (int attempt = 0; attempt < 16 && fd_ < 0; ++attempt) {
    temp_ = (path.parent_path() / (stem + randomSuffix() + ".part")).string();
    // 0666 so the finished file gets the user's usual permissions through the umask.
    fd_ = ::open(temp_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd_ < 0 && errno != EEXIST) break;
  }
  if (fd_ < 0) temp_.clear();
}

PendingFile::~PendingFile() {
  if (fd_ >= 0) ::close(fd_);
  if (!committed_ && !temp_.empty()) ::unlink(temp_.c_str());
}

bool PendingFile::commit() {
  if (temp_.empty()) return false;
  if (fd_ >= 0) {
    const int rc = ::close(fd_);
    fd_ = -1;
    if (rc != 0) return false;
  }
  if (!syncToDisk(temp_) || std::rename(temp_.c_str(), target_.c_str()) != 0) return false;
  committed_ = true;
  return true;
}

}  // namespace vbmp3
