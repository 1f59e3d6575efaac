// Playing real files with the real library through the dummy audio device, in-process with
// the real windows and their real timers: the elapsed time advances with the clock, repeat
// starts the track again near its end, and without a play mode the track stops there with
// the play button enabled.
#include <gtest/gtest.h>

#include <QAction>
#include <QTest>
#include <vector>

#include "playback/load.h"
#include "playback/transport.h"
#include "real_program.h"
#include "ui/form1.h"

namespace {

struct Shown {
  int64_t ms;
  QString text;
};

class RealPlayback : public RealProgram {
 protected:
  void SetUp() override {
    RealProgram::SetUp();
    if (HasFatalFailure()) return;
    ASSERT_TRUE(fixtures::makeWav(file("five.wav"), 5.0));
    ASSERT_TRUE(fixtures::makeMp3(file("five.wav"), file("five.mp3")));
  }

  void setMode(QAction* mode) {
    Form1& f = app.form1();
    for (QAction* m : {f.mRepeat, f.mListTrack, f.mRandam}) m->setChecked(m == mode);
  }

  // Loads the file as the open dialog does and presses play; from then on every text of
  // the elapsed label is noted with the time since the press.
  void loadAndPlay(const std::string& name) {
    ASSERT_TRUE(LoadAndShowTrack(app, path(QString::fromStdString(name)), LoadOptions::fromOpenDialog()));
    ASSERT_EQ(app.form1().Text3->text(), "5");
    QObject::connect(app.form1().Label1, &ChangeLabel::changed, app.form1().Label1, [this] {
      shown_.push_back({clock_.elapsed(), app.form1().Label1->text()});
    });
    clock_.start();
    Form1_Command1_Click(app);
  }

  void waitUntil(int64_t ms) { QTest::qWait(static_cast<int>(ms - clock_.elapsed())); }

  // When the label first showed `text` at or after `fromMs`; -1 if it did not.
  int64_t firstShown(const QString& text, int64_t fromMs = 0) const {
    for (const Shown& s : shown_)
      if (s.ms >= fromMs && s.text == text) return s.ms;
    return -1;
  }

  // The label's history, for the failure messages.
  std::string history() const {
    std::string out;
    for (const Shown& s : shown_) out += std::to_string(s.ms) + " ms " + s.text.toStdString() + "; ";
    return out;
  }

  std::vector<Shown> shown_;
};

TEST_F(RealPlayback, ElapsedTimeFollowsTheClockAndRepeatStartsAgainNearTheEnd) {
  setMode(app.form1().mRepeat);
  loadAndPlay("five.wav");
  waitUntil(6500);
  SCOPED_TRACE(history());

  const int64_t one = firstShown("00:01"), two = firstShown("00:02"), three = firstShown("00:03");
  EXPECT_GE(one, 950);
  EXPECT_LE(one, 1400);
  EXPECT_NEAR(two - one, 1000, 250);
  EXPECT_NEAR(three - two, 1000, 250);
  // Counting begins with 2 s left (at 00:03); two 700 ms ticks later the track starts
  // again, before the decoder reaches its end.
  const int64_t again = firstShown("00:00", three);
  EXPECT_GE(again, three + 1300);
  EXPECT_LE(again, 5000);
  const int64_t oneAgain = firstShown("00:01", again);
  EXPECT_NEAR(oneAgain - again, 1000, 300);

  int32_t seconds = 0;
  EXPECT_EQ(decoder.library.getState(seconds), 1);
  EXPECT_FALSE(app.form1().Command1->isEnabled());
}

TEST_F(RealPlayback, WithoutAPlayModeTheTrackStopsAtItsEndWithPlayEnabled) {
  setMode(nullptr);
  loadAndPlay("five.mp3");
  waitUntil(3000);
  EXPECT_FALSE(app.form1().Command1->isEnabled());
  waitUntil(6000);
  SCOPED_TRACE(history());

  int32_t seconds = 0;
  EXPECT_EQ(decoder.library.getState(seconds), 0);
  EXPECT_TRUE(app.form1().Command1->isEnabled());
  EXPECT_FALSE(app.form1().Timer5->isActive());
  EXPECT_EQ(app.form1().Label16->text(), "0");
  EXPECT_EQ(app.form1().Label1->text(), "00:00");
  EXPECT_EQ(firstShown("00:05"), -1);  // stopped before the decoder's own end
}

// The tests' SDL_AUDIODRIVER=dummy is the output a machine without a sound device gets.
TEST_F(RealPlayback, TheDummyOutputIsReportedAndTheCaptionSaysSo) {
  ASSERT_EQ(qgetenv("SDL_AUDIODRIVER"), "dummy");
  EXPECT_EQ(decoder.library.getOutput(), VBMP3_OUTPUT_NONE);
  loadAndPlay("five.mp3");
  EXPECT_EQ(decoder.library.getOutput(), VBMP3_OUTPUT_SILENT);
  EXPECT_EQ(app.form1().windowTitle(), CaptionWithTitle(kSilentOutputNotice));
  waitUntil(1500);
  EXPECT_NE(firstShown("00:01"), -1) << "plays on";
}

}  // namespace
