#pragma once

#include <cstddef>
#include <vector>

// The selection and the scrolled window over a list of rows of which some cannot be selected (disabled
// rows, headings): what the menus share. Moving wraps over the selectable rows and keeps the selected
// one in view.
class RowCursor {
 public:
  // With showLabelAbove, scrolling up to a row also shows the unselectable row just above it (the
  // heading of its group).
  explicit RowCursor(bool showLabelAbove = false) : showLabelAbove_(showLabelAbove) {}

  // The first selectable row added becomes the selected one.
  void addRow(bool selectable);
  int count() const { return static_cast<int>(selectable_.size()); }
  bool selectable(int row) const {
    return row >= 0 && row < count() && selectable_[static_cast<size_t>(row)];
  }

  int selected() const { return selected_; }
  int first() const { return first_; }
  int visible() const { return visible_; }

  // Selects row, or the next selectable one after it; outside the rows the first selectable row; -1
  // when there is none. Scrolls it into view.
  void select(int row);
  // Selects a row as it is (a tap, a number key).
  void take(int row) { selected_ = row; }
  // The next selectable row in the step's direction, wrapping.
  void move(int step);
  // How many rows fit; the selected row stays in view.
  void setVisible(int rows);
  // A screenful up (direction < 0) or down; false when the window did not move.
  bool page(int direction);

 private:
  void scrollTo(int row);

  bool showLabelAbove_;
  std::vector<bool> selectable_;
  int selected_ = -1;
  int first_ = 0;
  int visible_ = 0;
};
