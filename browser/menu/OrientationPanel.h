#pragma once

class PanelScreen;

// The screen orientation the user chose, 0-3 (mode 26).
class OrientationPanel {
 public:
  // A new panel; the caller owns it.
  static PanelScreen* create(int orientation);
};
