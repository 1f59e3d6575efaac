// The minimized main window: the flagged secondary windows leave and come back with it, the
// caption rule, the tray icon (tip, click, menu, TrayState), the desktop without a tray,
// and the fixed window sizes.
#include "ui/tray.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QEvent>

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

struct Flagged {
  const char* flag;
  QWidget* (*window)(App&);
};

const Flagged kFlagged[] = {{"Label17", [](App& a) -> QWidget* { return &a.form4(); }},
                            {"Label18", [](App& a) -> QWidget* { return &a.form5(); }},
                            {"Label23", [](App& a) -> QWidget* { return &a.form3(); }},
                            {"Label24", [](App& a) -> QWidget* { return &a.form6(); }}};

// Records the windows' show and hide events, in order ("Form1 show", "Form4 hide").
class VisibilityLog : public QObject {
 public:
  explicit VisibilityLog(const std::vector<QWidget*>& windows) {
    for (QWidget* w : windows) w->installEventFilter(this);
  }
  QStringList events;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Show) events << watched->objectName() + " show";
    if (event->type() == QEvent::Hide) events << watched->objectName() + " hide";
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

  Form1& main() { return app().form1(); }
  Form3& options() { return app().form3(); }
  ChangeLabel* flag(const char* name) { return main().findChild<ChangeLabel*>(name); }
  void minimize() { main().setWindowState(main().windowState() | Qt::WindowMinimized); }
  void restore() { main().setWindowState(main().windowState() & ~Qt::WindowMinimized); }
  void trayOption(bool on) { setCheckValue(options().Check9, on ? 1 : 0); }
  std::vector<QWidget*> secondaryWindows() {
    return {&options(), &app().form4(), &app().form5(), &app().form6()};
  }
};

TEST_F(Minimized, FlaggedWindowsLeaveAndComeBackWithTheMainWindowOthersAreLeftAlone) {
  for (size_t i = 0; i < std::size(kFlagged); ++i) {
    const Flagged& flagged = kFlagged[i];
    const Flagged& other = kFlagged[(i + 1) % std::size(kFlagged)];
    SCOPED_TRACE(flagged.flag);
    for (const Flagged& f : kFlagged) flag(f.flag)->setText("0");
    flag(flagged.flag)->setText("1");
    QWidget* window = flagged.window(app());
    QWidget* untouched = other.window(app());
    window->move(40, 50);
    window->show();
    untouched->show();

    minimize();
    EXPECT_TRUE(window->isHidden());
    EXPECT_TRUE(untouched->isVisible()) << "a window whose flag is 0 is not touched";
    untouched->hide();
    restore();
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->pos(), QPoint(40, 50));
    EXPECT_TRUE(untouched->isHidden());
    window->hide();
  }
}

TEST_F(Minimized, EmptyFlagsBecomeZero) {
  for (const Flagged& f : kFlagged) flag(f.flag)->setText("");
  minimize();
  for (const Flagged& f : kFlagged) EXPECT_EQ(flag(f.flag)->text(), "0") << f.flag;
}

TEST_F(Minimized, CaptionRuleAtEachSizeChange) {
  struct Case {
    const char* name;
    bool minimized, elapsed, titleHidden, cache, smallTime;
    QString caption;
  };
  const Case cases[] = {
      {"minimized, elapsed", true, true, false, true, true, "01:23/04:56"},
      {"minimized, remaining", true, false, false, true, true, "03:33/04:56"},
      {"restored", false, true, false, true, true, "Kestrune　【Song】"},
      {"restored, title hidden", false, true, true, true, true, "Kestrune"},
      {"minimized, cache playback off", true, true, false, false, true, "Kestrune"},
      {"restored, time option off", false, true, false, true, false, "before"},
      {"minimized, time option off", true, true, false, true, false, "before"},
      {"restored, both off", false, true, false, false, false, "Kestrune"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
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

// The poll writes the elapsed label; its change writes the remaining seconds, whose change
// sets the caption while minimized, with the remaining time of the same poll.
TEST_F(Minimized, CaptionFollowsThePlayTimeWhileMinimized) {
  decoder.addTrack("/m/a.mp3", 296);
  ASSERT_TRUE(LoadAndShowTrack(app(), "/m/a.mp3", LoadOptions::fromOpenDialog()));
  minimize();
  for (bool elapsed : {true, false}) {
    main().mTimeNormal->setChecked(elapsed);
    decoder.current = {1, elapsed ? 83 : 84};
    main().Label1->setText(elapsed ? "01:23" : "01:24");
    EXPECT_EQ(main().windowTitle(), elapsed ? "01:23/04:56" : "03:32/04:56");
  }
  main().mSmallTime->setChecked(false);
  decoder.current = {1, 85};
  main().Label1->setText("01:25");
  EXPECT_EQ(main().windowTitle(), "03:32/04:56") << "without the option the caption stays";
}

TEST_F(Minimized, SmallTimeMenuItemToggles) {
  EXPECT_TRUE(main().mSmallTime->isChecked());
  main().mSmallTime->trigger();
  EXPECT_FALSE(main().mSmallTime->isChecked());
  main().mSmallTime->trigger();
  EXPECT_TRUE(main().mSmallTime->isChecked());
}

// 0 → 1 at the first minimize with the option, 1 → 2 at the click, 2 → 1 at the next.
TEST_F(Minimized, TrayTakesEveryWindowAndTheClickBringsBackTheFlaggedOnes) {
  trayOption(true);
  flag("Label17")->setText("1");
  app().form4().show();
  app().form6().show();  // About, flag 0: hidden too, and not brought back
  EXPECT_EQ(app().TrayState, 0);

  for (int round = 1; round <= 2; ++round) {
    SCOPED_TRACE(round);
    minimize();
    EXPECT_TRUE(main().isHidden());
    for (QWidget* w : secondaryWindows()) EXPECT_TRUE(w->isHidden()) << w->objectName().toStdString();
    EXPECT_TRUE(platform.trayIconVisible());
    EXPECT_EQ(platform.trayIconsShown, round);
    EXPECT_EQ(platform.tray.toolTip, "Kestrune\r\n曲名：Song");
    EXPECT_EQ(app().TrayState, 1);
    Form1_Form_Resize(app());  // a further change while in the tray adds no icon
    EXPECT_EQ(platform.trayIconsShown, round);

    platform.clickTray();
    EXPECT_FALSE(platform.trayIconVisible());
    EXPECT_TRUE(main().isVisible());
    EXPECT_FALSE(main().isMinimized());
    EXPECT_TRUE(app().form4().isVisible());
    EXPECT_TRUE(app().form6().isHidden());
    EXPECT_EQ(app().TrayState, 2);
    EXPECT_EQ(main().windowTitle(), "Kestrune　【Song】");
  }
}

TEST_F(Minimized, WithoutATrayTheWindowStaysMinimizedInTheTaskBar) {
  platform.trayAvailableResult = false;
  trayOption(true);
  flag("Label17")->setText("1");
  app().form4().show();
  minimize();
  EXPECT_TRUE(main().isVisible());
  EXPECT_TRUE(main().isMinimized());
  EXPECT_TRUE(app().form4().isHidden());
  EXPECT_EQ(platform.trayIconsShown, 0);
  EXPECT_EQ(app().TrayState, 0);
  restore();
  EXPECT_TRUE(app().form4().isVisible());
}

// No secondary window is shown while the main window is off the screen, so none flashes up
// alone; on the way back they come after the main window.
TEST_F(Minimized, SecondaryWindowsAreNeverShownWithoutTheMainWindow) {
  trayOption(true);
  for (const Flagged& f : kFlagged) flag(f.flag)->setText("1");
  for (QWidget* w : secondaryWindows()) w->show();
  std::vector<QWidget*> watched = secondaryWindows();
  watched.push_back(&main());
  VisibilityLog log(watched);

  minimize();
  EXPECT_FALSE(log.events.join(",").contains("show")) << log.events.join(", ").toStdString();
  log.events.clear();
  platform.clickTray();
  ASSERT_FALSE(log.events.isEmpty());
  EXPECT_EQ(log.events.first(), "Form1 show") << log.events.join(", ").toStdString();
  for (const char* back : {"Form3 show", "Form4 show", "Form5 show", "Form6 show"})
    EXPECT_EQ(log.events.count(back), 1) << log.events.join(", ").toStdString();
}

// The window manager minimizes owned windows along with their owner; such a window must
// come back in its normal state, or the manager minimizes the whole group again.
TEST_F(Minimized, AWindowMinimizedWithItsOwnerComesBackNormal) {
  flag("Label17")->setText("1");
  Form4& equalizer = app().form4();
  equalizer.show();
  minimize();
  equalizer.setWindowState(Qt::WindowMinimized);
  restore();
  EXPECT_TRUE(equalizer.isVisible());
  EXPECT_FALSE(equalizer.isMinimized());
}

TEST(TrayTip, TitleCutToSixtyFourWholeCharacters) {
  const QString head = "Kestrune\r\n曲名：";  // 13 characters
  const QString a50(50, 'a');
  struct Case {
    const char* name;
    QString title, tip;
  };
  const Case cases[] = {
      {"short", "Song", head + "Song"},
      {"empty", "", head},
      {"exactly 64", QString(51, 'x'), head + QString(51, 'x')},
      {"one over", QString(52, 'x'), head + QString(51, 'x')},
      {"Japanese", QString(60, QChar(0x66F2)), head + QString(51, QChar(0x66F2))},
      {"pairs count as one character", a50 + "😀😀", head + a50 + "😀"},
      {"pair at the edge stays whole", a50 + "b😀", head + a50 + "b"},
      {"combining mark stays with its base", a50 + "か\u3099", head + a50},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(TrayTip(c.title), c.tip);
    EXPECT_LE(TrayTip(c.title).toUcs4().size(), kTrayTipCharacters);
  }
}

class TrayMenu : public Minimized {
 protected:
  void SetUp() override {
    Minimized::SetUp();
    decoder.addTrack("/m/a.mp3", 100);
    decoder.addTrack("/m/b.mp3", 100);
    Form2& list = app().form2();
    list.List1->addItems({"a", "b"});
    list.List2->addItems({"/m/a.mp3", "/m/b.mp3"});
    list.Label2->setText("2");
    selectEntry(app(), 0);
    ASSERT_TRUE(LoadAndShowTrack(app(), "/m/a.mp3", LoadOptions::fromOpenDialog()));
    Form1_Command2_Click(app());  // stopped: the window offers play
    trayOption(true);
    minimize();
    decoder.calls.clear();
  }
};

TEST_F(TrayMenu, EntriesRunWhatTheWindowsControlsRun) {
  EXPECT_EQ(platform.trayMenuTexts(), QStringList({kTrayRestore, kTrayPlayPause, kTrayNext, kTrayQuit}));

  main().mPTag->setChecked(true);
  platform.chooseTrayMenuItem(kTrayPlayPause);
  EXPECT_EQ(decoder.count("play"), 1);
  EXPECT_TRUE(app().form5().isHidden()) << "the tag editor does not show up alone";
  platform.chooseTrayMenuItem(kTrayPlayPause);
  EXPECT_EQ(decoder.count("pause"), 1);
  platform.chooseTrayMenuItem(kTrayPlayPause);
  EXPECT_EQ(decoder.count("restart"), 1);

  platform.chooseTrayMenuItem(kTrayNext);
  EXPECT_EQ(decoder.openPath, "/m/b.mp3");
  EXPECT_TRUE(main().isHidden()) << "the program stays in the tray";

  platform.chooseTrayMenuItem(kTrayRestore);
  EXPECT_TRUE(main().isVisible());
  EXPECT_FALSE(platform.trayIconVisible());
  EXPECT_EQ(app().TrayState, 2);
}

TEST_F(TrayMenu, QuitEndsTheProgram) {
  platform.chooseTrayMenuItem(kTrayQuit);
  EXPECT_EQ(platform.exitCode, 0);
}

// Every window has a fixed layout: its size cannot change, and only the main window can be
// minimized (the others go with it).
TEST_F(Minimized, WindowsKeepTheirDesignedSize) {
  std::vector<QWidget*> windows = secondaryWindows();
  windows.push_back(&app().form2());
  windows.push_back(&main());
  for (QWidget* w : windows) {
    SCOPED_TRACE(w->objectName().toStdString());
    w->show();
    const QSize designed = w->size();
    EXPECT_EQ(w->minimumSize(), w->maximumSize());
    EXPECT_EQ(designed, w->minimumSize());
    EXPECT_FALSE(w->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_EQ(bool(w->windowFlags() & Qt::WindowMinimizeButtonHint), w == &main());
    w->resize(designed * 2);
    EXPECT_EQ(w->size(), designed);
  }
  const int menuBar = main().menuBar()->height();
  EXPECT_EQ(main().size(), QSize(393, 270 + menuBar));
}

}  // namespace
