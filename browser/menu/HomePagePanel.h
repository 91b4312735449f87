#pragma once

#include "vwt/lang/String.h"

class PanelScreen;

// The home page (record 30752): shown, typed anew, set to the page on screen or to the service's
// portal (mode 22).
class HomePagePanel {
 public:
  // A new panel; the caller owns it.
  static PanelScreen* create(const String& homeUrl, const String& currentUrl, const String& portalUrl);
};
