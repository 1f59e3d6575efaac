// Moving through the Song List from the main window (previous, next, random), the end of a
// track in Song List and random play, and the play-mode menu items with their pictures.
#include "playback/navigation.h"

#include <deque>

#include "playback/playmodes.h"
#include "playback_fixture.h"
#include "songlist/songlistwindow.h"
#include "ui/form2.h"

namespace {

class Navigation : public PlaybackTest {
 protected:
  Form2& list_ = app.form2();
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
      if (!title.startsWith('x')) decoder.addTrack("/m/" + title + ".mp3", 200);
    }
    list_.Label2->setText(QString::number(list_.List1->count()));
  }

  void setMode(QAction* mode) {
    for (QAction* m : {main.mRepeat, main.mListTrack, main.mRandam}) m->setChecked(m == mode);
  }

  QString playing() const { return decoder.current.state == 1 ? decoder.openPath : QString(); }
  int messages() const { return static_cast<int>(platform.messages.size()); }
};

TEST_F(Navigation, NextAndPreviousWrapAroundAndStartFromNoSelection) {
  fill({"A", "B", "C"});
  main.Command7->click();  // next from no selection: the first
  EXPECT_EQ(selectedEntry(app), 0);
  EXPECT_EQ(playing(), "/m/A.mp3");
  EXPECT_EQ(main.Text1->text(), "/m/A.mp3");
  EXPECT_EQ(main.Label13->text(), "A");
  EXPECT_EQ(main.Label11->text(), "1/3");  // the list position follows the selection
  EXPECT_FALSE(main.Command1->isEnabled());
  EXPECT_TRUE(main.Command2->isEnabled());
  EXPECT_TRUE(main.Timer1->isActive());

  QStringList order;
  for (QPushButton* button : {main.Command7, main.Command7, main.Command7, main.Command4, main.Command4}) {
    button->click();
    order << main.Label13->text();
  }
  EXPECT_EQ(order, QStringList({"B", "C", "A", "C", "B"}));
  EXPECT_EQ(decoder.count("stop"), 0) << "the new open replaces the playing track";

  selectEntry(app, -1);
  main.Command4->click();  // previous from no selection: the last
  EXPECT_EQ(playing(), "/m/C.mp3");
  EXPECT_TRUE(platform.messages.empty());
}

TEST_F(Navigation, AnEntryThatDoesNotOpenTellsOnceAndTheNextPressGoesOn) {
  fill({"A", "xB", "C"});
  main.Command7->click();
  main.Command7->click();
  ASSERT_EQ(messages(), 1);
  EXPECT_EQ(platform.messages[0].text, kFailedOpen);
  EXPECT_EQ(selectedEntry(app), 1);  // the selection has moved; A is closed, no track shown
  EXPECT_EQ(main.Label3->text(), "00:00");
  EXPECT_EQ(main.Label13->text(), "Kestrune");
  EXPECT_FALSE(main.Command1->isEnabled());
  main.Command7->click();
  EXPECT_EQ(playing(), "/m/C.mp3");
  EXPECT_EQ(messages(), 1);
}

TEST_F(Navigation, EmptyListMakesEveryButtonDoNothing) {
  fill({"A"});
  list_.Label2->setText("0");  // the entry count decides
  for (QPushButton* button : {main.Command4, main.Command7, main.Command8}) button->click();
  list_.List1->clear();
  list_.List2->clear();
  list_.Label2->setText("3");  // and so do the lists themselves
  for (QPushButton* button : {main.Command4, main.Command7, main.Command8}) button->click();
  EXPECT_TRUE(decoder.calls.isEmpty());
  EXPECT_TRUE(platform.messages.empty());
}

TEST_F(Navigation, OneEntryIsReplayedByNextPreviousAndRandom) {
  fill({"Only"});
  for (QPushButton* button : {main.Command7, main.Command4, main.Command8}) {
    decoder.current = {};
    button->click();
    EXPECT_EQ(playing(), "/m/Only.mp3") << button->objectName().toStdString();
    EXPECT_EQ(selectedEntry(app), 0);
  }
  EXPECT_EQ(decoder.count("open"), 3);
}

TEST_F(Navigation, RandomButtonDrawsPlaysShowsThePositionAndHidesTheSongList) {
  fill({"A", "B", "C", "D"});
  main.mListIndexHex->trigger();
  list_.show();
  draws_ = {0.74};  // floor(4 × 0.74) = 2
  main.Command8->click();
  EXPECT_EQ(selectedEntry(app), 2);
  EXPECT_EQ(playing(), "/m/C.mp3");
  EXPECT_EQ(main.Label13->text(), "C");
  EXPECT_EQ(main.Label11->text(), "2/4");  // hexadecimal, counted from 0
  EXPECT_TRUE(list_.isHidden());
  EXPECT_EQ(decoder.calls.first(), "stop()");

  draws_ = {0.74};  // the same entry again is a fair draw too
  main.Command8->click();
  EXPECT_EQ(playing(), "/m/C.mp3");
  EXPECT_EQ(decoder.count("open"), 2);
}

TEST_F(Navigation, RandomButtonWithUnopenableEntries) {
  fill({"xA", "B", "xC"});
  list_.show();

  main.mNotRandomEroor->setChecked(false);
  draws_ = {0.0};
  main.Command8->click();  // ignore off: one message and the end
  EXPECT_EQ(messages(), 1);
  EXPECT_EQ(decoder.count("open"), 1);
  EXPECT_EQ(playing(), "");
  EXPECT_FALSE(list_.isHidden());

  main.mNotRandomEroor->setChecked(true);
  draws_ = {0.0, 0.99, 0.0, 0.0};  // ignore on: drawn again until an entry opens
  main.Command8->click();
  EXPECT_EQ(messages(), 1);
  EXPECT_EQ(playing(), "/m/B.mp3");
  EXPECT_EQ(selectedEntry(app), 1);
  EXPECT_LE(decoder.count("open"), 1 + 3);
  EXPECT_TRUE(list_.isHidden());
}

TEST_F(Navigation, RandomPlayOverAListWithNothingOpenableEnds) {
  fill({"x1", "x2", "x3", "x4"});
  main.mNotRandomEroor->setChecked(true);
  main.Command8->click();  // every draw 0
  EXPECT_EQ(decoder.count("open"), 4) << "every entry tried once";
  ASSERT_EQ(messages(), 1);
  EXPECT_EQ(platform.messages[0].text, kFailedOpen);

  // The same at the end of a track in random mode: one message, and no track is left.
  setMode(main.mRandam);
  loadTrack(200, 2);
  play();
  playAt(197);
  run(5000);
  EXPECT_EQ(decoder.count("open"), 4);
  EXPECT_EQ(messages(), 2);
  EXPECT_EQ(decoder.current.state, 0);
  EXPECT_EQ(main.Label3->text(), "00:00");
  EXPECT_FALSE(main.Command1->isEnabled());
  EXPECT_FALSE(main.Timer5->isActive());
}

// The failed open has closed the track that ended, so nothing is open: the window shows no
// track, and play, had it been offered, would show "playing" over silence and a frozen 00:00.
TEST_F(Navigation, AFailedOpenAtTheEndOfATrackLeavesNoTrackAndPlayRefused) {
  struct Case {
    const char* name;
    QAction* mode;
    QAction* direction;
  };
  for (Case c :
       {Case{"next", main.mListTrack, main.mUptoDown}, Case{"previous", main.mListTrack, main.mDowntoUp},
        Case{"random", main.mRandam, main.mUptoDown}}) {
    SCOPED_TRACE(c.name);
    list_.List1->clear();
    list_.List2->clear();
    fill({"xA", "B", "xC"});
    main.mNotRandomEroor->setChecked(false);
    setMode(c.mode);
    c.direction->trigger();
    loadTrack(200, 2);
    main.Label3->setText("03:20");
    selectEntry(app, 1);
    play();
    playAt(197);
    draws_ = {0.0};
    platform.messages.clear();
    ASSERT_GE(runUntil([&] { return messages() > 0; }), 0);
    EXPECT_EQ(platform.messages[0].text, kFailedOpen);
    EXPECT_EQ(main.Label3->text(), "00:00");
    EXPECT_EQ(main.Label13->text(), "Kestrune");
    EXPECT_FALSE(main.Command1->isEnabled());
    EXPECT_FALSE(main.Command2->isEnabled());
    EXPECT_FALSE(main.Timer1->isActive());

    // Even pressed by its procedure, play is refused and the window stays without a track.
    play();
    EXPECT_EQ(decoder.current.state, 0);
    EXPECT_FALSE(main.Command1->isEnabled());
    EXPECT_FALSE(main.Timer1->isActive());
    EXPECT_EQ(main.Label3->text(), "00:00");
    run(3000);
    EXPECT_EQ(messages(), 1) << "the end of the track was handled once";
  }
}

TEST_F(Navigation, EndOfTrackInSongListModeGoesToTheNextOrPreviousEntry) {
  fill({"A", "B", "C"});
  setMode(main.mListTrack);
  loadTrack(200, 2);  // the simulated tracks' length
  selectEntry(app, 2);
  main.Command7->click();  // wraps to A
  ASSERT_EQ(playing(), "/m/A.mp3");
  decoder.calls.clear();

  playAt(197);
  ASSERT_GE(runUntil([&] { return playing() == "/m/B.mp3"; }), 0);
  EXPECT_LT(decoder.calls.indexOf("stop()"), decoder.calls.indexOf("open(/m/B.mp3)"));
  EXPECT_EQ(main.Label13->text(), "B");
  EXPECT_EQ(main.Label11->text(), "2/3");
  run(1000);
  EXPECT_EQ(main.Label1->text(), "00:01");
  EXPECT_EQ(main.Label16->text(), "0");

  main.mDowntoUp->trigger();
  playAt(197);
  ASSERT_GE(runUntil([&] { return playing() == "/m/A.mp3"; }), 0);
  playAt(197);
  ASSERT_GE(runUntil([&] { return playing() == "/m/C.mp3"; }), 0);  // wrapping backwards
  EXPECT_TRUE(platform.messages.empty());
}

TEST_F(Navigation, EndOfTrackInRandomModeLoadsTheDrawnEntryAndReplays) {
  fill({"A", "B", "C"});
  setMode(main.mRandam);
  loadTrack(200, 2);
  play();
  main.Command1->setEnabled(true);  // random continuation leaves the play button as it is
  playAt(197);
  draws_ = {0.5};
  ASSERT_GE(runUntil([&] { return playing() == "/m/B.mp3"; }), 0);
  EXPECT_EQ(selectedEntry(app), 1);
  EXPECT_EQ(main.Text1->text(), "/m/B.mp3");
  EXPECT_EQ(main.Label13->text(), "B");
  EXPECT_TRUE(main.Command1->isEnabled());
  run(2000);
  EXPECT_EQ(decoder.count("open"), 1);
  EXPECT_EQ(main.Label1->text(), "00:02");
}

TEST_F(Navigation, PlayModesAreExclusiveAndShowTheirPicture) {
  const auto shown = [&] {
    QString s;
    for (QWidget* w : {main.Image3, main.Image4, main.Image5}) s += w->isHidden() ? '-' : '+';
    return s;
  };
  const auto checked = [&] {
    QString s;
    for (QAction* m : {main.mRepeat, main.mListTrack, main.mRandam}) s += m->isChecked() ? '+' : '-';
    return s;
  };
  ASSERT_EQ(checked(), "+--");
  ASSERT_EQ(shown(), "+--");
  main.mRandam->trigger();
  EXPECT_EQ(checked(), "--+");
  EXPECT_EQ(shown(), "--+");
  main.mListTrack->trigger();
  EXPECT_EQ(checked(), "-+-");
  EXPECT_EQ(shown(), "-+-");
  main.mListTrack->trigger();  // a checked mode clicked: no mode at all
  EXPECT_EQ(checked(), "---");
  EXPECT_EQ(shown(), "---");
  main.mRepeat->trigger();
  EXPECT_EQ(checked(), "+--");
  EXPECT_EQ(shown(), "+--");

  main.mDowntoUp->trigger();
  EXPECT_FALSE(main.mUptoDown->isChecked());
  main.mDowntoUp->trigger();  // the pair stays one checked
  EXPECT_TRUE(main.mDowntoUp->isChecked());
  main.mUptoDown->trigger();
  EXPECT_TRUE(main.mUptoDown->isChecked());
  EXPECT_FALSE(main.mDowntoUp->isChecked());
}

TEST_F(Navigation, FadesToggleTheirPictureAndTheDecoder) {
  main.mFadeIn->trigger();
  main.mFadeOut->trigger();
  EXPECT_TRUE(main.mFadeIn->isChecked());
  EXPECT_FALSE(main.Image6->isHidden());
  EXPECT_FALSE(main.Image7->isHidden());
  main.mFadeIn->trigger();
  EXPECT_FALSE(main.mFadeIn->isChecked());
  EXPECT_TRUE(main.Image6->isHidden());
  EXPECT_FALSE(main.Image7->isHidden());
  EXPECT_EQ(decoder.calls, QStringList({"setFadeIn(-1)", "setFadeOut(-1)", "setFadeIn(0)"}));
}

TEST_F(Navigation, StartUpModeCheckShowsTheOneModesPictureAndLeavesNoneAlone) {
  main.mRepeat->setChecked(false);
  main.mListTrack->setChecked(true);
  main.mDowntoUp->setChecked(true);  // and mUptoDown, as designed
  mPlayMode(app);
  mListMode(app);
  EXPECT_FALSE(main.Image4->isHidden());
  EXPECT_TRUE(main.Image3->isHidden());
  EXPECT_TRUE(main.mListTrack->isChecked());
  EXPECT_FALSE(main.mUptoDown->isChecked());
  EXPECT_FALSE(main.mDowntoUp->isChecked());

  main.mListTrack->setChecked(false);  // no mode: the pictures stay as they are
  mPlayMode(app);
  EXPECT_FALSE(main.Image4->isHidden());
}

}  // namespace
