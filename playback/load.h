// How a track becomes current and is shown: the open and close commands, the one loading
// sequence every way of changing track goes through (which reads the tag into the tag
// editor, tools/tageditor.h) and the title rule.
#pragma once

#include <vbmp3.h>

#include <QString>

class App;
class Form1;

// What differs between the ways of loading a track. Start from one of the presets.
struct LoadOptions {
  // Before the open.
  bool stopFirst = false;         // vbmp3_stop
  bool resetTitleScroll = false;  // Timer4 off, the title line back to its left edge
  bool writePathFirst = true;     // Text1 = path before the open, else only after success

  // After a successful open.
  bool stopAfterOpen = false;        // vbmp3_stop once more
  bool setTransportButtons = false;  // play disabled; stop, pause and previous enabled
  bool enablePlay = true;            // display: play button enabled
  bool refreshPlayState = true;      // display: RefreshPlayState
  bool showListPosition = true;      // display: "-/" + number of Song List entries
  bool showTagEditor = false;        // the tag editor shown when View > mPTag is checked
  bool enableListAdd = false;        // Edit > mListAdd enabled

  enum class Then {
    Stay,                  // loaded and stopped
    PlayIfFastPlay,        // the play button's procedure when "open and play at once" is on
    Play,                  // the play button's procedure
    PlayWithoutTagEditor,  // the play button's procedure, never showing the tag editor
    Replay,                // vbmp3_stop, vbmp3_play, progress picture cleared; nothing else
  };
  Then then = Then::Stay;

  enum class OnFailure {
    MessageAndReset,       // the failed-open message, then the no-track state
    CacheMessageAndReset,  // the cache-playback message, then the no-track state
    Nothing,               // the caller decides (drawing again, for instance)
  };
  // A failed open has closed the track that was open, so every failure but a redraw ends in
  // the no-track state: the window never shows a track the library no longer has.
  OnFailure onFailure = OnFailure::MessageAndReset;

  static LoadOptions fromOpenDialog();
  static LoadOptions fromNeighbour();     // the previous and next buttons
  static LoadOptions fromRandomButton();  // then the caller shows the list position and hides the Song List
  static LoadOptions fromRandomEnd();     // random continuation at the end of a track
  static LoadOptions fromSongList();      // the Song List's play button, after it stopped and saved the list
  static LoadOptions fromCache();         // the last track, at start-up
  static LoadOptions fromAutoPlay();      // the start-up song
};

// Opens `path` (surrounding spaces trimmed) and shows the track; true when it opened.
bool LoadAndShowTrack(App& app, const QString& path, const LoadOptions& options);

// File > "サウンドファイルを開く(&O)...": the open dialog, then OpenSoundFile.
void Form1_mOpen_Click(App& app);
// What the open dialog's answer leads to: stop, load `path`, and play it when "open and play
// at once" is on. True when it opened; a failure is handled as `onFailure` says.
bool OpenSoundFile(App& app, const QString& path,
                   LoadOptions::OnFailure onFailure = LoadOptions::OnFailure::MessageAndReset);
// File > "サウンドファイルを閉じる(&C)": asks first when the close confirmation is on.
void Form1_mClose_Click(App& app);

// The title line and the window caption for the track in Text1: the tag title when View >
// mTagTitle asks for it and there is one, else the file's name without its extension.
void TitleRule(App& app);
// The file name of `path` without folder and extension, surrounding spaces trimmed first.
QString FileBaseName(const QString& path);
// The caption of the main window showing `title`: "Kestrune　【" + title + "】".
QString CaptionWithTitle(const QString& title);
// The artist label: "Artist" in place of an empty or single-blank artist.
void DefaultArtist(Form1& main);

// Cache playback at start-up: loads the last track and leaves it stopped. False (after the
// message and the no-track state) when it cannot be opened.
bool ReloadCachedTrack(App& app, const QString& musicTitle, const QString& musicPath);
// Opens and plays the song of the Properties' auto-play field.
void StartupAutoPlay(App& app);

// The main window without a track, after a failed open: vbmp3_stop, then ShowNoTrack.
void ResetAfterFailedOpen(App& app);
// What close, a failed open and a refused play share: play and stop disabled, polling, title
// scrolling and the end counter off, total and elapsed time "00:00" (Label3 "00:00" is what
// marks "no track"), type "Nothing", the title line and caption back to the program's name.
void ShowNoTrack(App& app);
// "指定させたファイルが存在しません。" CR LF "又は拡張子がサポートされてないファイルです。"
void ShowFailedOpenMessage(App& app);
