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
#include "fakes/program_test.h"
#include "playback/load.h"
#include "ui/form1.h"
#include "ui/form3.h"

namespace {

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

class BadInputTest : public RealLibraryTest {
 protected:
  BadInputTest() {
    app.form3().Check6->setChecked(false);  // loaded and stopped, to look at the display
  }

  void open(const std::string& path) {
    platform.dialogAnswers.push_back(QString::fromStdString(path));
    Form1_mOpen_Click(app);
  }

  // No message, and a display that matches what the library reported.
  void expectOpened(const char* what) {
    EXPECT_TRUE(platform.messages.empty()) << what;
    EXPECT_TRUE(main.Command1->isEnabled()) << what;
    EXPECT_EQ(main.HScroll1->maximum(), main.Text3->text().toInt()) << what;
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

  Form1& main = app.form1();
};

TEST_F(BadInputTest, Directory) {
  open(file(""));
  expectFailedOpen("a directory");
  EXPECT_EQ(main.Label13->text(), "Kestrune");
}

TEST_F(BadInputTest, RenamedTextFile) {
  fixtures::writeBytes(file("notes.mp3"), std::vector<char>(4000, 'x'));
  open(file("notes.mp3"));
  expectFailedOpen("a text file named .mp3");
}

TEST_F(BadInputTest, FileDeletedAfterTheDialog) {
  open(file("was-here.mp3"));
  expectFailedOpen("a file that is gone");
  EXPECT_EQ(main.Text1->text(), QString::fromStdString(file("was-here.mp3")));
}

TEST_F(BadInputTest, TruncatedMp3) {
  ASSERT_TRUE(fixtures::makeWav(file("a.wav"), 6));
  ASSERT_TRUE(fixtures::makeMp3(file("a.wav"), file("a.mp3")));
  std::vector<char> bytes = fixtures::readBytes(file("a.mp3"));
  bytes.resize(bytes.size() / 3);
  fixtures::writeBytes(file("cut.mp3"), bytes);
  bytes.resize(300);
  fixtures::writeBytes(file("stub.mp3"), bytes);

  open(file("cut.mp3"));
  expectOpened("an MP3 cut to a third");
  EXPECT_LT(main.Text3->text().toInt(), 6) << "the length of what is left";
  open(file("stub.mp3"));
  expectFailedOpen("the first 300 bytes of an MP3");
}

TEST_F(BadInputTest, ZeroSecondWavs) {
  ASSERT_TRUE(writeSparseWav(file("empty.wav"), 44100, 2, 0));
  open(file("empty.wav"));
  expectFailedOpen("a WAV without samples");
  platform.messages.clear();

  // Under a second: shown as 0 seconds, and it plays; under repeat the end counter
  // restarts it at every tick.
  ASSERT_TRUE(fixtures::makeWav(file("short.wav"), 0.4));
  open(file("short.wav"));
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
  ASSERT_TRUE(writeSparseWav(file("long.wav"), 8000, 1, kSeconds * 8000 * 2));
  open(file("long.wav"));
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
