// Moving through the Song List from the main window (previous, next, random), the end of a
// track in Song List and random play, and the play-mode menu items with their pictures.
#include "playback/navigation.h"

#include <deque>

#include "playback/playmodes.h"
#include "playback_fixture.h"
#include "songlist/songlistwindow.h"
#include "ui/form2.h"

static void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

namespace {

const QString kFailedOpen =
    "指定させたファイルが存在しません。\r\n又は拡張子がサポートされてないファイルです。";

class Navigation : public PlaybackTest {
 protected:
  Form2& list_ = app_.form2();
  std::deque<double> draws_;  // the random numbers, in order; 0 once used up

  void SetUp() override {
    PlaybackTest::SetUp();
    setRandomDraw([this] {
      const double r = draws_.empty() ? 0.0 : draws_.front();
      if (!draws_.empty()) draws_.pop_front();
      return r;
    });
  }
  void TearDown() override { setRandomDraw({}); }

  // Entries /m/<title>.mp3 of 200 s; titles starting with "x" do not open.
  void fill(const QStringList& titles) {
    for (const QString& title : titles) {
      list_.List1->addItem(title);
      list_.List2->addItem("/m/" + title + ".mp3");
      if (!title.startsWith('x')) decoder_.addTrack("/m/" + title + ".mp3", 200);
    }
    list_.Label2->setText(QString::number(list_.List1->count()));
  }

  void setMode(QAction* mode) {
    for (QAction* m : {f_.mRepeat, f_.mListTrack, f_.mRandam}) m->setChecked(m == mode);
  }

  QString playing() const { return decoder_.current.state == 1 ? decoder_.openPath : QString(); }
  int messages() const { return static_cast<int>(platform_.messages.size()); }
};

TEST_F(Navigation, NextAndPreviousWrapAroundAndStartFromNoSelection) {
  fill({"A", "B", "C"});
  f_.Command7->click();  // next from no selection: the first
  EXPECT_EQ(selectedEntry(app_), 0);
  EXPECT_EQ(playing(), "/m/A.mp3");
  EXPECT_EQ(f_.Text1->text(), "/m/A.mp3");
  EXPECT_EQ(f_.Label13->text(), "A");
  EXPECT_EQ(f_.Label11->text(), "1/3");  // the list position follows the selection
  EXPECT_FALSE(f_.Command1->isEnabled());
  EXPECT_TRUE(f_.Command2->isEnabled());
  EXPECT_TRUE(f_.Timer1->isActive());

  QStringList order;
  for (QPushButton* button : {f_.Command7, f_.Command7, f_.Command7, f_.Command4, f_.Command4}) {
    button->click();
    order << f_.Label13->text();
  }
  EXPECT_EQ(order, QStringList({"B", "C", "A", "C", "B"}));
  EXPECT_EQ(decoder_.count("stop"), 0) << "the new open replaces the playing track";

  selectEntry(app_, -1);
  f_.Command4->click();  // previous from no selection: the last
  EXPECT_EQ(playing(), "/m/C.mp3");
  EXPECT_TRUE(platform_.messages.empty());
}

TEST_F(Navigation, AnEntryThatDoesNotOpenTellsOnceAndTheNextPressGoesOn) {
  fill({"A", "xB", "C"});
  f_.Command7->click();
  f_.Command7->click();
  ASSERT_EQ(messages(), 1);
  EXPECT_EQ(platform_.messages[0].text, kFailedOpen);
  EXPECT_EQ(selectedEntry(app_), 1);  // the selection has moved; A is closed, no track shown
  EXPECT_EQ(f_.Label3->text(), "00:00");
  EXPECT_EQ(f_.Label13->text(), "Kestrune");
  EXPECT_FALSE(f_.Command1->isEnabled());
  f_.Command7->click();
  EXPECT_EQ(playing(), "/m/C.mp3");
  EXPECT_EQ(messages(), 1);
}

TEST_F(Navigation, EmptyListMakesEveryButtonDoNothing) {
  fill({"A"});
  list_.Label2->setText("0");  // the entry count decides
  for (QPushButton* button : {f_.Command4, f_.Command7, f_.Command8}) button->click();
  list_.List1->clear();
  list_.List2->clear();
  list_.Label2->setText("3");  // and so do the lists themselves
  for (QPushButton* button : {f_.Command4, f_.Command7, f_.Command8}) button->click();
  EXPECT_TRUE(decoder_.calls.isEmpty());
  EXPECT_TRUE(platform_.messages.empty());
}

TEST_F(Navigation, OneEntryIsReplayedByNextPreviousAndRandom) {
  fill({"Only"});
  for (QPushButton* button : {f_.Command7, f_.Command4, f_.Command8}) {
    decoder_.current = {};
    button->click();
    EXPECT_EQ(playing(), "/m/Only.mp3") << button->objectName().toStdString();
    EXPECT_EQ(selectedEntry(app_), 0);
  }
  EXPECT_EQ(decoder_.count("open"), 3);
}

TEST_F(Navigation, RandomButtonDrawsPlaysShowsThePositionAndHidesTheSongList) {
  fill({"A", "B", "C", "D"});
  f_.mListIndexHex->trigger();
  list_.show();
  draws_ = {0.74};  // floor(4 × 0.74) = 2
  f_.Command8->click();
  EXPECT_EQ(selectedEntry(app_), 2);
  EXPECT_EQ(playing(), "/m/C.mp3");
  EXPECT_EQ(f_.Label13->text(), "C");
  EXPECT_EQ(f_.Label11->text(), "2/4");  // hexadecimal, counted from 0
  EXPECT_TRUE(list_.isHidden());
  EXPECT_EQ(decoder_.calls.first(), "stop()");

  draws_ = {0.74};  // the same entry again is a fair draw too
  f_.Command8->click();
  EXPECT_EQ(playing(), "/m/C.mp3");
  EXPECT_EQ(decoder_.count("open"), 2);
}

TEST_F(Navigation, RandomButtonWithUnopenableEntries) {
  fill({"xA", "B", "xC"});
  list_.show();

  f_.mNotRandomEroor->setChecked(false);
  draws_ = {0.0};
  f_.Command8->click();  // ignore off: one message and the end
  EXPECT_EQ(messages(), 1);
  EXPECT_EQ(decoder_.count("open"), 1);
  EXPECT_EQ(playing(), "");
  EXPECT_FALSE(list_.isHidden());

  f_.mNotRandomEroor->setChecked(true);
  draws_ = {0.0, 0.99, 0.0, 0.0};  // ignore on: drawn again until an entry opens
  f_.Command8->click();
  EXPECT_EQ(messages(), 1);
  EXPECT_EQ(playing(), "/m/B.mp3");
  EXPECT_EQ(selectedEntry(app_), 1);
  EXPECT_LE(decoder_.count("open"), 1 + 3);
  EXPECT_TRUE(list_.isHidden());
}

TEST_F(Navigation, RandomPlayOverAListWithNothingOpenableEnds) {
  fill({"x1", "x2", "x3", "x4"});
  f_.mNotRandomEroor->setChecked(true);
  f_.Command8->click();  // every draw 0
  EXPECT_EQ(decoder_.count("open"), 4) << "every entry tried once";
  ASSERT_EQ(messages(), 1);
  EXPECT_EQ(platform_.messages[0].text, kFailedOpen);

  // The same at the end of a track in random mode: one message, and no track is left.
  setMode(f_.mRandam);
  loadTrack(200, 2);
  play();
  playAt(197);
  run(5000);
  EXPECT_EQ(decoder_.count("open"), 4);
  EXPECT_EQ(messages(), 2);
  EXPECT_EQ(decoder_.current.state, 0);
  EXPECT_EQ(f_.Label3->text(), "00:00");
  EXPECT_FALSE(f_.Command1->isEnabled());
  EXPECT_FALSE(f_.Timer5->isActive());
}

// The failed open has closed the track that ended, so nothing is open: the window shows no
// track, and play, had it been offered, would show "playing" over silence and a frozen 00:00.
TEST_F(Navigation, AFailedOpenAtTheEndOfATrackLeavesNoTrackAndPlayRefused) {
  struct Case {
    const char* name;
    QAction* mode;
    QAction* direction;
  };
  for (Case c : {Case{"next", f_.mListTrack, f_.mUptoDown}, Case{"previous", f_.mListTrack, f_.mDowntoUp},
                 Case{"random", f_.mRandam, f_.mUptoDown}}) {
    SCOPED_TRACE(c.name);
    list_.List1->clear();
    list_.List2->clear();
    fill({"xA", "B", "xC"});
    f_.mNotRandomEroor->setChecked(false);
    setMode(c.mode);
    c.direction->trigger();
    loadTrack(200, 2);
    f_.Label3->setText("03:20");
    selectEntry(app_, 1);
    play();
    playAt(197);
    draws_ = {0.0};
    platform_.messages.clear();
    ASSERT_GE(runUntil([&] { return messages() > 0; }), 0);
    EXPECT_EQ(platform_.messages[0].text, kFailedOpen);
    EXPECT_EQ(f_.Label3->text(), "00:00");
    EXPECT_EQ(f_.Label13->text(), "Kestrune");
    EXPECT_FALSE(f_.Command1->isEnabled());
    EXPECT_FALSE(f_.Command2->isEnabled());
    EXPECT_FALSE(f_.Timer1->isActive());

    // Even pressed by its procedure, play is refused and the window stays without a track.
    play();
    EXPECT_EQ(decoder_.current.state, 0);
    EXPECT_FALSE(f_.Command1->isEnabled());
    EXPECT_FALSE(f_.Timer1->isActive());
    EXPECT_EQ(f_.Label3->text(), "00:00");
    run(3000);
    EXPECT_EQ(messages(), 1) << "the end of the track was handled once";
  }
}

TEST_F(Navigation, EndOfTrackInSongListModeGoesToTheNextOrPreviousEntry) {
  fill({"A", "B", "C"});
  setMode(f_.mListTrack);
  loadTrack(200, 2);  // the simulated tracks' length
  selectEntry(app_, 2);
  f_.Command7->click();  // wraps to A
  ASSERT_EQ(playing(), "/m/A.mp3");
  decoder_.calls.clear();

  playAt(197);
  ASSERT_GE(runUntil([&] { return playing() == "/m/B.mp3"; }), 0);
  EXPECT_LT(decoder_.calls.indexOf("stop()"), decoder_.calls.indexOf("open(/m/B.mp3)"));
  EXPECT_EQ(f_.Label13->text(), "B");
  EXPECT_EQ(f_.Label11->text(), "2/3");
  run(1000);
  EXPECT_EQ(f_.Label1->text(), "00:01");
  EXPECT_EQ(f_.Label16->text(), "0");

  f_.mDowntoUp->trigger();
  playAt(197);
  ASSERT_GE(runUntil([&] { return playing() == "/m/A.mp3"; }), 0);
  playAt(197);
  ASSERT_GE(runUntil([&] { return playing() == "/m/C.mp3"; }), 0);  // wrapping backwards
  EXPECT_TRUE(platform_.messages.empty());
}

TEST_F(Navigation, EndOfTrackInRandomModeLoadsTheDrawnEntryAndReplays) {
  fill({"A", "B", "C"});
  setMode(f_.mRandam);
  loadTrack(200, 2);
  play();
  f_.Command1->setEnabled(true);  // random continuation leaves the play button as it is
  playAt(197);
  draws_ = {0.5};
  ASSERT_GE(runUntil([&] { return playing() == "/m/B.mp3"; }), 0);
  EXPECT_EQ(selectedEntry(app_), 1);
  EXPECT_EQ(f_.Text1->text(), "/m/B.mp3");
  EXPECT_EQ(f_.Label13->text(), "B");
  EXPECT_TRUE(f_.Command1->isEnabled());
  run(2000);
  EXPECT_EQ(decoder_.count("open"), 1);
  EXPECT_EQ(f_.Label1->text(), "00:02");
}

TEST_F(Navigation, PlayModesAreExclusiveAndShowTheirPicture) {
  const auto shown = [&] {
    QString s;
    for (QWidget* w : {f_.Image3, f_.Image4, f_.Image5}) s += w->isHidden() ? '-' : '+';
    return s;
  };
  const auto checked = [&] {
    QString s;
    for (QAction* m : {f_.mRepeat, f_.mListTrack, f_.mRandam}) s += m->isChecked() ? '+' : '-';
    return s;
  };
  ASSERT_EQ(checked(), "+--");
  ASSERT_EQ(shown(), "+--");
  f_.mRandam->trigger();
  EXPECT_EQ(checked(), "--+");
  EXPECT_EQ(shown(), "--+");
  f_.mListTrack->trigger();
  EXPECT_EQ(checked(), "-+-");
  EXPECT_EQ(shown(), "-+-");
  f_.mListTrack->trigger();  // a checked mode clicked: no mode at all
  EXPECT_EQ(checked(), "---");
  EXPECT_EQ(shown(), "---");
  f_.mRepeat->trigger();
  EXPECT_EQ(checked(), "+--");
  EXPECT_EQ(shown(), "+--");

  f_.mDowntoUp->trigger();
  EXPECT_FALSE(f_.mUptoDown->isChecked());
  f_.mDowntoUp->trigger();  // the pair stays one checked
  EXPECT_TRUE(f_.mDowntoUp->isChecked());
  f_.mUptoDown->trigger();
  EXPECT_TRUE(f_.mUptoDown->isChecked());
  EXPECT_FALSE(f_.mDowntoUp->isChecked());
}

TEST_F(Navigation, FadesToggleTheirPictureAndTheDecoder) {
  f_.mFadeIn->trigger();
  f_.mFadeOut->trigger();
  EXPECT_TRUE(f_.mFadeIn->isChecked());
  EXPECT_FALSE(f_.Image6->isHidden());
  EXPECT_FALSE(f_.Image7->isHidden());
  f_.mFadeIn->trigger();
  EXPECT_FALSE(f_.mFadeIn->isChecked());
  EXPECT_TRUE(f_.Image6->isHidden());
  EXPECT_FALSE(f_.Image7->isHidden());
  EXPECT_EQ(decoder_.calls, QStringList({"setFadeIn(-1)", "setFadeOut(-1)", "setFadeIn(0)"}));
}

TEST_F(Navigation, StartUpModeCheckShowsTheOneModesPictureAndLeavesNoneAlone) {
  f_.mRepeat->setChecked(false);
  f_.mListTrack->setChecked(true);
  f_.mDowntoUp->setChecked(true);  // and mUptoDown, as designed
  mPlayMode(app_);
  mListMode(app_);
  EXPECT_FALSE(f_.Image4->isHidden());
  EXPECT_TRUE(f_.Image3->isHidden());
  EXPECT_TRUE(f_.mListTrack->isChecked());
  EXPECT_FALSE(f_.mUptoDown->isChecked());
  EXPECT_FALSE(f_.mDowntoUp->isChecked());

  f_.mListTrack->setChecked(false);  // no mode: the pictures stay as they are
  mPlayMode(app_);
  EXPECT_FALSE(f_.Image4->isHidden());
}

}  // namespace
