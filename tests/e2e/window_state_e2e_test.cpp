// The window shows the state the real library is in, with the real windows and timers: after
// a failed open at the end of a track (the open has closed the track, so there is no track
// and play stays refused, not "playing" over silence), and after a pitch step while paused
// (the sound stays paused behind the paused window).
#include <gtest/gtest.h>

#include <QAction>
#include <QListWidget>
#include <QTest>

#include "playback/load.h"
#include "playback/transport.h"
#include "real_program.h"
#include "songlist/songlistwindow.h"
#include "ui/form1.h"
#include "ui/form2.h"

namespace {

using RealWindowState = RealProgram;

TEST_F(RealWindowState, NextEntryThatDoesNotOpenLeavesNoTrackAndPlayRefused) {
  const QString track = QString::fromStdString(file("three.wav"));
  ASSERT_TRUE(fixtures::makeWav(track.toStdString(), 3.0));
  Form1& f = app.form1();
  Form2& list = app.form2();
  list.List1->addItems({"three", "gone"});
  list.List2->addItems({track, QString::fromStdString(file("gone.mp3"))});
  list.Label2->setText("2");
  for (QAction* m : {f.mRepeat, f.mRandam}) m->setChecked(false);
  f.mListTrack->setChecked(true);
  f.mUptoDown->setChecked(true);
  f.mDowntoUp->setChecked(false);
  selectEntry(app, 0);

  ASSERT_TRUE(LoadAndShowTrack(app, track, LoadOptions::fromOpenDialog()));
  Form1_Command1_Click(app);
  ASSERT_TRUE(QTest::qWaitFor([&] { return !platform.messages.empty(); }, 6000));
  QTest::qWait(300);

  int32_t seconds = -1;
  EXPECT_EQ(decoder.library.getState(seconds), 0);
  EXPECT_EQ(f.Label3->text(), "00:00");
  EXPECT_FALSE(f.Command1->isEnabled());
  EXPECT_FALSE(f.Timer1->isActive());

  Form1_Command1_Click(app);  // what the button would do, were it offered
  QTest::qWait(1200);
  EXPECT_EQ(decoder.library.getState(seconds), 0);
  EXPECT_FALSE(f.Command1->isEnabled());
  EXPECT_FALSE(f.Timer1->isActive());
  EXPECT_EQ(f.Label3->text(), "00:00");
  EXPECT_EQ(platform.messages.size(), 1u);
}

TEST_F(RealWindowState, PitchStepsWhilePausedKeepTheTrackPaused) {
  const QString track = QString::fromStdString(file("five.wav"));
  ASSERT_TRUE(fixtures::makeWav(track.toStdString(), 5.0));
  Form1& f = app.form1();
  ASSERT_TRUE(LoadAndShowTrack(app, track, LoadOptions::fromOpenDialog()));
  Form1_Command1_Click(app);
  QTest::qWait(1200);
  Form1_Command3_Click(app);
  int32_t before = -1, after = -1;
  ASSERT_EQ(decoder.library.getState(before), 2);

  Form1_Command6_Click(app);
  Form1_Command5_Click(app);
  QTest::qWait(1500);
  EXPECT_EQ(decoder.library.getState(after), 2);
  EXPECT_EQ(after, before);
  EXPECT_TRUE(f.Command1->isEnabled());
  EXPECT_EQ(f.Text4->text(), "100");

  Form1_Command1_Click(app);  // play resumes where it paused
  EXPECT_EQ(decoder.library.getState(after), 1);
  EXPECT_GE(after, before);
}

}  // namespace
