// The time display: both label pairs with their menu radio pairs, and the seconds display.
#include "playback/timedisplay.h"

#include <gtest/gtest.h>

#include <QAction>

#include "playback_fixture.h"

namespace {

class TimeDisplay : public PlaybackTest {
 protected:
  // Which label of each pair shows, and which menu item is checked.
  void expectPlayTime(bool remaining) {
    EXPECT_EQ(f_.Label1->isHidden(), remaining);
    EXPECT_EQ(f_.Label4->isHidden(), !remaining);
    EXPECT_EQ(f_.mTimeUnNormal->isChecked(), remaining);
    EXPECT_EQ(f_.mTimeNormal->isChecked(), !remaining);
  }
  void expectTotal(bool inSeconds) {
    EXPECT_EQ(f_.Label3->isHidden(), inSeconds);
    EXPECT_EQ(f_.Label22->isHidden(), !inSeconds);
    EXPECT_EQ(f_.mNornalSecTime->isChecked(), inSeconds);
    EXPECT_EQ(f_.mNormalMinSecTime->isChecked(), !inSeconds);
  }
};

TEST_F(TimeDisplay, MinutesAndSeconds) {
  EXPECT_EQ(minutesSeconds(0), "00:00");
  EXPECT_EQ(minutesSeconds(245), "04:05");
  EXPECT_EQ(minutesSeconds(6000), "100:00");
  EXPECT_EQ(minutesSeconds(-5), "00:00");
}

TEST_F(TimeDisplay, PlayTimePairSwitchesByLabelAndByMenu) {
  expectPlayTime(false);
  emit f_.Label1->clicked();
  expectPlayTime(true);
  f_.mTimeUnNormal->trigger();  // the chosen item again: nothing changes
  expectPlayTime(true);
  f_.mTimeNormal->trigger();
  expectPlayTime(false);
  f_.mTimeUnNormal->trigger();
  expectPlayTime(true);
  emit f_.Label4->clicked();
  expectPlayTime(false);
}

TEST_F(TimeDisplay, TotalPairSwitchesByLabelAndByMenu) {
  expectTotal(false);
  emit f_.Label3->clicked();
  expectTotal(true);
  f_.mNormalMinSecTime->trigger();
  expectTotal(false);
  f_.mNornalSecTime->trigger();
  f_.mNornalSecTime->trigger();
  expectTotal(true);
  emit f_.Label22->clicked();
  expectTotal(false);
}

TEST_F(TimeDisplay, TotalSecondsGetOneLeadingZeroBelowAThousand) {
  for (auto [total, shown] : {std::pair{"1000", "1000"},
                              {"999", "0999"},
                              {"245", "0245"},
                              {"45", "045"},
                              {"5", "05"},
                              {"36000", "36000"}}) {
    f_.Text3->setText(total);
    EXPECT_EQ(f_.Label22->text(), shown);
  }
}

}  // namespace
