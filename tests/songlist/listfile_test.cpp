#include "songlist/listfile.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

QByteArray contents(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

FieldPairs pairs(QStringList first, QStringList second) { return {std::move(first), std::move(second)}; }

void expectPairs(const FieldPairs& got, const QStringList& first, const QStringList& second) {
  EXPECT_EQ(got.first, first);
  EXPECT_EQ(got.second, second);
}

class ListFile : public ::testing::Test {
 protected:
  QString path() const { return dir_.filePath("List0.dat"); }
  QTemporaryDir dir_;
};

TEST_F(ListFile, WritesTwoQuotedLinesPerEntryInOrder) {
  ASSERT_EQ(writeListFile(path(), pairs({"A", "B"}, {"C:\\M\\A.mp3", "C:\\M\\B.wav"})), WriteStatus::Ok);
  EXPECT_EQ(contents(path()), QByteArray("\"A\"\r\n\"C:\\M\\A.mp3\"\r\n\"B\"\r\n\"C:\\M\\B.wav\"\r\n"));
  expectPairs(readListFile(path()), {"A", "B"}, {"C:\\M\\A.mp3", "C:\\M\\B.wav"});
}

TEST_F(ListFile, EmptyListIsAnEmptyFile) {
  ASSERT_EQ(writeListFile(path(), pairs({"A"}, {"/a.mp3"})), WriteStatus::Ok);
  ASSERT_EQ(writeListFile(path(), {}), WriteStatus::Ok);
  EXPECT_TRUE(QFile::exists(path()));
  EXPECT_EQ(contents(path()), QByteArray());
  expectPairs(readListFile(path()), {}, {});
}

TEST_F(ListFile, TitlesWithCommasQuotesAndJapaneseRoundTrip) {
  const FieldPairs records = pairs({"a, b", QString::fromUtf8("ロック \"live\""), " padded "},
                                   {"/m/a, b.mp3", QString::fromUtf8("/m/ロック.mp3"), "/m/x.wav"});
  ASSERT_EQ(writeListFile(path(), records), WriteStatus::Ok);
  const QByteArray bytes = contents(path());
  EXPECT_TRUE(
      bytes.startsWith("\"a, b\"\r\n\"/m/a, b.mp3\"\r\n\"\x83\x8D\x83\x62\x83\x4E \"\"live\"\"\"\r\n"));
  expectPairs(readListFile(path()), records.first, records.second);
}

TEST_F(ListFile, NameWithoutCp932FormMakesTheFileUtf8) {
  const QString emoji = QString::fromUtf8("曲\xF0\x9F\x8E\xB5");
  ASSERT_EQ(writeListFile(path(), pairs({emoji}, {"/m/" + emoji + ".mp3"})), WriteStatus::Ok);
  EXPECT_EQ(contents(path()), QString("\"" + emoji + "\"\r\n\"/m/" + emoji + ".mp3\"\r\n").toUtf8());
  expectPairs(readListFile(path()), {emoji}, {"/m/" + emoji + ".mp3"});
}

TEST_F(ListFile, ReadsHandWrittenFiles) {
  // Two fields on one line, blanks around, unquoted fields, text after a closing quote,
  // blank lines, LF or CR alone as line ends, a comma at a line end, a missing last line end.
  const QByteArray text =
      "\"A\",\"/a.mp3\"\r\n"
      "\r\n"
      "  \"B\"  ,  plain path  \n"
      "\"C\"junk,\"/c.mp3\" more\r"
      "D,\n"
      "E\r\n"
      "\"F\"";
  expectPairs(parseListFile(text), {"A", "B", "C", "D", "E"}, {"/a.mp3", "plain path", "/c.mp3", "", "F"});
}

TEST_F(ListFile, ReadsDamagedFilesWithoutLosingTheRest) {
  // A last field without a partner is dropped.
  expectPairs(parseListFile("\"A\"\r\n\"/a\"\r\n\"B\"\r\n"), {"A"}, {"/a"});
  // An unclosed quote takes the rest of the file.
  expectPairs(parseListFile("\"A\"\r\n\"/a\r\nB\r\n"), {"A"}, {"/a\r\nB\r\n"});
  // Invalid CP932 bytes become U+FFFD; binary bytes and NULs stay text.
  const FieldPairs damaged =
      parseListFile(QByteArrayLiteral("\"\xFF\x85\x40\"\r\n\"\0\x01\"\r\n\"\x83\x65\"\r\n\"/t\"\r\n"));
  ASSERT_EQ(damaged.first.size(), 2);
  EXPECT_EQ(damaged.first[0], QString(2, QChar(0xFFFD)) + "@");
  EXPECT_EQ(damaged.second[0], QString(QChar(0)) + QChar(1));
  EXPECT_EQ(damaged.first[1], QString::fromUtf8("テ"));
  // A 100,000-character line reads as one field.
  const QByteArray longLine = "\"" + QByteArray(100000, 'x') + "\"\r\n\"/p\"\r\n";
  const FieldPairs longRead = parseListFile(longLine);
  ASSERT_EQ(longRead.first.size(), 1);
  EXPECT_EQ(longRead.first[0].size(), 100000);
}

TEST_F(ListFile, ReadsAtMost32767Entries) {
  QByteArray text;
  for (int k = 0; k < 100000; ++k) text += "\"t" + QByteArray::number(k) + "\"\r\n\"/p\"\r\n";
  const FieldPairs records = parseListFile(text);
  ASSERT_EQ(records.first.size(), kMaxListEntries);
  ASSERT_EQ(records.second.size(), kMaxListEntries);
  EXPECT_EQ(records.first.back(), QString("t32766"));
}

TEST_F(ListFile, FileNamesHaveNoLeadingZeros) {
  EXPECT_EQ(listFileName(0), QString("List0.dat"));
  EXPECT_EQ(listFileName(12), QString("List12.dat"));
}

TEST_F(ListFile, EnsureExistsCreatesAnEmptyFileAndKeepsAnExistingOne) {
  EXPECT_EQ(ensureExists(path()), EnsureStatus::Ok);
  EXPECT_TRUE(QFile::exists(path()));
  EXPECT_EQ(contents(path()), QByteArray());
  ASSERT_EQ(writeListFile(path(), pairs({"A"}, {"/a"})), WriteStatus::Ok);
  const QByteArray before = contents(path());
  EXPECT_EQ(ensureExists(path()), EnsureStatus::Ok);
  EXPECT_EQ(contents(path()), before);
}

TEST_F(ListFile, EnsureExistsTellsNotWritableFromOtherFailures) {
  ASSERT_TRUE(QDir(dir_.path()).mkdir("Part.dat"));
  EXPECT_EQ(ensureExists(dir_.filePath("Part.dat")), EnsureStatus::NotWritable);
  EXPECT_EQ(ensureExists(dir_.filePath("missing/List0.dat")), EnsureStatus::OtherFailure);
  if (geteuid() == 0) return;  // root may write read-only files
  ASSERT_EQ(writeListFile(path(), {}), WriteStatus::Ok);
  ASSERT_TRUE(QFile::setPermissions(path(), QFile::ReadOwner));
  EXPECT_EQ(ensureExists(path()), EnsureStatus::NotWritable);
}

}  // namespace
