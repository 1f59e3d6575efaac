// The play modes of the Settings menu and their pictures on the main window: at most one
// of repeat (Image3), Song List play (Image4) and random play (Image5); the direction of
// Song List play, down or up; fade-in (Image6) and fade-out (Image7), handed to the
// decoder at every change. The end of a track reads the marks (playback/polling.h).
#pragma once

class App;

// A click on a checked mode unchecks it (no mode then); on an unchecked one it becomes the
// only mode checked and the only mode picture shown.
void Form1_mRepeat_Click(App& app);
void Form1_mListTrack_Click(App& app);
void Form1_mRandam_Click(App& app);

void Form1_mUptoDown_Click(App& app);  // the direction pair: the clicked one alone checked
void Form1_mDowntoUp_Click(App& app);

// Toggle the mark, show or hide the picture, and switch the decoder's fade (-1 on, 0 off).
void Form1_mFadeIn_Click(App& app);
void Form1_mFadeOut_Click(App& app);

// At start-up, after the settings are restored: one mode shows its picture alone; more
// than one checked leaves none checked and no picture; none checked leaves the pictures.
void mPlayMode(App& app);
// At start-up: both directions checked leaves neither.
void mListMode(App& app);
