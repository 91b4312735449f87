#pragma once

class PanelScreen;

// What the record store holds, and a button that frees the stored page data (mode 13).
class StoragePanel {
 public:
  // A new panel; the caller owns it.
  static PanelScreen* create(int usedBytes, int totalBytes, int bookmarks, int cookies, int visitedPages);
};
