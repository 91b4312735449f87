#pragma once

class PanelScreen;

// Bookmarks in and out: a bookmark file, the desktop favorites and the backup picture (mode 31).
class BookmarkFilePanel {
 public:
  // A new panel; the caller owns it.
  static PanelScreen* create(int bookmarks);
};
