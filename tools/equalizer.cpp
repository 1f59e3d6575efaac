#include "tools/equalizer.h"

#include <array>
#include <optional>

#include "core/app.h"
#include "core/atomicfile.h"
#include "core/vbmp3binding.h"
#include "playback/transport.h"
#include "songlist/listfile.h"
#include "songlist/songlistwindow.h"
#include "ui/form1.h"
#include "ui/form4.h"

namespace {

constexpr int kBands = 10;
constexpr int kFieldsPerPreset = 1 + kBands;  // the name, then the bands' values

// The band values of the presets: List1..List10, band 0 first.
std::array<HiddenList*, kBands> valueLists(Form4& window) {
  return {window.List1, window.List2, window.List3, window.List4, window.List5,
          window.List6, window.List7, window.List8, window.List9, window.List10};
}

void appendPreset(Form4& window, const QString& name, const QStringList& values) {
  window.Combo1->addItem(name);
  const auto lists = valueLists(window);
  for (int band = 0; band < kBands; ++band) lists[band]->addItem(values.value(band));
}

void removePreset(Form4& window, int entry) {
  window.Combo1->removeItem(entry);
  for (HiddenList* list : valueLists(window)) list->removeRow(entry);
}

// The user's presets (all but "Normal") as the file's fields.
QStringList presetFields(Form4& window) {
  const auto lists = valueLists(window);
  QStringList fields;
  for (int entry = 1; entry < window.Combo1->count(); ++entry) {
    fields << window.Combo1->itemText(entry);
    for (HiddenList* list : lists) fields << list->text(entry);
  }
  return fields;
}

void savePresets(App& app) {
  Form4& window = app.form4();
  if (writeFileAtomically(app.file(kPresetFile), formatFields(presetFields(window))) != WriteStatus::Ok)
    reportNotWritable(app, &window, kPresetFile);
}

// A stored value a slider can take; none for anything else.
std::optional<int> sliderValue(const QScrollBar& slider, const QString& stored) {
  bool isNumber = false;
  const int value = stored.toInt(&isNumber);
  if (!isNumber || value < slider.minimum() || value > slider.maximum()) return std::nullopt;
  return value;
}

}  // namespace

void Form4_Form_Load(App& app) {
  Form4& window = app.form4();
  window.Combo1->setCurrentText(kNormalPreset);
  const QString path = app.file(kPresetFile);
  ensureExists(path);
  const QStringList fields = readFields(path);
  for (qsizetype at = 0; at < fields.size(); at += kFieldsPerPreset)
    appendPreset(window, fields[at], fields.mid(at + 1, kBands));
}

void Form4_VScroll1_Change(App& app, int index) {
  app.EcoBand.at(index) = -app.form4().VScroll1.at(index)->value();
  app.vbmp3.setEqualizer(app.EcoBand);
  app.vbmp3.reload();
}

// By the entry rather than its text: a user's preset may be called "Normal" too.
void Form4_Combo1_Click(App& app) {
  Form4& window = app.form4();
  window.Command2->setEnabled(window.Combo1->currentIndex() > 0);
}

void Form4_Text1_Change(App& app) {
  Form4& window = app.form4();
  window.Command1->setEnabled(!window.Text1->text().isEmpty());
}

void Form4_Command1_Click(App& app) {
  Form4& window = app.form4();
  const QString name = window.Text1->text();
  window.Text1->clear();
  QStringList values;
  for (const QScrollBar* slider : window.VScroll1) values << QString::number(slider->value());
  appendPreset(window, name, values);
  savePresets(app);
}

void Form4_Command2_Click(App& app) {
  Form4& window = app.form4();
  const int entry = window.Combo1->currentIndex();
  if (entry <= 0) return;  // "Normal" stays
  removePreset(window, entry);
  window.Combo1->setCurrentIndex(0);
  savePresets(app);
}

void Form4_Command3_Click(App& app) {
  Form4& window = app.form4();
  const auto lists = valueLists(window);
  for (HiddenList* list : lists) list->setSelectedRow(window.Combo1->currentIndex());
  for (int band = 0; band < kBands; ++band) {
    QScrollBar* slider = window.VScroll1[band];
    if (const auto value = sliderValue(*slider, lists[band]->text(lists[band]->selectedRow())))
      slider->setValue(*value);
  }
  app.vbmp3.reload();
}

void Form4_Command4_Click(App& app) {
  app.form4().hide();
  Form4_Form_QueryUnload(app);
}

void Form4_Form_QueryUnload(App& app) { app.form1().Label17->setText("0"); }

void Form1_mGraphicEcoryzer_Click(App& app) {
  Form4& window = app.form4();
  window.showInFront();
  app.form1().Label17->setText("1");
}

void Form1_mFileEcorizarFormat_Click(App& app) {
  Form4& window = app.form4();
  applyWithSoundHeld(app, [&] {
    for (QScrollBar* slider : window.VScroll1) slider->setValue(0);
    app.vbmp3.reload();
  });
}
