// The title line: the label Label13 in the title box Picture6, which scrolls 2 pixels per
// Timer4 tick (30 ms) while a track plays, by the pattern checked under View >
// "タイトルの移動パターン(&P)"; and the View items that hide it, take it from the tag and
// refresh the artist and caption.
#pragma once

#include <QFont>

class App;

// The checked scroll patterns. Each checked one acts, in this order.
struct TitlePatterns {
  bool rightToLeft = false;
  bool leftToRight = false;
  bool bounce = false;
};

// The label's left edge and the bouncing pattern's direction (Label15 "1" right, "0" left).
struct TitlePlace {
  int left = 0;
  bool movingRight = false;
  bool operator==(const TitlePlace&) const = default;
};

// One step of a label `width` pixels wide in a box `boxWidth` pixels wide:
// - right to left: 2 to the left; once the text has left the box (-width > left) it
//   re-enters at the right edge;
// - left to right: 2 to the right; once past the right edge it re-enters at -width;
// - bouncing: turns right when left < 0, turns left when boxWidth - width - 3 < left (the
//   second test wins when both hold), then moves 2 in its direction.
TitlePlace scrollTitle(TitlePlace place, int width, int boxWidth, const TitlePatterns& patterns);

// Timer4 tick: one step of the title label. While the window is hidden or minimized the
// title stays where it is.
void Form1_Timer4_Timer(App& app);

// The pattern items: the clicked one alone checked; the label goes on from where it is.
void Form1_mRightToLeft_Click(App& app);
void Form1_mLeftToRight_Click(App& app);
void Form1_mLRmove_Click(App& app);

// "タイトルの非表示": checking it shows the program's name as title and caption; unchecking
// it shows the current file's name (Text1 without folder and extension, never the tag's).
void Form1_mVisible_Click(App& app);
// "曲名はタグのタイトルで表示する": its mark only; the title rule reads it at the next open.
void Form1_mTagTitle_Click(App& app);
// "最新の情報に更新(&U)": reads the current file's tag again; when there is one, the artist
// label shows its artist ("Artist" for none) and the caption the file's name. The title
// line stays.
void Form1_mNewForm_Click(App& app);

// The title line's face: the pop-style "RocknRoll One" at 15.75 pt when it is installed,
// else the windows' Japanese face in bold.
QFont titleFace();
