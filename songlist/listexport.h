// "Listの曲名を保存する(&N)...": the titles of the list shown as a text file, one per line,
// numbered from 001 when the Properties option "リスト曲名保存時Index番号をつける" is on.
#pragma once

#include <QByteArray>
#include <QStringList>

class App;

// The file's bytes: CR LF after every line, CP932 (UTF-8 when a title needs it).
QByteArray formatTitleExport(const QStringList& titles, bool numbered);

void Form1_mSongListTextSave_Click(App& app);
