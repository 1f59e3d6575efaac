#include "ui/hiddenlist.h"

HiddenList::HiddenList(QWidget* parent) : QWidget(parent) { hide(); }

void HiddenList::setTexts(const QStringList& texts) {
  texts_ = texts;
  selected_ = -1;
}

// Rows after the removed one move up, and so does the selection with them.
void HiddenList::removeRow(int row) {
  if (row < 0 || row >= count()) return;
  texts_.removeAt(row);
  if (selected_ == row)
    selected_ = -1;
  else if (selected_ > row)
    --selected_;
}
