#pragma once

// What the canvas's menus show, filled in by the canvas when it opens one.
struct MenuContext {
  int historyPosition = 0;
  bool reflow = false;
  bool linkUnderPointer = false;
  bool imageUnderPointer = false;
  bool requestRunning = false;
  bool useMenu = true;
  int shortcuts[12] = {};  // commands of keys 1-9, *, 0, # (record 30744)
  int lastMainRow = 0;     // settings entry 14: the main menu's row used last
  int flags = 0;           // the canvas flags: the settings menu shows each toggle's state
  bool gpsCapable = false;
};
