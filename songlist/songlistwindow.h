// The Song List window (Form2): its titles (List1) and paths (List2) in step, the
// selection and what follows from it, and the commands that edit the list. The list in
// memory reaches its file only at the save points (genre switch, "メイン", "再生").
#pragma once

#include <QString>
#include <QStringList>

class App;
class ListBox;
class QMimeData;
class QWidget;

inline const QString kNoPathText = QStringLiteral("Music File Path");

// The file name without its folder and its last extension: the title an entry gets.
QString titleOfPath(const QString& path);

// The selected entry (the selected row of the titles), -1 for none.
int selectedEntry(App& app);
int entryCount(App& app);

// Selects `index` (-1 for none) and runs the selection steps once.
void selectEntry(App& app, int index);

// Appends entries at the end, keeping the selection; updates the position display and the
// entry count. Entries beyond the list's limit are refused with a message; false then.
bool appendEntries(App& app, const QStringList& titles, const QStringList& paths);
bool appendEntry(App& app, const QString& path);

// Selected index + 1, "/", number of entries (0/12 with nothing selected).
QString positionText(App& app);
// Position display := positionText; entry count := number of entries.
void showPosition(App& app);

// Writes the list in memory to the file of `genre`. True when written.
bool saveList(App& app, int genre);
// The same, reporting a failure with the "[List<n>.dat]に書き込めません。" message.
bool saveListReporting(App& app, int genre);
// "[<file>]に書き込めません。" and "読み取り専用になっている可能性があります。".
void reportNotWritable(App& app, QWidget* owner, const QString& fileName);

// Shows the window modally until it is hidden again (the main window's list button and
// "Song Listから開く(&S)...", Ctrl+S).
void ShowSongList(App& app);
void Form1_mSongList_Click(App& app);

void Form2_List1_Click(App& app);     // the selection steps
void Form2_List1_DblClick(App& app);  // the title to the clipboard
void Form2_Command1_Click(App& app);  // "追加...": one file
void Form2_Command8_Click(App& app);  // "Fol追加...": a folder's mp3 files
void Form2_Command2_Click(App& app);  // "削除"
void Form2_Command3_Click(App& app);  // "クリアー"
void Form2_Command5_Click(App& app);  // "↑"
void Form2_Command6_Click(App& app);  // "↓"
void Form2_Command7_Click(App& app);  // "メイン"

// Files dropped onto the titles: the first, when it is an MP3 or WAV file, goes to Kakunin.
void Form2_List1_OLEDragDrop(App& app, const QMimeData& data);
// Appends a dropped file and selects it.
void Kakunin(App& app, const QString& path);

// "開いたファイルをSong Listに登録する(&A)": the main window's file to the list.
void Form1_mListAdd_Click(App& app);
