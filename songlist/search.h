// Title search in the Song List window: the next title, after the selected one and
// wrapping round to it, that begins with (or equals) the search text, ignoring case.
#pragma once

#include <QString>

class App;

// The first row after `after` (then from the top up to and including `after`; from the top
// when it is -1) whose text begins with `text`, or equals it when `wholeTitle`; -1 for none.
int findTitle(const QStringList& titles, const QString& text, int after, bool wholeTitle);

void Form2_Command9_Click(App& app);           // "検索"
void Form1_mListSearchFormat_Click(App& app);  // empties the search box
