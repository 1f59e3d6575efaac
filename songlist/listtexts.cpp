#include "songlist/listtexts.h"

#include <QListWidget>

const ListTexts& ListTexts::of(QListWidget* list) {
  if (auto* existing = list->findChild<ListTexts*>(QString(), Qt::FindDirectChildrenOnly)) return *existing;
  return *new ListTexts(list);
}

ListTexts::ListTexts(QListWidget* list) : QObject(list), model_(list->model()) {
  connect(model_, &QAbstractItemModel::rowsInserted, this,
          [this](const QModelIndex&, int first, int last) { insertRows(first, last); });
  connect(model_, &QAbstractItemModel::rowsRemoved, this,
          [this](const QModelIndex&, int first, int last) { removeRows(first, last); });
  connect(model_, &QAbstractItemModel::dataChanged, this,
          [this](const QModelIndex& from, const QModelIndex& to) { updateRows(from.row(), to.row()); });
  connect(model_, &QAbstractItemModel::modelReset, this, &ListTexts::rebuild);
  connect(model_, &QAbstractItemModel::rowsMoved, this, &ListTexts::rebuild);
  connect(model_, &QAbstractItemModel::layoutChanged, this, &ListTexts::rebuild);
  rebuild();
}

QStringView ListTexts::text(int row) const {
  return QStringView(texts_).mid(start(row), ends_[row] - start(row));
}

QStringList ListTexts::all() const {
  QStringList result;
  result.reserve(count());
  for (int row = 0; row < count(); ++row) result.append(text(row).toString());
  return result;
}

void ListTexts::insertRows(int first, int last) {
  QString inserted;
  std::vector<qsizetype> lengths;
  lengths.reserve(last - first + 1);
  for (int row = first; row <= last; ++row) {
    const QString text = model_->index(row, 0).data(Qt::DisplayRole).toString();
    inserted += text;
    lengths.push_back(text.size());
  }
  const qsizetype at = start(first);
  texts_.insert(at, inserted);
  for (auto end = ends_.begin() + first; end != ends_.end(); ++end) *end += inserted.size();
  std::vector<qsizetype> ends(lengths.size());
  qsizetype end = at;
  for (size_t k = 0; k < lengths.size(); ++k) ends[k] = end += lengths[k];
  ends_.insert(ends_.begin() + first, ends.begin(), ends.end());
}

void ListTexts::removeRows(int first, int last) {
  const qsizetype from = start(first);
  const qsizetype removed = ends_[last] - from;
  texts_.remove(from, removed);
  ends_.erase(ends_.begin() + first, ends_.begin() + last + 1);
  for (auto end = ends_.begin() + first; end != ends_.end(); ++end) *end -= removed;
}

void ListTexts::updateRows(int first, int last) {
  if (first < 0 || last >= count()) return rebuild();
  removeRows(first, last);
  insertRows(first, last);
}

void ListTexts::rebuild() {
  texts_.clear();
  ends_.clear();
  // Read through the model: it also resets while the list widget is being destroyed.
  if (model_->rowCount() > 0) insertRows(0, model_->rowCount() - 1);
}
