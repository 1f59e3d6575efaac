// The three ready states of start-up: no track, the last track loaded and stopped (cache
// playback), the start-up song playing (auto-play).
#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QPushButton>

#include "core/app.h"
#include "fakes/program_test.h"
#include "ui/form1.h"
#include "ui/form5.h"

namespace {

const QString kFailedCache = "キャッシュ再生に失敗しました。\r\n又はファイルを開けませんでした。";

class StartupLoad : public ProgramTest {
 protected:
  void writeOptions(const QByteArray& keys) {
    writeFile("Option.ini",
              "[Kestrune DataFile]\r\nMainTop=-48000\r\nMainLeft=-48000\r\nFastPlay=1\r\n" + keys);
  }
};

TEST_F(StartupLoad, CachePlaybackLoadsTheLastTrackStopped) {
  decoder.addTrack("/m/Last Song.mp3", 245);
  writeOptions("OPMUSIC=1\r\nMusicPath=/m/Last Song.mp3\r\nMusicTitle=Old Title\r\n");
  Form1& main = start().form1();
  EXPECT_EQ(decoder.calls.filter("open(").join(""), "open(/m/Last Song.mp3)");
  EXPECT_EQ(decoder.count("play"), 0) << "stays stopped whatever the play-at-once option says";
  EXPECT_EQ(main.Label3->text(), "04:05");
  EXPECT_TRUE(main.Command1->isEnabled());
  EXPECT_EQ(main.Label13->text(), "Last Song");
  EXPECT_EQ(main.windowTitle(), "Kestrune");
  EXPECT_FALSE(main.mListAdd->isEnabled());
  EXPECT_EQ(main.pos(), QPoint(0, 0));
  EXPECT_TRUE(platform.messages.empty());
}

TEST_F(StartupLoad, FailedCachePlaybackTellsAndSkipsTheWindowCheck) {
  writeOptions("OPMUSIC=1\r\nMusicPath=/m/gone.mp3\r\nMusicTitle=Gone\r\n");
  Form1& main = start().form1();
  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_EQ(platform.messages[0].text, kFailedCache);
  EXPECT_EQ(platform.messages[0].title, "Kestrune");
  EXPECT_FALSE(main.Command1->isEnabled());
  EXPECT_FALSE(main.Command2->isEnabled());
  EXPECT_EQ(main.Label13->text(), "Kestrune");
  EXPECT_EQ(main.Label12->text(), "Artist");
  EXPECT_EQ(main.Text1->text(), "/m/gone.mp3");
  EXPECT_EQ(main.pos(), QPoint(-3200, -3200)) << "the off-screen check is skipped";
}

TEST_F(StartupLoad, AutoPlayReplacesTheCachedTrackAndPlays) {
  decoder.addTrack("/m/last.mp3", 245);
  decoder.addTrack("/m/auto.wav", 60);
  writeOptions(
      "OPMUSIC=1\r\nMusicPath=/m/last.mp3\r\nMusicTitle=Last\r\n"
      "AutoMusicMode=1\r\nAutoMusic=/m/auto.wav\r\n");
  Form1& main = start().form1();
  EXPECT_EQ(decoder.calls.filter("open(").join(" "), "open(/m/last.mp3) open(/m/auto.wav)");
  EXPECT_EQ(decoder.count("play"), 1);
  EXPECT_EQ(main.Text1->text(), "/m/auto.wav");
  EXPECT_EQ(main.Label3->text(), "01:00");
  EXPECT_FALSE(main.Command1->isEnabled());
  EXPECT_TRUE(main.Command2->isEnabled());
  EXPECT_TRUE(main.Timer1->isActive());
  EXPECT_EQ(main.Label13->text(), "auto");
  EXPECT_FALSE(main.mListAdd->isEnabled()) << "cache playback still disables it afterwards";
  EXPECT_EQ(main.windowTitle(), "Kestrune");
}

// The failed open has closed the cached track, so it is not offered for play.
TEST_F(StartupLoad, FailedAutoPlayLeavesNoTrack) {
  decoder.addTrack("/m/last.mp3", 245);
  writeOptions(
      "OPMUSIC=1\r\nMusicPath=/m/last.mp3\r\nMusicTitle=Last\r\n"
      "AutoMusicMode=1\r\nAutoMusic=/m/missing.wav\r\n");
  Form1& main = start().form1();
  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_EQ(platform.messages[0].text, kFailedOpen);
  EXPECT_EQ(decoder.count("play"), 0);
  EXPECT_EQ(main.Text1->text(), "/m/last.mp3");
  EXPECT_EQ(main.Label3->text(), "00:00");
  EXPECT_FALSE(main.Command1->isEnabled());
}

TEST_F(StartupLoad, AutoPlayWithoutCachePlayback) {
  decoder.addTrack("/m/auto.wav", 60);
  writeOptions("AutoMusicMode=1\r\nAutoMusic=/m/auto.wav\r\n");
  app.form1().mPTag->setChecked(true);
  app.form1().Label11->setText("3/9");
  Form1& main = start().form1();
  EXPECT_EQ(decoder.calls.filter("open(").join(""), "open(/m/auto.wav)");
  EXPECT_EQ(main.Text1->text(), "/m/auto.wav");
  EXPECT_EQ(decoder.count("play"), 1);
  EXPECT_FALSE(app.form5().isVisible()) << "the play starts without the tag editor";
  EXPECT_EQ(main.Label11->text(), "3/9");
  EXPECT_TRUE(main.mListAdd->isEnabled());
  EXPECT_EQ(main.windowTitle(), QString("Kestrune") + QChar(0x3000) + "【auto】");
}

}  // namespace
