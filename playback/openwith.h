// Sound files given on the command line, or handed over by a later start of the program.
#pragma once

#include <QStringList>

class App;

// One file opens as the open dialog's answer does (and plays when "open and play at once" is
// on). With several, the usable ones join the Song List as its add command adds a file, the
// list is saved, and the first one the library opens is opened. A missing file, a folder,
// a file whose name is not an MP3 or WAV one, and a file the library refuses on the way are
// skipped and named in one message; the track shown stays when nothing was tried.
void OpenGivenFiles(App& app, const QStringList& files);

// A later start's files: the main window comes back as a click on the tray icon brings it
// (out of the tray or the taskbar, in front), then the files as above.
void ReceiveHandedOverFiles(App& app, const QStringList& files);
