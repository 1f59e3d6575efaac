// Genres: the two genre selectors (Form2 Combo1 and Form3 Combo3) hold the same names in
// the same order, entry 0 being the built-in "全てのジャンル"; genre n keeps its list in
// List<n>.dat and the names are stored in Part.dat.
#pragma once

#include <QString>

class App;

inline const QString kAllGenres = QStringLiteral("全てのジャンル");
inline const QString kGenreFile = QStringLiteral("Part.dat");

// Shows genre n's list (its file created empty when missing) without saving the list in
// memory: nothing selected, loaded genre index n.
void showGenre(App& app, int genre);

// Writes Part.dat from the selectors; a failure is reported. True when written.
bool SaveGenres(App& app);

// Genre switch: saves the list shown, then loads the chosen one. When the list cannot be
// saved, that is reported and the switch is called off: the selector goes back and the
// list stays on screen.
void Form2_Combo1_Click(App& app);
void Form3_Text3_Change(App& app);    // "追加" follows the name box
void Form3_Combo3_Click(App& app);    // "削除" follows the chosen genre
void Form3_Command5_Click(App& app);  // "追加": a new genre
// "削除": the chosen genre and its list. A step that fails is reported and the genres and
// their list files are left as they were.
void Form3_Command6_Click(App& app);
