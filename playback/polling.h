// Polling the decoder and the end of a track. The chain runs through change events:
// the poll writes the elapsed label Label1, whose change writes the remaining seconds
// Text2, whose change starts the end counter Timer5 near the end; each tick raises the
// counter Label16, whose change runs the end-of-track decision from the second tick on.
#pragma once

#include <cstdint>

class App;

// Reads the decoder's state and position, shows the position as the elapsed time (not
// while a conversion runs) and on the seek bar (limited to the bar's range, and not while
// the user holds its thumb). Returns the decoder's state.
int32_t RefreshPlayState(App& app);

void Form1_Timer1_Timer(App& app);  // the 100 ms poll

// Elapsed time changed: remaining seconds, remaining time label, LastPlayPosition.
void Form1_Label1_Change(App& app);
// Remaining seconds changed: at or below the threshold (2 s, 3 s with Form3.Check2) the
// end counter runs, above it the counter is idle at "0". Then, with mSmallTime checked, the
// caption rule: the minimized window's caption follows the play time.
void Form1_Text2_Change(App& app);
void Form1_Timer5_Timer(App& app);  // the 700 ms end-counter tick

// End counter changed: from 2 on, the end-of-track decision by the play mode: repeat
// restarts the track and keeps counting (a track shorter than the threshold so restarts
// at every further tick); Song List play moves to the next or previous entry; random play
// draws an entry (nothing when the list is empty); otherwise playback stops. Every outcome
// but repeat and the empty random list returns the counter to idle, so a stopped track is
// not stopped again every 700 ms and a failing move cannot fire again while its message
// is open.
void Form1_Label16_Change(App& app);
