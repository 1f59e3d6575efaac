// Moving through the Song List from the main window: the previous, next and random
// buttons, and the one entry point that the end of a track uses to go to another entry.
// The Song List's selection is the current position; the entry count Label2 says how many
// entries there are (0: every move here does nothing).
#pragma once

#include <functional>

class App;

enum class ListMove { Next, Previous, Random };
enum class ListMoveResult {
  Played,     // another track was loaded and plays
  NoEntries,  // the list is empty: nothing was opened, the current track is still loaded
  NotOpened,  // no entry opened: after the failed-open message the window shows no track,
              // as the library has none open
};

// Opens and plays the next, previous or a random entry of the Song List, as the end of a
// track does.
//
// Next and previous wrap around, and start from the first (next) or last (previous) entry
// when nothing is selected. Random draws uniformly among the entries, the current one
// included; an entry that does not open is drawn again while "ランダム時不明ファイルを
// 無視する" is checked, but never one that already failed in the same run, so a list with
// no openable entry ends after as many failed draws as it has entries, with the message.
ListMoveResult playListNeighbour(App& app, ListMove move);

void Form1_Command4_Click(App& app);  // previous entry
void Form1_Command7_Click(App& app);  // next entry
// Random entry: loads and plays it, shows the list position, hides the Song List.
void Form1_Command8_Click(App& app);

// Where random play draws from: numbers uniform in [0, 1). The default is a generator
// seeded from the clock; tests put in a scripted sequence (an empty function restores the
// default).
void setRandomDraw(std::function<double()> draw);
