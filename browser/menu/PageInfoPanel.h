#pragma once

#include "vwt/lang/String.h"

class PanelScreen;

// The title and URL of the page on screen (mode 9).
class PageInfoPanel {
 public:
  // A new panel; the caller owns it.
  static PanelScreen* create(const String& title, const String& url);
};
