// Option.ini: the settings file in the settings folder (App::file), one section of 26 keys,
// then the volume, the pitch and the open dialog's folder, which older files lack.
#pragma once

#include <QString>
#include <optional>

class App;

inline const QString kSettingsSection = QStringLiteral("Kestrune DataFile");
inline const QString kSettingsFile = QStringLiteral("Option.ini");

// Writes every key from its control, in the file's order, in one write of the file. A file
// that cannot be written is left as it was and reported with the "に書き込めません。" message.
// True when written.
bool SaveSettings(App& app);
// The last track, kept for cache playback.
struct CachedTrack {
  QString title;
  QString path;
};

// Reads every key back into its control; values that cannot be converted are skipped, and
// a volume or pitch out of its bar's range is taken to the nearest end. With
// cache playback on, gives the last track for start-up to load.
std::optional<CachedTrack> RestoreSettings(App& app);
// A main window left more than 900 twips off the left edge goes back to (0, 0).
void BringBackMainWindow(App& app);

// Edit > "現在の状態を保存する(&W)".
void Form1_mWtireForm_Click(App& app);
