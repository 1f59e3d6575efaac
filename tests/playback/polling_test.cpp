// Polling and the end of a track, in simulated time: when counting starts, when the
// decision runs, what each play mode does, and positions the bar cannot show.
#include "playback_fixture.h"

namespace {

class EndOfTrack : public PlaybackTest {
 protected:
  void setMode(QAction* mode) {
    for (QAction* m : {f_.mRepeat, f_.mListTrack, f_.mRandam}) m->setChecked(m == mode);
  }
  int counting() const { return f_.Timer5->isActive(); }
};

TEST_F(EndOfTrack, CountingStartsTwoSecondsBeforeTheEndAndDecidesAtTheSecondTick) {
  for (bool earlier : {false, true}) {
    SCOPED_TRACE(earlier ? "Check2 on" : "Check2 off");
    app_.form3().Check2->setChecked(earlier);
    setMode(f_.mRepeat);
    loadTrack(200, 2);
    play();
    playAt(190);
    const int threshold = earlier ? 3 : 2;
    const int64_t untilCounting = runUntil([&] { return counting(); });
    EXPECT_EQ(untilCounting, (10 - threshold) * 1000);
    EXPECT_EQ(f_.Text2->text(), QString::number(threshold));
    EXPECT_EQ(decoder_.current.seconds, 200 - threshold);

    const int plays = decoder_.count("play");
    run(1300);
    EXPECT_EQ(f_.Label16->text(), "1");
    EXPECT_EQ(decoder_.count("play"), plays);
    run(100);  // the second tick, 1.4 s after counting began: the track starts again
    EXPECT_EQ(decoder_.count("play"), plays + 1);
    run(100);  // the next poll shows the new start and the counter rests
    EXPECT_EQ(f_.Label1->text(), "00:00");
    EXPECT_FALSE(counting());
    EXPECT_EQ(f_.Label16->text(), "0");
    run(3000);
    EXPECT_EQ(decoder_.count("play"), plays + 1);
    Form1_Command2_Click(app_);
  }
}

TEST_F(EndOfTrack, ShortTrackUnderRepeatRestartsAtEveryTickFromTheSecond) {
  f_.Label1->setText("01:00");  // the previous track's last time
  setMode(f_.mRepeat);
  loadTrack(2, 1);
  EXPECT_TRUE(counting());  // 2 s remain at once
  play();
  std::vector<int64_t> restarts;
  int plays = decoder_.count("play");
  while (nowMs_ < 4000) {
    run(100);
    if (decoder_.count("play") > plays) restarts.push_back(nowMs_), plays = decoder_.count("play");
  }
  EXPECT_EQ(restarts, (std::vector<int64_t>{1400, 2100, 2800, 3500}));
  EXPECT_FALSE(f_.Command1->isEnabled());
  EXPECT_TRUE(f_.Timer1->isActive());
}

TEST_F(EndOfTrack, WithoutAModeTheTrackStopsOnceAndTheCounterRests) {
  for (bool listWithoutDirection : {false, true}) {
    SCOPED_TRACE(listWithoutDirection ? "Song List play, no direction" : "no mode");
    setMode(listWithoutDirection ? f_.mListTrack : nullptr);
    f_.mUptoDown->setChecked(false);
    f_.mDowntoUp->setChecked(false);
    loadTrack(200, 2);
    play();
    playAt(197);
    f_.Label13->move(40, f_.Label13->y());
    ASSERT_GE(runUntil([&] { return decoder_.count("stop") > 0; }), 0);
    EXPECT_TRUE(f_.Command1->isEnabled());
    EXPECT_FALSE(f_.Timer4->isActive());
    EXPECT_EQ(f_.Label13->x(), 0);
    EXPECT_FALSE(counting());
    EXPECT_EQ(f_.Label16->text(), "0");
    run(3000);
    EXPECT_EQ(decoder_.count("stop"), 1);
  }
}

TEST_F(EndOfTrack, RandomPlayWithAnEmptySongListLeavesTheTrackAlone) {
  setMode(f_.mRandam);
  loadTrack(200, 2);
  play();
  playAt(197);
  run(3000);
  EXPECT_EQ(decoder_.count("stop"), 0);
  EXPECT_FALSE(f_.Command1->isEnabled());
}

TEST_F(EndOfTrack, PauseWithinTheLastSecondsStillReachesTheDecision) {
  for (bool repeat : {false, true}) {
    SCOPED_TRACE(repeat ? "repeat" : "no mode");
    setMode(repeat ? f_.mRepeat : nullptr);
    loadTrack(200, 2);
    play();
    playAt(197);
    run(1300);  // counting since 198.0 s
    ASSERT_TRUE(counting());
    Form1_Command3_Click(app_);
    EXPECT_FALSE(f_.Timer1->isActive());
    EXPECT_EQ(runUntil([&] { return decoder_.count("stop") > 0; }), 1100);  // 1.4 s after 198.0
    run(3000);
    EXPECT_EQ(decoder_.count("stop"), 1);  // decided once, not at every further tick
    if (repeat) {
      EXPECT_EQ(decoder_.current.state, 1);
      EXPECT_TRUE(f_.Timer1->isActive());
      EXPECT_EQ(f_.Label1->text(), "00:03");
    } else {
      EXPECT_EQ(decoder_.current.state, 0);
      EXPECT_TRUE(f_.Command1->isEnabled());
    }
    Form1_Command2_Click(app_);
    decoder_.calls.clear();
  }
}

TEST_F(EndOfTrack, ElapsedTimeStaysWhileAConversionRuns) {
  setMode(nullptr);
  loadTrack(200, 2);
  play();
  decoder_.encodeState = 1;
  playAt(150);
  run(1000);
  EXPECT_EQ(f_.Label1->text(), "00:00");
  EXPECT_EQ(f_.HScroll1->value(), 151);  // the bar follows, and its moves are not seeks
  EXPECT_EQ(decoder_.count("seek"), 0);
  playAt(199);
  run(3000);
  EXPECT_EQ(decoder_.count("stop"), 0);
  EXPECT_FALSE(counting());
}

TEST_F(EndOfTrack, PositionsPastTheBarsEndNeitherFailNorWrapNorSeek) {
  loadTrack(200, 2);
  play();
  run(100);
  decoder_.current.seconds = 205;
  Form1_Timer1_Timer(app_);
  EXPECT_EQ(f_.Label1->text(), "03:25");
  EXPECT_EQ(f_.HScroll1->value(), 200);
  EXPECT_EQ(f_.Text2->text(), "-5");
  EXPECT_EQ(f_.Label4->text(), "00:00");
  EXPECT_EQ(decoder_.count("seek"), 0);

  loadTrack(36000, 360);  // ten hours: past a 16-bit bar value
  play();
  decoder_.current.seconds = 33000;
  Form1_Timer1_Timer(app_);
  EXPECT_EQ(f_.HScroll1->value(), 33000);
  EXPECT_EQ(f_.Label1->text(), "550:00");
  EXPECT_EQ(f_.Label4->text(), "50:00");
  EXPECT_EQ(app_.LastPlayPosition, 33000);
}

}  // namespace
