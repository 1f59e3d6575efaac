// The five Properties check boxes that a main-menu check item mirrors, both ways:
// Check1 ↔ mNotRandomEroor, Check3 ↔ KPlay, Check4 ↔ mAuotPlay, Check6 ↔ mFastPlay,
// Check9 ↔ mSmallTask.
#pragma once

class App;

// A check box's click reaction (also run when code changes its value): the menu item is
// checked for any value but 0.
void Form3_Check1_Click(App& app);
void Form3_Check3_Click(App& app);
void Form3_Check4_Click(App& app);
void Form3_Check6_Click(App& app);
void Form3_Check9_Click(App& app);

// A menu item's click: toggles the item's check mark and sets the check box to match,
// 1 when now checked, 0 when not.
void Form1_mNotRandomEroor_Click(App& app);
void Form1_KPlay_Click(App& app);
void Form1_mAuotPlay_Click(App& app);
void Form1_mFastPlay_Click(App& app);
void Form1_mSmallTask_Click(App& app);
