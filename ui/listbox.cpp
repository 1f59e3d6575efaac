#include "ui/listbox.h"

#include <QAbstractListModel>

class ListBoxModel : public QAbstractListModel {
 public:
  using QAbstractListModel::QAbstractListModel;

  int rowCount(const QModelIndex& parent = {}) const override {
    if (parent.isValid()) return 0;
    return rows_ ? rows_->count() : static_cast<int>(texts_.size());
  }

  QVariant data(const QModelIndex& index, int role) const override {
    if (role != Qt::DisplayRole || !contains(index.row())) return {};
    return text(index.row());
  }

  bool contains(int row) const { return row >= 0 && row < rowCount(); }
  QString text(int row) const { return rows_ ? rows_->text(row) : texts_[row]; }

  const QStringList& texts() const {
    fillFromRows();
    return texts_;
  }

  void setTexts(QStringList texts) {
    beginResetModel();
    rows_.reset();
    texts_ = std::move(texts);
    endResetModel();
  }

  void setRows(std::shared_ptr<const RowTexts> rows) {
    beginResetModel();
    texts_.clear();
    rows_ = std::move(rows);
    endResetModel();
  }

  void append(const QStringList& texts) {
    if (texts.isEmpty()) return;
    fillFromRows();
    if (texts_.isEmpty()) return setTexts(texts);
    beginInsertRows({}, rowCount(), rowCount() + static_cast<int>(texts.size()) - 1);
    texts_.append(texts);
    endInsertRows();
  }

  void remove(int row) {
    fillFromRows();
    beginRemoveRows({}, row, row);
    texts_.removeAt(row);
    endRemoveRows();
  }

  void move(int from, int to) {
    // Qt counts the destination before the move: one further when moving down.
    fillFromRows();
    beginMoveRows({}, from, from, {}, to > from ? to + 1 : to);
    texts_.move(from, to);
    endMoveRows();
  }

 private:
  // Takes every row from the on-demand rows into the texts, once; the rows never change.
  void fillFromRows() const {
    if (!rows_) return;
    const int count = rows_->count();
    texts_.reserve(count);
    for (int row = 0; row < count; ++row) texts_.append(rows_->text(row));
    rows_.reset();
  }

  mutable QStringList texts_;
  mutable std::shared_ptr<const RowTexts> rows_;  // while set, the rows come from here
};

ListBox::ListBox(QWidget* parent) : QListView(parent), model_(new ListBoxModel(this)) {
  setModel(model_);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setUniformItemSizes(true);
  connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, &ListBox::itemSelectionChanged);
  connect(this, &QAbstractItemView::doubleClicked, this,
          [this](const QModelIndex& index) { emit rowDoubleClicked(index.row()); });
}

int ListBox::count() const { return model_->rowCount(); }

QString ListBox::text(int row) const { return model_->contains(row) ? model_->text(row) : QString(); }

const QStringList& ListBox::texts() const { return model_->texts(); }

void ListBox::setTexts(QStringList texts) { model_->setTexts(std::move(texts)); }

void ListBox::setRows(std::shared_ptr<const RowTexts> rows) { model_->setRows(std::move(rows)); }

void ListBox::addItems(const QStringList& texts) { model_->append(texts); }

void ListBox::removeRow(int row) {
  if (model_->contains(row)) model_->remove(row);
}

void ListBox::moveRow(int from, int to) {
  if (from != to && model_->contains(from) && model_->contains(to)) model_->move(from, to);
}

int ListBox::selectedRow() const {
  const QModelIndexList rows = selectionModel()->selectedIndexes();
  return rows.isEmpty() ? -1 : rows.first().row();
}

void ListBox::setSelectedRow(int row) {
  selectionModel()->setCurrentIndex(model_->index(row, 0), QItemSelectionModel::ClearAndSelect);
}
