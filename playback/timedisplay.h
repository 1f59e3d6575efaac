// The time display: elapsed or remaining play time, and the total as minutes:seconds or
// as plain seconds. Each pair is two labels in one place, one of them visible; clicking
// the visible one or choosing the View menu's radio item switches. Both labels of a pair
// are always kept current, so switching recomputes nothing.
#pragma once

#include <QString>
#include <cstdint>

class App;

// Seconds as minutes:seconds, minutes with at least two digits (245 → "04:05",
// 6000 → "100:00"). A time below zero (remaining time past the end) shows "00:00".
QString minutesSeconds(int32_t seconds);

void Form1_Label1_Click(App& app);          // elapsed shown → remaining
void Form1_mTimeUnNormal_Click(App& app);   // remaining
void Form1_Label4_Click(App& app);          // remaining shown → elapsed
void Form1_mTimeNormal_Click(App& app);     // elapsed
void Form1_Label3_Click(App& app);          // minutes:seconds shown → seconds
void Form1_mNornalSecTime_Click(App& app);  // seconds
void Form1_Label22_Click(App& app);         // seconds shown → minutes:seconds
void Form1_mNormalMinSecTime_Click(App& app);

// Total seconds (Text3) changed: Label22 shows them, below 1000 with one leading zero
// (999 → "0999", 45 → "045", 5 → "05").
void Form1_Text3_Change(App& app);
