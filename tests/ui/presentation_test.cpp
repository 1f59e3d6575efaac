// The main window's live parts: the waveform picture, the title line's scrolling and the
// View items that act on it, and the clock's timing.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QPainter>
#include <QTest>
#include <QTime>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <limits>

#include "core/vbmp3binding.h"
#include "fakes/program_test.h"
#include "playback/transport.h"
#include "ui/clock.h"
#include "ui/form1.h"
#include "ui/form5.h"
#include "ui/titleline.h"
#include "ui/wavearea.h"
#include "ui/waveform.h"

namespace {

class Presentation : public ProgramTest {
 protected:
  Form1& f = app.form1();

  void SetUp() override {
    for (QTimer* t : {f.Timer1, f.Timer2, f.Timer3, f.Timer4, f.Timer5, f.Timer6}) t->stop();
    f.show();  // the wave tick draws only for a window that can be seen
  }

  // The decoder's next block: the same value pair at every index.
  void block(int32_t left, int32_t right) {
    decoder.waveLeft.fill(left);
    decoder.waveRight.fill(right);
  }

  void loadTag(const QString& path, const char* artist) {
    TagInfo tag{};
    std::strncpy(tag.artist, artist, sizeof tag.artist - 1);
    decoder.tags[path] = tag;
  }
};

// ---- Waveform ------------------------------------------------------------------------------

TEST(WavePoints, MeanLiftedBy100AndHalvesRoundToEven) {
  struct Case {
    int32_t left, right;
    double width, height;
    int g;  // an even index
    QPoint point;
  };
  // With a 256 x 200 area x is g and y is v; smaller areas round x and y the same way.
  for (Case c : {Case{0, 0, 256, 200, 2, {2, 100}},  // silence: half height
                 Case{3, 0, 256, 200, 2, {2, 102}},  // 101.5 -> 102
                 Case{1, 0, 256, 200, 2, {2, 100}},  // 100.5 -> 100
                 Case{-1, 0, 256, 200, 2, {2, 100}}, Case{-3, 0, 256, 200, 2, {2, 98}},
                 Case{100, 100, 256, 200, 254, {254, 200}}, Case{-100, -100, 256, 200, 254, {254, 0}},
                 Case{0, 0, 64, 100, 2, {0, 50}},     // x 0.5 -> 0
                 Case{0, 0, 64, 100, 6, {2, 50}},     // x 1.5 -> 2
                 Case{0, 0, 64, 100, 10, {2, 50}},    // x 2.5 -> 2
                 Case{2, 0, 64, 100, 2, {0, 50}},     // y 50.5 -> 50
                 Case{6, 0, 64, 100, 2, {0, 52}}}) {  // y 51.5 -> 52
    SCOPED_TRACE(testing::Message() << c.left << "," << c.right << " in " << c.width << "x" << c.height
                                    << " at " << c.g);
    WaveBuffer left{}, right{};
    left[c.g] = c.left;
    right[c.g] = c.right;
    EXPECT_EQ(wavePoints(left, right, c.width, c.height)[c.g / 2], c.point);
  }
}

TEST(WavePoints, OddIndicesNeverCountAndExtremesStayDefined) {
  WaveBuffer left{}, right{};
  const WavePoints silence = wavePoints(left, right, 117, 45);
  for (int g = 1; g < 256; g += 2) left[g] = right[g] = 90;
  EXPECT_EQ(wavePoints(left, right, 117, 45), silence);
  for (int i = 0; i < kWavePoints; ++i) EXPECT_EQ(silence[i].y(), 22) << i;  // 22.5 -> 22

  left.fill(std::numeric_limits<int32_t>::max());
  right.fill(std::numeric_limits<int32_t>::max());
  EXPECT_GT(wavePoints(left, right, 117, 45)[5].y(), 45);  // below the area, clipped
  left.fill(std::numeric_limits<int32_t>::min());
  right.fill(std::numeric_limits<int32_t>::min());
  EXPECT_LT(wavePoints(left, right, 117, 45)[5].y(), 0);
}

// Silence: a line at half height in the pen colour. Each segment starts on the white dot
// that ended the one before, so only the last point keeps its dot.
TEST_F(Presentation, SilenceIsALineAtHalfHeightEndingInAWhiteDot) {
  Form1_Timer2_Timer(app);
  EXPECT_GE(decoder.count("getWave"), 1);
  const QImage image = f.Picture3->picture();
  const WavePoints points = wavePoints({}, {}, f.Picture4->contentsRect().width(), f.Picture3->height());
  const int y = points[0].y();
  ASSERT_NEAR(y, f.Picture3->height() / 2.0, 0.5);
  const int last = points[kWavePoints - 1].x();
  ASSERT_LT(last, image.width());
  for (int x = 0; x < image.width(); ++x) {
    const QColor want = x < last ? QColor(0, 0, 255) : QColor(Qt::white);
    EXPECT_EQ(image.pixelColor(x, y), want) << x;
    for (int row : {0, y - 1, y + 1, image.height() - 1}) EXPECT_EQ(image.pixelColor(x, row), Qt::white) << x;
  }
}

// A steep block: every point is a turn of the line, and each turn is drawn in the pen colour.
TEST_F(Presentation, EveryPointButTheLastLiesOnTheLine) {
  for (int g = 0; g < 256; g += 2) decoder.waveLeft[g] = decoder.waveRight[g] = (g / 2 % 2) ? 20 : -20;
  Form1_Timer2_Timer(app);
  const QImage image = f.Picture3->picture();
  const WavePoints points = wavePoints(decoder.waveLeft, decoder.waveRight,
                                       f.Picture4->contentsRect().width(), f.Picture3->height());
  for (int i = 0; i + 1 < kWavePoints; ++i) EXPECT_EQ(image.pixelColor(points[i]), QColor(0, 0, 255)) << i;
  EXPECT_EQ(image.pixelColor(points[kWavePoints - 1]), QColor(Qt::white));
}

TEST_F(Presentation, ColourItemsAreExclusiveAndColourTheNextPicture) {
  struct Case {
    QAction* item;
    QColor colour;
  };
  block(30, 30);  // v = 130: the line lies below the middle
  Form1_Timer2_Timer(app);
  const int y = wavePoints(decoder.waveLeft, decoder.waveRight, 117, f.Picture3->height())[0].y();
  for (Case c : {Case{f.mRed, {255, 0, 0}}, Case{f.mGreen, {0, 255, 0}}, Case{f.mBlack, {0, 0, 0}},
                 Case{f.mBlue, {0, 0, 255}}}) {
    SCOPED_TRACE(c.item->objectName().toStdString());
    const QColor before = f.Picture3->picture().pixelColor(0, y);
    c.item->trigger();
    for (QAction* item : {f.mBlack, f.mRed, f.mBlue, f.mGreen}) EXPECT_EQ(item->isChecked(), item == c.item);
    EXPECT_EQ(f.Picture3->picture().pixelColor(0, y), before);  // from the next tick on
    Form1_Timer2_Timer(app);
    EXPECT_EQ(f.Picture3->picture().pixelColor(0, y), c.colour);
  }
}

// Unseen, the wave and title ticks rest at a slow pace yet stay active (an active title
// tick means a track plays), and come back at their own pace.
TEST_F(Presentation, HiddenOrMinimizedWindowTakesNoBlockAndHoldsTheTitle) {
  f.mRightToLeft->trigger();
  f.Timer4->start();
  const int left = f.Label13->x();
  const int waveInterval = f.Timer2->interval();
  f.hide();
  Form1_Timer2_Timer(app);
  Form1_Timer4_Timer(app);
  f.showMinimized();
  Form1_Timer2_Timer(app);
  Form1_Timer4_Timer(app);
  EXPECT_EQ(decoder.count("getWave"), 0);
  EXPECT_EQ(f.Label13->x(), left);
  EXPECT_TRUE(f.Timer4->isActive());
  EXPECT_GE(f.Timer4->interval(), 1000);
  EXPECT_GE(f.Timer2->interval(), 1000);
  f.showNormal();
  EXPECT_EQ(f.Timer4->interval(), 30);
  EXPECT_EQ(f.Timer2->interval(), waveInterval);
  Form1_Timer2_Timer(app);
  Form1_Timer4_Timer(app);
  EXPECT_EQ(decoder.count("getWave"), 1);
  EXPECT_EQ(f.Label13->x(), left - 2);
  f.Timer4->stop();
  f.hide();
}

// The picture is the one drawn segment by segment, each followed by its white dot.
TEST_F(Presentation, PictureIsTheSegmentBySegmentDrawing) {
  std::srand(7);
  for (int block = 0; block < 20; ++block) {
    for (int g = 0; g < 256; ++g) {
      decoder.waveLeft[g] = std::rand() % 241 - 120;
      decoder.waveRight[g] = block % 2 ? decoder.waveLeft[g] : std::rand() % 241 - 120;
    }
    Form1_Timer2_Timer(app);
    const QImage shown = f.Picture3->picture();
    QImage drawn(shown.size(), QImage::Format_RGB32);
    drawn.fill(f.Picture3->backColor());
    QPainter painter(&drawn);
    const WavePoints points = wavePoints(decoder.waveLeft, decoder.waveRight,
                                         f.Picture4->contentsRect().width(), f.Picture3->height());
    for (int i = 1; i < kWavePoints; ++i) {
      painter.setPen(f.Picture3->foreColor());
      painter.drawLine(points[i - 1], points[i]);
      painter.setPen(Qt::white);
      painter.drawPoint(points[i]);
    }
    painter.end();
    ASSERT_EQ(shown, drawn) << "block " << block;
  }
}

// Ten ticks a second all the time, playing or not: a tick that brings the picture shown
// already paints nothing.
struct PaintCounter : QObject {
  int paints = 0;
  bool eventFilter(QObject*, QEvent* e) override {
    paints += e->type() == QEvent::Paint;
    return false;
  }
  int after(const std::function<void()>& tick) {
    paints = 0;
    tick();
    QApplication::processEvents();
    return paints;
  }
};

TEST_F(Presentation, SamePictureIsNotPaintedAgain) {
  f.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&f));
  PaintCounter counter;
  f.Picture3->installEventFilter(&counter);
  auto paintsAfterTick = [&] { return counter.after([&] { Form1_Timer2_Timer(app); }); };
  paintsAfterTick();
  EXPECT_EQ(paintsAfterTick(), 0);
  EXPECT_EQ(paintsAfterTick(), 0);
  block(10, 0);
  EXPECT_GE(paintsAfterTick(), 1);
  f.mRed->trigger();
  EXPECT_GE(paintsAfterTick(), 1);
  f.Picture3->cls();
  EXPECT_GE(paintsAfterTick(), 1);  // the picture comes back after a clear
  f.hide();
}

// While the title line moves, a new picture waits for its next step: one paint for both.
TEST_F(Presentation, WhileTheTitleMovesTheWaveIsPaintedWithItsStep) {
  f.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&f));
  PaintCounter counter;
  f.Picture3->installEventFilter(&counter);
  f.Timer4->start(std::chrono::hours(1));  // running, but only the test steps it
  block(30, 0);
  EXPECT_EQ(counter.after([&] { Form1_Timer2_Timer(app); }), 0);
  EXPECT_GE(counter.after([&] { Form1_Timer4_Timer(app); }), 1);
  EXPECT_EQ(counter.after([&] { Form1_Timer4_Timer(app); }), 0);
  f.hide();
}

TEST_F(Presentation, PlaybackStartClearsTheWaveArea) {
  decoder.addTrack("/m/a.mp3", 60);
  TrackInfo info{};
  decoder.open("/m/a.mp3", info);
  block(50, 50);
  Form1_Timer2_Timer(app);
  f.Command1->setEnabled(true);
  Form1_Command1_Click(app);
  const QImage image = f.Picture3->picture();
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) ASSERT_EQ(image.pixelColor(x, y), Qt::white) << x << "," << y;
  EXPECT_EQ(f.Picture3->pos(), f.Picture4->contentsRect().topLeft());
}

// ---- Title line ----------------------------------------------------------------------------

TEST(ScrollTitle, EachPatternTurnsWhereItShould) {
  struct Case {
    const char* name;
    TitlePatterns patterns;
    int width;
    TitlePlace from;
    int steps;
    std::vector<int> wantLefts;  // the left edges of the last steps
    bool movingRight;            // after the steps
  };
  const TitlePatterns rtl{true, false, false}, ltr{false, true, false}, bounce{false, false, true};
  // 100 px wide in a 337 px box; from 8 the right-to-left pattern is at -100 after 54 steps.
  for (const Case& c : {
           Case{"right to left starts", rtl, 100, {8, false}, 3, {6, 4, 2}, false},
           Case{"right to left wraps below -width", rtl, 100, {8, false}, 57, {-100, -102, 337, 335}, false},
           Case{"left to right wraps past the box",
                ltr,
                100,
                {333, false},
                5,
                {335, 337, 339, -100, -98},
                false},
           Case{"bounce turns right below 0", bounce, 100, {4, false}, 5, {2, 0, -2, 0, 2}, true},
           Case{"bounce turns left past box - width - 3",
                bounce,
                100,
                {230, true},
                5,
                {232, 234, 236, 234, 232},
                false},
           Case{"bounce, wider than the box: the second test wins",
                bounce,
                400,
                {-70, false},
                5,
                {-68, -66, -64, -66, -64},
                true},
           Case{"no pattern keeps still", {}, 100, {8, true}, 2, {8, 8}, true},
       }) {
    SCOPED_TRACE(c.name);
    TitlePlace place = c.from;
    std::vector<int> lefts;
    for (int i = 0; i < c.steps; ++i) {
      place = scrollTitle(place, c.width, 337, c.patterns);
      lefts.push_back(place.left);
    }
    lefts.erase(lefts.begin(), lefts.end() - c.wantLefts.size());
    EXPECT_EQ(lefts, c.wantLefts);
    EXPECT_EQ(place.movingRight, c.movingRight);
  }
}

TEST_F(Presentation, TitleTickMovesTheLabelAndKeepsTheDirectionInLabel15) {
  f.mLRmove->trigger();
  for (QAction* item : {f.mRightToLeft, f.mLeftToRight, f.mLRmove})
    EXPECT_EQ(item->isChecked(), item == f.mLRmove);
  f.Label13->move(1, f.Label13->y());
  Form1_Timer4_Timer(app);
  EXPECT_EQ(f.Label13->x(), -1);
  EXPECT_EQ(f.Label15->text(), "0");
  Form1_Timer4_Timer(app);
  EXPECT_EQ(f.Label13->x(), 1);
  EXPECT_EQ(f.Label15->text(), "1");

  f.mRightToLeft->trigger();  // no jump at the change: on from where it is
  EXPECT_EQ(f.Label13->x(), 1);
  Form1_Timer4_Timer(app);
  EXPECT_EQ(f.Label13->x(), -1);
  EXPECT_TRUE(f.mRightToLeft->isChecked());
  EXPECT_FALSE(f.mLRmove->isChecked());

  f.Label13->move(-f.Label13->width() - 1, f.Label13->y());
  Form1_Timer4_Timer(app);
  EXPECT_EQ(f.Label13->x(), f.Picture6->width());
}

TEST_F(Presentation, HidingTheTitleAndShowingTheFilesName) {
  struct Case {
    QString path;
    bool hidden;  // after the click
    QString title, caption;
  };
  for (const Case& c : {Case{"/m/My Song.mp3", true, "Kestrune", "Kestrune"},
                        Case{"/m/My Song.mp3", false, "My Song", "Kestrune　【My Song】"},
                        Case{"", true, "Kestrune", "Kestrune"}, Case{"", false, "", "Kestrune　【】"}}) {
    SCOPED_TRACE(c.path.toStdString());
    f.Text1->setText(c.path);
    app.form5().Text1->setText("Tag title");  // never used here
    f.mTagTitle->setChecked(true);
    f.mVisible->trigger();
    EXPECT_EQ(f.mVisible->isChecked(), c.hidden);
    EXPECT_EQ(f.Label13->text(), c.title);
    EXPECT_EQ(f.windowTitle(), c.caption);
  }
}

TEST_F(Presentation, TagTitleItemOnlyTogglesItsMark) {
  f.Label13->setText("Same");
  f.mTagTitle->trigger();
  EXPECT_TRUE(f.mTagTitle->isChecked());
  f.mTagTitle->trigger();
  EXPECT_FALSE(f.mTagTitle->isChecked());
  EXPECT_EQ(f.Label13->text(), "Same");
}

TEST_F(Presentation, RefreshShowsTheTagsArtistAndTheFilesCaption) {
  struct Case {
    const char* artist;  // nullptr: the file has no tag
    QString label, caption;
  };
  for (const Case& c : {Case{"Someone", "Someone", "Kestrune　【b】"}, Case{"", "Artist", "Kestrune　【b】"},
                        Case{" ", "Artist", "Kestrune　【b】"}, Case{nullptr, "Before", "Before"}}) {
    SCOPED_TRACE(c.artist ? c.artist : "(no tag)");
    decoder.tags.clear();
    if (c.artist) loadTag("/m/b.mp3", c.artist);
    f.Text1->setText(" /m/b.mp3 ");
    f.Label12->setText("Before");
    f.Label13->setText("Title line");
    f.setWindowTitle("Before");
    f.mNewForm->trigger();
    EXPECT_EQ(f.Label12->text(), c.label);
    EXPECT_EQ(f.windowTitle(), c.caption);
    EXPECT_EQ(f.Label13->text(), "Title line");
  }
}

TEST_F(Presentation, TitleFaceIsThePopFaceOrAJapaneseFallback) {
  const QFont face = f.Label13->font();
  EXPECT_DOUBLE_EQ(face.pointSizeF(), 15.75);
  const QString want = QFontDatabase::hasFamily("RocknRoll One") ? "RocknRoll One" : "Noto Sans CJK JP";
  EXPECT_EQ(QFontInfo(face).family(), want);
  const QFontMetrics metrics(face);
  for (QChar c : QString("曲名はタグのタイトル")) EXPECT_TRUE(metrics.inFont(c)) << int(c.unicode());
  EXPECT_EQ(f.Label13->foreColor(), QColor(255, 128, 255));
}

// ---- Clock ---------------------------------------------------------------------------------

TEST(Clock, ComesBackJustPastTheNextSecond) {
  struct Case {
    qint64 ms;
    int wait;
  };
  for (Case c : {Case{1'000'000, 1001}, Case{1'000'500, 501}, Case{1'000'999, 2}, Case{1'000'001, 1000}})
    EXPECT_EQ(msToNextSecond(c.ms), c.wait) << c.ms;
}

TEST_F(Presentation, ClockTickShowsTheSecondAndWaitsForTheNext) {
  const QDateTime before = QDateTime::currentDateTime();
  Form1_Timer3_Timer(app);
  const QDateTime after = QDateTime::currentDateTime();
  // A tick on the turn of a second may show either side of it.
  for (auto [label, format] : {std::pair{f.Label5, "yyyy/MM/dd"}, std::pair{f.Label6, "HH:mm:ss"}})
    EXPECT_TRUE(label->text() == before.toString(format) || label->text() == after.toString(format))
        << label->text().toStdString();
  EXPECT_GE(f.Timer3->interval(), 1);
  EXPECT_LE(f.Timer3->interval(), 1001);
  EXPECT_EQ(f.Timer3->timerType(), Qt::PreciseTimer);
}

}  // namespace
