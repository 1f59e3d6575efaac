// Moving through the Song List from the main window, the one entry point that the end of a
// track uses to go to another entry.
#pragma once

class App;

enum class ListMove { Next, Previous, Random };

// Opens and plays the next, previous or a random entry of the Song List. Returns true when
// another track was loaded and plays; on false nothing plays and the end of a track stops
// as it does without a play mode (play button enabled).
//
// The Song List navigation (previous/next buttons, random continuation) fills this in;
// until it does, no entry is moved to and it returns false.
bool playListNeighbour(App& app, ListMove move);
