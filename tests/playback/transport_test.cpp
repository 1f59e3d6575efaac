// Transport: play/pause/stop, the seek-or-not rule of the seek bar, pitch and volume steps.
#include <QApplication>
#include <QTest>
#include <cmath>
#include <functional>

#include "playback/load.h"
#include "playback_fixture.h"
#include "ui/form2.h"
#include "ui/form5.h"
#include "ui/tray.h"

namespace {

using Transport = PlaybackTest;

int indexOf(const QStringList& calls, const QString& call) { return static_cast<int>(calls.indexOf(call)); }

TEST_F(Transport, PlayPauseResumeAndStopSetButtonsTimersAndLabels) {
  loadTrack(200, 2);
  play();
  EXPECT_EQ(decoder.current.state, 1);
  EXPECT_FALSE(main.Command1->isEnabled());
  EXPECT_TRUE(main.Command2->isEnabled());
  EXPECT_TRUE(main.Command3->isEnabled());
  for (QTimer* t : {main.Timer1, main.Timer2, main.Timer4})
    EXPECT_TRUE(t->isActive()) << t->objectName().toStdString();
  EXPECT_EQ(decoder.count("restart"), 0);

  run(5000);
  Form1_Command3_Click(app);
  EXPECT_EQ(decoder.current.state, 2);
  EXPECT_TRUE(main.Command1->isEnabled());
  EXPECT_FALSE(main.Timer1->isActive());
  EXPECT_FALSE(main.Timer4->isActive());

  decoder.calls.clear();
  play();  // resumes: restart before play, polling on again
  EXPECT_LT(indexOf(decoder.calls, "restart()"), indexOf(decoder.calls, "play()"));
  EXPECT_GE(indexOf(decoder.calls, "restart()"), 0);
  EXPECT_TRUE(main.Timer1->isActive());

  main.Label13->move(50, main.Label13->y());
  decoder.calls.clear();
  Form1_Command2_Click(app);
  EXPECT_EQ(decoder.calls.mid(0, 2), (QStringList{"stop()", "encodeStop()"}));
  EXPECT_TRUE(main.Command1->isEnabled());
  EXPECT_TRUE(main.Command2->isEnabled());
  EXPECT_TRUE(main.Command3->isEnabled());
  EXPECT_FALSE(main.Timer1->isActive());
  EXPECT_FALSE(main.Timer4->isActive());
  EXPECT_EQ(main.Label1->text(), "00:00");
  EXPECT_EQ(main.Label13->x(), 8);
  EXPECT_EQ(main.Text2->text(), "200");
}

TEST_F(Transport, PlayShowsTheTagEditorOnlyWithItsViewOption) {
  loadTrack(200, 2);
  main.mPTag->setChecked(true);
  play();
  EXPECT_TRUE(app.form5Created());
  EXPECT_FALSE(app.form5().isHidden());

  app.form5().hide();
  Form1_Command2_Click(app);
  main.mPTag->setChecked(false);
  playCurrentTrack(app);
  EXPECT_TRUE(app.form5().isHidden());
}

// The bar's own moves (one second per poll) do not seek; a move back, or forward by the
// large step or more, is the user's.
TEST_F(Transport, SeekBarSeeksOnlyOnMovesAPollCannotMake) {
  struct Case {
    int seconds, largeStep, to;
    bool seeks;
  };
  for (Case c : {Case{600, 6, 101, false}, Case{600, 6, 105, false}, Case{600, 6, 106, true},
                 Case{600, 6, 40, true}, Case{200, 2, 101, false}, Case{200, 2, 102, true},
                 Case{120, 1, 110, false}, Case{120, 1, 40, false}}) {
    SCOPED_TRACE(testing::Message() << c.seconds << " s, step " << c.largeStep << ", to " << c.to);
    loadTrack(c.seconds, c.largeStep);
    main.Picture5->cls();
    play();
    playAt(100);
    run(100);
    ASSERT_EQ(app.LastPlayPosition, 100);
    decoder.calls.clear();
    main.Picture5->cls();
    main.HScroll1->setValue(c.to);
    EXPECT_EQ(decoder.calls.contains(QString("seek(%1)").arg(c.to)), c.seeks);
    if (c.seeks) EXPECT_EQ(main.Label1->text(), minutesSeconds(c.to));
    // The progress strip is drawn up to the value on bars with a large step of 2 or more.
    const QImage& strip = main.Picture5->canvas();
    const int x = static_cast<int>(c.to * strip.width() / double(c.seconds));
    bool drawn = false;
    for (int column = x - 1; column <= x + 1; ++column)
      drawn |= strip.pixelColor(column, 2) == main.Picture5->foreColor();
    EXPECT_EQ(drawn, c.largeStep > 1);
    Form1_Command2_Click(app);
  }
}

TEST_F(Transport, PitchStepsStayInTheBarsRange) {
  loadTrack(200, 2);
  play();
  main.HScroll2->setValue(80);
  decoder.calls.clear();
  Form1_Command5_Click(app);
  EXPECT_EQ(main.HScroll2->value(), 60);
  EXPECT_EQ(main.Text4->text(), "60");
  EXPECT_FALSE(main.Command5->isEnabled());
  EXPECT_TRUE(main.Command6->isEnabled());
  EXPECT_EQ(decoder.calls.mid(0, 3), (QStringList{"getState()", "pause()", "setPitch(80)"}));
  EXPECT_EQ(decoder.calls.last(), "restart()");
  EXPECT_EQ(decoder.pitch, 60);

  main.HScroll2->setValue(70);  // reached by dragging: a step down would pass the end
  Form1_Command5_Click(app);
  EXPECT_EQ(main.HScroll2->value(), 60);
  EXPECT_FALSE(main.Command5->isEnabled());

  main.HScroll2->setValue(190);
  Form1_Command6_Click(app);
  EXPECT_EQ(main.HScroll2->value(), 200);
  EXPECT_EQ(main.Text4->text(), "200");
  EXPECT_FALSE(main.Command6->isEnabled());
  EXPECT_TRUE(main.Command5->isEnabled());
}

// A pitch step holds the sound while the new pitch goes in, and lets it go on only when it
// was playing: a paused track behind a paused window stays paused, a stopped one stopped.
TEST_F(Transport, PitchStepsResumeOnlyWhatWasPlaying) {
  struct Case {
    const char* name;
    void (*into)(App&);  // the transport button pressed after play
    int32_t state;
  };
  for (Case c : {Case{"playing", [](App&) {}, 1}, Case{"paused", Form1_Command3_Click, 2},
                 Case{"stopped", Form1_Command2_Click, 0}}) {
    SCOPED_TRACE(c.name);
    loadTrack(200, 2);
    play();
    run(3000);
    c.into(app);
    const int32_t at = decoder.current.seconds;
    const bool playEnabled = main.Command1->isEnabled();
    for (auto step : {Form1_Command6_Click, Form1_Command5_Click}) {
      step(app);
      EXPECT_EQ(decoder.current.state, c.state);
      EXPECT_EQ(decoder.current.seconds, at);
    }
    EXPECT_EQ(decoder.count("restart"), c.state == 1 ? 2 : 0);
    EXPECT_EQ(main.Command1->isEnabled(), playEnabled);
    EXPECT_EQ(main.HScroll2->value(), 100);
    Form1_Command2_Click(app);
  }
}

TEST_F(Transport, VolumeStepsMoveTheKnobSixPixelsAndStayInRange) {
  const int knobTop = main.Image2->y();
  Form1_Command12_Click(app);
  EXPECT_EQ(main.HScroll3->value(), 95);
  EXPECT_EQ(decoder.volumeLeft, 95);
  EXPECT_EQ(decoder.volumeRight, 95);
  EXPECT_TRUE(main.Command11->isEnabled());
  EXPECT_EQ(main.Image2->y(), knobTop + 6);

  for (int i = 0; i < 19; ++i) Form1_Command12_Click(app);
  EXPECT_EQ(main.HScroll3->value(), 0);
  EXPECT_FALSE(main.Command12->isEnabled());
  EXPECT_EQ(main.Image2->y(), knobTop + 120);

  Form1_Command11_Click(app);
  EXPECT_EQ(main.Image2->y(), knobTop + 114);
  EXPECT_TRUE(main.Command12->isEnabled());

  main.HScroll3->setValue(98);  // from elsewhere: the knob stays
  EXPECT_EQ(main.Image2->y(), knobTop + 114);
  Form1_Command11_Click(app);
  EXPECT_EQ(main.HScroll3->value(), 100);
  EXPECT_FALSE(main.Command11->isEnabled());
  Form1_Command11_Click(app);  // nothing left to move: neither bar nor knob moves
  EXPECT_EQ(main.HScroll3->value(), 100);
  EXPECT_EQ(main.Image2->y(), knobTop + 108);
}

// Space reaches the play and pause procedures from a window's keyboard focus, except in a
// text box, where it is a character.
TEST_F(Transport, SpacePlaysAndPausesUnlessATextBoxHasTheFocus) {
  Form2& songList = app.form2();
  auto press = [](QWidget* window, QWidget* focus) {
    window->show();
    window->activateWindow();
    if (!QTest::qWaitForWindowActive(window)) return false;
    focus->setFocus();
    QTest::keyClick(window->windowHandle(), Qt::Key_Space);
    return true;
  };
  struct Step {
    QWidget* window;
    QWidget* focus;
    int32_t state;
    const char* what;
  } steps[] = {
      {&main, &main, VBMP3_STATE_STOPPED, "no track: play is off"},
      {&main, &main, VBMP3_STATE_PLAYING, "stopped with a track: plays"},
      {&main, main.Command2, VBMP3_STATE_PAUSED, "playing: pauses, also from a button"},
      {&main, &main, VBMP3_STATE_PLAYING, "paused: resumes"},
      {&songList, songList.List1, VBMP3_STATE_PAUSED, "the Song List pauses too"},
      {&songList, songList.Combo2, VBMP3_STATE_PAUSED, "the search box takes the space"},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.what);
    if (step.state == VBMP3_STATE_PLAYING && decoder.openPath.isEmpty()) loadTrack(200, 2);
    ASSERT_TRUE(press(step.window, step.focus));
    EXPECT_EQ(decoder.current.state, step.state);
  }
  EXPECT_EQ(songList.Combo2->currentText(), " ");
  EXPECT_EQ(decoder.count("restart"), 1);
  songList.hide();
}

// The caption tells once, and only for a while, that no sound device plays the sound.
TEST_F(Transport, PlayingWithoutASoundDeviceSaysSoOnceInTheCaption) {
  for (int32_t output : {VBMP3_OUTPUT_DEVICE, VBMP3_OUTPUT_SILENT}) {
    SCOPED_TRACE(output);
    Restarted again(folder.path());
    again.decoder.output = output;
    again.decoder.addTrack("/m/t.mp3", 100);
    again.platform.dialogAnswers = {"/m/t.mp3"};
    again.app.form3().Check6->setChecked(false);  // loaded, not yet played
    Form1_mOpen_Click(again.app);
    Form1& f = again.app.form1();
    const QString usual = f.windowTitle();
    Form1_Command1_Click(again.app);
    const QString shown = output == VBMP3_OUTPUT_SILENT ? "Kestrune　【" + kSilentOutputNotice + "】" : usual;
    EXPECT_EQ(f.windowTitle(), shown);
    ApplyCaptionRule(again.app);  // the poll's caption refresh while it lasts
    EXPECT_EQ(f.windowTitle(), shown);
    EndSilentOutputNotice(again.app);
    EXPECT_EQ(f.windowTitle(), usual);
    Form1_Command2_Click(again.app);
    Form1_Command1_Click(again.app);
    EXPECT_EQ(f.windowTitle(), usual) << "told once";
    EXPECT_EQ(again.decoder.count("getOutput"), 1);
  }
}

TEST_F(Transport, SongListButtonShowsTheSongListModally) {
  bool shownModally = false;
  QTimer::singleShot(0, [&] {
    shownModally = QApplication::activeModalWidget() == &app.form2();
    app.form2().hide();
  });
  Form1_Command10_Click(app);
  EXPECT_TRUE(shownModally);
  EXPECT_TRUE(app.form2().isHidden());
}

}  // namespace

namespace {

using SeekByHand = PlaybackTest;

// The user's own moves seek on every track length, small moves too; the poll leaves a held
// thumb where the user has it.
TEST_F(SeekByHand, EveryMoveOfTheUsersSeeks) {
  struct Case {
    const char* name;
    std::function<void(Form1&)> move;
    int32_t to;
  };
  const std::vector<Case> moves = {
      {"drag by 3 and let go",
       [this](Form1& f) {
         f.HScroll1->setSliderDown(true);
         f.HScroll1->setSliderPosition(103);
         run(500);  // polls while held
         EXPECT_EQ(f.HScroll1->sliderPosition(), 103);
         EXPECT_EQ(decoder.count("seek"), 0);
         f.HScroll1->setSliderDown(false);
       },
       103},
      {"arrow right", [](Form1& f) { QTest::keyClick(f.HScroll1, Qt::Key_Right); }, 101},
      {"arrow left", [](Form1& f) { QTest::keyClick(f.HScroll1, Qt::Key_Left); }, 99},
      {"click on the bar", [](Form1& f) { f.HScroll1->triggerAction(QAbstractSlider::SliderPageStepAdd); },
       -1},
      {"click on the progress strip at a third",
       [](Form1& f) {
         QTest::mouseClick(f.Picture5, Qt::LeftButton, {}, QPoint(f.Picture5->width() / 3, 2));
       },
       -3},
  };
  for (auto [seconds, largeStep] : {std::pair{600, 6}, std::pair{120, 1}, std::pair{200, 2}}) {
    for (const Case& c : moves) {
      SCOPED_TRACE(testing::Message() << c.name << ", " << seconds << " s");
      loadTrack(seconds, largeStep);
      play();
      playAt(100);
      run(100);
      decoder.calls.clear();
      c.move(main);
      const int third = main.Picture5->width() / 3;
      const int32_t to = c.to == -1   ? 100 + largeStep
                         : c.to == -3 ? int32_t(std::lround(third * double(seconds) / main.Picture5->width()))
                                      : c.to;
      EXPECT_EQ(decoder.calls.filter("seek").join(" "), QString("seek(%1)").arg(to));
      EXPECT_EQ(main.HScroll1->value(), to);
      EXPECT_EQ(main.Label1->text(), minutesSeconds(to));
      run(100);  // the poll's next move is the program's own again
      EXPECT_EQ(decoder.count("seek"), 1);
      Form1_Command2_Click(app);
    }
  }
}

TEST_F(SeekByHand, HoldingWithoutMovingAndPressingAtAnEndSeekNothing) {
  loadTrack(120, 1);
  play();
  run(300);
  main.HScroll1->setSliderDown(true);  // held, not moved, while the track goes on
  run(1000);
  main.HScroll1->setSliderDown(false);
  Form1_Command2_Click(app);
  play();
  QTest::keyClick(main.HScroll1, Qt::Key_Left);  // at the start already: no move
  run(1500);                                     // so the poll's next moves are its own
  EXPECT_EQ(decoder.count("seek"), 0);
  EXPECT_EQ(main.HScroll1->value(), 1);
}

}  // namespace
