// The main window's date and time labels.
#pragma once

#include <QtGlobal>

class App;

// Clock tick (Timer3): Label5 = today's date, Label6 = the time of day. The labels change
// only with the second, so each tick sets the timer to come back just after the next turn
// of the second instead of polling the time.
void Form1_Timer3_Timer(App& app);

// Milliseconds from `msSinceEpoch` to one past the next whole second.
int msToNextSecond(qint64 msSinceEpoch);
