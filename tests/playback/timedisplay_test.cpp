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
    EXPECT_EQ(main.Label1->isHidden(), remaining);
    EXPECT_EQ(main.Label4->isHidden(), !remaining);
    EXPECT_EQ(main.mTimeUnNormal->isChecked(), remaining);
    EXPECT_EQ(main.mTimeNormal->isChecked(), !remaining);
  }
  void expectTotal(bool inSeconds) {
    EXPECT_EQ(main.Label3->isHidden(), inSeconds);
    EXPECT_EQ(main.Label22->isHidden(), !inSeconds);
    EXPECT_EQ(main.mNornalSecTime->isChecked(), inSeconds);
    EXPECT_EQ(main.mNormalMinSecTime->isChecked(), !inSeconds);
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
  emit main.Label1->clicked();
  expectPlayTime(true);
  main.mTimeUnNormal->trigger();  // the chosen item again: nothing changes
  expectPlayTime(true);
  main.mTimeNormal->trigger();
  expectPlayTime(false);
  main.mTimeUnNormal->trigger();
  expectPlayTime(true);
  emit main.Label4->clicked();
  expectPlayTime(false);
}

TEST_F(TimeDisplay, TotalPairSwitchesByLabelAndByMenu) {
  expectTotal(false);
  emit main.Label3->clicked();
  expectTotal(true);
  main.mNormalMinSecTime->trigger();
  expectTotal(false);
  main.mNornalSecTime->trigger();
  main.mNornalSecTime->trigger();
  expectTotal(true);
  emit main.Label22->clicked();
  expectTotal(false);
}

TEST_F(TimeDisplay, TotalSecondsGetOneLeadingZeroBelowAThousand) {
  for (auto [total, shown] : {std::pair{"1000", "1000"},
                              {"999", "0999"},
                              {"245", "0245"},
                              {"45", "045"},
                              {"5", "05"},
                              {"36000", "36000"}}) {
    main.Text3->setText(total);
    EXPECT_EQ(main.Label22->text(), shown);
  }
}

}  // namespace
