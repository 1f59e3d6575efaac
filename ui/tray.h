// The minimized main window: the secondary windows leave and come back with it, its caption
// can show the play time, and with the tray option it lives as a notification-area icon
// until the icon brings it back.
#pragma once

#include <QString>

class App;

// Runs at every size or state change of the main window, minimize and restore included,
// and when it is shown:
//   1. an empty shown-flag (Label17, Label18, Label23, Label24) becomes "0";
//   2. each window whose flag is 1 (equalizer, tag editor, Properties, About) is hidden
//      while the main window is minimized, and shown otherwise; windows whose flag is 0
//      are left alone;
//   3. with mSmallTime checked, the caption rule sets the caption;
//   4. with cache playback (Properties Check3) unchecked, the caption is "Kestrune";
//   5. with the tray option (Check9) checked, the window minimized, TrayState not 1 and a
//      notification area on the desktop: the main window and those four windows are hidden,
//      the icon is shown and TrayState becomes 1. Without a notification area the window
//      stays minimized in the task bar.
void Form1_Form_Resize(App& app);

// The caption rule. Minimized: the elapsed time (Label1; the remaining time Label4 when
// mTimeNormal is unchecked), "/" and the total time Label3. Otherwise "Kestrune　【" + the
// caption notice + "】" while there is one, "Kestrune" when the title is hidden (mVisible),
// else "Kestrune　【" + the title line + "】".
void ApplyCaptionRule(App& app);

// The icon's tooltip: "Kestrune", CR LF, "曲名：" and the title, at most kTrayTipCharacters
// characters, cut only between whole characters (a combining mark stays with its base).
inline constexpr int kTrayTipCharacters = 64;
QString TrayTip(const QString& title);

// A left click on the icon (also its menu's restore entry): the icon goes, the main window
// comes back in its normal state with the flagged windows, and TrayState becomes 2.
void Form1_TrayIcon_Click(App& app);

// The icon's menu, each entry running what the main window's control runs: restore, play
// or pause (whichever of the two buttons the window offers), the next Song List entry, and
// quitting the program.
inline const QString kTrayRestore = QStringLiteral("元に戻す");
inline const QString kTrayPlayPause = QStringLiteral("再生 / 一時停止");
inline const QString kTrayNext = QStringLiteral("次のトラックへ");
inline const QString kTrayQuit = QStringLiteral("アプリケーションの終了");

void Form1_mSmallTime_Click(App& app);  // toggles its check mark
