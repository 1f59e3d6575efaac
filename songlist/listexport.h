// "Listの曲名を保存する(&N)...": the titles of the list shown as a text file, one per line,
// numbered from 001 when the Properties option "リスト曲名保存時Index番号をつける" is on.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

class App;

// The file's bytes: CR LF after every line, CP932 (UTF-8 when a title needs it).
QByteArray formatTitleExport(const QStringList& titles, bool numbered);

// The file an export writes: the chosen name up to a NUL, with ".txt" added unless it
// already ends so (in any case).
QString exportPath(const QString& chosen);

// Asks before replacing an existing file; a file that cannot be written is named.
void Form1_mSongListTextSave_Click(App& app);
