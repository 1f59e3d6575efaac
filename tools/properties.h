// The Properties dialog (Form3): leaving it with "OK", "Calsel" or the close box. Its
// genre frame lives in songlist/genres.h.
#pragma once

class App;

void Form3_Command3_Click(App& app);    // "OK": stores the genres, hides the dialog
void Form3_Command4_Click(App& app);    // "Calsel": hides the dialog, stores nothing
void Form3_Form_QueryUnload(App& app);  // the close box: as "Calsel"
