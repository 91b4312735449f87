#pragma once

#include "vwt/lang/String.h"

class PanelScreen;

// A question with yes and no (mode 4): yes runs the command with argument 1 (confirmed),
// no closes.
class ConfirmPanel {
 public:
  // A new panel; the caller owns it.
  static PanelScreen* create(const String& title, const String& text, int command);
};
