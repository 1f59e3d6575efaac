#include "playback/load.h"

#include <QAction>
#include <QCheckBox>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <algorithm>

#include "core/app.h"
#include "core/platform.h"
#include "core/textcodec.h"
#include "core/vbmp3binding.h"
#include "playback/polling.h"
#include "playback/timedisplay.h"
#include "playback/transport.h"
#include "tools/tageditor.h"
#include "ui/controls.h"
#include "ui/form1.h"
#include "ui/form2.h"
#include "ui/form3.h"
#include "ui/form5.h"

namespace {

void moveTitleToLeftEdge(Form1& main) { main.Label13->move(kTitleRestX, main.Label13->y()); }

// The seek bar's large step for a track of `seconds`: one hundredth of it, rounded to the
// nearest integer with halves to even; 1 for tracks of up to 10 seconds. 0 (tracks of 11
// to 50 seconds) is no valid step: the bar keeps the one it has.
int largeStep(int32_t seconds) {
  if (seconds <= 10) return 1;
  int step = seconds / 100;
  const int rest = seconds % 100;
  if (rest > 50 || (rest == 50 && step % 2 == 1)) ++step;
  return step;
}

// A sampling rate in kHz in its shortest decimal form: 44100 gives "44.1", 48000 "48".
QString kiloHertz(int32_t rate) {
  return QString::number(rate / 1000.0, 'f', QLocale::FloatingPointShortest);
}

QString fileExtension(const QString& path) { return QFileInfo(TrimSpaces(path)).suffix(); }

struct DisplaySteps {
  bool enablePlay, refreshPlayState, showListPosition;
};

// What the main window shows of a newly opened track. Every step runs whatever the ones
// before it did; a track of 0 seconds keeps the progress picture's scale.
void showTrackInformation(App& app, const TrackInfo& info, const DisplaySteps& steps) {
  Form1& main = app.form1();
  const int32_t seconds = std::max<int32_t>(info.length, 0);

  main.Label3->setText(minutesSeconds(seconds));
  if (steps.enablePlay) main.Command1->setEnabled(true);
  MpegInfo mpeg{};
  app.vbmp3.getMpegInfo(mpeg);
  main.Text3->setText(QString::number(seconds));
  main.HScroll1->setMaximum(seconds);
  if (const int step = largeStep(seconds); step > 0) main.HScroll1->setPageStep(step);
  if (steps.refreshPlayState) RefreshPlayState(app);
  ReadTagInfo(app);
  if (seconds > 0) main.Picture5->setScaleWidth(seconds);
  main.Label9->setText(QString::number(info.bitRate) + "k/s");
  main.Label10->setText(kiloHertz(info.samplingRate) + " kHz");
  main.Label12->setText(CutAtNul(info.artist));
  if (steps.showListPosition) main.Label11->setText("-/" + QString::number(app.form2().List1->count()));
  main.Label8->setText(fileExtension(main.Text1->text()));
}

void showFailure(App& app, LoadOptions::OnFailure onFailure) {
  using enum LoadOptions::OnFailure;
  switch (onFailure) {
    case MessageAndReset:
      ShowFailedOpenMessage(app);
      ResetAfterFailedOpen(app);
      break;
    case CacheMessageAndReset:
      app.platform.messageBox(
          &app.form1(), "キャッシュ再生に失敗しました。\r\n又はファイルを開けませんでした。", kProgramTitle);
      ResetAfterFailedOpen(app);
      break;
    case Nothing:
      break;
  }
}

void startPlaying(App& app, LoadOptions::Then then) {
  using enum LoadOptions::Then;
  switch (then) {
    case Stay:
      break;
    case PlayIfFastPlay:
      if (checkValue(app.form3().Check6) == 1) Form1_Command1_Click(app);
      break;
    case Play:
      Form1_Command1_Click(app);
      break;
    case PlayWithoutTagEditor:
      playCurrentTrack(app);
      break;
    case Replay:
      app.vbmp3.stop();
      if (startDecoder(app)) app.form1().Picture5->cls();
      break;
  }
}

}  // namespace

// ---- Presets --------------------------------------------------------------------------------

LoadOptions LoadOptions::fromOpenDialog() {
  LoadOptions o;
  o.stopFirst = true;
  o.resetTitleScroll = true;
  o.enableListAdd = true;
  o.then = Then::PlayIfFastPlay;
  o.onFailure = OnFailure::MessageAndReset;
  return o;
}

LoadOptions LoadOptions::fromNeighbour() {
  LoadOptions o;
  o.writePathFirst = false;
  o.setTransportButtons = true;
  o.showListPosition = false;
  o.showTagEditor = true;
  o.then = Then::Play;
  o.onFailure = OnFailure::MessageAndReset;
  return o;
}

LoadOptions LoadOptions::fromRandomButton() {
  LoadOptions o;
  o.stopFirst = true;
  o.showListPosition = false;
  o.showTagEditor = true;
  o.then = Then::PlayWithoutTagEditor;
  o.onFailure = OnFailure::Nothing;
  return o;
}

LoadOptions LoadOptions::fromRandomEnd() {
  LoadOptions o;
  o.stopFirst = true;
  o.enablePlay = false;
  o.refreshPlayState = false;
  o.showListPosition = false;
  o.then = Then::Replay;
  o.onFailure = OnFailure::Nothing;
  return o;
}

LoadOptions LoadOptions::fromSongList() {
  LoadOptions o;
  o.stopAfterOpen = true;
  o.showListPosition = false;
  o.then = Then::PlayWithoutTagEditor;
  o.onFailure = OnFailure::MessageAndReset;
  return o;
}

LoadOptions LoadOptions::fromCache() {
  LoadOptions o;
  o.enableListAdd = true;
  o.then = Then::Stay;
  o.onFailure = OnFailure::CacheMessageAndReset;
  return o;
}

LoadOptions LoadOptions::fromAutoPlay() {
  LoadOptions o;
  o.writePathFirst = false;
  o.showListPosition = false;
  o.enableListAdd = true;
  o.then = Then::PlayWithoutTagEditor;
  o.onFailure = OnFailure::MessageAndReset;
  return o;
}

// ---- Loading ---------------------------------------------------------------------------------

bool LoadAndShowTrack(App& app, const QString& path, const LoadOptions& options) {
  Form1& main = app.form1();
  if (options.stopFirst) app.vbmp3.stop();
  if (options.resetTitleScroll) {
    main.Timer4->stop();
    moveTitleToLeftEdge(main);
  }
  if (options.writePathFirst) main.Text1->setText(path);

  TrackInfo info{};
  if (app.vbmp3.open(TrimSpaces(path), info) == 0) {
    showFailure(app, options.onFailure);
    return false;
  }

  if (!options.writePathFirst) main.Text1->setText(path);
  if (options.stopAfterOpen) app.vbmp3.stop();
  if (options.setTransportButtons) {
    main.Command1->setEnabled(false);
    main.Command2->setEnabled(true);
    main.Command3->setEnabled(true);
    main.Command4->setEnabled(true);
  }
  showTrackInformation(app, info, {options.enablePlay, options.refreshPlayState, options.showListPosition});
  if (options.showTagEditor && main.mPTag->isChecked()) app.form5().show();
  TitleRule(app);
  if (options.enableListAdd) main.mListAdd->setEnabled(true);
  DefaultArtist(main);
  startPlaying(app, options.then);
  return true;
}

void Form1_mOpen_Click(App& app) {
  Form1& main = app.form1();
  const QString path =
      app.platform.openFileName(&main, "開く", "MP3サウンド形式(*.mp3);;waveサウンド形式(*.wav)", QString());
  if (path.isEmpty()) return;
  OpenSoundFile(app, path);
}

bool OpenSoundFile(App& app, const QString& path, LoadOptions::OnFailure onFailure) {
  LoadOptions options = LoadOptions::fromOpenDialog();
  options.onFailure = onFailure;
  return LoadAndShowTrack(app, path, options);
}

void Form1_mClose_Click(App& app) {
  Form1& main = app.form1();
  if (checkValue(app.form3().Check10) == 1) {
    if (main.Label3->text() == "00:00") return;
    const MessageResult answer =
        app.platform.messageBox(&main, "曲がセットされています。閉じても宜しいですか？",
                                "ファイルを閉じる確認", MessageButtons::YesNo, MessageIcon::Question);
    if (answer != MessageResult::Yes) return;
  }
  app.vbmp3.stop();
  app.vbmp3.encodeStop();
  ShowNoTrack(app);
}

void ResetAfterFailedOpen(App& app) {
  app.vbmp3.stop();
  ShowNoTrack(app);
}

void ShowNoTrack(App& app) {
  Form1& main = app.form1();
  main.Command1->setEnabled(false);
  main.Timer1->stop();
  main.Timer4->stop();
  main.Label1->setText("00:00");
  main.Label3->setText("00:00");
  main.Label8->setText("Nothing");
  // The end counter too: with no track to end, a short last track's remaining time must not
  // run the end-of-track decision.
  main.Timer5->stop();
  main.Label16->setText("0");
  main.Picture5->cls();
  moveTitleToLeftEdge(main);
  main.Label13->setText(kProgramTitle);
  main.Label12->setText("Artist");
  main.setWindowTitle(kProgramTitle);
  main.Command2->setEnabled(false);
}

void ShowFailedOpenMessage(App& app) {
  app.platform.messageBox(
      &app.form1(), "指定させたファイルが存在しません。\r\n又は拡張子がサポートされてないファイルです。",
      kProgramTitle);
}

// ---- Title and tag ---------------------------------------------------------------------------

QString FileBaseName(const QString& path) { return QFileInfo(TrimSpaces(path)).completeBaseName(); }

QString CaptionWithTitle(const QString& title) { return kProgramTitle + QChar(0x3000) + "【" + title + "】"; }

void DefaultArtist(Form1& main) {
  const QString artist = main.Label12->text();
  if (artist.isEmpty() || artist == " ") main.Label12->setText("Artist");
}

void TitleRule(App& app) {
  Form1& main = app.form1();
  if (main.mVisible->isChecked()) {
    main.Label13->setText(kProgramTitle);
    main.setWindowTitle(kProgramTitle);
    return;
  }
  const QString tagTitle = app.form5().Text1->text();
  const bool useTag = main.mTagTitle->isChecked() && !tagTitle.isEmpty() && tagTitle != " ";
  const QString name = useTag ? tagTitle : FileBaseName(main.Text1->text());
  main.Label13->setText(name);
  main.setWindowTitle(CaptionWithTitle(name));
}

// ---- Start-up ----------------------------------------------------------------------------------

bool ReloadCachedTrack(App& app, const QString& musicTitle, const QString& musicPath) {
  app.form1().Label13->setText(musicTitle);
  return LoadAndShowTrack(app, musicPath, LoadOptions::fromCache());
}

void StartupAutoPlay(App& app) {
  LoadAndShowTrack(app, app.form3().Text2->text(), LoadOptions::fromAutoPlay());
}
