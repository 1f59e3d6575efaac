#include "ui/listbox.h"

#include <QAbstractListModel>

class ListBoxModel : public QAbstractListModel {
 public:
  using QAbstractListModel::QAbstractListModel;

  int rowCount(const QModelIndex& parent = {}) const override {
    return parent.isValid() ? 0 : static_cast<int>(texts_.size());
  }

  QVariant data(const QModelIndex& index, int role) const override {
    if (role != Qt::DisplayRole || !contains(index.row())) return {};
    return texts_[index.row()];
  }

  bool contains(int row) const { return row >= 0 && row < texts_.size(); }
  const QStringList& texts() const { return texts_; }

  void setTexts(QStringList texts) {
    beginResetModel();
    texts_ = std::move(texts);
    endResetModel();
  }

  void append(const QStringList& texts) {
    if (texts.isEmpty()) return;
    if (texts_.isEmpty()) return setTexts(texts);
    beginInsertRows({}, rowCount(), rowCount() + static_cast<int>(texts.size()) - 1);
    texts_.append(texts);
    endInsertRows();
  }

  void remove(int row) {
    beginRemoveRows({}, row, row);
    texts_.removeAt(row);
    endRemoveRows();
  }

  void move(int from, int to) {
    // Qt counts the destination before the move: one further when moving down.
    beginMoveRows({}, from, from, {}, to > from ? to + 1 : to);
    texts_.move(from, to);
    endMoveRows();
  }

 private:
  QStringList texts_;
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

QString ListBox::text(int row) const { return model_->contains(row) ? model_->texts()[row] : QString(); }

const QStringList& ListBox::texts() const { return model_->texts(); }

void ListBox::setTexts(QStringList texts) { model_->setTexts(std::move(texts)); }

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
