#pragma once

#include <vector>

#include "vwt/lang/String.h"

class PanelScreen;

// One of the three fonts as a choice over the canvas's font list: the page font (mode 14), the
// interface font (mode 29) or the base font of the font metrics (mode 41).
class FontPanel {
 public:
  static const int PAGE = 14;
  static const int INTERFACE = 29;
  static const int BASE = 41;
  // names: the font list's entries as shown (e.g. their sizes). A new panel; the caller owns it;
  // null for a mode that is not one of the three.
  static PanelScreen* create(int mode, const std::vector<String>& names, int current);
};
