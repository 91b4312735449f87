#pragma once

#include "vwt/lang/Object.h"
#include "vwt/lang/Vector.h"
#include "vwt/ui/MenuItem.h"

class Window;

// A popup menu of items and separators, shown modally at a screen point.
class PopupMenu : public Object {
 public:
  // The point is the menu's left or right edge (x) and its top or bottom edge (y).
  enum Align { ALIGN_LEFT = 0, ALIGN_RIGHT = 1, ALIGN_TOP = 0, ALIGN_BOTTOM = 2 };

  PopupMenu();
  ~PopupMenu() override;
  PopupMenu(const PopupMenu&) = delete;
  PopupMenu& operator=(const PopupMenu&) = delete;

  // Takes ownership.
  void add(MenuItem* item);
  void addSeparator();
  // Items and separators (a separator is null).
  int getItemCount() const { return items_.size(); }
  MenuItem* getItem(int index) const;

  // Modal; x, y are screen pixels, the menu is kept on the screen. Returns the chosen item's id,
  // 0 when dismissed; the id is also posted as a command to owner's window, so that it reaches
  // owner's onCommand once show has returned.
  int show(const Window* owner, int x, int y, int align);

 private:
  Vector<MenuItem*> items_;  // owns the items; null marks a separator
};
