// The About dialog (Form6): the program's and the library's versions, the user's name and
// the home-page link, filled once when the window is made.
#pragma once

#include <QString>

class App;

// "Kestrune - " and the program's major.minor version, from the build.
QString ProgramVersionCaption();
// An account name as the system gave it, without trailing NULs or blanks.
QString UserNameShown(const QString& name);

// Fills the labels: the user's name, "VBMP3 - " and the library's version in decimal, the
// program's version and the home-page address. Runs once, when the window is made.
void Form6_Form_Load(App& app);
// "バージョン情報(&A)...": shows the dialog and sets its shown-flag Label24 to "1".
void Form1_mAbout_Click(App& app);
void Form6_Label5_Click(App& app);      // the address: the home page in the browser
void Form6_Command1_Click(App& app);    // "OK": hides the dialog, Label24 "0"
void Form6_Form_QueryUnload(App& app);  // the close box: as "OK"
