// Bringing the program up (loading the main window) and taking it down.
#pragma once

class App;

// The start-up sequence. Ends the process (through the platform) when the decoder library
// is missing or List0.dat or Part.dat cannot be created.
void Form1_Form_Load(App& app);

// Closing the main window and File > "アプリケーションの終了(&X)": save the settings when
// the save-on-exit option is on, stop and free the library, end the process at once.
void Form1_Form_Unload(App& app);
void Form1_mEnd_Click(App& app);
