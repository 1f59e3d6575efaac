// The main window's commands that hand work to the desktop: the help document, the
// data folder, the sound mixer, the home page and the CD drive's tray. None of them
// touches playback.
#pragma once

#include <QString>

class App;

// The program's home page, opened from the Help menu and the About dialog.
inline const QString kHomePageUrl = QStringLiteral("https://kestrune.org/");
// The user guide, an HTML file in the program folder.
inline const QString kHelpFileName = QStringLiteral("kestrune-help.html");

// "ヘルプ(&H)": the user guide in the desktop's browser; a missing guide is reported.
void Form1_mHelp_Click(App& app);
// "同フォルダを開く(&F)...": the data folder (App::dataFolder: the program folder while it can
// be written), not the current song's, in the file manager.
void Form1_mFolder_Click(App& app);
// "ボリュームコントロール(&V)...": the first of the usual mixers that is installed. When
// none is, the program says so once per run and goes on.
void Form1_mVolume_Click(App& app);
// "作成者ホームページへ(&H)": the home page in the desktop's browser.
void Form1_mMaketoAppHP_Click(App& app);
void openHomePage(App& app);

// The CD tray button: opens the tray, then closes it, and so on. The flag Label14 ("1"
// after the program opened the tray) decides; the drive's real state is not asked.
void Form1_Command9_Click(App& app);
// "CDトレイの使用不可(&C)": the check mark locks the CD tray button.
void Form1_mCDTry_Click(App& app);
