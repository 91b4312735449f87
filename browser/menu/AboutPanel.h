#pragma once

class PanelScreen;

// The program, its version and its makers, with a close button (mode 110).
class AboutPanel {
 public:
  // A new panel; the caller owns it.
  static PanelScreen* create();
};
