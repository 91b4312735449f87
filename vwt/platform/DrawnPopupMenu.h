#pragma once

#include <string>
#include <vector>

#include "vwt/platform/WindowSystem.h"

namespace vwt {
namespace platform {

// A modal popup menu drawn in the program's own window, placed at a screen point and kept on the
// screen. Up and down move between the items that can be chosen, select chooses, escape (or back)
// and a tap outside dismiss; the stylus chooses the item it is released over. A greyed item
// refuses both.
class DrawnPopupMenu {
 public:
  struct Item {
    int id = 0;  // 0 for a separator
    std::u16string text;
    bool enabled = true;
    bool checked = false;
    bool separator = false;
  };
  // Anchors: the point is the menu's left or right edge, and its top or bottom edge.
  static constexpr int ALIGN_LEFT = 0;
  static constexpr int ALIGN_RIGHT = 1;
  static constexpr int ALIGN_TOP = 0;
  static constexpr int ALIGN_BOTTOM = 2;

  // Runs the menu over owner (0: none) with its anchor at the screen point (x, y) and returns the
  // chosen item's id, 0 when it was dismissed, the program quit or there is no window system.
  // From another thread the menu runs on the UI thread and the caller waits for it.
  static int show(WindowHandle owner, const std::vector<Item>& items, int x, int y, int align);
  // Where a menu of width x height goes for the anchor on a screen of screenW x screenH.
  static PixelRect place(int width, int height, int x, int y, int align, int screenW, int screenH);
};

}  // namespace platform
}  // namespace vwt
