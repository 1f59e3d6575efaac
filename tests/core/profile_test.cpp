#include "core/profile.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

const QString kSection = "Kestrune DataFile";

class Profile : public ::testing::Test {
 protected:
  QString path() const { return dir_.filePath("Option.ini"); }
  QByteArray bytes() const {
    QFile f(path());
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
  }
  void put(const QByteArray& content) const {
    QFile f(path());
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(content);
  }
  QTemporaryDir dir_;
};

TEST_F(Profile, MissingFileSectionOrKeyReadsEmpty) {
  EXPECT_EQ(profile::read(path(), kSection, "MainTop"), QString());
  put("[Other]\r\nMainTop=1\r\n");
  EXPECT_EQ(profile::read(path(), kSection, "MainTop"), QString());
  put("[Kestrune DataFile]\r\nMainLeft=1\r\n");
  EXPECT_EQ(profile::read(path(), kSection, "MainTop"), QString());
}

TEST_F(Profile, FirstWriteCreatesSectionAndKeysInOrder) {
  ProfileFile file(path());
  file.set(kSection, "MainTop", "900");
  file.set(kSection, "MainLeft", "1200");
  file.set(kSection, "PlayMode1", "True");
  ASSERT_EQ(file.save(), WriteStatus::Ok);
  EXPECT_EQ(bytes(), QByteArray("[Kestrune DataFile]\r\nMainTop=900\r\nMainLeft=1200\r\nPlayMode1=True\r\n"));
}

TEST_F(Profile, WriteReplacesInPlaceAndKeepsEverythingElse) {
  const QByteArray foreign =
      "; a comment\n"
      "[Other]\r\nMainTop=7\r\n"
      "[kestrune datafile]\r\n"
      "  MAINTOP = 1 \r\n"
      "junk line without equals\r\n"
      "MusicTitle=\x83\x65\x83\x58\x83\x67\r\n"
      "\r\n"
      "[Tail]\r\nx=\xFF\xFE raw\r\nlast=1";
  put(foreign);
  ASSERT_EQ(profile::write(path(), kSection, "MainTop", "900"), WriteStatus::Ok);
  ASSERT_EQ(profile::write(path(), kSection, "NewKey", "v"), WriteStatus::Ok);
  ASSERT_EQ(profile::write(path(), "Added", "k", "w"), WriteStatus::Ok);
  EXPECT_EQ(bytes(), QByteArray("; a comment\n"
                                "[Other]\r\nMainTop=7\r\n"
                                "[kestrune datafile]\r\n"
                                "MAINTOP=900\r\n"
                                "junk line without equals\r\n"
                                "MusicTitle=\x83\x65\x83\x58\x83\x67\r\n"
                                "NewKey=v\r\n"
                                "\r\n"
                                "[Tail]\r\nx=\xFF\xFE raw\r\nlast=1\r\n"
                                "[Added]\r\nk=w\r\n"));
  EXPECT_EQ(profile::read(path(), kSection, "musictitle"), QString::fromUtf8("テスト"));
  EXPECT_EQ(profile::read(path(), "OTHER", "maintop"), QString("7"));
}

TEST_F(Profile, SavingTheSameValuesAgainGivesTheSameBytes) {
  auto saveAll = [&] {
    ProfileFile file(path());
    file.set(kSection, "MusicPath", QString::fromUtf8("/home/u/曲/a b=c.mp3"));
    file.set(kSection, "MainLeft", "-48000");
    return file.save();
  };
  ASSERT_EQ(saveAll(), WriteStatus::Ok);
  const QByteArray first = bytes();
  ASSERT_EQ(saveAll(), WriteStatus::Ok);
  EXPECT_EQ(bytes(), first);
}

TEST_F(Profile, ValuesReadBackAsWritten) {
  const QStringList values = {
      QString::fromUtf8("/home/u/音楽/a=b c.mp3"),  // Japanese, "=", inner spaces
      "  leading and trailing  ",
      "\"quoted\"",
      "'single'",
      "\"",
      "",
  };
  ProfileFile file(path());
  for (int i = 0; i < values.size(); ++i) file.set(kSection, QString("K%1").arg(i), values[i]);
  ASSERT_EQ(file.save(), WriteStatus::Ok);
  EXPECT_TRUE(bytes().contains("K0=/home/u/\x89\xb9\x8a\x79/a=b c.mp3\r\n"));  // CP932, unquoted
  ProfileFile again(path());
  for (int i = 0; i < values.size(); ++i)
    EXPECT_EQ(again.get(kSection, QString("K%1").arg(i)), values[i]) << i;
}

TEST_F(Profile, ReaderTrimsBlanksAndStripsOneQuotePair) {
  put("[S]\r\n a = \t x y \t\r\nq=\"  z \"\r\nr='\"'\r\n");
  ProfileFile file(path());
  EXPECT_EQ(file.get("s", "A"), QString("x y"));
  EXPECT_EQ(file.get("S", "q"), QString("  z "));
  EXPECT_EQ(file.get("S", "r"), QString("\""));
}

TEST_F(Profile, LineBreaksInAValueBecomeSpaces) {
  ASSERT_EQ(profile::write(path(), kSection, "MusicTitle", "a\r\nb\nc\rd"), WriteStatus::Ok);
  EXPECT_EQ(bytes(), QByteArray("[Kestrune DataFile]\r\nMusicTitle=a b c d\r\n"));
}

TEST_F(Profile, LongValuesAreCutToTheReadBuffer) {
  const QString longValue(5000, u'x');
  ASSERT_EQ(profile::write(path(), kSection, "MusicPath", longValue), WriteStatus::Ok);
  EXPECT_EQ(profile::read(path(), kSection, "MusicPath"), QString(kProfileReadBufferChars - 1, u'x'));
  EXPECT_TRUE(bytes().contains(longValue.toLatin1()));  // the file keeps it whole
}

TEST_F(Profile, TextWithoutCp932FormTurnsTheWholeFileUtf8) {
  put("[S]\r\nj=\x83\x65\x83\x58\x83\x67\r\n");
  const QString emoji = QString::fromUtf8("/m/\xF0\x9F\x8E\xB5.mp3");
  ASSERT_EQ(profile::write(path(), "S", "p", emoji), WriteStatus::Ok);
  EXPECT_EQ(bytes(), QString::fromUtf8("[S]\r\nj=テスト\r\np=/m/\xF0\x9F\x8E\xB5.mp3\r\n").toUtf8());
  EXPECT_EQ(profile::read(path(), "S", "j"), QString::fromUtf8("テスト"));
  // Once the text fits CP932 again, the file goes back to CP932.
  ASSERT_EQ(profile::write(path(), "S", "p", "/m/a.mp3"), WriteStatus::Ok);
  EXPECT_EQ(bytes(), QByteArray("[S]\r\nj=\x83\x65\x83\x58\x83\x67\r\np=/m/a.mp3\r\n"));
}

TEST_F(Profile, GarbageAndHugeLinesDoNotBreakReading) {
  QByteArray junk(100000, 'a');
  junk += QByteArrayLiteral("\0\xFF\x81\r\r\n[S\n[S]]\n=\n==x\n[S]\nk=\x81");
  junk.insert(500, QByteArrayLiteral("\0\0\0"));
  put(junk);
  ProfileFile file(path());
  EXPECT_EQ(file.get("S", "k"), QString(QChar(0xFFFD)));
  file.set("S", "k", "ok");
  ASSERT_EQ(file.save(), WriteStatus::Ok);
  EXPECT_TRUE(bytes().startsWith(junk.left(100000)));
  EXPECT_TRUE(bytes().endsWith("[S]\nk=ok"));
}

TEST_F(Profile, UnreadableFileIsNeverOverwritten) {
  ASSERT_TRUE(QDir(dir_.path()).mkdir("Option.ini"));  // exists, cannot be read as a file
  ProfileFile file(path());
  file.set(kSection, "MainTop", "1");
  EXPECT_EQ(file.save(), WriteStatus::CannotOpen);
}

}  // namespace
