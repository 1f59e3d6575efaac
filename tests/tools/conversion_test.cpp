// Encoding and decoding the loaded track from the File menu: the refusals and their order,
// the output name, the replace question, the same-file refusal, the decode question, the
// progress strip and the end; then the same commands with the real library, checked by
// mpg123.
#include "tools/conversion.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <QThread>
#include <functional>
#include <vector>

#include "audio_fixtures.h"
#include "fakes/faults.h"
#include "fakes/program_test.h"
#include "playback/load.h"
#include "ui/form1.h"
#include "ui/form3.h"

namespace {

using Command = void (*)(App&);

const QString kOverwriteTitle = "上書きの確認";
const QString kPlayQuestion = "デコード開始と同時にデコード曲を再生しますか？";

// The main window with a track "loaded" and stopped; the decoder is the scripted one or the
// real library. Timers are driven by hand.
template <typename Base>
class Conversion : public Base {
 protected:
  Form1& main = this->app.form1();

  void SetUp() override {
    Base::SetUp();
    for (QTimer* t : {main.Timer1, main.Timer2, main.Timer3, main.Timer4, main.Timer5, main.Timer6})
      t->stop();
  }

  // Titles of the message boxes shown, in order.
  QStringList messageTitles() const {
    QStringList titles;
    for (const auto& m : this->platform.messages) titles << m.title;
    return titles;
  }

  // Runs Timer7 until it stops, as its ticks would; false when it runs past `limitMs`.
  bool followToTheEnd(int limitMs = 60000) {
    for (int waited = 0; main.Timer7->isActive(); waited += 5) {
      if (waited > limitMs) return false;
      QThread::msleep(5);
      Form1_Timer7_Timer(this->app);
    }
    return true;
  }

  // The share of the progress strip's width that is filled, from the left.
  double stripFilled() const {
    const QImage& canvas = main.Picture5->canvas();
    int filled = 0;
    while (filled < canvas.width() && canvas.pixelColor(filled, 0) == main.Picture5->foreColor()) ++filled;
    return double(filled) / canvas.width();
  }
};

// ---- With the scripted decoder and platform -------------------------------------------

class ScriptedConversion : public Conversion<ProgramTest> {
 protected:
  // A stopped track at `name` in the program folder, its extension label as `extension`.
  void loadTrack(const QString& name, const QString& extension, bool onDisk = true) {
    source = path(name);
    if (onDisk) writeFile(name, "audio");
    main.Text1->setText(source);
    main.Label8->setText(extension);
    main.Label3->setText("03:00");
    main.Label1->setText("00:00");
    decoder.encodable[source] = EncodeInfo{44100, 2, 16, 180};
  }

  // The library calls that convert or ask about the track (no polling calls).
  QStringList conversionCalls() const {
    QStringList calls;
    for (const QString& c : decoder.calls)
      if (!c.startsWith("getState") && !c.startsWith("getMpegInfo") && !c.startsWith("getEncodeState") &&
          !c.startsWith("getConversionProgress"))
        calls << c;
    return calls;
  }

  QString source;
};

struct Refusal {
  const char* name;
  Command command;
  bool onDisk;
  QString elapsed, extension;
  bool answered;  // the save dialog; else cancelled
  QString title;  // of the one message box; empty: none
  int dialogs;    // save dialogs shown
  int refreshes;  // status refreshes (getState calls)
};

class ConversionRefusals : public ScriptedConversion, public testing::WithParamInterface<Refusal> {};

// Each refusal comes at its place in the command and ends it there.
TEST_P(ConversionRefusals, ComeInTheirOrder) {
  const Refusal& r = GetParam();
  loadTrack("track.file", r.extension, r.onDisk);
  main.Label1->setText(r.elapsed);
  if (r.answered) platform.dialogAnswers.push_back(path("out"));
  decoder.calls.clear();

  r.command(app);

  EXPECT_EQ(messageTitles(), r.title.isEmpty() ? QStringList{} : QStringList{r.title});
  EXPECT_EQ(int(platform.dialogs.size()), r.dialogs);
  EXPECT_EQ(conversionCalls(), QStringList{}) << "nothing converted";
  EXPECT_EQ(decoder.count("getState"), r.refreshes);
  EXPECT_FALSE(main.Timer7->isActive());
}

const auto encode = Form1_mFileEncode_Click;
const auto decode = Form1_mFileDecode_Click;

// clang-format off
INSTANTIATE_TEST_SUITE_P(Commands, ConversionRefusals, testing::Values(
    Refusal{"EncodeMissingFile",             encode, false, "00:00", "wav", true,  "",               0, 0},
    Refusal{"EncodePlayingBeforeExtension",  encode, true,  "00:03", "mp3", true,  "エンコード失敗", 0, 0},
    Refusal{"EncodeMp3",                     encode, true,  "00:00", "mp3", true,  "拡張子エラー",   0, 0},
    Refusal{"EncodeMP3",                     encode, true,  "00:00", "MP3", true,  "拡張子エラー",   0, 0},
    Refusal{"EncodeCancelled",               encode, true,  "00:00", "wav", false, "",               1, 0},
    Refusal{"DecodeMissingFile",             decode, false, "00:00", "mp3", true,  "",               0, 0},
    Refusal{"DecodePlaying",                 decode, true,  "01:00", "wav", true,  "デコード失敗",   0, 0},
    Refusal{"DecodeWavAfterTheDialog",       decode, true,  "00:00", "wav", true,  "拡張子エラー",   1, 0},
    Refusal{"DecodeWAVAfterTheDialog",       decode, true,  "00:00", "WAV", true,  "拡張子エラー",   1, 0},
    Refusal{"DecodeCancelledStillRefreshes", decode, true,  "00:00", "wav", false, "",               1, 1}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

struct Naming {
  const char* name;
  Command command;
  QString chosen;  // in the program folder
  QString stem, extension;
};

class ConversionNames : public ScriptedConversion, public testing::WithParamInterface<Naming> {};

// A new name is accepted; the extension is added only when missing, in any case.
TEST_P(ConversionNames, AddTheExtensionOnlyWhenMissing) {
  const Naming& n = GetParam();
  const bool encoding = n.command == Form1_mFileEncode_Click;
  loadTrack(encoding ? "track.wav" : "track.mp3", encoding ? "wav" : "mp3");
  platform.dialogAnswers.push_back(path(n.chosen));
  platform.messageAnswers.push_back(MessageResult::No);  // the decode question: no play

  n.command(app);

  ASSERT_EQ(platform.dialogs.size(), 1u);
  const auto& dialog = platform.dialogs[0];
  EXPECT_EQ(dialog.kind, "save");
  EXPECT_EQ(dialog.title, "名前付けて保存");
  EXPECT_EQ(dialog.filter, encoding ? "mp3サウンド形式(*.mp3)" : "waveサウンド形式(*.wav)");
  EXPECT_EQ(dialog.folder, folder.path());
  EXPECT_EQ(main.Label19->text(), path(n.stem));
  EXPECT_EQ(main.Label20->text(), n.extension);
  const QString written = path(n.stem) + n.extension;
  EXPECT_EQ(decoder.count(encoding ? "encodeStart" : "decodeWave"), 1);
  EXPECT_TRUE(decoder.calls.contains(QString(encoding ? "encodeStart(%1)" : "decodeWave(%1)").arg(written)));
  EXPECT_FALSE(messageTitles().contains(kOverwriteTitle)) << "nothing to replace";
  EXPECT_TRUE(main.Timer7->isActive()) << "the conversion is followed";
}

INSTANTIATE_TEST_SUITE_P(
    Names, ConversionNames,
    testing::Values(Naming{"EncodeBare", encode, "new", "new", ".mp3"},
                    Naming{"EncodeWithExtension", encode, "new.mp3", "new", ".mp3"},
                    Naming{"EncodeUpperCase", encode, "NEW.MP3", "NEW", ".MP3"},
                    Naming{"EncodeMixedCase", encode, "new.Mp3", "new", ".Mp3"},
                    Naming{"EncodeOtherExtension", encode, "new.wav", "new.wav", ".mp3"},
                    Naming{"EncodeCutAtNul", encode, QString("new") + QChar(0) + "junk", "new", ".mp3"},
                    Naming{"DecodeBare", decode, "new", "new", ".wav"},
                    Naming{"DecodeUpperCase", decode, "NEW.WAV", "NEW", ".WAV"},
                    Naming{"DecodeOtherExtension", decode, "new.mp3", "new.mp3", ".wav"}),
    [](const auto& info) { return std::string(info.param.name); });

struct Replacing {
  const char* name;
  Command command;
  MessageResult answer;
};

class ConversionReplace : public ScriptedConversion, public testing::WithParamInterface<Replacing> {};

// An existing file is replaced only when the user says so; the question names the file
// that would be written, not the name typed.
TEST_P(ConversionReplace, AsksBeforeReplacing) {
  const Replacing& r = GetParam();
  const bool encoding = r.command == Form1_mFileEncode_Click;
  const QString ending = encoding ? ".mp3" : ".wav";
  loadTrack(encoding ? "track.wav" : "track.mp3", encoding ? "wav" : "mp3");
  writeFile("old" + ending, "old");
  platform.dialogAnswers.push_back(path("old"));
  platform.messageAnswers = {r.answer, MessageResult::No};

  r.command(app);

  ASSERT_FALSE(platform.messages.empty());
  const auto& question = platform.messages[0];
  EXPECT_EQ(question.title, kOverwriteTitle);
  EXPECT_EQ(question.text, QString("[%1]は既に存在します。\r\n上書きしますか？").arg(path("old" + ending)));
  EXPECT_EQ(question.buttons, MessageButtons::YesNo);
  EXPECT_EQ(question.icon, MessageIcon::Question);
  const bool replaced = r.answer == MessageResult::Yes;
  EXPECT_EQ(decoder.count(encoding ? "encodeStart" : "decodeWave"), replaced ? 1 : 0);
  EXPECT_EQ(main.Label19->text().isEmpty(), !replaced) << "the labels are set only for a conversion";
  EXPECT_EQ(readFile("old" + ending), "old");
}

INSTANTIATE_TEST_SUITE_P(Answers, ConversionReplace,
                         testing::Values(Replacing{"EncodeYes", encode, MessageResult::Yes},
                                         Replacing{"EncodeNo", encode, MessageResult::No},
                                         Replacing{"DecodeYes", decode, MessageResult::Yes},
                                         Replacing{"DecodeNo", decode, MessageResult::No}),
                         [](const auto& info) { return std::string(info.param.name); });

struct SameFile {
  const char* name;
  Command command;
  QString track, extension;
  QString typed;  // in the dialog, relative to the program folder; DIR is the folder's own name
  bool link;      // `typed` is made a symbolic link to the track first
  QString title;
};

class ConversionSameFile : public ScriptedConversion, public testing::WithParamInterface<SameFile> {};

// The file being converted is never the output, however its name is spelled.
TEST_P(ConversionSameFile, IsRefused) {
  const SameFile& s = GetParam();
  loadTrack(s.track, s.extension);
  const QString typed = path(QString(s.typed).replace("DIR", QFileInfo(folder.path()).fileName()));
  if (s.link) ASSERT_TRUE(QFile::link(source, typed));
  platform.dialogAnswers.push_back(typed);
  platform.messageAnswers = {MessageResult::Yes, MessageResult::Yes};

  s.command(app);

  ASSERT_EQ(messageTitles(), QStringList{s.title}) << "refused before any replace question";
  EXPECT_TRUE(platform.messages[0].text.contains("変換元のファイル"));
  EXPECT_EQ(conversionCalls(), QStringList{});
  EXPECT_EQ(readFile(s.track), "audio");
}

INSTANTIATE_TEST_SUITE_P(
    Spellings, ConversionSameFile,
    testing::Values(
        SameFile{"EncodeSameName", encode, "song.Mp3", "Mp3", "song.Mp3", false, "エンコード失敗"},
        SameFile{"EncodeThroughDotDot", encode, "song.Mp3", "Mp3", "../DIR//./song.Mp3", false,
                 "エンコード失敗"},
        SameFile{"EncodeThroughALink", encode, "song.wav", "wav", "link.mp3", true, "エンコード失敗"},
        SameFile{"DecodeSameName", decode, "song.Wav", "Wav", "song.Wav", false, "デコード失敗"},
        SameFile{"DecodeThroughALink", decode, "song.mp3", "mp3", "link.wav", true, "デコード失敗"}),
    [](const auto& info) { return std::string(info.param.name); });

struct DecodeAnswer {
  const char* name;
  MessageResult answer;
  QString call;
  bool playing;  // stop and pause on, the display timers running
  int refreshes;
};

class DecodeQuestion : public ScriptedConversion, public testing::WithParamInterface<DecodeAnswer> {};

TEST_P(DecodeQuestion, DecodesWithOrWithoutPlaying) {
  const DecodeAnswer& d = GetParam();
  loadTrack("track.mp3", "mp3");
  main.Command2->setEnabled(false);
  main.Command3->setEnabled(false);
  platform.dialogAnswers.push_back(path("out"));
  platform.messageAnswers.push_back(d.answer);

  Form1_mFileDecode_Click(app);

  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_EQ(platform.messages[0].text, kPlayQuestion);
  EXPECT_EQ(platform.messages[0].title, "再生の確認");
  EXPECT_EQ(platform.messages[0].icon, MessageIcon::Question);
  EXPECT_TRUE(decoder.calls.contains(d.call.arg(path("out.wav"))));
  EXPECT_FALSE(main.Command1->isEnabled());
  EXPECT_EQ(main.Command2->isEnabled(), d.playing);
  EXPECT_EQ(main.Command3->isEnabled(), d.playing);
  for (QTimer* t : {main.Timer1, main.Timer2, main.Timer4})
    EXPECT_EQ(t->isActive(), d.playing) << t->objectName().toStdString();
  EXPECT_EQ(decoder.count("getState"), d.refreshes);
}

INSTANTIATE_TEST_SUITE_P(Answers, DecodeQuestion,
                         testing::Values(DecodeAnswer{"Yes", MessageResult::Yes, "playDecodeWave(%1)", true,
                                                      1},
                                         DecodeAnswer{"No", MessageResult::No, "decodeWave(%1)", false, 2}),
                         [](const auto& info) { return std::string(info.param.name); });

struct Ending {
  const char* name;
  std::vector<ScriptedDecoder::Progress> progress;  // what the ticks see
  double filled;                                    // of the strip at the end
  QStringList titles;                               // message boxes
  QString caption;                                  // inside the caption's brackets; empty: the title
};

class ConversionEnd : public ScriptedConversion, public testing::WithParamInterface<Ending> {};

// The strip fills as the conversion goes; a failure is a message, any other end is shown in
// the caption and gives the play button back.
TEST_P(ConversionEnd, IsShown) {
  const Ending& e = GetParam();
  loadTrack("track.mp3", "mp3");
  platform.dialogAnswers.push_back(path("out"));
  platform.messageAnswers.push_back(MessageResult::No);
  main.Label13->setText("title");
  main.setWindowTitle(CaptionWithTitle("エンコード完了：old.mp3"));
  Form1_mFileDecode_Click(app);
  ASSERT_FALSE(main.Command1->isEnabled());
  EXPECT_EQ(main.windowTitle(), CaptionWithTitle("title")) << "the last notice is gone";
  decoder.progressScript.assign(e.progress.begin(), e.progress.end());

  double last = 0;
  for (size_t tick = 0; tick + 1 < e.progress.size(); ++tick) {
    Form1_Timer7_Timer(app);
    EXPECT_NEAR(stripFilled(), e.progress[tick].perMille / 1000.0, 0.01) << "tick " << tick;
    EXPECT_GE(stripFilled(), last);
    last = stripFilled();
    EXPECT_TRUE(main.Timer7->isActive());
  }
  Form1_Timer7_Timer(app);

  EXPECT_FALSE(main.Timer7->isActive());
  EXPECT_NEAR(stripFilled(), e.filled, 0.01);
  EXPECT_EQ(messageTitles().mid(1), e.titles);
  EXPECT_EQ(main.windowTitle(), CaptionWithTitle(e.caption.isEmpty() ? "title" : e.caption));
  EXPECT_TRUE(main.Command1->isEnabled()) << "the play button is back";
}

INSTANTIATE_TEST_SUITE_P(
    Ends, ConversionEnd,
    testing::Values(Ending{"Done", {{1, 250}, {1, 500}, {2, 1000}}, 1.0, {}, "デコード完了：out.wav"},
                    Ending{"Stopped", {{1, 250}, {3, 400}}, 0.4, {}, "デコード中止：out.wav（途中まで）"},
                    Ending{"Failed", {{1, 300}, {4, 300}}, 0.0, {"デコード失敗"}, ""}),
    [](const auto& info) { return std::string(info.param.name); });

struct FailedStart {
  const char* name;
  Command command;
  std::function<void(ScriptedDecoder&)> script;
  QString title;
};

class ConversionStart : public ScriptedConversion, public testing::WithParamInterface<FailedStart> {};

// A conversion the library does not start is reported at once.
TEST_P(ConversionStart, FailureIsReported) {
  const FailedStart& f = GetParam();
  const bool encoding = f.command == Form1_mFileEncode_Click;
  loadTrack(encoding ? "track.wav" : "track.mp3", encoding ? "wav" : "mp3");
  f.script(decoder);
  platform.dialogAnswers.push_back(path("out"));
  platform.messageAnswers.push_back(MessageResult::Yes);

  f.command(app);

  ASSERT_EQ(messageTitles().last(), f.title);
  EXPECT_TRUE(platform.messages.back().text.contains(path(encoding ? "out.mp3" : "out.wav")));
  EXPECT_FALSE(main.Timer7->isActive());
}

INSTANTIATE_TEST_SUITE_P(
    Calls, ConversionStart,
    testing::Values(FailedStart{"Encode", Form1_mFileEncode_Click,
                                [](ScriptedDecoder& d) { d.encodeStartResult = 0; }, "エンコード失敗"},
                    FailedStart{"DecodeAndPlay", Form1_mFileDecode_Click,
                                [](ScriptedDecoder& d) { d.decodeResult = 0; }, "デコード失敗"}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- With the real library and mpg123 ------------------------------------------------

class RealConversion : public Conversion<RealLibraryTest> {
 protected:
  void SetUp() override {
    Conversion<RealLibraryTest>::SetUp();
    app.form3().Check6->setChecked(false);  // opened and stopped
  }

  void open(const std::string& track) {
    platform.dialogAnswers.push_back(QString::fromStdString(track));
    Form1_mOpen_Click(app);
    ASSERT_EQ(main.Label1->text(), "00:00");
    ASSERT_TRUE(platform.messages.empty());
  }

  // Chooses `target` in the save dialog, says No to playing, and waits for the end.
  void convert(Command command, const QString& target) {
    platform.dialogAnswers.push_back(target);
    platform.messageAnswers.push_back(MessageResult::No);
    command(app);
    ASSERT_TRUE(followToTheEnd());
  }
};

TEST_F(RealConversion, EncodedWavDecodesToTheSourceLength) {
  ASSERT_TRUE(fixtures::makeWav(file("source.wav"), 7.3));
  open(file("source.wav"));
  convert(encode, path("encoded"));

  EXPECT_TRUE(platform.messages.empty());
  EXPECT_EQ(main.windowTitle(), CaptionWithTitle("エンコード完了：encoded.mp3"));
  EXPECT_DOUBLE_EQ(stripFilled(), 1.0);
  EXPECT_EQ(main.Label9->text(), "1411200(b/s)");
  const std::string samples = "mpg123 -q -s " + fixtures::quote(file("encoded.mp3")) + " 2>/dev/null | wc -c";
  EXPECT_EQ(std::stol(fixtures::outputOf(samples)), std::lround(7.3 * 44100) * 4);
}

TEST_F(RealConversion, DecodedMp3EqualsMpg123Output) {
  ASSERT_TRUE(fixtures::makeWav(file("source.wav"), 6.0));
  ASSERT_TRUE(fixtures::makeMp3(file("source.wav"), file("source.mp3")));
  open(file("source.mp3"));
  convert(decode, path("decoded.wav"));

  EXPECT_EQ(messageTitles(), QStringList{"再生の確認"});
  EXPECT_EQ(main.windowTitle(), CaptionWithTitle("デコード完了：decoded.wav"));
  EXPECT_TRUE(main.Command1->isEnabled()) << "the track can be played again";
  ASSERT_EQ(fixtures::run("mpg123 -q -w " + fixtures::quote(file("mpg123.wav")) + " " +
                          fixtures::quote(file("source.mp3"))),
            0);
  EXPECT_EQ(readFile("decoded.wav"), readFile("mpg123.wav"));
}

struct FullDiskCase {
  const char* name;
  Command command;
  const char* track;
  QString title;
};

class RealConversionFullDisk : public RealConversion, public testing::WithParamInterface<FullDiskCase> {};

// Written into a full disk, the conversion fails with a message and leaves nothing.
TEST_P(RealConversionFullDisk, ReportsTheFailure) {
  const FullDiskCase& c = GetParam();
  ASSERT_TRUE(fixtures::makeWav(file("source.wav"), 10.0));
  ASSERT_TRUE(fixtures::makeMp3(file("source.wav"), file("source.mp3")));
  QDir(folder.path()).mkdir("disk");
  TinyDisk disk(path("disk"), 64);
  if (!disk.mounted()) GTEST_SKIP() << "cannot mount a tmpfs: " << disk.error().toStdString();
  open(file(c.track));
  disk.fill();
  convert(c.command, path("disk/out"));

  ASSERT_EQ(messageTitles().size(), c.command == decode ? 2 : 1);
  EXPECT_EQ(messageTitles().last(), c.title);
  EXPECT_TRUE(platform.messages.back().text.contains(path("disk/out")));
  EXPECT_EQ(QDir(path("disk")).entryList(QDir::Files), QStringList{"filler"});
}

INSTANTIATE_TEST_SUITE_P(Directions, RealConversionFullDisk,
                         testing::Values(FullDiskCase{"Encode", encode, "source.wav", "エンコード失敗"},
                                         FullDiskCase{"Decode", decode, "source.mp3", "デコード失敗"}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
