// The main window's date and time labels.
#pragma once

class App;

// Clock tick (Timer3): Label5 = today's date, Label6 = the time of day.
void Form1_Timer3_Timer(App& app);
