#pragma once

#include "vwt/lang/String.h"

class PanelScreen;

// A message with an OK button (mode 9).
class MessagePanel {
 public:
  // A new panel; the caller owns it.
  static PanelScreen* create(const String& title, const String& text);
};
