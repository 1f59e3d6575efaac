// The equalizer window: its presets in Sound.dat, the calls Apply and the reset make
// (scripted decoder), and what the bands do to the sound (real library).
#include "tools/equalizer.h"

#include <gtest/gtest.h>

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

// One preset as Sound.dat stores it: the name, then the ten slider values.
QByteArray stored(const QByteArray& name, const Bands& values = {}) {
  QByteArray bytes = "\"" + name + "\"\r\n";
  for (int value : values) bytes += "\"" + QByteArray::number(value) + "\"\r\n";
  return bytes;
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
  void addPreset(const QString& name, const Bands& values = {}) {
    setSliders(values);
    window().Text1->setText(name);
    window().Command1->click();
  }
  // The preset table: each entry's name and its ten stored values.
  static QStringList table(Form4& form) {
    QStringList rows;
    for (int k = 0; k < form.Combo1->count(); ++k) {
      QStringList row{form.Combo1->itemText(k)};
      for (HiddenList* list : {form.List1, form.List2, form.List3, form.List4, form.List5, form.List6,
                               form.List7, form.List8, form.List9, form.List10})
        row << list->text(k);
      rows << row.join('|');
    }
    return rows;
  }
};

using Equalizer = EqualizerWith<ProgramTest>;
using EqualizerWithLibrary = EqualizerWith<RealLibraryTest>;

const QString kNormalRow = "Normal|0|0|0|0|0|0|0|0|0|0";

// ---- Sound.dat ---------------------------------------------------------------------------

struct AddCase {
  const char* what;
  std::vector<std::pair<QString, Bands>> presets;
  QByteArray file;
};

class PresetsWritten : public Equalizer, public testing::WithParamInterface<AddCase> {};

TEST_P(PresetsWritten, InElevenLinesInListOrderAndReadBackAfterARestart) {
  for (const auto& [name, values] : GetParam().presets) addPreset(name, values);
  EXPECT_EQ(readFile("Sound.dat"), GetParam().file);
  EXPECT_FALSE(window().Command1->isEnabled()) << "the name box is emptied";
  EXPECT_EQ(window().Combo1->currentIndex(), 0) << "an added preset is not selected";
  Restarted again(folder.path());
  EXPECT_EQ(table(again.app.form4()), table(window()));
}

INSTANTIATE_TEST_SUITE_P(
    Equalizer, PresetsWritten,
    testing::Values(
        AddCase{"SliderPositionsNotNegated",
                {{"Jazz", {0, -10, 0, 0, 0, 0, 0, 0, 0, 0}}},
                "\"Jazz\"\r\n\"0\"\r\n\"-"
                "10\"\r\n\"0\"\r\n\"0\"\r\n\"0\"\r\n\"0\"\r\n\"0\"\r\n\"0\"\r\n\"0\"\r\n\"0\"\r\n"},
        AddCase{"TwoOfOneNameStayTwo",
                {{"A", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}}, {"B", {-128, 128}}, {"A", {}}},
                stored("A", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}) + stored("B", {-128, 128}) + stored("A")},
        AddCase{"QuoteInANameDoubled", {{"say \"hi\", now", {}}}, stored("say \"\"hi\"\", now")}),
    [](const auto& info) { return std::string(info.param.what); });

struct ReadCase {
  const char* what;
  std::optional<QByteArray> file;  // none: no Sound.dat
  QStringList presets;             // the table after "Normal"
};

class PresetsRead : public Equalizer, public testing::WithParamInterface<ReadCase> {};

TEST_P(PresetsRead, AsAStreamOfFieldsElevenToAPreset) {
  if (GetParam().file) writeFile("Sound.dat", *GetParam().file);
  EXPECT_EQ(table(window()), QStringList{kNormalRow} + GetParam().presets);
  EXPECT_EQ(readFile("Sound.dat"), GetParam().file.value_or("")) << "created when missing, else left alone";
  EXPECT_FALSE(window().Command2->isEnabled());
}

INSTANTIATE_TEST_SUITE_P(
    Equalizer, PresetsRead,
    testing::Values(
        ReadCase{"Missing", std::nullopt, {}},
        ReadCase{"ElevenLines", stored("Pop", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}), {"Pop|1|2|3|4|5|6|7|8|9|10"}},
        ReadCase{"OneLineWithCommas",
                 "\"Pop\",\"1\",\"2\",\"3\",\"4\",\"5\",\"6\",\"7\",\"8\",\"9\",\"10\"\r\n",
                 {"Pop|1|2|3|4|5|6|7|8|9|10"}},
        ReadCase{
            "SpreadOverLinesAnyHow",
            "\"a,b\",\"1\",\"2\"\r\n3,4,5,6,7\r\n\"8\"\r\n9,10,\"Next\",-1,-2,-3,-4,-5,-6,-7,-8,-9,-10\r\n",
            {"a,b|1|2|3|4|5|6|7|8|9|10", "Next|-1|-2|-3|-4|-5|-6|-7|-8|-9|-10"}},
        ReadCase{"LastPresetCutShort", "\"Cut\"\r\n\"5\"\r\n\"-5\"\r\n", {"Cut|5|-5||||||||"}}),
    [](const auto& info) { return std::string(info.param.what); });

// Delete is offered by entry, not by name: a user's preset may be called "Normal" too.
TEST_F(Equalizer, ADeletedPresetStaysDeletedAfterARestart) {
  addPreset("Normal", {1, 1, 1, 1, 1, 1, 1, 1, 1, 1});
  addPreset("B", {2, 2, 2, 2, 2, 2, 2, 2, 2, 2});
  window().Combo1->setCurrentIndex(1);
  ASSERT_TRUE(window().Command2->isEnabled());
  window().Command2->click();
  EXPECT_EQ(table(window()), QStringList({kNormalRow, "B|2|2|2|2|2|2|2|2|2|2"}));
  EXPECT_EQ(window().Combo1->currentIndex(), 0);
  EXPECT_FALSE(window().Command2->isEnabled());
  EXPECT_EQ(readFile("Sound.dat"), stored("B", {2, 2, 2, 2, 2, 2, 2, 2, 2, 2}));
  Restarted again(folder.path());
  EXPECT_EQ(table(again.app.form4()), table(window()));
}

TEST_F(Equalizer, AFailedWriteKeepsTheOldFileAndSaysSo) {
  const QByteArray old = stored("Old1") + stored("Old2");
  writeFile("Sound.dat", old);
  window().Combo1->setCurrentIndex(1);
  {
    FileSizeLimit limit(20);
    window().Command2->click();
  }
  EXPECT_EQ(readFile("Sound.dat"), old);
  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_EQ(platform.messages[0].text,
            "[Sound.dat]に書き込めません。\r\n読み取り専用になっている可能性があります。");
}

// ---- The window and its calls --------------------------------------------------------------

TEST_F(Equalizer, TheMenuShowsTheWindowAndItsCloseButtonsOnlyHideIt) {
  for (const bool closeBox : {false, true}) {
    main().mGraphicEcoryzer->trigger();
    EXPECT_TRUE(window().isVisible());
    EXPECT_EQ(main().Label17->text(), "1");
    writeFile("Sound.dat", stored("Later"));  // presets are read once per run
    closeBox ? (void)window().close() : window().Command4->click();
    EXPECT_TRUE(window().isHidden());
    EXPECT_EQ(main().Label17->text(), "0");
    EXPECT_EQ(table(window()), QStringList{kNormalRow});
  }
}

struct ApplyCase {
  const char* what;
  QByteArray file;  // empty: apply "Normal"
  Bands before, after;
  QStringList calls;
};

class Apply : public Equalizer, public testing::WithParamInterface<ApplyCase> {};

TEST_P(Apply, SetsTheSlidersBandByBandThenReloadsOnceMore) {
  writeFile("Sound.dat", GetParam().file);
  setSliders(GetParam().before);
  decoder.calls.clear();
  window().Combo1->setCurrentIndex(GetParam().file.isEmpty() ? 0 : 1);
  window().Command3->click();
  EXPECT_EQ(sliders(), GetParam().after);
  EXPECT_EQ(decoder.calls, GetParam().calls);
}

// Each slider that moves sends the whole array, negated (a thumb at the top boosts).
INSTANTIATE_TEST_SUITE_P(
    Equalizer, Apply,
    testing::Values(ApplyCase{"NormalCallsOnlyForBandsNotAtZero",
                              "",
                              {0, 0, 30, 0, 0, 0, 0, -128, 0, 0},
                              {},
                              {"setEqualizer(0,0,0,0,0,0,0,128,0,0)", "reload()",
                               "setEqualizer(0,0,0,0,0,0,0,0,0,0)", "reload()", "reload()"}},
                    ApplyCase{"ValuesNotOnTheSliderSkipped",
                              "\"P\",10,abc,\"\",129,-128,128,-129,1.5,5,-7\r\n",
                              {5, 5, 5, 5, 5, 5, 5, 5, 5, 5},
                              {10, 5, 5, 5, -128, 128, 5, 5, 5, -7},
                              {"setEqualizer(-10,-5,-5,-5,-5,-5,-5,-5,-5,-5)", "reload()",
                               "setEqualizer(-10,-5,-5,-5,128,-5,-5,-5,-5,-5)", "reload()",
                               "setEqualizer(-10,-5,-5,-5,128,-128,-5,-5,-5,-5)", "reload()",
                               "setEqualizer(-10,-5,-5,-5,128,-128,-5,-5,-5,7)", "reload()", "reload()"}}),
    [](const auto& info) { return std::string(info.param.what); });

struct ResetCase {
  const char* what;
  int state;  // VBMP3_STATE_*, the track's before and after
  Bands before;
  QStringList calls;
};

class Reset : public Equalizer, public testing::WithParamInterface<ResetCase> {};

TEST_P(Reset, ZeroesEveryBandAndLeavesTheTrackAsItWas) {
  writeFile("Sound.dat", stored("Kept"));
  decoder.addTrack("/m/a.mp3", 200);
  TrackInfo info{};
  decoder.open("/m/a.mp3", info);
  if (GetParam().state != VBMP3_STATE_STOPPED) decoder.play();
  if (GetParam().state == VBMP3_STATE_PAUSED) decoder.pause();
  const bool opened = GetParam().before != Bands{};
  if (opened) setSliders(GetParam().before);
  decoder.calls.clear();
  main().mFileEcorizarFormat->trigger();
  EXPECT_EQ(sliders(), Bands{});
  EXPECT_EQ(decoder.calls, GetParam().calls);
  int32_t seconds = 0;
  EXPECT_EQ(decoder.getState(seconds), GetParam().state);
  EXPECT_TRUE(window().isHidden());
  EXPECT_EQ(table(window()).size(), 2) << "the window loaded";
}

INSTANTIATE_TEST_SUITE_P(
    Equalizer, Reset,
    testing::Values(
        ResetCase{"Playing",
                  VBMP3_STATE_PLAYING,
                  {0, 0, 0, 0, 20},
                  {"getState()", "pause()", "setEqualizer(0,0,0,0,0,0,0,0,0,0)", "reload()", "reload()",
                   "restart()"}},
        ResetCase{"Paused",
                  VBMP3_STATE_PAUSED,
                  {-1},
                  {"getState()", "pause()", "setEqualizer(0,0,0,0,0,0,0,0,0,0)", "reload()", "reload()"}},
        ResetCase{
            "StoppedWindowNeverLoaded", VBMP3_STATE_STOPPED, {}, {"getState()", "pause()", "reload()"}}),
    [](const auto& info) { return std::string(info.param.what); });

// ---- With the real library -------------------------------------------------------------------

// The highest |sample| of the output over 200 ms of reads of its last 256 frames.
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

// Plays a 3 s tone at `hz`, 0.2 of full scale: a wave peak of 20.
void playTone(Vbmp3& library, const std::string& path, int hz) {
  ASSERT_EQ(fixtures::run("sox -q -n -r 44100 -c 2 -b 16 " + fixtures::quote(path) + " synth 3 sine " +
                          std::to_string(hz) + " vol 0.2"),
            0);
  TrackInfo info{};
  ASSERT_EQ(library.open(QString::fromStdString(path), info), 1);
  ASSERT_EQ(library.play(), 1);
}

// Each band boosts and cuts the tone at the frequency under its slider by 12 dB; a band an
// octave away moves it by 2.5 dB, so a label one octave off fails.
TEST_F(EqualizerWithLibrary, EachBandRaisesAndLowersATonesPeakAtItsLabelledFrequency) {
  app.vbmp3.setEqualizer({});
  for (int band = 0; band < 10; ++band) {
    const QString label = window().Label1[band]->text();  // "125" or "2k"
    const int hz = label.endsWith('k') ? label.chopped(1).toInt() * 1000 : label.toInt();
    SCOPED_TRACE(hz);
    playTone(app.vbmp3, file("tone.wav"), hz);
    std::this_thread::sleep_for(100ms);
    const int flat = outputPeak(app.vbmp3);
    window().VScroll1[band]->setValue(-128);  // thumb at the top
    std::this_thread::sleep_for(100ms);
    const int raised = outputPeak(app.vbmp3);
    window().VScroll1[band]->setValue(128);
    std::this_thread::sleep_for(100ms);
    const int lowered = outputPeak(app.vbmp3);
    window().VScroll1[band]->setValue(0);
    EXPECT_NEAR(flat, 20, 3);
    EXPECT_GT(raised, flat * 2.8) << "at least +9 dB";
    EXPECT_LT(lowered * 2.8, flat) << "at least -9 dB";
  }
}

TEST_F(EqualizerWithLibrary, TheResetLeavesEachStateOfTheTrackAsItWas) {
  playTone(app.vbmp3, file("tone.wav"), 1000);
  for (const int state : {VBMP3_STATE_PLAYING, VBMP3_STATE_PAUSED, VBMP3_STATE_STOPPED}) {
    if (state == VBMP3_STATE_PAUSED) app.vbmp3.pause();
    if (state == VBMP3_STATE_STOPPED) app.vbmp3.stop();
    window().VScroll1[5]->setValue(-60);
    main().mFileEcorizarFormat->trigger();
    int32_t seconds = 0;
    EXPECT_EQ(app.vbmp3.getState(seconds), state);
    EXPECT_EQ(window().VScroll1[5]->value(), 0);
  }
}

}  // namespace
