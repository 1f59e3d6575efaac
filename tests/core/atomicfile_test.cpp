#include "core/atomicfile.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <csignal>

namespace {

class AtomicFile : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(writeFileAtomically(path_, "old"), WriteStatus::Ok); }
  QByteArray contents() const {
    QFile f(path_);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
  }
  QStringList folderEntries() const { return QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden); }
  QTemporaryDir dir_;
  QString path_ = dir_.filePath("List0.dat");
};

TEST_F(AtomicFile, ReplacesTheWholeFileAndKeepsItsPermissions) {
  const auto mode = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup;
  ASSERT_TRUE(QFile::setPermissions(path_, mode));
  ASSERT_EQ(writeFileAtomically(path_, "new"), WriteStatus::Ok);
  EXPECT_EQ(contents(), QByteArray("new"));
  EXPECT_EQ(QFile::permissions(path_) & 0x7077, mode);
  EXPECT_EQ(folderEntries(), QStringList{"List0.dat"});
}

TEST_F(AtomicFile, FullDiskLeavesTheOldFileWhole) {
  // A file size limit makes writes fail as a full disk does, even for root.
  rlimit old{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
  const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit small = old;
  small.rlim_cur = 1000;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  const WriteStatus status = writeFileAtomically(path_, QByteArray(100000, 'x'));
  setrlimit(RLIMIT_FSIZE, &old);
  std::signal(SIGXFSZ, oldHandler);
  EXPECT_EQ(status, WriteStatus::WriteFailed);
  EXPECT_EQ(contents(), QByteArray("old"));
  EXPECT_EQ(folderEntries(), QStringList{"List0.dat"});
}

TEST_F(AtomicFile, ReadOnlyFolderLeavesTheOldFile) {
  if (geteuid() == 0) GTEST_SKIP() << "root can write into read-only folders";
  ASSERT_TRUE(QFile::setPermissions(dir_.path(), QFile::ReadOwner | QFile::ExeOwner));
  const WriteStatus status = writeFileAtomically(path_, "new");
  QFile::setPermissions(dir_.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  EXPECT_EQ(status, WriteStatus::CannotOpen);
  EXPECT_EQ(contents(), QByteArray("old"));
}

}  // namespace
