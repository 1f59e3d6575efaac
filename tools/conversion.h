// Converting the loaded track from the File menu: WAV to MP3 (encode) and MP3 to WAV
// (decode, optionally played while it is written). The library converts on its own
// thread; Timer7 follows it on the progress strip and reports how it ended.
#pragma once

#include <QString>

class App;

void Form1_mFileEncode_Click(App& app);
void Form1_mFileDecode_Click(App& app);
// Draws how far the running conversion has got; at its end, says how it ended.
void Form1_Timer7_Timer(App& app);

// The file a conversion writes for the name chosen in the save dialog: the name up to any
// NUL, with `extension` (".mp3", ".wav") added unless it already ends so, in any case.
QString ConversionTarget(const QString& chosen, const QString& extension);
