// Rows of text made on demand: a list box can show a long list read from a file while only
// the rows someone looks at are ever decoded.
#pragma once

#include <QString>

class RowTexts {
 public:
  virtual ~RowTexts() = default;
  virtual int count() const = 0;
  virtual QString text(int row) const = 0;  // row from 0 to count() - 1
};
