#pragma once

#include <vector>

#include "browser/menu/MenuContext.h"
#include "vwt/lang/String.h"

class MenuOrder;
class MenuScreen;
class SideMenuScreen;

// Builds the canvas's menus from what the canvas tells about its state. Every menu is a new screen the
// caller owns (it pushes it on its ScreenStack).
class CommandMenus {
 public:
  static MenuScreen* mainMenu(const MenuContext& c);      // mode 1
  static MenuScreen* linkMenu(const MenuContext& c);      // mode 34
  static MenuScreen* fileMenu();                          // mode 35: choose, clear a file to upload
  static MenuScreen* letterMenu(const MenuOrder& order);  // mode 2: rows COMMAND_LETTER_BASE + letter
  // Mode 3: every setting toggle with its state after a tab, the settings panels and the commands the
  // main and link menus do not offer, in groups under heading rows.
  static MenuScreen* settingsMenu(const MenuContext& c);
  // Mode 7: one row per window (the labels the canvas made: title, URL or "about:blank"), the current one
  // selected; each row runs COMMAND_SELECT_WINDOW with the window's index.
  static SideMenuScreen* windowList(const std::vector<String>& labels, int current);
  // The label, and a tab and the key's character when a shortcut key runs the command.
  static String withShortcut(const String& label, int command, const int shortcuts[12]);
  // The character of shortcut key i (0-11: "1"-"9", "*", "0", "#").
  static char16_t shortcutCharacter(int key);
};
