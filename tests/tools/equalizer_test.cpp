// The equalizer window: its presets in Sound.dat, the calls its sliders, Apply and the reset
// make (scripted decoder), and what the bands do to the sound (real library).
#include "tools/equalizer.h"

#include <gtest/gtest.h>

#include <QCloseEvent>
#include <algorithm>
#include <array>
#include <chrono>
#include <thread>

#include "audio_fixtures.h"
#include "fakes/faults.h"
#include "fakes/program_test.h"
#include "ui/form1.h"
#include "ui/form4.h"

namespace {

using namespace std::chrono_literals;
using Bands = std::array<int, 10>;

const QString kNotWritable = "[Sound.dat]に書き込めません。\r\n読み取り専用になっている可能性があります。";

// One preset as Sound.dat stores it: the name, then the ten slider values.
QByteArray stored(const QByteArray& name, const Bands& values) {
  QByteArray bytes = "\"" + name + "\"\r\n";
  for (int value : values) bytes += "\"" + QByteArray::number(value) + "\"\r\n";
  return bytes;
}

QString bandsText(const Bands& values) {
  QStringList texts;
  for (int value : values) texts << QString::number(value);
  return texts.join(',');
}

template <typename Base>
class EqualizerWith : public Base {
 protected:
  Form1& main() { return this->app.form1(); }
  Form4& window() { return this->app.form4(); }

  Bands sliders() {
    Bands values{};
    for (int band = 0; band < 10; ++band) values[band] = window().VScroll1[band]->value();
    return values;
  }
  void setSliders(const Bands& values) {
    for (int band = 0; band < 10; ++band) window().VScroll1[band]->setValue(values[band]);
  }
  void addPreset(const QString& name, const Bands& values) {
    setSliders(values);
    window().Text1->setText(name);
    window().Command1->click();
  }
  void choose(int entry) { window().Combo1->setCurrentIndex(entry); }

  static QStringList names(Form4& form) {
    QStringList texts;
    for (int entry = 0; entry < form.Combo1->count(); ++entry) texts << form.Combo1->itemText(entry);
    return texts;
  }
  // The stored texts of one preset, band 0 first.
  static QStringList values(Form4& form, int entry) {
    QStringList texts;
    for (HiddenList* list : {form.List1, form.List2, form.List3, form.List4, form.List5, form.List6,
                             form.List7, form.List8, form.List9, form.List10})
      texts << list->text(entry);
    return texts;
  }
};

using Equalizer = EqualizerWith<ProgramTest>;
using EqualizerWithLibrary = EqualizerWith<RealLibraryTest>;

// ---- Sound.dat ---------------------------------------------------------------------------

TEST_F(Equalizer, AMissingSoundDatIsCreatedEmptyAndOnlyNormalIsOffered) {
  Form4& form = window();
  EXPECT_TRUE(exists("Sound.dat"));
  EXPECT_EQ(readFile("Sound.dat"), QByteArray());
  EXPECT_EQ(names(form), QStringList{"Normal"});
  EXPECT_EQ(form.Combo1->currentIndex(), 0);
  EXPECT_FALSE(form.Command1->isEnabled());
  EXPECT_FALSE(form.Command2->isEnabled());
  EXPECT_TRUE(form.isHidden());
  EXPECT_TRUE(decoder.calls.isEmpty()) << "nothing goes to the decoder until a band moves";
}

struct AddCase {
  const char* what;
  std::vector<std::pair<QString, Bands>> presets;
  QByteArray file;
};

class PresetsWritten : public Equalizer, public testing::WithParamInterface<AddCase> {};

TEST_P(PresetsWritten, InElevenLinesInListOrderAndReadBackAfterARestart) {
  for (const auto& [name, values] : GetParam().presets) addPreset(name, values);
  EXPECT_EQ(readFile("Sound.dat"), GetParam().file);
  EXPECT_TRUE(window().Text1->text().isEmpty());
  EXPECT_FALSE(window().Command1->isEnabled());
  EXPECT_EQ(window().Combo1->currentIndex(), 0) << "an added preset is not selected";

  Restarted again(folder.path());
  Form4& form = again.app.form4();
  EXPECT_EQ(names(form), names(window()));
  for (int entry = 0; entry < form.Combo1->count(); ++entry)
    EXPECT_EQ(values(form, entry), values(window(), entry));
  EXPECT_TRUE(again.platform.messages.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Equalizer, PresetsWritten,
    testing::Values(
        AddCase{"SliderPositionsNotNegated",
                {{"Jazz", {0, -10, 0, 0, 0, 0, 0, 0, 0, 0}}},
                "\"Jazz\"\r\n\"0\"\r\n\"-"
                "10\"\r\n\"0\"\r\n\"0\"\r\n\"0\"\r\n\"0\"\r\n\"0\"\r\n\"0\"\r\n\"0\"\r\n\"0\"\r\n"},
        AddCase{"TwoOfOneNameStayTwo",
                {{"A", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}},
                 {"B", {-128, 128, 0, 0, 0, 0, 0, 0, 0, 0}},
                 {"A", {0, 0, 0, 0, 0, 0, 0, 0, 0, -1}}},
                stored("A", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}) +
                    stored("B", {-128, 128, 0, 0, 0, 0, 0, 0, 0, 0}) +
                    stored("A", {0, 0, 0, 0, 0, 0, 0, 0, 0, -1})},
        AddCase{"QuoteInANameDoubled", {{"say \"hi\", now", {}}}, stored("say \"\"hi\"\", now", {})},
        AddCase{"JapaneseNameInCp932", {{"ロック", {}}}, stored("\x83\x8d\x83\x62\x83\x4e", {})}),
    [](const auto& info) { return std::string(info.param.what); });

struct ReadCase {
  const char* what;
  QByteArray file;
  QStringList names;  // after "Normal"
  std::vector<QStringList> values;
};

class PresetsRead : public Equalizer, public testing::WithParamInterface<ReadCase> {};

TEST_P(PresetsRead, AsAStreamOfFieldsElevenToAPreset) {
  writeFile("Sound.dat", GetParam().file);
  Form4& form = window();
  EXPECT_EQ(names(form), QStringList{"Normal"} + GetParam().names);
  EXPECT_EQ(values(form, 0), QStringList(10, "0"));
  for (size_t k = 0; k < GetParam().values.size(); ++k)
    EXPECT_EQ(values(form, int(k) + 1), GetParam().values[k]);
  EXPECT_EQ(readFile("Sound.dat"), GetParam().file) << "reading leaves the file alone";
}

const QStringList kOneToTen = {"1", "2", "3", "4", "5", "6", "7", "8", "9", "10"};

INSTANTIATE_TEST_SUITE_P(
    Equalizer, PresetsRead,
    testing::Values(
        ReadCase{"Empty", "", {}, {}},
        ReadCase{"ElevenLines", stored("Pop", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}), {"Pop"}, {kOneToTen}},
        ReadCase{"OneLineWithCommas",
                 "\"Pop\",\"1\",\"2\",\"3\",\"4\",\"5\",\"6\",\"7\",\"8\",\"9\",\"10\"\r\n",
                 {"Pop"},
                 {kOneToTen}},
        ReadCase{
            "SpreadOverLinesAnyHow",
            "\"a,b\",\"1\",\"2\"\r\n3,4,5,6,7\r\n\"8\"\r\n9,10,\"Next\",-1,-2,-3,-4,-5,-6,-7,-8,-9,-10\r\n",
            {"a,b", "Next"},
            {kOneToTen, {"-1", "-2", "-3", "-4", "-5", "-6", "-7", "-8", "-9", "-10"}}},
        ReadCase{"DoubledQuote", stored("say \"\"hi\"\"", {}), {"say \"hi\""}, {QStringList(10, "0")}},
        ReadCase{"LastPresetCutShort",
                 stored("Full", {}) + "\"Cut\"\r\n\"5\"\r\n\"-5\"\r\n",
                 {"Full", "Cut"},
                 {QStringList(10, "0"), {"5", "-5", "", "", "", "", "", "", "", ""}}}),
    [](const auto& info) { return std::string(info.param.what); });

TEST_F(Equalizer, ADeletedPresetStaysDeletedAfterARestart) {
  addPreset("A", {1, 1, 1, 1, 1, 1, 1, 1, 1, 1});
  addPreset("B", {2, 2, 2, 2, 2, 2, 2, 2, 2, 2});
  choose(1);
  window().Command2->click();
  EXPECT_EQ(names(window()), QStringList({"Normal", "B"}));
  EXPECT_EQ(values(window(), 1), QStringList(10, "2"));
  EXPECT_EQ(window().Combo1->currentIndex(), 0);
  EXPECT_FALSE(window().Command2->isEnabled());
  EXPECT_EQ(readFile("Sound.dat"), stored("B", {2, 2, 2, 2, 2, 2, 2, 2, 2, 2}));

  Restarted again(folder.path());
  EXPECT_EQ(names(again.app.form4()), QStringList({"Normal", "B"}));
}

TEST_F(Equalizer, DeleteIsOfferedForEveryPresetButTheBuiltInOne) {
  addPreset("Normal", {});  // a user's preset of the same name can go
  addPreset("Rock", {});
  for (const auto& [entry, offered] : {std::pair{1, true}, {0, false}, {2, true}}) {
    choose(entry);
    EXPECT_EQ(window().Command2->isEnabled(), offered) << entry;
  }
  choose(1);
  window().Command2->click();
  EXPECT_EQ(names(window()), QStringList({"Normal", "Rock"}));
}

TEST_F(Equalizer, AFailedWriteKeepsTheOldFileAndSaysSo) {
  const QByteArray old = stored("Old1", {}) + stored("Old2", {});
  for (const bool deleting : {false, true}) {
    SCOPED_TRACE(deleting ? "Delete" : "Add");
    writeFile("Sound.dat", old);
    Restarted program(folder.path());
    Form4& form = program.app.form4();
    {
      FileSizeLimit limit(20);
      if (deleting) {
        form.Combo1->setCurrentIndex(1);
        form.Command2->click();
      } else {
        form.Text1->setText("New");
        form.Command1->click();
      }
    }
    EXPECT_EQ(readFile("Sound.dat"), old);
    ASSERT_EQ(program.platform.messages.size(), 1u);
    EXPECT_EQ(program.platform.messages[0].text, kNotWritable);
    EXPECT_EQ(program.platform.messages[0].owner, &form);
  }
}

// ---- The window --------------------------------------------------------------------------

TEST_F(Equalizer, TheMenuShowsTheWindowAndItsCloseButtonsOnlyHideIt) {
  start();
  const std::vector<std::pair<const char*, std::function<void(Form4&)>>> closes = {
      {"閉じる", [](Form4& form) { form.Command4->click(); }},
      {"close box", [](Form4& form) { form.close(); }},
  };
  for (const auto& [what, close] : closes) {
    SCOPED_TRACE(what);
    main().mGraphicEcoryzer->trigger();
    Form4& form = window();
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(main().Label17->text(), "1");
    writeFile("Sound.dat", stored("Later", {}));  // read once per run only
    close(form);
    EXPECT_TRUE(form.isHidden());
    EXPECT_EQ(main().Label17->text(), "0");
    EXPECT_EQ(&window(), &form);
    EXPECT_EQ(names(form), QStringList{"Normal"});
  }
}

TEST_F(Equalizer, ASliderSendsTheWholeNegatedArrayOnlyWhenItsValueChanges) {
  Form4& form = window();
  form.VScroll1[3]->setValue(-128);  // thumb at the top
  form.VScroll1[7]->setValue(40);
  form.VScroll1[7]->setValue(40);
  EXPECT_EQ(decoder.calls, QStringList({"setEqualizer(0,0,0,128,0,0,0,0,0,0)", "reload()",
                                        "setEqualizer(0,0,0,128,0,0,0,-40,0,0)", "reload()"}));
  EXPECT_EQ(app.EcoBand, (std::array<int32_t, 10>{0, 0, 0, 128, 0, 0, 0, -40, 0, 0}));
}

struct ApplyCase {
  const char* what;
  QStringList stored;  // the preset's values; empty: apply "Normal"
  Bands before;
  Bands after;
  QStringList calls;
};

class Apply : public Equalizer, public testing::WithParamInterface<ApplyCase> {};

TEST_P(Apply, SetsTheSlidersBandByBandThenReloadsOnceMore) {
  const ApplyCase& c = GetParam();
  if (!c.stored.isEmpty()) writeFile("Sound.dat", "\"P\",\"" + c.stored.join("\",\"").toUtf8() + "\"\r\n");
  setSliders(c.before);
  decoder.calls.clear();
  choose(c.stored.isEmpty() ? 0 : 1);
  window().Command3->click();
  EXPECT_EQ(sliders(), c.after);
  EXPECT_EQ(decoder.calls, c.calls);
}

INSTANTIATE_TEST_SUITE_P(
    Equalizer, Apply,
    testing::Values(ApplyCase{"NormalCallsOnlyForBandsNotAtZero",
                              {},
                              {0, 0, 30, 0, 0, 0, 0, -50, 0, 0},
                              {},
                              {"setEqualizer(0,0,0,0,0,0,0,50,0,0)", "reload()",
                               "setEqualizer(0,0,0,0,0,0,0,0,0,0)", "reload()", "reload()"}},
                    ApplyCase{"ValuesNotOnTheSliderSkipped",
                              {"10", "abc", "", "129", "-128", "128", "-129", "1.5", "0", "-7"},
                              {5, 5, 5, 5, 5, 5, 5, 5, 5, 5},
                              {10, 5, 5, 5, -128, 128, 5, 5, 0, -7},
                              {"setEqualizer(-10,-5,-5,-5,-5,-5,-5,-5,-5,-5)", "reload()",
                               "setEqualizer(-10,-5,-5,-5,128,-5,-5,-5,-5,-5)", "reload()",
                               "setEqualizer(-10,-5,-5,-5,128,-128,-5,-5,-5,-5)", "reload()",
                               "setEqualizer(-10,-5,-5,-5,128,-128,-5,-5,0,-5)", "reload()",
                               "setEqualizer(-10,-5,-5,-5,128,-128,-5,-5,0,7)", "reload()", "reload()"}}),
    [](const auto& info) { return std::string(info.param.what); });

// ---- The reset from the Edit menu ----------------------------------------------------------

struct ResetCase {
  const char* what;
  int state;  // VBMP3_STATE_*, the track's before and after
  Bands before;
  QStringList calls;
};

class Reset : public Equalizer, public testing::WithParamInterface<ResetCase> {};

TEST_P(Reset, ZeroesEveryBandAndLeavesTheTrackAsItWas) {
  const ResetCase& c = GetParam();
  writeFile("Sound.dat", stored("Kept", {}));
  decoder.addTrack("/m/a.mp3", 200);
  TrackInfo info{};
  decoder.open("/m/a.mp3", info);
  if (c.state != VBMP3_STATE_STOPPED) decoder.play();
  if (c.state == VBMP3_STATE_PAUSED) decoder.pause();
  const bool shown = c.before != Bands{};
  if (shown) {
    main().mGraphicEcoryzer->trigger();
    setSliders(c.before);
  }
  EXPECT_EQ(app.form4Created(), shown);
  decoder.calls.clear();
  main().mFileEcorizarFormat->trigger();
  EXPECT_EQ(sliders(), Bands{});
  EXPECT_EQ(decoder.calls, c.calls);
  int32_t seconds = 0;
  EXPECT_EQ(decoder.getState(seconds), c.state);
  EXPECT_EQ(window().isVisible(), shown);
  EXPECT_EQ(names(window()), QStringList({"Normal", "Kept"}));
}

INSTANTIATE_TEST_SUITE_P(
    Equalizer, Reset,
    testing::Values(
        ResetCase{"Playing",
                  VBMP3_STATE_PLAYING,
                  {0, 0, 0, 0, 20, 0, 0, 0, 0, 0},
                  {"getState()", "pause()", "setEqualizer(0,0,0,0,0,0,0,0,0,0)", "reload()", "reload()",
                   "restart()"}},
        ResetCase{"Paused",
                  VBMP3_STATE_PAUSED,
                  {-1, 0, 0, 0, 0, 0, 0, 0, 0, 0},
                  {"getState()", "pause()", "setEqualizer(0,0,0,0,0,0,0,0,0,0)", "reload()", "reload()"}},
        ResetCase{
            "StoppedWindowNeverOpened", VBMP3_STATE_STOPPED, {}, {"getState()", "pause()", "reload()"}}),
    [](const auto& info) { return std::string(info.param.what); });

// ---- With the real library -------------------------------------------------------------------

// The highest |sample| of the output over a while (several reads of the last 256 frames, so
// that slow tones show their peaks too).
int outputPeak(Vbmp3& library) {
  int peak = 0;
  for (int read = 0; read < 20; ++read) {
    WaveBuffer left{}, right{};
    library.getWave(left, right);
    for (int32_t sample : left) peak = std::max(peak, std::abs(sample));
    std::this_thread::sleep_for(10ms);
  }
  return peak;
}

// A label's frequency: "125" is 125 Hz, "2k" 2000 Hz.
int labelledHz(const QString& label) {
  return label.endsWith('k') ? label.chopped(1).toInt() * 1000 : label.toInt();
}

// Each slider boosts and cuts the tone at the frequency written under it by about 12 dB; an
// octave away a band moves a tone by 2.5 dB, so a label one octave off fails.
TEST_F(EqualizerWithLibrary, EachBandRaisesAndLowersATonesPeakAtItsLabelledFrequency) {
  Vbmp3& library = app.vbmp3;
  library.setEqualizer({});
  library.setVolume(100, 100);
  library.setPitch(100);
  library.setFadeIn(0);
  library.setFadeOut(0);
  Form4& form = window();
  for (int band = 0; band < 10; ++band) {
    const int hz = labelledHz(form.Label1[band]->text());
    SCOPED_TRACE(hz);
    const std::string tone = file("tone" + std::to_string(hz) + ".wav");
    ASSERT_EQ(fixtures::run("sox -q -n -r 44100 -c 2 -b 16 " + fixtures::quote(tone) + " synth 3 sine " +
                            std::to_string(hz) + " vol 0.2"),
              0);
    TrackInfo info{};
    ASSERT_EQ(library.open(QString::fromStdString(tone), info), 1);
    ASSERT_EQ(library.play(), 1);
    std::this_thread::sleep_for(100ms);
    const int flat = outputPeak(library);
    EXPECT_NEAR(flat, 20, 3);
    form.VScroll1[band]->setValue(-128);  // thumb at the top: +12 dB
    std::this_thread::sleep_for(100ms);
    const int raised = outputPeak(library);
    form.VScroll1[band]->setValue(128);
    std::this_thread::sleep_for(100ms);
    const int lowered = outputPeak(library);
    form.VScroll1[band]->setValue(0);
    EXPECT_GT(raised, flat * 2.8) << "at least +9 dB";
    EXPECT_LT(lowered * 2.8, flat) << "at least -9 dB";
  }
  library.stop();
}

TEST_F(EqualizerWithLibrary, TheResetLeavesAPausedTrackPausedAndAPlayingOnePlaying) {
  const std::string tone = file("tone.wav");
  ASSERT_EQ(
      fixtures::run("sox -q -n -r 44100 -c 2 -b 16 " + fixtures::quote(tone) + " synth 3 sine 1000 vol 0.2"),
      0);
  TrackInfo info{};
  ASSERT_EQ(app.vbmp3.open(QString::fromStdString(tone), info), 1);
  window().VScroll1[5]->setValue(-60);
  for (const int state : {VBMP3_STATE_STOPPED, VBMP3_STATE_PLAYING, VBMP3_STATE_PAUSED}) {
    SCOPED_TRACE(state);
    if (state == VBMP3_STATE_PLAYING) app.vbmp3.play();
    if (state == VBMP3_STATE_PAUSED) app.vbmp3.pause();
    main().mFileEcorizarFormat->trigger();
    int32_t seconds = 0;
    EXPECT_EQ(app.vbmp3.getState(seconds), state);
    EXPECT_EQ(window().VScroll1[5]->value(), 0);
    window().VScroll1[5]->setValue(-60);
  }
  app.vbmp3.stop();
}

}  // namespace
