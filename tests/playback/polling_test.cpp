// Polling and the end of a track, in simulated time: when counting starts, when the
// decision runs, what each play mode does, and positions the bar cannot show.
#include "playback_fixture.h"

namespace {

class EndOfTrack : public PlaybackTest {
 protected:
  void setMode(QAction* mode) {
    for (QAction* m : {main.mRepeat, main.mListTrack, main.mRandam}) m->setChecked(m == mode);
  }
  int counting() const { return main.Timer5->isActive(); }
};

TEST_F(EndOfTrack, CountingStartsTwoSecondsBeforeTheEndAndDecidesAtTheSecondTick) {
  for (bool earlier : {false, true}) {
    SCOPED_TRACE(earlier ? "Check2 on" : "Check2 off");
    app.form3().Check2->setChecked(earlier);
    setMode(main.mRepeat);
    loadTrack(200, 2);
    play();
    playAt(190);
    const int threshold = earlier ? 3 : 2;
    const int64_t untilCounting = runUntil([&] { return counting(); });
    EXPECT_EQ(untilCounting, (10 - threshold) * 1000);
    EXPECT_EQ(main.Text2->text(), QString::number(threshold));
    EXPECT_EQ(decoder.current.seconds, 200 - threshold);

    const int plays = decoder.count("play");
    run(1300);
    EXPECT_EQ(main.Label16->text(), "1");
    EXPECT_EQ(decoder.count("play"), plays);
    run(100);  // the second tick, 1.4 s after counting began: the track starts again
    EXPECT_EQ(decoder.count("play"), plays + 1);
    run(100);  // the next poll shows the new start and the counter rests
    EXPECT_EQ(main.Label1->text(), "00:00");
    EXPECT_FALSE(counting());
    EXPECT_EQ(main.Label16->text(), "0");
    run(3000);
    EXPECT_EQ(decoder.count("play"), plays + 1);
    Form1_Command2_Click(app);
  }
}

TEST_F(EndOfTrack, ShortTrackUnderRepeatRestartsAtEveryTickFromTheSecond) {
  main.Label1->setText("01:00");  // the previous track's last time
  setMode(main.mRepeat);
  loadTrack(2, 1);
  EXPECT_TRUE(counting());  // 2 s remain at once
  play();
  std::vector<int64_t> restarts;
  int plays = decoder.count("play");
  while (nowMs_ < 4000) {
    run(100);
    if (decoder.count("play") > plays) restarts.push_back(nowMs_), plays = decoder.count("play");
  }
  EXPECT_EQ(restarts, (std::vector<int64_t>{1400, 2100, 2800, 3500}));
  EXPECT_FALSE(main.Command1->isEnabled());
  EXPECT_TRUE(main.Timer1->isActive());
}

TEST_F(EndOfTrack, WithoutAModeTheTrackStopsOnceAndTheCounterRests) {
  for (bool listWithoutDirection : {false, true}) {
    SCOPED_TRACE(listWithoutDirection ? "Song List play, no direction" : "no mode");
    setMode(listWithoutDirection ? main.mListTrack : nullptr);
    main.mUptoDown->setChecked(false);
    main.mDowntoUp->setChecked(false);
    loadTrack(200, 2);
    play();
    playAt(197);
    main.Label13->move(40, main.Label13->y());
    ASSERT_GE(runUntil([&] { return decoder.count("stop") > 0; }), 0);
    EXPECT_TRUE(main.Command1->isEnabled());
    EXPECT_FALSE(main.Timer4->isActive());
    EXPECT_EQ(main.Label13->x(), 0);
    EXPECT_FALSE(counting());
    EXPECT_EQ(main.Label16->text(), "0");
    run(3000);
    EXPECT_EQ(decoder.count("stop"), 1);
  }
}

TEST_F(EndOfTrack, RandomPlayWithAnEmptySongListLeavesTheTrackAlone) {
  setMode(main.mRandam);
  loadTrack(200, 2);
  play();
  playAt(197);
  run(3000);
  EXPECT_EQ(decoder.count("stop"), 0);
  EXPECT_FALSE(main.Command1->isEnabled());
}

TEST_F(EndOfTrack, PauseWithinTheLastSecondsStillReachesTheDecision) {
  for (bool repeat : {false, true}) {
    SCOPED_TRACE(repeat ? "repeat" : "no mode");
    setMode(repeat ? main.mRepeat : nullptr);
    loadTrack(200, 2);
    play();
    playAt(197);
    run(1300);  // counting since 198.0 s
    ASSERT_TRUE(counting());
    Form1_Command3_Click(app);
    EXPECT_FALSE(main.Timer1->isActive());
    EXPECT_EQ(runUntil([&] { return decoder.count("stop") > 0; }), 1100);  // 1.4 s after 198.0
    run(3000);
    EXPECT_EQ(decoder.count("stop"), 1);  // decided once, not at every further tick
    if (repeat) {
      EXPECT_EQ(decoder.current.state, 1);
      EXPECT_TRUE(main.Timer1->isActive());
      EXPECT_EQ(main.Label1->text(), "00:03");
    } else {
      EXPECT_EQ(decoder.current.state, 0);
      EXPECT_TRUE(main.Command1->isEnabled());
    }
    Form1_Command2_Click(app);
    decoder.calls.clear();
  }
}

TEST_F(EndOfTrack, ElapsedTimeStaysWhileAConversionRuns) {
  setMode(nullptr);
  loadTrack(200, 2);
  play();
  decoder.encodeState = 1;
  playAt(150);
  run(1000);
  EXPECT_EQ(main.Label1->text(), "00:00");
  EXPECT_EQ(main.HScroll1->value(), 151);  // the bar follows, and its moves are not seeks
  EXPECT_EQ(decoder.count("seek"), 0);
  playAt(199);
  run(3000);
  EXPECT_EQ(decoder.count("stop"), 0);
  EXPECT_FALSE(counting());
}

TEST_F(EndOfTrack, PositionsPastTheBarsEndNeitherFailNorWrapNorSeek) {
  loadTrack(200, 2);
  play();
  run(100);
  decoder.current.seconds = 205;
  Form1_Timer1_Timer(app);
  EXPECT_EQ(main.Label1->text(), "03:25");
  EXPECT_EQ(main.HScroll1->value(), 200);
  EXPECT_EQ(main.Text2->text(), "-5");
  EXPECT_EQ(main.Label4->text(), "00:00");
  EXPECT_EQ(decoder.count("seek"), 0);

  loadTrack(36000, 360);  // ten hours: past a 16-bit bar value
  play();
  decoder.current.seconds = 33000;
  Form1_Timer1_Timer(app);
  EXPECT_EQ(main.HScroll1->value(), 33000);
  EXPECT_EQ(main.Label1->text(), "550:00");
  EXPECT_EQ(main.Label4->text(), "50:00");
  EXPECT_EQ(app.LastPlayPosition, 33000);
}

}  // namespace
