#pragma once

#include "vwt/lang/String.h"

class RecordStore;

// Applies the settings panels' commands (PanelCommand.h) to the record store, so that every change
// survives a restart. The canvas calls it for command ids from COMMAND_PANEL_BASE on and then reads
// again what changed.
class PanelSettings {
 public:
  // True when the command is one of the stored settings and was applied; values out of range are
  // refused (false, nothing written). flags is the canvas flag word, changed and stored where the
  // command touches it; it may be null.
  static bool apply(int command, int argument, const String& text, RecordStore& store, int* flags);
  // Language ids the language panel offers (after 0, the system's).
  static const int ENGLISH = 0x0409;
  static const int JAPANESE = 0x0411;
  // The key-scroll maximum speed that means none.
  static const int NO_MAXIMUM_SPEED = 99900;
};
