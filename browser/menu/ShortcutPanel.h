#pragma once

class PanelScreen;

// The shortcut keys (record 30744): a row per key with the command it runs; choosing a row lists the
// commands a key can run (mode 27).
class ShortcutPanel {
 public:
  // shortcuts: the commands of keys 1-9, *, 0, #. A new panel; the caller owns it.
  static PanelScreen* create(const int shortcuts[12]);
};
