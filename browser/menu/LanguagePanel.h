#pragma once

class PanelScreen;

// The language of the interface: the system's, English or Japanese (mode 21).
class LanguagePanel {
 public:
  // A new panel; the caller owns it.
  static PanelScreen* create(int languageId);
};
