// Real faults for tests: a file size limit, a tiny tmpfs filled to the last byte, a file
// that is a mount point (it can be neither renamed nor removed), and a read-only folder. Each undoes itself
// when it goes out of scope.
#pragma once

#include <sys/resource.h>

#include <QString>

// Writes past `bytes` fail with EFBIG, as on a full disk, even for root. SIGXFSZ is
// ignored meanwhile, so the failed write returns instead of ending the process.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes);
  ~FileSizeLimit();
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

 private:
  rlimit old_{};
  void (*oldHandler_)(int) = nullptr;
};

// A tmpfs of `kilobytes` mounted over `folder` (hiding what the folder held). mounted()
// is false when the machine refuses the mount; the test then skips.
class TinyDisk {
 public:
  TinyDisk(const QString& folder, int kilobytes = 16);
  ~TinyDisk();
  TinyDisk(const TinyDisk&) = delete;
  TinyDisk& operator=(const TinyDisk&) = delete;

  bool mounted() const { return mounted_; }
  QString error() const { return error_; }
  // Fills the disk with a file named "filler" until no byte more fits.
  void fill();

 private:
  QString folder_;
  bool mounted_ = false;
  QString error_;
};

// Binds `source` over the file `target`: the target cannot be renamed or removed (EBUSY)
// until the binding goes.
class BusyFile {
 public:
  BusyFile(const QString& source, const QString& target);
  ~BusyFile();
  BusyFile(const BusyFile&) = delete;
  BusyFile& operator=(const BusyFile&) = delete;

  bool mounted() const { return mounted_; }
  QString error() const { return error_; }

 private:
  QString target_;
  bool mounted_ = false;
  QString error_;
};

// Binds `folder` over itself read-only: nothing in it can be created or changed, even by
// root (EROFS), until the binding goes.
class ReadOnlyFolder {
 public:
  explicit ReadOnlyFolder(const QString& folder);
  ~ReadOnlyFolder();
  ReadOnlyFolder(const ReadOnlyFolder&) = delete;
  ReadOnlyFolder& operator=(const ReadOnlyFolder&) = delete;

  bool mounted() const { return mounted_; }
  QString error() const { return error_; }

 private:
  QString folder_;
  bool mounted_ = false;
  QString error_;
};
