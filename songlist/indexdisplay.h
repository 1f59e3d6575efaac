// The main window's list index display (Form1 Label11): the Song List's position, in
// decimal (3/12) or, when "リストを16進数表示(&H)" is checked, in hexadecimal counted from
// 0 (2/C; 0/C with nothing selected).
#pragma once

class App;

void Form2_Label1_Change(App& app);        // every change of the Song List's position display
void Form1_mListIndexDec_Click(App& app);  // "リストを10進数表示(&D)"
void Form1_mListIndexHex_Click(App& app);  // "リストを16進数表示(&H)"
