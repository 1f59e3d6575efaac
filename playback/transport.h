// The main window's transport: play, stop, pause, pitch and volume with their step buttons,
// the seek bar with the progress strip, and the button that shows the Song List.
#pragma once

#include <QString>
#include <functional>

class App;

// Play (Command1): resumes a paused track, otherwise starts the loaded one from the start,
// and sets the buttons and timers for playing. With mPTag checked the tag editor shows too.
void Form1_Command1_Click(App& app);
// Play without the tag editor: what loading from the Song List, the random button and the
// start-up auto-play run. When the library refuses to play (nothing is open: the last open
// failed) the window shows no track instead of a track that plays.
void playCurrentTrack(App& app);

// vbmp3_play, and when the library refuses it, the window without a track. Every procedure
// that starts the sound goes through here. True when the track plays. After the first play
// that starts, when no sound device opened, the caption says so once for a few seconds
// (Form1::captionNotice).
bool startDecoder(App& app);
inline const QString kSilentOutputNotice = QStringLiteral("サウンドデバイスなし：無音で再生中");
inline constexpr int kSilentOutputNoticeMs = 6000;
// The end of that notice: the usual caption again.
void EndSilentOutputNotice(App& app);

// Runs `change` (a new pitch, new equalizer bands) with the sound held by vbmp3_pause, then
// vbmp3_restart only when the track was playing: a paused track stays paused behind its
// paused window, and a stopped one stays stopped.
void applyWithSoundHeld(App& app, const std::function<void()>& change);

void Form1_Command2_Click(App& app);  // stop; a running conversion stops too
void Form1_Command3_Click(App& app);  // pause

// Play/pause from outside the buttons (the Space key, the tray menu, the desktop's media
// keys): the pause button's procedure while the track plays, else `play` (resume a paused
// track, play a stopped one), each only while its button is enabled. The default play
// leaves the tag editor out: it must not show up alone while the window is in the tray.
void PlayOrPause(App& app, void (*play)(App&) = playCurrentTrack);
// The Space key, on the main window and the Song List when no text box has the focus: as
// the play button, it also shows the tag editor when mPTag is checked.
void PlayPauseKey(App& app);

// Pitch: the bar (HScroll2, 60..200) holds the value, its change hands it to the decoder;
// the buttons step it by 20 within the bar's range.
void Form1_HScroll2_Change(App& app);
void Form1_Command5_Click(App& app);  // pitch down
void Form1_Command6_Click(App& app);  // pitch up

// Volume: the bar (HScroll3, 0..100) holds the value; the buttons step it by kVolumeStep
// within the bar's range and move the knob picture Image2 by 6 pixels with it.
inline constexpr int kVolumeStep = 5;
void Form1_HScroll3_Change(App& app);
void Form1_Command11_Click(App& app);  // volume up
void Form1_Command12_Click(App& app);  // volume down
// Start-up: moves the knob from where the form puts it (full volume) down by the steps the
// buttons would take to reach the bar's value, rounded to the nearest step.
void PlaceVolumeKnob(App& app);

// Seek bar (HScroll1): follows the position on every poll; a move that a poll cannot make
// (back, or forward by the large step or more) is taken as the user's and seeks. Every
// change draws the progress strip Picture5 up to the bar's value. Bars with a large step of
// 1 neither seek nor draw on such moves. A move the user made by hand always seeks.
void Form1_HScroll1_Change(App& app);
// The user moved the bar (its thumb let go after a drag, a click on the bar, an arrow key,
// the wheel): the value change that follows is a move by hand. While the user holds the
// thumb, the bar's value stays and the poll leaves it alone.
void Form1_HScroll1_Action(App& app);
// A press on the progress strip at `x` (in its scale: seconds) moves the bar there by hand.
void Form1_Picture5_MouseDown(App& app, double x);

void Form1_Command10_Click(App& app);  // shows the Song List window, modally
