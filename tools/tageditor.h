// The tag editor (Form5): the tag of the file in the main window's Text1 (surrounding spaces
// trimmed) read into its boxes, and the boxes written back into the file. The main window's
// Label18 says whether the editor is open ("1") or closed ("0"); every way of closing it
// clears the flag, so that restoring the main window does not bring it back.
#pragma once

#include <vbmp3.h>

class App;
class Form5;

// Refreshes the editor from the current file: the genre list (built once), then the tag.
// A file without a readable tag empties the five boxes and selects no genre, so that the
// previous file's tag never passes for this one's. True when a tag was read.
bool ReadTagInfo(App& app);

// The record handed to the library from the editor's boxes: title, artist, album, year and
// comment each cut to its field (the year to five characters, the others to 128), never
// inside a character, and padded with blanks to the field's size; the genre is the list's
// selected index, -1 when none is selected; the rest stays 0.
TagInfo TagRecordFromBoxes(const Form5& editor);

// Edit > "タグの編集(&T)...": refreshes the editor and shows it with Label18 "1". An MP3
// without a tag opens with empty boxes. A file that cannot be read, or is no MP3 file (by
// its extension), gets a message instead.
void Form1_mTagEdit_Click(App& app);
// View > "再生時タグのダイアログを表示する": toggles its check mark.
void Form1_mPTag_Click(App& app);

// Runs once, when the editor is created: its first refresh.
void Form5_Form_Load(App& app);
// "登録/更新": writes the boxes into the current file. Written: the editor closes and its
// boxes are cleared. Refused by the library (missing, read-only or not an MP3 file): a
// message, and the editor stays as it is.
void Form5_Command1_Click(App& app);
// "タグの削除": empties the boxes and selects genre 0; the file is untouched.
void Form5_Command2_Click(App& app);
// "キャンセル": closes the editor; the boxes keep their text.
void Form5_Command3_Click(App& app);
// "Title取得": the main window's title line into the title box, unless it shows "Kestrune".
void Form5_Command4_Click(App& app);
// The close box (and Escape): as "キャンセル".
void Form5_Form_QueryUnload(App& app);

inline constexpr const char* kTagNotMp3Message = "タグを編集できるのはMP3ファイルだけです。";
inline constexpr const char* kTagUnreadableMessage =
    "ファイルを読み込めません。\r\nファイルが存在し、読み込みが許されているか確かめてください。";
inline constexpr const char* kTagWriteFailedMessage =
    "タグを書き込めませんでした。\r\nファイルが存在しないか、書き込みが禁止されているか、MP3ファイルではあり"
    "ません。";
