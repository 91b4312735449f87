#pragma once

#include "vwt/lang/String.h"

class PanelScreen;

// The text and URL of the link under the pointer; a link within the service shows a note instead
// of its URL (mode 9).
class LinkInfoPanel {
 public:
  // A new panel; the caller owns it.
  static PanelScreen* create(const String& text, const String& url, bool internal);
};
