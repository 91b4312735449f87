#pragma once

#include "vwt/lang/String.h"

class PanelScreen;

// Where to go from here: the home page, the service's portal, or this page as the new home page
// (mode 28).
class StartPagePanel {
 public:
  // A new panel; the caller owns it.
  static PanelScreen* create(const String& homeUrl, const String& currentUrl);
};
