#pragma once

class PanelScreen;

// Whether the bookmarks are kept in step with the service (settings entry 1 not 0), and a way
// to stop it (mode 25).
class SyncPanel {
 public:
  // A new panel; the caller owns it.
  static PanelScreen* create(int serverValue, int bookmarks);
};
