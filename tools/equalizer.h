// The graphic equalizer (Form4): ten band sliders whose values go to the decoder as they
// move, and named presets kept in Sound.dat in the data folder (App::file).
//
// Sliders run from -128 (thumb at the top) to 128 (at the bottom); the decoder gets the
// negated value, so up is a boost. Presets: Combo1 holds the names and the hidden lists
// List1..List10 the slider values (not negated) of bands 0..9, row k for entry k. Entry 0 is
// the built-in "Normal", all zero, never stored.
//
// Sound.dat holds the user's presets, eleven quoted fields each (the name, then the ten
// slider values), one field to a line, CR LF, in the list files' syntax (songlist/
// listfile.h): a comma separates fields as a line end does, and a quote inside a name is
// written doubled. It is written whole and atomically after every Add and Delete.
#pragma once

#include <QString>

class App;

inline const QString kPresetFile = QStringLiteral("Sound.dat");
inline const QString kNormalPreset = QStringLiteral("Normal");

// Window load, run once when the window is made: creates an empty Sound.dat when missing
// and appends its presets to the preset table. A last preset cut short keeps its name; its
// missing values stay empty, and applying it leaves those bands alone.
void Form4_Form_Load(App& app);

// Slider `index` changed: the bands go to the decoder, which takes them at once.
void Form4_VScroll1_Change(App& app, int index);
void Form4_Combo1_Click(App& app);  // "削除" only for a preset other than "Normal"
void Form4_Text1_Change(App& app);  // "追加" only with a name typed
// "追加": the typed name with the sliders' values becomes the last preset.
void Form4_Command1_Click(App& app);
// "削除": removes the selected preset and selects "Normal".
void Form4_Command2_Click(App& app);
// "実行": sets each slider to the selected preset's value, band by band, then reloads once
// more. A stored value that is not an integer within the sliders' range is skipped.
void Form4_Command3_Click(App& app);
void Form4_Command4_Click(App& app);    // "閉じる": hides the window
void Form4_Form_QueryUnload(App& app);  // the close box: as "閉じる"

// Edit menu: shows the equalizer (modeless) and flags it shown in Label17.
void Form1_mGraphicEcoryzer_Click(App& app);
// Edit menu: every band back to 0, with the sound held meanwhile; a paused track stays
// paused and a stopped one stopped. The window's visibility and presets stay as they are.
void Form1_mFileEcorizarFormat_Click(App& app);
