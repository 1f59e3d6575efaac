// The program as a media player of the desktop (MPRIS 2 on the session bus): media keys,
// sound menus and player widgets see the track and press the main window's buttons.
//
// Every method runs the procedure of the button or menu item that does the same, after the
// call has been answered (a procedure may show a message box), so the windows show it.
// Properties are read from the windows and the decoder when asked. PropertiesChanged goes
// out for the playback status, the track, the volume, the rate (the pitch) and the Can*
// flags, detected from the controls that change with them (no polling); Seeked after every
// seek, the user's in the window included.
#pragma once

#include <QString>

class App;

// Puts the program on the session bus as org.mpris.MediaPlayer2.kestrune, or as
// org.mpris.MediaPlayer2.kestrune.instance<pid> when another instance has that name, at
// /org/mpris/MediaPlayer2. It stays there as long as the main window exists. Without a
// session bus it does nothing. Returns the bus name taken, empty when none.
QString StartMediaPlayerService(App& app);
