#include "core/atomicfile.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <memory>

#include "fakes/faults.h"

namespace {

class AtomicFile : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(writeFileAtomically(path_, "old"), WriteStatus::Ok); }
  QByteArray contents() const {
    QFile f(path_);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
  }
  QStringList folderEntries() const {
    return QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
  }
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

TEST_F(AtomicFile, ALinkKeepsPointingAtTheReplacedFile) {
  const QString link = dir_.filePath("link.dat");
  ASSERT_TRUE(QFile::link(path_, link));
  ASSERT_EQ(writeFileAtomically(link, "new"), WriteStatus::Ok);
  EXPECT_TRUE(QFileInfo(link).isSymLink());
  EXPECT_EQ(contents(), QByteArray("new"));
}

TEST_F(AtomicFile, AFolderInThePlaceOfTheFileIsNotWritable) {
  const QString folder = dir_.filePath("Part.dat");
  ASSERT_TRUE(QDir().mkdir(folder));
  EXPECT_EQ(writeFileAtomically(folder, "new"), WriteStatus::CannotOpen);
  EXPECT_EQ(writeFileAtomically(dir_.filePath("missing/List1.dat"), "new"), WriteStatus::CannotOpen);
  EXPECT_EQ(folderEntries(), QStringList{"List0.dat"});
}

// A write that runs out of room fails whatever its size, also when it is small enough to
// be buffered until the end, and the old file stays as it was.
enum class Fault { FileSizeLimit, FullDisk };
struct FailedWrite {
  Fault fault;
  qsizetype size;
};

void PrintTo(const FailedWrite& write, std::ostream* out) {
  *out << write.size << " bytes "
       << (write.fault == Fault::FullDisk ? "on a full disk" : "over the size limit");
}

class AtomicFileFault : public AtomicFile, public ::testing::WithParamInterface<FailedWrite> {};

TEST_P(AtomicFileFault, LeavesTheOldFileWholeAndNoTemporary) {
  const auto [fault, size] = GetParam();
  std::unique_ptr<TinyDisk> disk;
  if (fault == Fault::FullDisk) {
    disk = std::make_unique<TinyDisk>(dir_.path());
    if (!disk->mounted()) GTEST_SKIP() << "cannot mount a tmpfs here: " << disk->error().toStdString();
    ASSERT_EQ(writeFileAtomically(path_, "old"), WriteStatus::Ok);
    disk->fill();
  }
  WriteStatus status;
  {
    std::unique_ptr<FileSizeLimit> limit;
    if (fault == Fault::FileSizeLimit) limit = std::make_unique<FileSizeLimit>(size / 2);
    status = writeFileAtomically(path_, QByteArray(size, 'x'));
  }
  EXPECT_EQ(status, WriteStatus::WriteFailed);
  EXPECT_EQ(contents(), QByteArray("old"));
  QStringList expected{"List0.dat"};
  if (disk) expected << "filler";
  EXPECT_EQ(folderEntries(), expected);
}

INSTANTIATE_TEST_SUITE_P(AnySize, AtomicFileFault,
                         ::testing::Values(FailedWrite{Fault::FileSizeLimit, 1},
                                           FailedWrite{Fault::FileSizeLimit, 40},
                                           FailedWrite{Fault::FileSizeLimit, 100000},
                                           FailedWrite{Fault::FullDisk, 1}, FailedWrite{Fault::FullDisk, 40},
                                           FailedWrite{Fault::FullDisk, 100000}));

TEST_F(AtomicFile, ReadOnlyFolderLeavesTheOldFile) {
  if (geteuid() == 0) GTEST_SKIP() << "root can write into read-only folders";
  ASSERT_TRUE(QFile::setPermissions(dir_.path(), QFile::ReadOwner | QFile::ExeOwner));
  const WriteStatus status = writeFileAtomically(path_, "new");
  QFile::setPermissions(dir_.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  EXPECT_EQ(status, WriteStatus::CannotOpen);
  EXPECT_EQ(contents(), QByteArray("old"));
}

}  // namespace
