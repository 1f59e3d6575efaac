#include "core/profile.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

const QString kSection = "Kestrune DataFile";

class Profile : public ::testing::Test {
 protected:
  QByteArray bytes() const {
    QFile f(path_);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
  }
  void put(const QByteArray& content) const {
    QFile f(path_);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(content);
  }
  QTemporaryDir dir_;
  QString path_ = dir_.filePath("Option.ini");
};

TEST_F(Profile, FirstSaveCreatesTheSectionAndSavingAgainChangesNothing) {
  EXPECT_EQ(profile::read(path_, kSection, "MainTop"), QString());
  auto save = [&] {
    ProfileFile file(path_);
    file.set(kSection, "MainTop", "900");
    file.set(kSection, "MusicPath", QString::fromUtf8("/m/音楽/a b=c.mp3"));
    file.set(kSection, "FastFolder", "");
    return file.save();
  };
  ASSERT_EQ(save(), WriteStatus::Ok);
  const QByteArray expected =
      "[Kestrune DataFile]\r\nMainTop=900\r\nMusicPath=/m/\x89\xb9\x8a\x79/a b=c.mp3\r\nFastFolder=\r\n";
  EXPECT_EQ(bytes(), expected);
  ASSERT_EQ(save(), WriteStatus::Ok);
  EXPECT_EQ(bytes(), expected);
  EXPECT_EQ(profile::read(path_, "KESTRUNE DATAFILE", "musicpath"), QString::fromUtf8("/m/音楽/a b=c.mp3"));
}

TEST_F(Profile, WriteReplacesInPlaceAndKeepsEverythingElse) {
  put("; a comment\n[Other]\r\nMainTop=7\r\n[kestrune datafile]\r\n  MAINTOP = 1 \r\njunk without equals\r\n"
      "Title=\x83\x65\r\n\r\n[Tail]\r\nx=\xFF\xFE raw\r\nlast=1");
  ASSERT_EQ(profile::write(path_, kSection, "MainTop", "900"), WriteStatus::Ok);
  ASSERT_EQ(profile::write(path_, kSection, "NewKey", "v"), WriteStatus::Ok);
  ASSERT_EQ(profile::write(path_, "Added", "k", "w"), WriteStatus::Ok);
  EXPECT_EQ(bytes(), QByteArray("; a comment\n[Other]\r\nMainTop=7\r\n[kestrune datafile]\r\nMAINTOP=900\r\n"
                                "junk without equals\r\nTitle=\x83\x65\r\nNewKey=v\r\n\r\n"
                                "[Tail]\r\nx=\xFF\xFE raw\r\nlast=1\r\n[Added]\r\nk=w\r\n"));
  EXPECT_EQ(profile::read(path_, "Other", "MainTop"), QString("7"));
}

TEST_F(Profile, ValuesReadBackAsWritten) {
  const QStringList values = {"  blanks around  ", "/music/folder ", "\"quoted\"", "'single'", "\"",
                              QString(5000, u'x')};
  ProfileFile file(path_);
  for (int i = 0; i < values.size(); ++i) file.set(kSection, QString("K%1").arg(i), values[i]);
  file.set(kSection, "Breaks", "a\r\nb\nc\rd");
  ASSERT_EQ(file.save(), WriteStatus::Ok);
  EXPECT_TRUE(bytes().contains("\r\nBreaks=a b c d\r\n"));
  const ProfileFile again(path_);
  for (int i = 0; i < values.size(); ++i)
    EXPECT_EQ(again.get(kSection, QString("K%1").arg(i)), values[i].left(kProfileReadBufferChars - 1));
}

TEST_F(Profile, ReaderTrimsBlanksAndStripsOneQuotePair) {
  put("[S]\r\n a = \t x y \t\r\nq=\"  z \"\r\nr='\"'\r\ne=\"\"\r\n");
  const ProfileFile file(path_);
  EXPECT_EQ(file.get("s", "A"), QString("x y"));
  EXPECT_EQ(file.get("S", "q"), QString("  z "));
  EXPECT_EQ(file.get("S", "r"), QString("\""));
  EXPECT_EQ(file.get("S", "e"), QString()) << "an empty pair of quotes is an empty value";
}

TEST_F(Profile, TextWithoutCp932FormMakesTheFileUtf8UntilItFitsAgain) {
  put("[S]\r\nj=\x83\x65\r\n");
  const QString emoji = QString::fromUtf8("/m/\xF0\x9F\x8E\xB5.mp3");
  ASSERT_EQ(profile::write(path_, "S", "p", emoji), WriteStatus::Ok);
  EXPECT_EQ(bytes(), ("[S]\r\nj=" + QString::fromUtf8("テ") + "\r\np=" + emoji + "\r\n").toUtf8());
  ASSERT_EQ(profile::write(path_, "S", "p", "/m/a.mp3"), WriteStatus::Ok);
  EXPECT_EQ(bytes(), QByteArray("[S]\r\nj=\x83\x65\r\np=/m/a.mp3\r\n"));
}

TEST_F(Profile, GarbageAndHugeLinesAreKeptAndDoNotBreakReading) {
  QByteArray junk(100000, 'a');
  junk += QByteArrayLiteral("\0\xFF\x81\r\r\n[S\n[S]]\n=\n==x\n[S]\nk=\x81");
  put(junk);
  ProfileFile file(path_);
  EXPECT_EQ(file.get("S", "k"), QString(QChar(0xFFFD)));
  file.set("S", "k", "ok");
  ASSERT_EQ(file.save(), WriteStatus::Ok);
  EXPECT_EQ(bytes(), junk.chopped(1) + "ok");
}

TEST_F(Profile, FileThatCannotBeReadIsNeverOverwritten) {
  ASSERT_TRUE(QDir(dir_.path()).mkdir("Option.ini"));
  EXPECT_EQ(profile::write(path_, kSection, "MainTop", "1"), WriteStatus::CannotOpen);
}

}  // namespace
