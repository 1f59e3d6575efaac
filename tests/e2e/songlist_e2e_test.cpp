// A Song List of three real 3-second WAVs played with the real library on the dummy audio
// device, in-process with the real windows and timers after a real start-up: in Song List
// mode, top to bottom, each track hands over to the next by itself shortly before its end,
// and the last hands over to the first.
#include <gtest/gtest.h>

#include <QFile>
#include <QPushButton>
#include <QTest>
#include <vector>

#include "core/startup.h"
#include "real_program.h"
#include "songlist/listfile.h"
#include "songlist/songlistwindow.h"
#include "ui/form1.h"
#include "ui/form2.h"

namespace {

struct Shown {
  int64_t ms;
  QString title, path;
};

class SongListPlayback : public RealProgram {
 protected:
  void SetUp() override {
    RealProgram::SetUp();
    if (HasFatalFailure()) return;
    FieldPairs list;
    for (const char* name : {"one", "two", "three"}) {
      const std::string wav = file(std::string(name) + ".wav");
      ASSERT_TRUE(fixtures::makeWav(wav, 3.0));
      list.first << name;
      list.second << QString::fromStdString(wav);
    }
    ASSERT_EQ(writeListFile(path("List0.dat"), list), WriteStatus::Ok);
    QFile options(path("Option.ini"));
    ASSERT_TRUE(options.open(QIODevice::WriteOnly));
    options.write(
        "[Kestrune DataFile]\r\nPlayMode1=False\r\nPlayMode2=True\r\nPlayMode3=False\r\n"
        "ListMode1=True\r\nListMode2=False\r\n");
  }

  // The title line's texts with the time since `clock_` started and the track's path.
  void noteTitles() {
    Form1& f = app.form1();
    QObject::connect(f.Label13, &ChangeLabel::changed, f.Label13, [this, &f] {
      shown_.push_back({clock_.elapsed(), f.Label13->text(), f.Text1->text()});
    });
  }

  std::string history() const {
    std::string out;
    for (const Shown& s : shown_) out += std::to_string(s.ms) + " ms " + s.title.toStdString() + "; ";
    return out;
  }

  std::vector<Shown> shown_;
};

TEST_F(SongListPlayback, EachTrackHandsOverToTheNextByItself) {
  Form1_Form_Load(app);
  ASSERT_FALSE(platform.exitCode);
  Form1& main = app.form1();
  ASSERT_TRUE(main.mListTrack->isChecked());
  ASSERT_FALSE(main.Image4->isHidden());
  ASSERT_EQ(app.form2().Label2->text(), "3");

  selectEntry(app, 0);
  noteTitles();
  clock_.start();
  app.form2().Command4->click();  // "再生"
  ASSERT_EQ(main.Label13->text(), "one");
  for (int waited = 0; shown_.size() < 4 && waited < 12000; waited += 100) QTest::qWait(100);
  SCOPED_TRACE(history());

  ASSERT_GE(shown_.size(), 4u);
  const QStringList expected = {"one", "two", "three", "one"};
  for (int k = 0; k < 4; ++k) {
    EXPECT_EQ(shown_[k].title, expected[k]);
    EXPECT_EQ(shown_[k].path, path(expected[k] + ".wav"));
  }
  // Counting begins when 2 s remain (at 00:01) and the second 700 ms tick moves on: about
  // 2.4 s per track, before the 3 s file ends by itself.
  for (int k = 1; k < 4; ++k) {
    const int64_t gap = shown_[k].ms - shown_[k - 1].ms;
    EXPECT_GE(gap, 2200) << "track " << k;
    EXPECT_LE(gap, 3000) << "track " << k;
  }
  EXPECT_EQ(main.Label11->text(), "1/3");
  EXPECT_TRUE(platform.messages.empty());
  int32_t seconds = 0;
  EXPECT_EQ(decoder.library.getState(seconds), 1);
}

}  // namespace
