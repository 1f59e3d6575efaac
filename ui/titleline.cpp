#include "ui/titleline.h"

#include <QAction>
#include <QFontDatabase>

#include "core/app.h"
#include "core/textcodec.h"
#include "core/vbmp3binding.h"
#include "playback/load.h"
#include "ui/form1.h"
#include "ui/wavearea.h"

namespace {

constexpr int kTitleStep = 2;
constexpr double kTitlePointSize = 15.75;
const QString kTitleFamily = QStringLiteral("RocknRoll One");
const QString kJapaneseFamily = QStringLiteral("Noto Sans CJK JP");

void choosePattern(App& app, QAction* chosen) {
  Form1& f = app.form1();
  for (QAction* item : {f.mRightToLeft, f.mLeftToRight, f.mLRmove}) item->setChecked(item == chosen);
}

}  // namespace

TitlePlace scrollTitle(TitlePlace place, int width, int boxWidth, const TitlePatterns& patterns) {
  int& left = place.left;
  if (patterns.rightToLeft) left = -width > left ? boxWidth : left - kTitleStep;
  if (patterns.leftToRight) left = left > boxWidth ? -width : left + kTitleStep;
  if (patterns.bounce) {
    if (left < 0) place.movingRight = true;
    if (boxWidth - width - 3 < left) place.movingRight = false;
    left += place.movingRight ? kTitleStep : -kTitleStep;
  }
  return place;
}

void Form1_Timer4_Timer(App& app) {
  Form1& f = app.form1();
  if (!f.isVisible() || f.isMinimized()) return;  // unseen: it goes on from here when back
  const TitlePatterns patterns{f.mRightToLeft->isChecked(), f.mLeftToRight->isChecked(),
                               f.mLRmove->isChecked()};
  const TitlePlace next = scrollTitle({f.Label13->x(), f.Label15->text() == "1"}, f.Label13->width(),
                                      f.Picture6->width(), patterns);
  f.Label13->move(next.left, f.Label13->y());
  f.Label15->setText(next.movingRight ? "1" : "0");
  f.Picture3->paintPending();
}

void Form1_mRightToLeft_Click(App& app) { choosePattern(app, app.form1().mRightToLeft); }
void Form1_mLeftToRight_Click(App& app) { choosePattern(app, app.form1().mLeftToRight); }
void Form1_mLRmove_Click(App& app) { choosePattern(app, app.form1().mLRmove); }

void Form1_mVisible_Click(App& app) {
  Form1& f = app.form1();
  const bool hide = !f.mVisible->isChecked();
  f.mVisible->setChecked(hide);
  const QString name = FileBaseName(f.Text1->text());
  f.Label13->setText(hide ? kProgramTitle : name);
  f.setWindowTitle(hide ? kProgramTitle : CaptionWithTitle(name));
}

void Form1_mTagTitle_Click(App& app) {
  QAction* item = app.form1().mTagTitle;
  item->setChecked(!item->isChecked());
}

void Form1_mNewForm_Click(App& app) {
  Form1& f = app.form1();
  TagInfo tag{};
  if (app.vbmp3.getFileTagInfoEX(TrimSpaces(f.Text1->text()), tag) == 0) return;
  f.Label12->setText(CutAtNul(tag.artist));
  DefaultArtist(f);
  f.setWindowTitle(CaptionWithTitle(FileBaseName(f.Text1->text())));
}

QFont titleFace() {
  QFont face;
  if (QFontDatabase::hasFamily(kTitleFamily)) {
    // The Japanese face stays behind it for any character it lacks.
    face.setFamilies({kTitleFamily, kJapaneseFamily});
  } else {
    face.setFamilies({kJapaneseFamily});
    face.setBold(true);
  }
  face.setPointSizeF(kTitlePointSize);
  return face;
}
