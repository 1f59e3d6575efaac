#include "core/settings.h"

#include <QAction>
#include <QLineEdit>
#include <QScrollBar>
#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <vector>

#include "core/app.h"
#include "core/profile.h"
#include "songlist/songlistwindow.h"
#include "ui/changelabel.h"
#include "ui/controls.h"
#include "ui/form1.h"
#include "ui/form3.h"
#include "ui/form4.h"
#include "ui/form5.h"

namespace {

enum class Encoding { Text, Left, Top, Check, Menu, Bar, Value };

// One key of the file and the control it comes from and goes back to (for Value, the text
// held outside any control).
struct Setting {
  const char* key;
  Encoding encoding;
  QObject* control;
  bool restored = true;
  QString* value = nullptr;
};

// The keys in the order they are written and read. The keys after ListMode2 came later:
// older files lack them, and their controls keep what the forms give them.
std::vector<Setting> settings(App& app) {
  Form1& main = app.form1();
  Form3& options = app.form3();
  QWidget* equalizer = &app.form4();
  QWidget* tagEditor = &app.form5();
  using enum Encoding;
  return {
      {"FastFolder", Text, options.Text1},
      {"AutoMusic", Text, options.Text2},
      {"MainTop", Top, &main},
      {"MainLeft", Left, &main},
      {"OPMUSIC", Check, options.Check3},
      {"AutoMusicMode", Check, options.Check4},
      {"MusicTitle", Text, main.Label13, false},  // used only by the cache reload
      {"MusicPath", Text, main.Text1},
      {"NTitle", Menu, main.mVisible},
      {"EcoView", Text, main.Label17},
      {"TagView", Text, main.Label18},
      {"EcoLeft", Left, equalizer},
      {"EcoTop", Top, equalizer},
      {"TagLeft", Left, tagEditor},
      {"TagTop", Top, tagEditor},
      {"FastPlay", Check, options.Check6},
      {"AppSave", Check, options.Check7},
      {"TaskMode", Check, options.Check9},
      {"CloseDialog", Check, options.Check10},
      {"PlayMode1", Menu, main.mRepeat},
      {"PlayMode2", Menu, main.mListTrack},
      {"PlayMode3", Menu, main.mRandam},
      {"FadeMode1", Menu, main.mFadeIn},
      {"FadeMode2", Menu, main.mFadeOut},
      {"ListMode1", Menu, main.mUptoDown},
      {"ListMode2", Menu, main.mDowntoUp},
      {"Volume", Bar, main.HScroll3},
      {"Pitch", Bar, main.HScroll2},
      {"OpenFolder", Value, nullptr, true, &main.openFolder},
  };
}

QString textOf(QObject* control) {
  if (auto* label = qobject_cast<QLabel*>(control)) return label->text();
  if (auto* box = qobject_cast<QLineEdit*>(control)) return box->text();
  return {};
}

void setTextOf(QObject* control, const QString& text) {
  if (auto* label = qobject_cast<ChangeLabel*>(control))
    label->setText(text);
  else if (auto* box = qobject_cast<QLineEdit*>(control))
    box->setText(text);
}

// A window that was never shown nor moved has no place yet: it opens centred on its owner.
// Its position keys stay empty, so the next start leaves that to the first show too.
bool placed(const QWidget* window) {
  return window->testAttribute(Qt::WA_Moved) || window->testAttribute(Qt::WA_WState_Created);
}

QString encode(const Setting& setting) {
  switch (setting.encoding) {
    case Encoding::Text:
      return textOf(setting.control);
    case Encoding::Left:
      if (!placed(static_cast<QWidget*>(setting.control))) return {};
      return QString::number(leftTwips(static_cast<QWidget*>(setting.control)));
    case Encoding::Top:
      if (!placed(static_cast<QWidget*>(setting.control))) return {};
      return QString::number(topTwips(static_cast<QWidget*>(setting.control)));
    case Encoding::Check:
      return QString::number(checkValue(static_cast<QCheckBox*>(setting.control)));
    case Encoding::Menu:
      return static_cast<QAction*>(setting.control)->isChecked() ? "True" : "False";
    case Encoding::Bar:
      return QString::number(static_cast<QScrollBar*>(setting.control)->value());
    case Encoding::Value:
      return *setting.value;
  }
  return {};
}

// A decimal number, possibly with a fraction, a sign or an exponent; blanks around it are
// allowed. Anything else, infinities included, is no number.
std::optional<double> number(const QString& text) {
  bool ok = false;
  const double value = text.trimmed().toDouble(&ok);
  if (!ok || !std::isfinite(value)) return std::nullopt;
  return value;
}

// A position in twips as whole pixels; positions beyond what a 32-bit count of twips
// holds are refused.
std::optional<int> positionPixels(const QString& text) {
  const std::optional<double> twips = number(text);
  if (!twips || std::abs(*twips) > std::numeric_limits<int32_t>::max()) return std::nullopt;
  return static_cast<int>(std::lround(*twips / kTwipsPerPixel));
}

// A check box value: the number rounded to an integer (halves to even), which must be a
// valid state.
std::optional<int> checkState(const QString& text) {
  const std::optional<double> value = number(text);
  if (!value) return std::nullopt;
  const double state = std::nearbyint(*value);
  if (state != 0 && state != 1 && state != 2) return std::nullopt;
  return static_cast<int>(state);
}

// "True" or "False" in any letter case, or a number (0 is false).
std::optional<bool> truthValue(const QString& text) {
  const QString word = text.trimmed();
  if (word.compare("true", Qt::CaseInsensitive) == 0) return true;
  if (word.compare("false", Qt::CaseInsensitive) == 0) return false;
  if (const std::optional<double> value = number(word)) return *value != 0;
  return std::nullopt;
}

void restore(const Setting& setting, const QString& value) {
  auto* window = qobject_cast<QWidget*>(setting.control);  // null for a menu item
  switch (setting.encoding) {
    case Encoding::Text:
      setTextOf(setting.control, value);
      break;
    case Encoding::Left:
      if (const auto x = positionPixels(value)) window->move(*x, window->y());
      break;
    case Encoding::Top:
      if (const auto y = positionPixels(value)) window->move(window->x(), *y);
      break;
    case Encoding::Check:
      if (const auto state = checkState(value))
        setCheckValue(static_cast<QCheckBox*>(setting.control), *state);
      break;
    case Encoding::Menu:
      if (const auto checked = truthValue(value))
        static_cast<QAction*>(setting.control)->setChecked(*checked);
      break;
    case Encoding::Bar:
      if (const std::optional<double> v = number(value)) {
        auto* bar = static_cast<QScrollBar*>(setting.control);
        bar->setValue(static_cast<int>(std::lround(std::clamp<double>(*v, bar->minimum(), bar->maximum()))));
      }
      break;
    case Encoding::Value:
      *setting.value = value;
      break;
  }
}

}  // namespace

bool SaveSettings(App& app) {
  ProfileFile file(app.file(kSettingsFile));
  for (const Setting& setting : settings(app)) file.set(kSettingsSection, setting.key, encode(setting));
  if (file.save() == WriteStatus::Ok) return true;
  reportNotWritable(app, &app.form1(), kSettingsFile);
  return false;
}

std::optional<CachedTrack> RestoreSettings(App& app) {
  const ProfileFile file(app.file(kSettingsFile));
  // Files written before a never-placed window's keys were left empty hold (0, 0) for it.
  QStringList unplaced;
  for (const auto& [left, top] : {std::pair{"EcoLeft", "EcoTop"}, std::pair{"TagLeft", "TagTop"}}) {
    if (positionPixels(file.get(kSettingsSection, left)) == 0 &&
        positionPixels(file.get(kSettingsSection, top)) == 0)
      unplaced << left << top;
  }
  for (const Setting& setting : settings(app)) {
    if (setting.restored && !unplaced.contains(setting.key))
      restore(setting, file.get(kSettingsSection, setting.key));
  }
  if (checkValue(app.form3().Check3) != 1) return std::nullopt;
  return CachedTrack{file.get(kSettingsSection, "MusicTitle"), file.get(kSettingsSection, "MusicPath")};
}

void BringBackMainWindow(App& app) {
  Form1& main = app.form1();
  if (leftTwips(&main) < -900) main.move(0, 0);
}

void Form1_mWtireForm_Click(App& app) { SaveSettings(app); }
