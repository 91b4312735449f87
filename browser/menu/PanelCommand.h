#pragma once

#include "browser/menu/CommandId.h"

// The commands the settings panels return for a change: COMMAND_PANEL_BASE + n. PanelSettings applies
// the stored ones; the argument is the new value, the text the new text where there is one.
enum PanelCommand : int {
  PANEL_PAGE_FONT = COMMAND_PANEL_BASE + 1,          // settings entry 18, the page font index
  PANEL_INTERFACE_FONT = COMMAND_PANEL_BASE + 2,     // entry 19
  PANEL_BASE_FONT = COMMAND_PANEL_BASE + 3,          // entry 20
  PANEL_PALETTE = COMMAND_PANEL_BASE + 4,            // entry 17, 0 or 1
  PANEL_LANGUAGE = COMMAND_PANEL_BASE + 5,           // entry 12, a language id, 0 the system's
  PANEL_HOME_URL = COMMAND_PANEL_BASE + 6,           // record 30752, the text
  PANEL_KEY_FIRST_STEP = COMMAND_PANEL_BASE + 7,     // entry 6
  PANEL_KEY_THRESHOLD = COMMAND_PANEL_BASE + 8,      // entry 7
  PANEL_KEY_SECOND_STEP = COMMAND_PANEL_BASE + 9,    // entry 8
  PANEL_KEY_MAX_SPEED = COMMAND_PANEL_BASE + 10,     // entry 9, 99900 no maximum
  PANEL_USER_AGENT = COMMAND_PANEL_BASE + 11,        // entry 22, 0 none
  PANEL_SYNC_OFF = COMMAND_PANEL_BASE + 12,          // entry 1 back to 0; the pending upload flags cleared
  PANEL_ORIENTATION = COMMAND_PANEL_BASE + 13,       // entry 11, 0-3
  PANEL_NEW_WINDOW_LINKS = COMMAND_PANEL_BASE + 14,  // entry 13 bit 4, argument 0 or 1
  // For the canvas, not stored here: a bookmark file chosen by the user is read or written.
  PANEL_IMPORT_BOOKMARK_FILE = COMMAND_PANEL_BASE + 20,
  PANEL_EXPORT_BOOKMARK_FILE = COMMAND_PANEL_BASE + 21,
  // Shortcut key k (0-11: keys 1-9, *, 0, #) runs the command in the argument; record 30744.
  PANEL_SHORTCUT_KEY = COMMAND_PANEL_BASE + 100,
  PANEL_SHORTCUT_KEY_LAST = COMMAND_PANEL_BASE + 111,
};
