#pragma once

#include <vector>

#include "vwt/lang/String.h"

class PanelScreen;

// The stored cookies, one line each, and a button that clears them (asked first by the command)
// (mode 15).
class CookiesPanel {
 public:
  // rows: one text per cookie, e.g. its domain and name. A new panel; the caller owns it.
  static PanelScreen* create(const std::vector<String>& rows);
};
