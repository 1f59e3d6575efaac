// Playing from the Song List window: "再生" saves the list, loads the selected entry into
// the main window and plays it, then hides the window. The entry stays selected, so the
// main window's previous, next and random commands go on from it.
#pragma once

class App;

// "再生" (Form2 Command4). A file that does not open gets the failed-open message and the
// main window's no-track state; the Song List window then stays as it was. A list file
// that cannot be written does not stop the playing.
void Form2_Command4_Click(App& app);
