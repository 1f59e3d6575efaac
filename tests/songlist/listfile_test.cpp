#include "songlist/listfile.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

class ListFiles : public ::testing::Test {
 protected:
  QByteArray contents() const {
    QFile f(path_);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
  }
  void expectWrittenAndReadBack(const FieldPairs& records, const QByteArray& bytes) {
    ASSERT_EQ(writeListFile(path_, records), WriteStatus::Ok);
    EXPECT_EQ(contents(), bytes);
    const FieldPairs read = readListFile(path_);
    EXPECT_EQ(read.first, records.first);
    EXPECT_EQ(read.second, records.second);
  }
  QTemporaryDir dir_;
  QString path_ = dir_.filePath("List0.dat");
};

TEST_F(ListFiles, WritesTwoQuotedLinesPerEntryAndReadsThemBack) {
  expectWrittenAndReadBack({{"A", "B"}, {"C:\\M\\A.mp3", "C:\\M\\B.wav"}},
                           "\"A\"\r\n\"C:\\M\\A.mp3\"\r\n\"B\"\r\n\"C:\\M\\B.wav\"\r\n");
  expectWrittenAndReadBack({{"a, b", QString::fromUtf8("テ \"live\"")}, {" /a, b.mp3", "/t.mp3"}},
                           "\"a, b\"\r\n\" /a, b.mp3\"\r\n\"\x83\x65 \"\"live\"\"\"\r\n\"/t.mp3\"\r\n");
  const QString emoji = QString::fromUtf8("曲\xF0\x9F\x8E\xB5");
  expectWrittenAndReadBack({{emoji}, {"/m/" + emoji}},
                           ("\"" + emoji + "\"\r\n\"/m/" + emoji + "\"\r\n").toUtf8());
  expectWrittenAndReadBack({}, "");
  EXPECT_EQ(listFileName(12), QString("List12.dat"));
}

TEST_F(ListFiles, ReadsHandWrittenAndDamagedFiles) {
  // Two fields on a line, blanks, blank lines, unquoted fields, text after a closing quote,
  // CR or LF alone, a comma at a line end, a NUL, bad CP932 bytes, a quote never closed.
  const FieldPairs read = parseListFile(QByteArrayLiteral(
      "\"A\",\"/a.mp3\"\r\n\r\n  \"B\"  ,  plain path  \n\"C\0\"junk,\"/c.mp3\" more\rD,\nE\r\n"
      "\"\xFF\x85\x40\"\r\n\"G\"\r\n\"/g\r\nH\r\n"));
  const QChar bad(0xFFFD);
  EXPECT_EQ(read.first, QStringList({"A", "B", QString("C") + QChar(0), "D", "E", "G"}));
  EXPECT_EQ(read.second,
            QStringList({"/a.mp3", "plain path", "/c.mp3", "", QString(bad) + bad + "@", "/g\r\nH\r\n"}));
  // A last field without its partner is dropped.
  EXPECT_EQ(parseListFile("\"A\"\r\n\"/a\"\r\n\"B\"\r\n").first, QStringList{"A"});
}

TEST_F(ListFiles, DamagedCp932FieldsReadTheSameInSmallAndLargeFiles) {
  // A lead byte cut short by the closing quote, an unassigned pair. Large files decode
  // through a table, small ones through iconv: both must give the same text.
  const QByteArray record = "\"\x83\x65\x82\"\r\n\"/\x82\xA0\x85\x40.mp3\"\r\n";
  const QChar bad(0xFFFD);
  const QString title = QString::fromUtf8("テ") + bad;
  const QString path = QString::fromUtf8("/あ") + bad + "@.mp3";
  for (const int copies : {1, 2000}) {
    const FieldPairs read = parseListFile(record.repeated(copies));
    ASSERT_EQ(read.first.size(), copies);
    EXPECT_EQ(read.first.front(), title);
    EXPECT_EQ(read.second.back(), path);
  }
}

TEST_F(ListFiles, OpenedFileDecodesAFieldOnlyWhenAskedAndAsReadingDoes) {
  const QByteArray bytes = "\xEF\xBB\xBF\"\x83\x65 \"\"live\"\"\",ab\"c\r\n\"\",\"never closed \"\" here\r\n";
  auto file = std::make_shared<const ::ListFile>(bytes);
  ASSERT_EQ(file->count(), 2);
  EXPECT_EQ(file->text(0, 0), QString::fromUtf8("テ \"live\""));
  EXPECT_EQ(file->text(0, 1), "ab\"c");  // quotes inside an unquoted field stay as written
  EXPECT_EQ(file->text(1, 0), "");
  EXPECT_EQ(file->text(1, 1), "never closed \" here\r\n");
  EXPECT_EQ(file->text(2, 0), "");
  EXPECT_EQ(file->text(0, 2), "");
  EXPECT_EQ(parseListFile(bytes).second, QStringList({file->text(0, 1), file->text(1, 1)}));
  EXPECT_EQ(openListFile(dir_.filePath("missing.dat"))->count(), 0);
}

TEST_F(ListFiles, ReadsAtMost32767EntriesAndLongLinesWhole) {
  QByteArray text = "\"" + QByteArray(100000, 'x') + "\"\r\n\"/p\"\r\n";
  for (int k = 1; k < 100000; ++k) text += "\"t" + QByteArray::number(k) + "\"\r\n\"/p\"\r\n";
  const FieldPairs read = parseListFile(text);
  ASSERT_EQ(read.first.size(), kMaxListEntries);
  ASSERT_EQ(read.second.size(), kMaxListEntries);
  EXPECT_EQ(read.first.front().size(), 100000);
  EXPECT_EQ(read.first.back(), QString("t32766"));
}

TEST_F(ListFiles, EnsureExistsCreatesAnEmptyFileAndTellsNotWritableFromOtherFailures) {
  EXPECT_EQ(ensureExists(path_), EnsureStatus::Ok);
  EXPECT_TRUE(QFile::exists(path_));
  ASSERT_EQ(writeListFile(path_, {{"A"}, {"/a"}}), WriteStatus::Ok);
  EXPECT_EQ(ensureExists(path_), EnsureStatus::Ok);
  EXPECT_EQ(contents(), QByteArray("\"A\"\r\n\"/a\"\r\n"));
  ASSERT_TRUE(QDir(dir_.path()).mkdir("Part.dat"));
  EXPECT_EQ(ensureExists(dir_.filePath("Part.dat")), EnsureStatus::NotWritable);
  EXPECT_EQ(ensureExists(dir_.filePath("missing/List0.dat")), EnsureStatus::OtherFailure);
  if (geteuid() == 0) return;  // root may write read-only files
  ASSERT_TRUE(QFile::setPermissions(path_, QFile::ReadOwner));
  EXPECT_EQ(ensureExists(path_), EnsureStatus::NotWritable);
}

}  // namespace
