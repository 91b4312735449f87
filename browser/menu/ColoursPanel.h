#pragma once

class PanelScreen;

// The colour scheme of menus, panels and the status bar: light or dark (mode 12).
class ColoursPanel {
 public:
  // A new panel; the caller owns it.
  static PanelScreen* create(int paletteSet);
};
