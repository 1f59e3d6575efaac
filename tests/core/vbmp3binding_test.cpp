#include "core/vbmp3binding.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

namespace {

QString builtLibrary() { return qEnvironmentVariable("KESTRUNE_BUILD_DIR") + "/libvbmp3.so"; }

}  // namespace

TEST(LibraryBinding, MissingLibraryAnswersZeroEverywhere) {
  QTemporaryDir empty;
  LibraryVbmp3 lib(empty.filePath("libvbmp3.so"));
  EXPECT_EQ(lib.init(), 0);
  EXPECT_FALSE(lib.loaded());
  lib.useAtMarkTag(1);
  TrackInfo info{};
  info.length = 7;
  EXPECT_EQ(lib.open("/nowhere.mp3", info), 0);
  EXPECT_EQ(info.length, 7) << "the record is left alone";
  int32_t seconds = 5, left = 1, right = 1;
  EXPECT_EQ(lib.getState(seconds), 0);
  EXPECT_EQ(lib.getVolume(left, right), 0);
  WaveBuffer l{}, r{};
  EXPECT_EQ(lib.getWave(l, r), 0);
  EXPECT_EQ(lib.stop(), 0);
  EXPECT_EQ(lib.free(), 0);
  EXPECT_EQ(lib.getVersion(), 0);
}

TEST(LibraryBinding, BindsTheBuiltLibraryByPath) {
  ASSERT_TRUE(QFile::exists(builtLibrary())) << builtLibrary().toStdString();
  LibraryVbmp3 lib(builtLibrary());
  EXPECT_TRUE(lib.loaded());
  EXPECT_GT(lib.getVersion(), 0);
  lib.useAtMarkTag(1);
}

TEST(LibraryBinding, FileThatIsNoLibraryCountsAsMissing) {
  QTemporaryDir dir;
  QFile junk(dir.filePath("libvbmp3.so"));
  ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
  junk.write("not an ELF file");
  junk.close();
  LibraryVbmp3 lib(junk.fileName());
  EXPECT_EQ(lib.init(), 0);
  EXPECT_FALSE(lib.loaded());
}
