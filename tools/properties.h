// The Properties dialog (Form3): opening it, the folder and start-up song boxes, and leaving
// it with "OK", "Calsel" or the close box. Its check boxes are the options; the five with a
// main-menu mirror are in core/options.h, its genre frame in songlist/genres.h.
#pragma once

#include <QString>

class App;
class QWidget;

// The open dialog for one MP3 or WAV file, owned by `owner`, starting in the folder set in
// the dialog (Text1), or in the data folder when none is set. Empty when cancelled.
QString ChooseSoundFile(App& app, QWidget* owner);

// "プロパティを開く(&P)...": shows the dialog and sets its shown-flag Label23 to "1".
void Form1_mPropaty_Click(App& app);
void Form3_Command1_Click(App& app);  // "...": the folder browser; a chosen folder goes to Text1
void Form3_Command7_Click(App& app);  // "..": empties the folder
void Form3_Command2_Click(App& app);  // "...": the start-up song; a chosen file goes to Text2
void Form3_Command8_Click(App& app);  // "..": empties the start-up song
// "OK": writes Option.ini and Part.dat, then hides the dialog. A file that cannot be written
// is reported and the dialog stays open, so the user sees that the settings are not stored.
void Form3_Command3_Click(App& app);
// "Calsel": hides the dialog. The changes stay in effect; they are stored at the next "OK"
// or at exit when saving at exit is on.
void Form3_Command4_Click(App& app);
void Form3_Form_QueryUnload(App& app);  // the close box: as "Calsel"
