// A list box that is never shown, kept for its rows: the equalizer holds its presets' band
// values in ten of these, in step with its preset list. It has a list box's rows and
// selection but no view, so a window holding ten of them is built as fast as one without.
#pragma once

#include <QStringList>
#include <QWidget>

class HiddenList : public QWidget {
  Q_OBJECT
  // The rows, as a window's design gives them.
  Q_PROPERTY(QStringList texts READ texts WRITE setTexts)

 public:
  explicit HiddenList(QWidget* parent = nullptr);

  int count() const { return static_cast<int>(texts_.size()); }
  // The text of a row; empty for a row that does not exist.
  QString text(int row) const { return texts_.value(row); }
  const QStringList& texts() const { return texts_; }

  void setTexts(const QStringList& texts);  // replaces every row; nothing stays selected
  void addItem(const QString& text) { texts_.append(text); }
  void removeRow(int row);

  // The selected row, -1 for none; a row that does not exist selects none.
  int selectedRow() const { return selected_; }
  void setSelectedRow(int row) { selected_ = row >= 0 && row < count() ? row : -1; }

 private:
  QStringList texts_;
  int selected_ = -1;
};
