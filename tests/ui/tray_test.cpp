// The minimized main window: flagged windows, the caption rule, the tray icon (tip, click,
// menu, TrayState), the desktop without a tray, and the fixed window sizes.
#include "ui/tray.h"

#include <gtest/gtest.h>

#include <QAction>

#include "fakes/program_test.h"
#include "playback/load.h"
#include "playback/transport.h"
#include "songlist/songlistwindow.h"
#include "ui/controls.h"
#include "ui/form1.h"
#include "ui/form2.h"
#include "ui/form3.h"
#include "ui/form4.h"
#include "ui/form5.h"
#include "ui/form6.h"

namespace {

// Records the show events of the windows it watches, by window name.
struct ShowLog : QObject {
  QStringList shown;
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Show) shown << watched->objectName();
    return false;
  }
};

class Minimized : public ProgramTest {
 protected:
  void SetUp() override {
    start();
    setCheckValue(options().Check3, 1);  // no caption reset
    main().Label1->setText("01:23");
    main().Label4->setText("03:33");
    main().Label3->setText("04:56");
    main().Label13->setText("Song");
    main().show();
  }
  Form1& main() { return app.form1(); }
  Form3& options() { return app.form3(); }
  void minimize() { main().setWindowState(main().windowState() | Qt::WindowMinimized); }
  void restore() { main().setWindowState(main().windowState() & ~Qt::WindowMinimized); }
  // The flag labels and their windows, in the order the resize handling takes them.
  std::vector<std::pair<ChangeLabel*, QWidget*>> flagged() {
    return {{main().Label17, &app.form4()},
            {main().Label18, &app.form5()},
            {main().Label23, &options()},
            {main().Label24, &app.form6()}};
  }
};

TEST_F(Minimized, FlaggedWindowsGoAndComeBackWithTheMainWindowOthersAreLeftAlone) {
  const auto windows = flagged();
  for (size_t i = 0; i < windows.size(); ++i) {
    auto [flag, window] = windows[i];
    auto [otherFlag, other] = windows[(i + 1) % windows.size()];
    SCOPED_TRACE(flag->objectName().toStdString());
    for (auto [f, w] : windows) f->setText("");
    flag->setText("1");
    window->move(40, 50);
    window->show();
    other->show();
    minimize();
    EXPECT_EQ(otherFlag->text(), "0") << "an empty flag becomes 0";
    EXPECT_TRUE(window->isHidden());
    EXPECT_TRUE(other->isVisible()) << "a window whose flag is 0 is not touched";
    other->hide();
    restore();
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->pos(), QPoint(40, 50));
    EXPECT_TRUE(other->isHidden());
    window->hide();
  }
}

TEST_F(Minimized, CaptionRuleAtEachSizeChange) {
  struct Case {
    bool minimized, elapsed, titleHidden, cache, smallTime;
    QString caption;
  } cases[] = {
      {true, true, false, true, true, "01:23/04:56"},
      {true, false, false, true, true, "03:33/04:56"},
      {false, true, false, true, true, "Kestrune　【Song】"},
      {false, true, true, true, true, "Kestrune"},
      {true, true, false, false, true, "Kestrune"},
      {false, true, false, true, false, "before"},
      {true, true, false, true, false, "before"},
      {false, true, false, false, false, "Kestrune"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.caption.toStdString() + (c.minimized ? " minimized" : " restored"));
    main().mTimeNormal->setChecked(c.elapsed);
    main().mVisible->setChecked(c.titleHidden);
    main().mSmallTime->setChecked(c.smallTime);
    setCheckValue(options().Check3, c.cache ? 1 : 0);
    main().setWindowTitle("before");
    minimize();
    if (!c.minimized) {
      main().setWindowTitle("before");
      restore();
    }
    EXPECT_EQ(main().windowTitle(), c.caption);
    restore();
  }
}

// A poll's elapsed time leads to the remaining seconds, whose change sets the caption: with
// the remaining time of the same poll, not the one before.
TEST_F(Minimized, CaptionFollowsThePlayTimeWhileMinimized) {
  decoder.addTrack("/m/a.mp3", 296);
  ASSERT_TRUE(LoadAndShowTrack(app, "/m/a.mp3", LoadOptions::fromOpenDialog()));
  minimize();
  const struct {
    bool elapsed, smallTime;
    int32_t seconds;
    QString caption;
  } steps[] = {
      {true, true, 83, "01:23/04:56"}, {false, true, 84, "03:32/04:56"}, {false, false, 85, "03:32/04:56"}};
  for (const auto& s : steps) {
    main().mTimeNormal->setChecked(s.elapsed);
    main().mSmallTime->setChecked(s.smallTime);
    decoder.current = {1, s.seconds};
    main().Label1->setText(QString("01:%1").arg(s.seconds - 60));
    EXPECT_EQ(main().windowTitle(), s.caption) << s.seconds;
  }
}

// TrayState 0 → 1 at the first minimize with the option, 1 → 2 at the click, 2 → 1 at the next.
TEST_F(Minimized, TrayTakesEveryWindowAndTheClickBringsBackTheFlaggedOnes) {
  setCheckValue(options().Check9, 1);
  main().Label17->setText("1");
  app.form4().show();
  app.form6().show();  // flag 0: goes to the tray too, but does not come back
  for (int round = 1; round <= 2; ++round) {
    minimize();
    EXPECT_TRUE(main().isHidden());
    for (auto [flag, window] : flagged()) EXPECT_TRUE(window->isHidden()) << flag->objectName().toStdString();
    EXPECT_EQ(platform.tray.toolTip, "Kestrune\r\n曲名：Song");
    EXPECT_EQ(app.TrayState, 1);
    Form1_Form_Resize(app);  // while in the tray: no second icon
    EXPECT_EQ(platform.trayIconsShown, round);

    platform.clickTray();
    EXPECT_FALSE(platform.trayIconVisible());
    EXPECT_TRUE(main().isVisible() && !main().isMinimized());
    EXPECT_TRUE(app.form4().isVisible());
    EXPECT_TRUE(app.form6().isHidden());
    EXPECT_EQ(app.TrayState, 2);
  }
}

TEST_F(Minimized, WithoutATrayTheWindowStaysMinimizedInTheTaskBar) {
  platform.trayAvailableResult = false;
  setCheckValue(options().Check9, 1);
  minimize();
  EXPECT_TRUE(main().isVisible() && main().isMinimized());
  EXPECT_EQ(platform.trayIconsShown, 0);
  EXPECT_EQ(app.TrayState, 0);
}

// No secondary window shows while the main window is off screen (it would flash up alone),
// and one the window manager minimized along with its owner comes back in its normal state
// (else the manager minimizes the whole group again).
TEST_F(Minimized, SecondaryWindowsShowOnlyAfterTheMainWindowAndNotMinimized) {
  setCheckValue(options().Check9, 1);
  ShowLog log;
  main().installEventFilter(&log);
  for (auto [flag, window] : flagged()) {
    flag->setText("1");
    window->show();
    window->installEventFilter(&log);
  }
  minimize();
  app.form4().setWindowState(Qt::WindowMinimized);
  EXPECT_TRUE(log.shown.isEmpty()) << log.shown.join(",").toStdString();
  platform.clickTray();
  ASSERT_FALSE(log.shown.isEmpty());
  EXPECT_EQ(log.shown.first(), "Form1") << log.shown.join(",").toStdString();
  for (auto [flag, window] : flagged()) EXPECT_TRUE(window->isVisible()) << flag->objectName().toStdString();
  EXPECT_FALSE(app.form4().isMinimized());
}

TEST(TrayTip, TitleCutToSixtyFourWholeCharacters) {
  const QString head = "Kestrune\r\n曲名：";  // 13 characters
  const QString a50(50, 'a');
  const std::pair<QString, QString> cases[] = {
      {"Song", head + "Song"},
      {QString(51, 'x'), head + QString(51, 'x')},
      {QString(52, 'x'), head + QString(51, 'x')},
      {QString(60, QChar(0x66F2)), head + QString(51, QChar(0x66F2))},
      {a50 + "😀😀", head + a50 + "😀"},  // a pair is one character
      {a50 + "b😀", head + a50 + "b"},  // and is not split
      {a50 + "か\u3099", head + a50},  // a combining mark stays with its base
  };
  for (const auto& [title, tip] : cases) EXPECT_EQ(TrayTip(title), tip) << title.toStdString();
}

TEST_F(Minimized, TrayMenuRunsWhatTheWindowsControlsRun) {
  decoder.addTrack("/m/a.mp3", 100);
  decoder.addTrack("/m/b.mp3", 100);
  app.form2().List1->addItems({"a", "b"});
  app.form2().List2->addItems({"/m/a.mp3", "/m/b.mp3"});
  app.form2().Label2->setText("2");
  selectEntry(app, 0);
  ASSERT_TRUE(LoadAndShowTrack(app, "/m/a.mp3", LoadOptions::fromOpenDialog()));
  Form1_Command2_Click(app);  // stopped: the window offers play
  main().mPTag->setChecked(true);
  setCheckValue(options().Check9, 1);
  minimize();
  EXPECT_EQ(platform.trayMenuTexts(), QStringList({kTrayRestore, kTrayPlayPause, kTrayNext, kTrayQuit}));
  decoder.calls.clear();

  for (const char* expected : {"play", "pause", "restart"}) {
    platform.chooseTrayMenuItem(kTrayPlayPause);
    EXPECT_EQ(decoder.count(expected), 1) << expected;
  }
  EXPECT_TRUE(app.form5().isHidden()) << "the tag editor does not show up alone";
  platform.chooseTrayMenuItem(kTrayNext);
  EXPECT_EQ(decoder.openPath, "/m/b.mp3");
  EXPECT_TRUE(main().isHidden());
  platform.chooseTrayMenuItem(kTrayRestore);
  EXPECT_TRUE(main().isVisible());
  EXPECT_EQ(app.TrayState, 2);
  minimize();
  platform.chooseTrayMenuItem(kTrayQuit);
  EXPECT_EQ(platform.exitCode, 0);
}

// Fixed layouts: no size change, no maximize; only the main window minimizes.
TEST_F(Minimized, WindowsKeepTheirDesignedSize) {
  std::vector<QWidget*> windows{&main(), &app.form2()};
  for (auto [flag, window] : flagged()) windows.push_back(window);
  for (QWidget* w : windows) {
    SCOPED_TRACE(w->objectName().toStdString());
    w->show();
    const QSize designed = w->size();
    EXPECT_EQ(designed, w->minimumSize());
    EXPECT_EQ(designed, w->maximumSize());
    EXPECT_FALSE(w->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_EQ(bool(w->windowFlags() & Qt::WindowMinimizeButtonHint), w == &main());
    w->resize(designed * 2);
    EXPECT_EQ(w->size(), designed);
  }
  EXPECT_EQ(main().size(), QSize(393, 270 + main().menuBar()->height()));
}

}  // namespace
