#include "browser/menu/RowCursor.h"

#include <algorithm>

void RowCursor::addRow(bool selectable) {
  selectable_.push_back(selectable);
  if (selected_ < 0 && selectable) selected_ = count() - 1;
}

void RowCursor::select(int row) {
  const int n = count();
  if (row < 0 || row >= n) row = 0;
  for (int k = 0; k < n; ++k) {
    const int r = (row + k) % n;
    if (selectable(r)) {
      selected_ = r;
      scrollTo(r);
      return;
    }
  }
  selected_ = -1;
}

void RowCursor::move(int step) {
  const int n = count();
  int r = selected_ >= 0 ? selected_ : (step > 0 ? n - 1 : 0);
  for (int k = 0; k < n; ++k) {
    r = (r + step + n) % n;
    if (selectable(r)) {
      selected_ = r;
      scrollTo(r);
      return;
    }
  }
}

void RowCursor::setVisible(int rows) {
  visible_ = std::max(0, rows);
  if (selected_ >= 0) scrollTo(selected_);
  first_ = std::max(0, std::min(first_, count() - visible_));
}

bool RowCursor::page(int direction) {
  const int before = first_;
  first_ = std::max(0, std::min(first_ + (direction < 0 ? -visible_ : visible_), count() - visible_));
  return first_ != before;
}

void RowCursor::scrollTo(int row) {
  if (visible_ <= 0) return;
  if (row < first_) first_ = row;
  if (row >= first_ + visible_) first_ = row - visible_ + 1;
  if (showLabelAbove_ && first_ > 0 && first_ == row && !selectable(row - 1) && visible_ > 1) --first_;
  first_ = std::max(0, std::min(first_, count() - visible_));
}
