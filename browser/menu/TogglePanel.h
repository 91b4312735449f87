#pragma once

class PanelScreen;

// Tells the new state of an on/off setting: its name and on or off (mode 9).
class TogglePanel {
 public:
  // A new panel; the caller owns it.
  static PanelScreen* create(int nameMessageId, bool on);
};
