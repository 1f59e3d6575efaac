// A contiguous copy of the texts of a list widget, kept in step through the signals of the
// widget's model (inserts, removals, edits, resets). Reading 32,767 rows from it touches
// one block of memory instead of one item object per row, which keeps searching and
// saving the Song List fast however scattered the items lie in memory.
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <vector>

class QAbstractItemModel;
class QListWidget;

class ListTexts : public QObject {
  Q_OBJECT

 public:
  // The copy of `list`, created (as a child of the list) at the first call.
  static const ListTexts& of(QListWidget* list);

  int count() const { return static_cast<int>(ends_.size()); }
  QStringView text(int row) const;
  QStringList all() const;

 private:
  explicit ListTexts(QListWidget* list);
  qsizetype start(int row) const { return row == 0 ? 0 : ends_[row - 1]; }
  void insertRows(int first, int last);
  void removeRows(int first, int last);
  void updateRows(int first, int last);
  void rebuild();

  const QAbstractItemModel* model_;
  QString texts_;                // every row's text, one after another
  std::vector<qsizetype> ends_;  // where each row's text ends in texts_
};
