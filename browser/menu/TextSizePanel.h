#pragma once

class PanelScreen;

// The page text size: a slider over the page fonts, smallest to largest (mode 11).
class TextSizePanel {
 public:
  // A new panel; the caller owns it.
  static PanelScreen* create(int fontIndex, int fontCount);
};
