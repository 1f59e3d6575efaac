// Opening awkward files through the open dialog with the real decoder library: each gives
// the failed-open message or a correct display, and the timers keep their pace.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <QCheckBox>
#include <QFile>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <cstring>

#include "audio_fixtures.h"
#include "core/app.h"
#include "core/vbmp3binding.h"
#include "fakes/scripted_platform.h"
#include "playback/load.h"
#include "ui/form1.h"
#include "ui/form3.h"

namespace {

const QString kFailedOpen =
    "指定させたファイルが存在しません。\r\n又は拡張子がサポートされてないファイルです。";

// A 16-bit PCM WAV header claiming `dataBytes` of samples, over a sparse file of that size.
bool writeSparseWav(const std::string& path, uint32_t rate, uint16_t channels, uint32_t dataBytes) {
  const uint16_t bits = 16, block = channels * bits / 8;
  const uint32_t byteRate = rate * block, riffSize = 36 + dataBytes, fmtSize = 16;
  const uint16_t pcm = 1;
  char header[44];
  std::memcpy(header, "RIFF", 4);
  std::memcpy(header + 4, &riffSize, 4);
  std::memcpy(header + 8, "WAVEfmt ", 8);
  std::memcpy(header + 16, &fmtSize, 4);
  std::memcpy(header + 20, &pcm, 2);
  std::memcpy(header + 22, &channels, 2);
  std::memcpy(header + 24, &rate, 4);
  std::memcpy(header + 28, &byteRate, 4);
  std::memcpy(header + 32, &block, 2);
  std::memcpy(header + 34, &bits, 2);
  std::memcpy(header + 36, "data", 4);
  std::memcpy(header + 40, &dataBytes, 4);
  const int fd = ::open(path.c_str(), O_CREAT | O_TRUNC | O_WRONLY, 0644);
  if (fd < 0) return false;
  const bool ok =
      ::write(fd, header, sizeof header) == sizeof header && ::ftruncate(fd, 44 + off_t{dataBytes}) == 0;
  ::close(fd);
  return ok;
}

class BadInputTest : public testing::Test {
 protected:
  BadInputTest()
      : library(qEnvironmentVariable("KESTRUNE_BUILD_DIR") + "/libvbmp3.so"),
        app(library, platform, QString::fromStdString(dir.path())),
        main(app.form1()) {
    library.init();
    app.form3().Check6->setChecked(false);  // loaded and stopped, to look at the display
  }
  ~BadInputTest() override { library.free(); }

  void open(const std::string& path) {
    platform.dialogAnswers.push_back(QString::fromStdString(path));
    Form1_mOpen_Click(app);
  }

  // Either the failed-open message and the no-track state, or no message and a display
  // that matches what the library reported.
  void expectMessageOrDisplay(const char* what) {
    if (!platform.messages.empty()) {
      EXPECT_EQ(platform.messages.back().text, kFailedOpen) << what;
      EXPECT_FALSE(main.Command1->isEnabled()) << what;
      EXPECT_EQ(main.windowTitle(), "Kestrune") << what;
    } else {
      EXPECT_TRUE(main.Command1->isEnabled()) << what;
      EXPECT_EQ(main.HScroll1->maximum(), main.Text3->text().toInt()) << what;
    }
    expectTimersAtTheirPace();
  }

  void expectTimersAtTheirPace() {
    for (QTimer* timer : {main.Timer1, main.Timer2, main.Timer3, main.Timer4, main.Timer5, main.Timer6})
      EXPECT_GE(timer->interval(), 10) << timer->objectName().toStdString();
  }

  void expectFailedOpen(const char* what) {
    ASSERT_EQ(platform.messages.size(), 1u) << what;
    EXPECT_EQ(platform.messages[0].text, kFailedOpen) << what;
    EXPECT_FALSE(main.Command1->isEnabled()) << what;
    expectTimersAtTheirPace();
  }

  fixtures::TempDir dir;
  LibraryVbmp3 library;
  ScriptedPlatform platform;
  App app;
  Form1& main;
};

TEST_F(BadInputTest, Directory) {
  open(dir / "");
  expectFailedOpen("a directory");
  EXPECT_EQ(main.Label13->text(), "Kestrune");
}

TEST_F(BadInputTest, RenamedTextFile) {
  fixtures::writeBytes(dir / "notes.mp3", std::vector<char>(4000, 'x'));
  open(dir / "notes.mp3");
  expectFailedOpen("a text file named .mp3");
}

TEST_F(BadInputTest, FileDeletedAfterTheDialog) {
  open(dir / "was-here.mp3");
  expectFailedOpen("a file that is gone");
  EXPECT_EQ(main.Text1->text(), QString::fromStdString(dir / "was-here.mp3"));
}

TEST_F(BadInputTest, TruncatedMp3) {
  ASSERT_TRUE(fixtures::makeWav(dir / "a.wav", 6));
  ASSERT_TRUE(fixtures::makeMp3(dir / "a.wav", dir / "a.mp3"));
  std::vector<char> bytes = fixtures::readBytes(dir / "a.mp3");
  bytes.resize(bytes.size() / 3);
  fixtures::writeBytes(dir / "cut.mp3", bytes);
  bytes.resize(300);
  fixtures::writeBytes(dir / "stub.mp3", bytes);

  open(dir / "cut.mp3");
  expectMessageOrDisplay("an MP3 cut to a third");
  open(dir / "stub.mp3");
  expectMessageOrDisplay("the first 300 bytes of an MP3");
}

TEST_F(BadInputTest, ZeroSecondWavs) {
  ASSERT_TRUE(writeSparseWav(dir / "empty.wav", 44100, 2, 0));
  open(dir / "empty.wav");
  expectMessageOrDisplay("a WAV without samples");
  platform.messages.clear();

  // Under a second: shown as 0 seconds, and it plays; under repeat the end counter
  // restarts it at every tick.
  ASSERT_TRUE(fixtures::makeWav(dir / "short.wav", 0.4));
  open(dir / "short.wav");
  ASSERT_TRUE(platform.messages.empty());
  EXPECT_EQ(main.Label3->text(), "00:00");
  EXPECT_EQ(main.HScroll1->maximum(), 0);
  main.Command1->click();
  QTest::qWait(1600);  // past the end counter's second tick
  EXPECT_TRUE(platform.messages.empty());
  EXPECT_FALSE(main.Command1->isEnabled()) << "still playing";
  expectTimersAtTheirPace();
}

TEST_F(BadInputTest, TenHourWavShowsAndSeeksPast32767Seconds) {
  constexpr uint32_t kSeconds = 36000;
  ASSERT_TRUE(writeSparseWav(dir / "long.wav", 8000, 1, kSeconds * 8000 * 2));
  open(dir / "long.wav");
  ASSERT_TRUE(platform.messages.empty());
  EXPECT_EQ(main.Label3->text(), "600:00");
  EXPECT_EQ(main.Text3->text(), "36000");
  EXPECT_EQ(main.HScroll1->maximum(), 36000);
  EXPECT_EQ(main.HScroll1->pageStep(), 360);

  main.Command1->click();
  main.HScroll1->setValue(35990);  // the user's move: beyond a 16-bit count of seconds
  QTest::qWait(300);
  EXPECT_TRUE(main.Label1->text().startsWith("599:5")) << main.Label1->text().toStdString();
  EXPECT_GE(main.HScroll1->value(), 35990);
  expectTimersAtTheirPace();
}

}  // namespace
