#include "ui/tray.h"

#include <QAction>
#include <QTextBoundaryFinder>
#include <array>

#include "core/app.h"
#include "core/platform.h"
#include "core/startup.h"
#include "playback/load.h"
#include "playback/navigation.h"
#include "playback/transport.h"
#include "ui/controls.h"
#include "ui/form1.h"
#include "ui/form3.h"
#include "ui/form4.h"
#include "ui/form5.h"
#include "ui/form6.h"

namespace {

struct FlaggedWindow {
  ChangeLabel* flag;
  QWidget* (*window)(App&);  // creates the window when it does not exist yet
};

std::array<FlaggedWindow, 4> flaggedWindows(Form1& f) {
  return {{{f.Label17, [](App& app) -> QWidget* { return &app.form4(); }},
           {f.Label18, [](App& app) -> QWidget* { return &app.form5(); }},
           {f.Label23, [](App& app) -> QWidget* { return &app.form3(); }},
           {f.Label24, [](App& app) -> QWidget* { return &app.form6(); }}}};
}

bool flagSet(const ChangeLabel* flag) { return flag->text().trimmed().toInt() == 1; }

// A window manager minimizes an owned window together with its owner, so a secondary
// window may come back minimized. Shown like that, the manager would minimize the whole
// group again, the main window included.
void setShown(QWidget* window, bool shown) {
  if (shown) window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
  window->setVisible(shown);
}

TrayIcon trayIcon(App& app) {
  const auto restore = [&app] { Form1_TrayIcon_Click(app); };
  return {TrayTip(app.form1().Label13->text()),
          restore,
          {{kTrayRestore, restore},
           {kTrayPlayPause, [&app] { PlayOrPause(app); }},
           {kTrayNext, [&app] { Form1_Command7_Click(app); }},
           {kTrayQuit, [&app] { Form1_mEnd_Click(app); }}}};
}

void hideToTray(App& app) {
  app.form1().hide();
  // Only the windows that exist: a window not yet created is not on screen.
  if (app.form3Created()) app.form3().hide();
  if (app.form4Created()) app.form4().hide();
  if (app.form5Created()) app.form5().hide();
  if (app.form6Created()) app.form6().hide();
  app.platform.showTrayIcon(trayIcon(app));
  app.TrayState = 1;
}

// Code points from `from` up to `to`.
int characters(const QString& text, qsizetype from, qsizetype to) {
  return static_cast<int>(QStringView(text).mid(from, to - from).toUcs4().size());
}

}  // namespace

void Form1_Form_Resize(App& app) {
  Form1& f = app.form1();
  for (const FlaggedWindow& w : flaggedWindows(f)) {
    if (w.flag->text().isEmpty()) w.flag->setText("0");
  }
  for (const FlaggedWindow& w : flaggedWindows(f)) {
    if (flagSet(w.flag)) setShown(w.window(app), !f.isMinimized());
  }
  if (f.mSmallTime->isChecked()) ApplyCaptionRule(app);
  if (checkValue(app.form3().Check3) == 0) f.setWindowTitle(kProgramTitle);
  if (checkValue(app.form3().Check9) == 1 && f.isMinimized() && app.TrayState != 1 &&
      app.platform.trayAvailable()) {
    hideToTray(app);
  }
}

void ApplyCaptionRule(App& app) {
  Form1& f = app.form1();
  if (f.isMinimized()) {
    const ChangeLabel* time = f.mTimeNormal->isChecked() ? f.Label1 : f.Label4;
    f.setWindowTitle(time->text() + "/" + f.Label3->text());
  } else if (!f.captionNotice.isEmpty()) {
    f.setWindowTitle(CaptionWithTitle(f.captionNotice));
  } else if (f.mVisible->isChecked()) {
    f.setWindowTitle(kProgramTitle);
  } else {
    f.setWindowTitle(CaptionWithTitle(f.Label13->text()));
  }
}

QString TrayTip(const QString& title) {
  const QString tip = kProgramTitle + QStringLiteral("\r\n曲名：") + title;
  QTextBoundaryFinder clusters(QTextBoundaryFinder::Grapheme, tip);
  qsizetype cut = 0;
  int count = 0;
  for (qsizetype next = clusters.toNextBoundary(); next != -1; next = clusters.toNextBoundary()) {
    count += characters(tip, cut, next);
    if (count > kTrayTipCharacters) break;
    cut = next;
  }
  return tip.left(cut);
}

void Form1_TrayIcon_Click(App& app) {
  Form1& f = app.form1();
  app.platform.hideTrayIcon();
  f.setWindowState(f.windowState() & ~Qt::WindowMinimized);
  f.show();  // the state change and the show run the resize handling: the flagged windows return
  f.raise();
  f.activateWindow();
  app.TrayState = 2;
}

void Form1_mSmallTime_Click(App& app) {
  QAction* item = app.form1().mSmallTime;
  item->setChecked(!item->isChecked());
}
