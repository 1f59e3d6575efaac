// The list box of the Song List: one text per row, at most one row selected. The texts are
// kept in one list behind a plain model, with no item object per row, so that filling,
// searching and saving 32,767 rows stay cheap. Rows can also come from a RowTexts, which
// makes only the rows shown until the whole list is needed (to change, search or save it).
#pragma once

#include <QListView>
#include <QStringList>
#include <memory>

#include "ui/rowtexts.h"

class ListBoxModel;

class ListBox : public QListView {
  Q_OBJECT

 public:
  explicit ListBox(QWidget* parent = nullptr);

  int count() const;
  // The text of a row; empty for a row that does not exist.
  QString text(int row) const;
  const QStringList& texts() const;

  void setTexts(QStringList texts);                    // replaces every row; nothing stays selected
  void setRows(std::shared_ptr<const RowTexts> rows);  // the same, with rows made on demand
  void addItems(const QStringList& texts);
  void addItem(const QString& text) { addItems({text}); }
  void removeRow(int row);
  void moveRow(int from, int to);  // takes row `from` out and puts it back at `to`
  void clear() { setTexts({}); }

  // The selected row, -1 for none; setting -1 clears the selection.
  int selectedRow() const;
  void setSelectedRow(int row);

 signals:
  void itemSelectionChanged();
  void rowDoubleClicked(int row);

 private:
  ListBoxModel* model_;
};
