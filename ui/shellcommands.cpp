#include "ui/shellcommands.h"

#include <QAction>
#include <QFileInfo>
#include <QPushButton>
#include <QStringList>
#include <array>

#include "core/app.h"
#include "core/platform.h"
#include "ui/form1.h"

namespace {

// A mixer's command line and every program it needs.
struct Mixer {
  QString program;
  QStringList arguments;
  QStringList needs;
};

// PulseAudio's and PipeWire's own mixers first, then the desktops' sound settings, then
// ALSA's mixer in a terminal.
const std::array<Mixer, 6>& mixers() {
  static const std::array<Mixer, 6> list{{
      {"pavucontrol", {}, {"pavucontrol"}},
      {"pavucontrol-qt", {}, {"pavucontrol-qt"}},
      {"gnome-control-center", {"sound"}, {"gnome-control-center"}},
      {"mate-volume-control", {}, {"mate-volume-control"}},
      {"xfce4-mixer", {}, {"xfce4-mixer"}},
      {"x-terminal-emulator", {"-e", "alsamixer"}, {"x-terminal-emulator", "alsamixer"}},
  }};
  return list;
}

bool installed(App& app, const Mixer& mixer) {
  for (const QString& program : mixer.needs)
    if (!app.platform.hasProgram(program)) return false;
  return true;
}

void say(App& app, const QString& text) { app.platform.messageBox(&app.form1(), text, kProgramTitle); }

// Hands `target` to the desktop and reports it when nothing could open it.
void openOrSay(App& app, const QString& target) {
  app.platform.openWithShell(target, [&app, target] {
    say(app, "[" + target + "]を開けませんでした。\r\n開くためのアプリケーションが見つかりません。");
  });
}

}  // namespace

void Form1_mHelp_Click(App& app) {
  const QString help = app.folder() + '/' + kHelpFileName;
  if (!QFileInfo(help).isFile()) {
    say(app, "ヘルプファイル[" + help + "]が見つかりません。\r\n" + kHelpFileName +
                 "をプログラムと同じフォルダに置いてください。");
    return;
  }
  openOrSay(app, help);
}

void Form1_mFolder_Click(App& app) { openOrSay(app, app.dataFolder()); }

void Form1_mVolume_Click(App& app) {
  for (const Mixer& mixer : mixers())
    if (installed(app, mixer) && app.platform.startProgram(mixer.program, mixer.arguments)) return;
  if (app.mixerMissingReported) return;
  app.mixerMissingReported = true;
  say(app, QStringLiteral("ボリュームコントロールを起動できません。\r\n"
                          "pavucontrol などの音量ミキサーをインストールしてください。"));
}

void Form1_mMaketoAppHP_Click(App& app) { openHomePage(app); }
void openHomePage(App& app) { openOrSay(app, kHomePageUrl); }

void Form1_Command9_Click(App& app) {
  Form1& f = app.form1();
  const bool open = f.Label14->text().toInt() == 0;
  f.Label14->setText(open ? "1" : "0");
  app.platform.moveCdTray(open);
}

void Form1_mCDTry_Click(App& app) {
  Form1& f = app.form1();
  const bool locked = !f.mCDTry->isChecked();
  f.mCDTry->setChecked(locked);
  f.Command9->setEnabled(!locked);
}
