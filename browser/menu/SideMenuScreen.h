#pragma once

#include <memory>
#include <vector>

#include "browser/menu/RowCursor.h"
#include "browser/menu/Screen.h"
#include "vwt/lang/String.h"

// A list of rows drawn as a SIDE_MENU item at the side of the view (the window list). Heading rows are
// not selectable. Up and down (key-down) move over the other rows; select runs the current row; the left
// soft key runs COMMAND_CLOSE_WINDOW with the current row's argument; the right soft key, escape and
// clear close. A tap runs the row under it; a tap outside closes.
class SideMenuScreen : public Screen {
 public:
  explicit SideMenuScreen(int mode);
  ~SideMenuScreen() override;

  void addRow(const String& label, int command, int argument = 0, bool heading = false);
  // Selects the row, or the next selectable one after it; outside the rows the first selectable row.
  void select(int row);
  int selected() const { return cursor_.selected(); }
  int rowCount() const { return static_cast<int>(rows_.size()); }
  int commandAt(int row) const;   // -1 outside
  int argumentAt(int row) const;  // 0 outside
  bool headingAt(int row) const;
  String labelAt(int row) const;  // empty outside
  int firstShown() const { return cursor_.first(); }
  int rowsShown() const { return cursor_.visible(); }

  int mode() const override { return mode_; }
  RenderItem* item() override;
  void layout(int viewWidth, int viewHeight, vwt::Font* interfaceFont) override;
  ScreenResult key(int type, int key) override;
  ScreenResult tap(int x, int y) override;

 private:
  struct Row {
    String label;
    int command;
    int argument;
    bool heading;
  };

  ScreenResult runRow(int row) const;

  int mode_;
  std::vector<Row> rows_;
  RowCursor cursor_{true};  // over the rows that are no headings; a heading shows with its first row
  int x_ = 0, y_ = 0, width_ = 0, height_ = 0;
  int lineHeight_ = 0;
  std::unique_ptr<RenderItem> item_;
  bool rowsChanged_ = true;
};
