// Bringing the program up (loading the main window) and taking it down.
#pragma once

#include <functional>

class App;

// The whole program. The command line is read first: --help and --version are answered;
// when this user's program already runs on this display the files are handed to it and the
// process ends at once; with no display at all it ends with status 2. Otherwise: the
// application object, the program's look, the production library binding and desktop
// services with the program folder = the executable's folder, then the start-up sequence,
// the main window shown, and the event loop until the program ends. The files given are
// opened (playback/openwith.h) once the window is shown, as are those later starts hand
// over. `afterShow` (if any) runs once the event loop has started.
int RunProgram(int argc, char** argv, const std::function<void(App&)>& afterShow = nullptr);

// The start-up sequence. Ends the process (through the platform) when the decoder library
// is missing or List0.dat or Part.dat cannot be created.
void Form1_Form_Load(App& app);

// Closing the main window and File > "アプリケーションの終了(&X)": save the settings when
// the save-on-exit option is on, stop and free the library, end the process at once.
void Form1_Form_Unload(App& app);
void Form1_mEnd_Click(App& app);
