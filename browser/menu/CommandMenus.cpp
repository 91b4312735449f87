#include "browser/menu/CommandMenus.h"

#include "browser/menu/CommandId.h"
#include "browser/menu/MenuOrder.h"
#include "browser/menu/MenuScreen.h"
#include "browser/menu/SettingToggles.h"
#include "browser/menu/SideMenuScreen.h"
#include "vwt/lang/Resource.h"

namespace {

// Modes the canvas is in while the menus are open.
const int MODE_MAIN = 1, MODE_LETTERS = 2, MODE_SETTINGS = 3, MODE_WINDOWS = 7, MODE_LINK = 34,
          MODE_FILE = 35;

const int ICON_BACK = 9, ICON_FORWARD = 10, ICON_REFLOW = 11, ICON_LAYOUT = 38, ICON_WINDOWS = 12,
          ICON_NEW_WINDOW = 13, ICON_ADD_BOOKMARK = 14, ICON_BOOKMARKS = 7, ICON_ADDRESS = 16,
          ICON_EDIT_URL = 15, ICON_RELOAD = 17, ICON_VISITED = 47, ICON_SEARCH = 19, ICON_START_PAGE = 20;

// Menu item flag bit 0, set on the main menu.
const int MAIN_MENU_FLAG = 1;

const String& text(int id) { return Resource::getString(id); }

// The settings menu: heading rows (command 0) and the commands under them with their labels.
struct SettingsEntry {
  int command;
  int label;
};

const int HEADING = 0;
const int TOGGLES_HERE = -1;  // the toggles go here
const int GPS_ONLY = -2;      // the next entry only on a GPS-capable handset
const int LINK_ENTRIES = -3;  // the link menu's entries go here

const SettingsEntry SETTINGS[] = {
    {HEADING, 10302},  // The page
    {COMMAND_HOME, 10309},
    {COMMAND_STOP, 10310},
    {COMMAND_LOAD_IMAGES, 10311},
    {COMMAND_PAGE_INFO, 10312},
    {COMMAND_TOP, 10313},
    {COMMAND_BOTTOM, 10314},
    {COMMAND_PAGE_UP, 10315},
    {COMMAND_PAGE_DOWN, 10316},
    {COMMAND_TEXT_BIGGER, 10317},
    {COMMAND_TEXT_SMALLER, 10318},
    {COMMAND_COPY_TEXT, 10319},
    {COMMAND_CONVERT_JE, 10320},
    {COMMAND_CONVERT_EJ, 10321},
    {COMMAND_CLOSE_WINDOW, 10322},
    {HEADING, 10303},  // Find and search
    {COMMAND_FIND_ENTRY, 10323},
    {COMMAND_FIND_NEXT, 10324},
    {COMMAND_FIND_PREVIOUS, 10325},
    {COMMAND_SEARCH_G, 0},
    {COMMAND_SEARCH_Y, 0},
    {HEADING, 10304},  // The link
    {LINK_ENTRIES, 0},
    {HEADING, 10305},  // Options
    {TOGGLES_HERE, 0},
    {HEADING, 10306},  // Display
    {COMMAND_TEXT_SIZE_PANEL, 10326},
    {COMMAND_COLOURS_PANEL, 10327},
    {COMMAND_FONT_PANEL, 10328},
    {COMMAND_ORIENTATION_PANEL, 10329},
    {COMMAND_LANGUAGE_PANEL, 10330},
    {HEADING, 10307},  // Browsing
    {COMMAND_HOME_PAGE_PANEL, 10331},
    {COMMAND_KEY_SPEED_PANEL, 10332},
    {COMMAND_USER_AGENT_PANEL, 10333},
    {COMMAND_SHORTCUT_PANEL, 10334},
    {COMMAND_SYNC_PANEL, 10335},
    {COMMAND_DEFAULT_BROWSER, 10336},
    {GPS_ONLY, 0},
    {COMMAND_GPS, 10337},
    {HEADING, 10308},  // Stored data
    {COMMAND_STORAGE_PANEL, 10338},
    {COMMAND_FREE_STORAGE, 10339},
    {COMMAND_STORE_COUNT, 10340},
    {COMMAND_STORE_FLAGS, 10118},
    {COMMAND_COOKIES_PANEL, 10341},
    {COMMAND_CLEAR_COOKIES, 10342},
    {COMMAND_BACKUP, 10343},
    {COMMAND_RESTORE, 10344},
    {COMMAND_IMPORT_EXPORT_PANEL, 10345},
    {COMMAND_IMPORT_FAVORITES, 10346},
    {HEADING, 10347},  // The program
    {COMMAND_ABOUT, 10348},
    {COMMAND_VERSION, 10349},
    {COMMAND_QUIT, 10301},
};

const int KEY_CHARACTERS[12] = {u'1', u'2', u'3', u'4', u'5', u'6', u'7', u'8', u'9', u'*', u'0', u'#'};

// The link menu's rows; the settings menu repeats them, since the link menu needs the use-menu mode.
void addLinkRows(MenuScreen* m, const MenuContext& c, int indent) {
  const int* keys = c.shortcuts;
  m->addRow(CommandMenus::withShortcut(text(10117), COMMAND_FOLLOW_LINK, keys), COMMAND_FOLLOW_LINK, -1,
            c.linkUnderPointer && !c.requestRunning, indent);
  m->addRow(CommandMenus::withShortcut(text(10081), COMMAND_NEW_WINDOW, keys), COMMAND_NEW_WINDOW, -1,
            !c.requestRunning, indent);
  m->addRow(CommandMenus::withShortcut(text(10106), COMMAND_OPEN_OUTSIDE, keys), COMMAND_OPEN_OUTSIDE, -1,
            true, indent);
  m->addRow(CommandMenus::withShortcut(text(10098), COMMAND_LINK_INFO, keys), COMMAND_LINK_INFO, -1,
            c.linkUnderPointer, indent);
  m->addRow(CommandMenus::withShortcut(text(10108), COMMAND_OPEN_IMAGE, keys), COMMAND_OPEN_IMAGE, -1,
            c.imageUnderPointer, indent);
  m->addRow(CommandMenus::withShortcut(text(10109), COMMAND_SAVE_IMAGE, keys), COMMAND_SAVE_IMAGE, -1,
            c.imageUnderPointer, indent);
  m->addRow(CommandMenus::withShortcut(text(10110), COMMAND_DOWNLOAD_LINK, keys), COMMAND_DOWNLOAD_LINK, -1,
            c.linkUnderPointer, indent);
}

}  // namespace

char16_t CommandMenus::shortcutCharacter(int key) {
  return key >= 0 && key < 12 ? static_cast<char16_t>(KEY_CHARACTERS[key]) : u'\0';
}

String CommandMenus::withShortcut(const String& label, int command, const int shortcuts[12]) {
  if (!shortcuts || command <= 0) return label;
  for (int k = 0; k < 12; ++k)
    if (shortcuts[k] == command) return label + u'\t' + shortcutCharacter(k);
  return label;
}

MenuScreen* CommandMenus::mainMenu(const MenuContext& c) {
  MenuScreen* m = new MenuScreen(MODE_MAIN, text(10076));
  m->setItemFlags(MAIN_MENU_FLAG);
  const int* keys = c.shortcuts;
  auto row = [&](int label, int command, int icon, bool enabled) {
    m->addRow(withShortcut(text(label), command, keys), command, icon, enabled);
  };
  row(10005, COMMAND_BACK, ICON_BACK, c.historyPosition > 0);
  row(10077, COMMAND_FORWARD, ICON_FORWARD, true);
  row(c.reflow ? 10079 : 10078, COMMAND_REFLOW, c.reflow ? ICON_LAYOUT : ICON_REFLOW, true);
  row(10080, COMMAND_WINDOWS, ICON_WINDOWS, true);
  row(10081, COMMAND_NEW_WINDOW, ICON_NEW_WINDOW, true);
  row(10082, COMMAND_ADD_BOOKMARK, ICON_ADD_BOOKMARK, true);
  row(10083, COMMAND_BOOKMARKS, ICON_BOOKMARKS, true);
  row(10084, COMMAND_ADDRESS, ICON_ADDRESS, true);
  row(10085, COMMAND_EDIT_URL, ICON_EDIT_URL, true);
  row(10086, COMMAND_RELOAD, ICON_RELOAD, true);
  row(10087, COMMAND_VISITED, ICON_VISITED, true);
  row(10088, COMMAND_SEARCH, ICON_SEARCH, true);
  row(10089, COMMAND_START_PAGE, ICON_START_PAGE, true);
  m->select(c.lastMainRow);
  return m;
}

MenuScreen* CommandMenus::linkMenu(const MenuContext& c) {
  MenuScreen* m = new MenuScreen(MODE_LINK, text(10116));
  addLinkRows(m, c, 0);
  m->addRow(withShortcut(text(10118), COMMAND_STORE_FLAGS, c.shortcuts), COMMAND_STORE_FLAGS);
  m->select(0);
  return m;
}

MenuScreen* CommandMenus::fileMenu() {
  MenuScreen* m = new MenuScreen(MODE_FILE, text(10067));
  m->addRow(text(10068), COMMAND_FILE_CHOOSE);
  m->addRow(text(10069), COMMAND_FILE_SHOW);
  m->addRow(text(10070), COMMAND_FILE_CLEAR);
  return m;
}

MenuScreen* CommandMenus::letterMenu(const MenuOrder& order) {
  MenuScreen* m = new MenuScreen(MODE_LETTERS, text(10088));
  const String& letters = order.letters();
  for (int i = 0; i < letters.length(); ++i) {
    const char16_t letter = letters.charAt(i);
    const String name = MenuOrder::nameOf(letter);
    if (name.length() > 0) m->addRow(name, COMMAND_LETTER_BASE + letter, ICON_SEARCH);
  }
  return m;
}

MenuScreen* CommandMenus::settingsMenu(const MenuContext& c) {
  MenuScreen* m = new MenuScreen(MODE_SETTINGS, text(10300));
  const int* keys = c.shortcuts;
  bool gpsOnly = false;
  for (const SettingsEntry& e : SETTINGS) {
    if (e.command == GPS_ONLY) {
      gpsOnly = true;
      continue;
    }
    const bool skip = gpsOnly && !c.gpsCapable;
    gpsOnly = false;
    if (skip) continue;
    if (e.command == HEADING) {
      m->addRow(text(e.label), 0, -1, false);
    } else if (e.command == TOGGLES_HERE) {
      for (int i = 0; i < SettingToggles::count(); ++i) {
        const SettingToggles::Toggle& t = SettingToggles::at(i);
        m->addRow(SettingToggles::rowText(t, c.flags), t.command, -1, true, 1);
      }
    } else if (e.command == LINK_ENTRIES) {
      addLinkRows(m, c, 1);
    } else {
      const String label =
          e.label ? text(e.label) : MenuOrder::nameOf(e.command == COMMAND_SEARCH_G ? u'G' : u'Y');
      m->addRow(withShortcut(label, e.command, keys), e.command, -1, true, 1);
    }
  }
  m->select(0);
  return m;
}

SideMenuScreen* CommandMenus::windowList(const std::vector<String>& labels, int current) {
  SideMenuScreen* m = new SideMenuScreen(MODE_WINDOWS);
  m->addRow(text(10080), 0, 0, true);
  for (size_t i = 0; i < labels.size(); ++i) m->addRow(labels[i], COMMAND_SELECT_WINDOW, static_cast<int>(i));
  m->select(current >= 0 && current < static_cast<int>(labels.size()) ? current + 1 : 1);
  return m;
}
