#pragma once

#include <memory>
#include <vector>

#include "browser/menu/RowCursor.h"
#include "browser/menu/Screen.h"
#include "vwt/lang/String.h"

// A menu of rows (label, command, icon, enabled, indent, argument) drawn as a MENU item. Up and down
// (on key-down, so a held key repeats) move the selection over the enabled rows, wrapping, and scroll so
// that it stays in view; select runs the selected row; a digit, "*" or "#" runs the row with that mark;
// the soft keys, escape and clear close. A tap runs the row under it; a tap on the close mark or outside
// the menu closes it.
class MenuScreen : public Screen {
 public:
  MenuScreen(int mode, const String& title);
  ~MenuScreen() override;

  // A label may carry a second column after a tab (a shortcut key, a setting's state), drawn
  // right-aligned. Indent counts icon widths.
  void addRow(const String& label, int command, int icon = -1, bool enabled = true, int indent = 0,
              int argument = 0);
  // Selects the row, or the next enabled one after it when it is disabled; outside the rows the first
  // enabled row. Scrolls it into view.
  void select(int row);
  int selected() const { return cursor_.selected(); }
  int rowCount() const { return static_cast<int>(rows_.size()); }
  int commandAt(int row) const;  // -1 outside
  bool enabledAt(int row) const;
  int argumentAt(int row) const;  // 0 outside
  String labelAt(int row) const;  // empty outside
  const String& title() const { return title_; }
  // Extra flag bits of the drawn item (the interface-font bit is always set).
  void setItemFlags(int flags) { itemFlags_ = flags; }
  // The first row shown, and how many fit (0 before layout()).
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
    int icon;
    bool enabled;
    int indent;
    int argument;
  };

  ScreenResult runRow(int row) const;
  int rowFor(int key) const;

  int mode_;
  String title_;
  std::vector<Row> rows_;
  RowCursor cursor_;  // over the enabled rows
  // Placement in view coordinates, from layout().
  int x_ = 0, y_ = 0, width_ = 0, height_ = 0;
  int lineHeight_ = 0;
  int itemFlags_ = 0;
  std::unique_ptr<RenderItem> item_;  // its lists rebuilt when the rows change
  bool rowsChanged_ = true;
};
