#include <gtest/gtest.h>

#include <QMouseEvent>
#include <QStringList>
#include <QTest>
#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

#include "ui/changelabel.h"
#include "ui/hiddenlist.h"
#include "ui/listbox.h"
#include "ui/picturebox.h"

namespace {

TEST(ChangeLabel, ReportsEachRealChangeOnceAndNothingElse) {
  ChangeLabel label;
  QStringList seen;
  QObject::connect(&label, &ChangeLabel::changed, [&] { seen << label.text(); });

  label.setText("00:01");
  label.setText("00:01");
  label.setText("00:02");
  label.setText("");
  label.setText("");

  EXPECT_EQ(seen, QStringList({"00:01", "00:02", ""}));
}

TEST(ChangeLabel, RunsTheChangeNestedInsideTheWriter) {
  // elapsed -> remaining -> counter, as a chain of change procedures
  ChangeLabel elapsed, remaining, counter;
  QStringList order;
  QObject::connect(&elapsed, &ChangeLabel::changed, [&] {
    order << "elapsed begins";
    remaining.setText("2");
    order << "elapsed ends";
  });
  QObject::connect(&remaining, &ChangeLabel::changed, [&] {
    order << "remaining";
    counter.setText("1");
  });
  QObject::connect(&counter, &ChangeLabel::changed, [&] { order << "counter"; });

  elapsed.setText("03:58");
  order << "writer returns";

  EXPECT_EQ(order, QStringList({"elapsed begins", "remaining", "counter", "elapsed ends", "writer returns"}));
}

TEST(ChangeLabel, KeepsMarkupAsPlainText) {
  ChangeLabel label;
  label.setText("<b>Song</b> & more");
  EXPECT_EQ(label.text(), "<b>Song</b> & more");
  EXPECT_EQ(label.textFormat(), Qt::PlainText);
}

TEST(ChangeLabel, ClickIsALeftPressAndReleaseOverTheLabel) {
  ChangeLabel label;
  label.resize(60, 20);
  int clicks = 0;
  QObject::connect(&label, &ChangeLabel::clicked, [&] { ++clicks; });

  QTest::mouseClick(&label, Qt::LeftButton, {}, QPoint(10, 10));
  EXPECT_EQ(clicks, 1);
  QTest::mouseClick(&label, Qt::RightButton, {}, QPoint(10, 10));
  EXPECT_EQ(clicks, 1);
  QTest::mousePress(&label, Qt::LeftButton, {}, QPoint(10, 10));
  QTest::mouseRelease(&label, Qt::LeftButton, {}, QPoint(100, 10));  // dragged off
  EXPECT_EQ(clicks, 1);
}

TEST(ChangeLabel, AutoSizeFollowsTheTextBeforeTheChangeRuns) {
  ChangeLabel label;
  label.setAutoSize(true);
  label.setText("Kestrune");
  int widthSeen = 0;
  QObject::connect(&label, &ChangeLabel::changed, [&] { widthSeen = label.width(); });

  const int shortWidth = label.width();
  label.setText("とても長い曲名のタイトル（リマスター版）");
  EXPECT_GT(label.width(), shortWidth);
  EXPECT_EQ(widthSeen, label.width());

  const int smallFontWidth = label.width();
  QFont larger = label.font();
  larger.setPointSizeF(larger.pointSizeF() * 2);
  label.setFont(larger);  // a new font resizes it too
  EXPECT_GT(label.width(), smallFontWidth * 3 / 2);
}

TEST(ChangeLabel, ColoursReachThePaletteAndABackColourFillsTheLabel) {
  ChangeLabel label;
  EXPECT_FALSE(label.autoFillBackground());
  label.setForeColor(QColor(124, 255, 178));
  label.setBackColor(Qt::white);
  EXPECT_EQ(label.palette().color(QPalette::Disabled, QPalette::WindowText), QColor(124, 255, 178));
  EXPECT_EQ(label.palette().color(QPalette::Window), QColor(Qt::white));
  EXPECT_TRUE(label.autoFillBackground());
}

// The title line paints from a picture of itself: it must look as the label's own drawing
// does, and follow each change of text, colour, font and state.
TEST(ChangeLabel, PaintedFromAPictureLooksAsItsOwnDrawing) {
  ChangeLabel fromPicture, own;
  fromPicture.setPaintedFromPicture(true);
  const std::vector<std::function<void(ChangeLabel&)>> changes = {
      [](ChangeLabel& l) { l.setBackColor(QColor(12, 12, 28)); },
      [](ChangeLabel& l) { l.setText("Kestrune"); },
      [](ChangeLabel& l) { l.setText("曲名のタイトル"); },
      [](ChangeLabel& l) { l.setForeColor(QColor(255, 128, 255)); },
      [](ChangeLabel& l) {
        QFont bold = l.font();
        bold.setBold(true);
        l.setFont(bold);
      },
      [](ChangeLabel& l) { l.setEnabled(false); },
      [](ChangeLabel& l) { l.resize(l.width() + 30, l.height()); },
  };
  for (ChangeLabel* label : {&fromPicture, &own}) label->setAutoSize(true);
  for (size_t i = 0; i < changes.size(); ++i) {
    for (ChangeLabel* label : {&fromPicture, &own}) changes[i](*label);
    EXPECT_EQ(fromPicture.grab().toImage(), own.grab().toImage()) << "after change " << i;
  }
}

TEST(HiddenList, RemovingARowKeepsTheSelectionOnItsRow) {
  HiddenList list;
  EXPECT_TRUE(list.isHidden());
  list.setTexts({"0", "-10", "5", "128"});
  list.setSelectedRow(2);
  list.removeRow(0);
  EXPECT_EQ(list.text(list.selectedRow()), "5");
  list.removeRow(3);  // no such row
  EXPECT_EQ(list.count(), 3);
  list.removeRow(1);
  EXPECT_EQ(list.selectedRow(), -1);
  EXPECT_EQ(list.texts(), (QStringList{"-10", "128"}));
  list.setSelectedRow(2);
  EXPECT_EQ(list.selectedRow(), -1);
  EXPECT_EQ(list.text(5), "");
}

// Rows "r0", "r1", ... that count how often each is made.
class CountedRows : public RowTexts {
 public:
  explicit CountedRows(int count) : made(count, 0) {}
  int count() const override { return static_cast<int>(made.size()); }
  QString text(int row) const override {
    ++made[row];
    return QString("r%1").arg(row);
  }
  mutable std::vector<int> made;
};

TEST(ListBox, RowsMadeOnDemandUntilTheListChanges) {
  ListBox box;
  auto rows = std::make_shared<CountedRows>(1000);
  box.setTexts({"old"});
  box.setSelectedRow(0);
  box.setRows(rows);
  EXPECT_EQ(box.selectedRow(), -1);
  EXPECT_EQ(box.count(), 1000);
  EXPECT_EQ(box.text(500), "r500");
  EXPECT_EQ(box.text(1000), "");
  EXPECT_EQ(std::count(rows->made.begin(), rows->made.end(), 0), 999);

  box.moveRow(0, 2);  // takes every row once, then changes the list
  EXPECT_EQ(std::count(rows->made.begin(), rows->made.end(), 0), 0);
  EXPECT_EQ(box.texts().mid(0, 4), QStringList({"r1", "r2", "r0", "r3"}));
  box.removeRow(999);
  box.addItem("new");
  EXPECT_EQ(box.count(), 1000);
  EXPECT_EQ(box.text(999), "new");
  EXPECT_EQ(rows->made[500], 2);

  box.setRows(std::make_shared<CountedRows>(3));
  EXPECT_EQ(box.texts(), QStringList({"r0", "r1", "r2"}));
}

TEST(PictureBox, KeepsWhatIsDrawnUntilCleared) {
  PictureBox picture;
  picture.setFrameShape(QFrame::NoFrame);
  picture.resize(100, 10);
  picture.setBackColor(Qt::white);
  picture.setForeColor(Qt::blue);
  picture.setScaleWidth(200);  // e.g. a 200-second track across 100 pixels

  picture.line(50, 0, 50, 10);    // second 50 -> pixel 25
  picture.line(120, 0, 120, 10);  // second 120 -> pixel 60
  EXPECT_EQ(picture.canvas().pixelColor(25, 5), QColor(Qt::blue));
  EXPECT_EQ(picture.canvas().pixelColor(60, 5), QColor(Qt::blue));
  EXPECT_EQ(picture.canvas().pixelColor(40, 5), QColor(Qt::white));

  picture.cls();
  EXPECT_EQ(picture.canvas().pixelColor(25, 5), QColor(Qt::white));
}

TEST(PictureBox, PixelsOutsideAreIgnoredAndGrowingKeepsTheDrawing) {
  PictureBox picture;
  picture.setFrameShape(QFrame::NoFrame);
  picture.resize(20, 20);
  picture.cls();
  picture.pset(5, 5, Qt::red);
  picture.pset(500, -3, Qt::red);  // off the picture: no effect, no fault
  picture.resize(40, 40);
  EXPECT_EQ(picture.canvas().size(), QSize(40, 40));
  EXPECT_EQ(picture.canvas().pixelColor(5, 5), QColor(Qt::red));
}

}  // namespace
