#include <gtest/gtest.h>

#include <memory>
#include <set>

#include "browser/menu/CommandId.h"
#include "browser/menu/CommandMenus.h"
#include "browser/menu/MenuOrder.h"
#include "browser/menu/MenuScreen.h"
#include "browser/menu/SettingToggles.h"
#include "browser/menu/SideMenuScreen.h"
#include "browser/page/RenderItem.h"
#include "tests/browser/DrawnScene.h"
#include "vwt/lang/Integer.h"
#include "vwt/lang/Resource.h"
#include "vwt/ui/Window.h"

namespace {

// The shortcut keys a fresh store gets: 1-9, *, 0, #.
const int DEFAULT_SHORTCUTS[12] = {101, 3, 18, 102, 27, 19, 83, 26, 10, 9, 14, 22};

// Every command of the canvas.
const int ALL_COMMANDS[] = {COMMAND_BACK,
                            COMMAND_FORWARD,
                            COMMAND_REFLOW,
                            COMMAND_ADD_BOOKMARK,
                            COMMAND_BOOKMARKS,
                            COMMAND_PAGE_INFO,
                            COMMAND_ADDRESS,
                            COMMAND_EDIT_URL,
                            COMMAND_RELOAD,
                            COMMAND_LOAD_IMAGES,
                            COMMAND_SEARCH_G,
                            COMMAND_SEARCH_Y,
                            COMMAND_HOME,
                            COMMAND_QUIT,
                            COMMAND_FIND_ENTRY,
                            COMMAND_FIND_NEXT,
                            COMMAND_FIND_PREVIOUS,
                            COMMAND_TOP,
                            COMMAND_BOTTOM,
                            COMMAND_LINK_INFO,
                            COMMAND_TOGGLE_IMAGES,
                            COMMAND_STOP,
                            COMMAND_TOGGLE_BIT1,
                            COMMAND_SAVE_IMAGE,
                            COMMAND_STORE_COUNT,
                            COMMAND_WINDOWS,
                            COMMAND_NEW_WINDOW,
                            COMMAND_COPY_TEXT,
                            COMMAND_OPEN_OUTSIDE,
                            COMMAND_SHORTCUT_PANEL,
                            COMMAND_TOGGLE_BIT2,
                            COMMAND_TOGGLE_BIT3,
                            COMMAND_TOGGLE_COOKIES,
                            COMMAND_FREE_STORAGE,
                            COMMAND_TOGGLE_BIT5,
                            COMMAND_SETTINGS,
                            COMMAND_PAGE_UP,
                            COMMAND_PAGE_DOWN,
                            COMMAND_TOGGLE_REFLOW_IMAGES,
                            COMMAND_BOOKMARK_RENAME,
                            COMMAND_BOOKMARK_MOVE,
                            COMMAND_BOOKMARK_DELETE,
                            COMMAND_BOOKMARK_NEW_FOLDER,
                            COMMAND_BOOKMARK_EDIT_URL,
                            COMMAND_BOOKMARK_OPEN,
                            COMMAND_VERSION,
                            COMMAND_TEXT_SIZE_PANEL,
                            COMMAND_COLOURS_PANEL,
                            COMMAND_STORAGE_PANEL,
                            COMMAND_COOKIES_PANEL,
                            COMMAND_BACKUP,
                            COMMAND_RESTORE,
                            COMMAND_CLEAR_COOKIES,
                            COMMAND_FILE_CHOOSE,
                            COMMAND_FILE_SHOW,
                            COMMAND_FILE_CLEAR,
                            COMMAND_LANGUAGE_PANEL,
                            COMMAND_VISITED,
                            COMMAND_BOOKMARK_REMOVE_FOLDER,
                            COMMAND_BOOKMARK_CLEAR_ALL,
                            COMMAND_OPEN_IMAGE,
                            COMMAND_FONT_PANEL,
                            COMMAND_CLOSE_WINDOW,
                            COMMAND_HOME_PAGE_PANEL,
                            COMMAND_KEY_SPEED_PANEL,
                            COMMAND_TOGGLE_STATUS_LINE,
                            COMMAND_GPS,
                            COMMAND_USER_AGENT_PANEL,
                            COMMAND_START_PAGE,
                            COMMAND_SEARCH,
                            COMMAND_FOLLOW_LINK,
                            COMMAND_TOGGLE_POINTER_MODE,
                            COMMAND_SYNC_PANEL,
                            COMMAND_CONVERT_JE,
                            COMMAND_CONVERT_EJ,
                            COMMAND_TOGGLE_STYLES,
                            COMMAND_TOGGLE_REFLOW_COLOURS,
                            COMMAND_TEXT_BIGGER,
                            COMMAND_TEXT_SMALLER,
                            COMMAND_ORIENTATION_PANEL,
                            COMMAND_ABOUT,
                            COMMAND_TOGGLE_BIT15,
                            COMMAND_STORE_FLAGS,
                            COMMAND_DOWNLOAD_LINK,
                            COMMAND_IMPORT_EXPORT_PANEL,
                            COMMAND_DEFAULT_BROWSER,
                            COMMAND_IMPORT_FAVORITES,
                            COMMAND_TOGGLE_POINTER_HIDDEN,
                            COMMAND_SELECT_WINDOW};

MenuContext contextOf(int historyPosition = 1) {
  MenuContext c;
  c.historyPosition = historyPosition;
  for (int i = 0; i < 12; ++i) c.shortcuts[i] = DEFAULT_SHORTCUTS[i];
  return c;
}

int rowOf(const MenuScreen& m, int command) {
  for (int r = 0; r < m.rowCount(); ++r)
    if (m.commandAt(r) == command) return r;
  return -1;
}

String after(const String& label) {
  const int tab = label.indexOf(u'\t');
  return tab < 0 ? String() : label.substring(tab + 1);
}

class CommandMenusTest : public ::testing::Test {
 protected:
  drawn::Scene scene;  // the program's message texts
};

TEST_F(CommandMenusTest, TheMainMenuRowsInOrderWithTheirIconsAndShortcutKeys) {
  std::unique_ptr<MenuScreen> m(CommandMenus::mainMenu(contextOf()));
  EXPECT_EQ(m->mode(), 1);
  EXPECT_EQ(m->title(), Resource::getString(10076));
  const int commands[13] = {1, 2, 3, 26, 27, 4, 5, 7, 8, 9, 64, 83, 82};
  const int labels[13] = {10005, 10077, 10078, 10080, 10081, 10082, 10083,
                          10084, 10085, 10086, 10087, 10088, 10089};
  const int icons[13] = {9, 10, 11, 12, 13, 14, 7, 16, 15, 17, 47, 19, 20};
  ASSERT_EQ(m->rowCount(), 13);
  RenderItem* it = m->item();
  for (int r = 0; r < 13; ++r) {
    SCOPED_TRACE(r);
    EXPECT_EQ(m->commandAt(r), commands[r]);
    EXPECT_TRUE(m->labelAt(r).startsWith(Resource::getString(labels[r])));
    EXPECT_EQ(dynamic_cast<Integer*>(it->getList(3)->elementAt(r))->intValue(), icons[r]);
  }
  EXPECT_EQ(it->flags & 1, 1);
  // The default keys: 2 switches the view, 5 opens a window, 7 searches, 8 lists the windows, * reloads.
  EXPECT_EQ(after(m->labelAt(rowOf(*m, COMMAND_REFLOW))), u"2"_s);
  EXPECT_EQ(after(m->labelAt(rowOf(*m, COMMAND_NEW_WINDOW))), u"5"_s);
  EXPECT_EQ(after(m->labelAt(rowOf(*m, COMMAND_SEARCH))), u"7"_s);
  EXPECT_EQ(after(m->labelAt(rowOf(*m, COMMAND_WINDOWS))), u"8"_s);
  EXPECT_EQ(after(m->labelAt(rowOf(*m, COMMAND_RELOAD))), u"*"_s);
  EXPECT_EQ(after(m->labelAt(rowOf(*m, COMMAND_BACK))), String());
}

TEST_F(CommandMenusTest, BackIsDisabledAtTheFirstPageAndTheLastRowUsedIsPreselected) {
  MenuContext c = contextOf(0);
  c.lastMainRow = 0;
  std::unique_ptr<MenuScreen> first(CommandMenus::mainMenu(c));
  EXPECT_FALSE(first->enabledAt(0));
  EXPECT_EQ(first->selected(), 1);  // the back row cannot be chosen
  EXPECT_EQ(first->key(1, 1).action, ScreenResult::IGNORED);

  c = contextOf(3);
  c.lastMainRow = 9;
  c.reflow = true;
  std::unique_ptr<MenuScreen> later(CommandMenus::mainMenu(c));
  EXPECT_TRUE(later->enabledAt(0));
  EXPECT_EQ(later->selected(), 9);
  EXPECT_TRUE(later->labelAt(2).startsWith(Resource::getString(10079)));
  EXPECT_EQ(dynamic_cast<Integer*>(later->item()->getList(3)->elementAt(2))->intValue(), 38);

  c.lastMainRow = 'G';  // the store's default for the entry is no row
  std::unique_ptr<MenuScreen> fresh(CommandMenus::mainMenu(c));
  EXPECT_EQ(fresh->selected(), 0);
}

TEST_F(CommandMenusTest, ShortcutCharactersFollowTheKeys) {
  // Key 1 runs the next text size and "#" stops.
  EXPECT_EQ(CommandMenus::withShortcut(u"Larger"_s, COMMAND_TEXT_BIGGER, DEFAULT_SHORTCUTS), u"Larger\t1"_s);
  EXPECT_EQ(CommandMenus::withShortcut(u"Stop"_s, COMMAND_STOP, DEFAULT_SHORTCUTS), u"Stop\t#"_s);
  EXPECT_EQ(CommandMenus::withShortcut(u"Quit"_s, COMMAND_QUIT, DEFAULT_SHORTCUTS), u"Quit\t0"_s);
  EXPECT_EQ(CommandMenus::withShortcut(u"Info"_s, COMMAND_PAGE_INFO, DEFAULT_SHORTCUTS), u"Info"_s);
  EXPECT_EQ(CommandMenus::withShortcut(u"None"_s, 0, DEFAULT_SHORTCUTS), u"None"_s);  // empty keys
  const int none[12] = {};
  EXPECT_EQ(CommandMenus::withShortcut(u"Stop"_s, COMMAND_STOP, none), u"Stop"_s);
  EXPECT_EQ(CommandMenus::shortcutCharacter(9), u'*');
  EXPECT_EQ(CommandMenus::shortcutCharacter(12), u'\0');
}

TEST_F(CommandMenusTest, TheLinkMenuEnablesRowsByWhatIsUnderThePointer) {
  struct Case {
    bool link, image, busy;
    bool follow, newWindow, openImage, saveImage;
  } cases[] = {
      {true, false, false, true, true, false, false},
      {true, false, true, false, false, false, false},
      {false, true, false, false, true, true, true},
  };
  for (const Case& k : cases) {
    MenuContext c = contextOf();
    c.linkUnderPointer = k.link;
    c.imageUnderPointer = k.image;
    c.requestRunning = k.busy;
    std::unique_ptr<MenuScreen> m(CommandMenus::linkMenu(c));
    EXPECT_EQ(m->mode(), 34);
    const int commands[8] = {85, 27, 29, 20, 68, 24, 201, 124};
    ASSERT_EQ(m->rowCount(), 8);
    for (int r = 0; r < 8; ++r) EXPECT_EQ(m->commandAt(r), commands[r]);
    EXPECT_EQ(m->enabledAt(0), k.follow);
    EXPECT_EQ(m->enabledAt(1), k.newWindow);
    EXPECT_TRUE(m->enabledAt(2));
    EXPECT_EQ(m->enabledAt(4), k.openImage);
    EXPECT_EQ(m->enabledAt(5), k.saveImage);
    EXPECT_TRUE(m->enabledAt(7));
  }
}

TEST_F(CommandMenusTest, TheFileAndLetterMenus) {
  std::unique_ptr<MenuScreen> file(CommandMenus::fileMenu());
  EXPECT_EQ(file->mode(), 35);
  EXPECT_EQ(file->title(), Resource::getString(10067));
  ASSERT_EQ(file->rowCount(), 3);
  EXPECT_EQ(file->commandAt(0), COMMAND_FILE_CHOOSE);
  EXPECT_EQ(file->commandAt(1), COMMAND_FILE_SHOW);
  EXPECT_EQ(file->commandAt(2), COMMAND_FILE_CLEAR);

  MenuOrder order(u"KA "_s);
  std::unique_ptr<MenuScreen> letters(CommandMenus::letterMenu(order));
  EXPECT_EQ(letters->mode(), 2);
  ASSERT_EQ(letters->rowCount(), 9);  // the closing space is no entry
  for (int r = 0; r < 9; ++r) {
    SCOPED_TRACE(r);
    EXPECT_EQ(letters->commandAt(r), COMMAND_LETTER_BASE + order.letters().charAt(r));
    EXPECT_EQ(letters->labelAt(r), MenuOrder::nameOf(order.letters().charAt(r)));
  }
  EXPECT_EQ(letters->key(1, 2).command, COMMAND_LETTER_BASE + u'A');
}

TEST_F(CommandMenusTest, TheSettingsMenuShowsEachToggleWithItsState) {
  MenuContext c = contextOf();
  c.flags = 1 << 4;  // cookies not stored
  std::unique_ptr<MenuScreen> m(CommandMenus::settingsMenu(c));
  EXPECT_EQ(m->mode(), 3);
  for (int i = 0; i < SettingToggles::count(); ++i) {
    const SettingToggles::Toggle& t = SettingToggles::at(i);
    SCOPED_TRACE(t.command);
    const int row = rowOf(*m, t.command);
    ASSERT_GE(row, 0);
    EXPECT_EQ(m->labelAt(row), SettingToggles::rowText(t, c.flags));
  }
  EXPECT_EQ(after(m->labelAt(rowOf(*m, COMMAND_TOGGLE_COOKIES))), Resource::getString(10033));
  EXPECT_EQ(after(m->labelAt(rowOf(*m, COMMAND_TOGGLE_BIT2))), Resource::getString(10034));
  // Headings cannot be chosen; the first row that can is selected.
  EXPECT_FALSE(m->enabledAt(0));
  EXPECT_EQ(m->selected(), 1);
  EXPECT_EQ(after(m->labelAt(rowOf(*m, COMMAND_TEXT_BIGGER))), u"1"_s);
  EXPECT_EQ(after(m->labelAt(rowOf(*m, COMMAND_STOP))), u"#"_s);
}

TEST_F(CommandMenusTest, EveryCommandIsReachableByMenu) {
  MenuContext c = contextOf();
  std::set<int> reachable;
  auto collect = [&](MenuScreen* menu) {
    std::unique_ptr<MenuScreen> m(menu);
    for (int r = 0; r < m->rowCount(); ++r) reachable.insert(m->commandAt(r));
  };
  collect(CommandMenus::mainMenu(c));
  collect(CommandMenus::linkMenu(c));
  collect(CommandMenus::fileMenu());
  c.gpsCapable = true;
  collect(CommandMenus::settingsMenu(c));
  // The main menu's key opens the main menu; the bookmark editor's commands belong to the bookmark list,
  // the window list's to the window list.
  const std::set<int> elsewhere = {
      COMMAND_SETTINGS,        COMMAND_BOOKMARK_RENAME,        COMMAND_BOOKMARK_MOVE,
      COMMAND_BOOKMARK_DELETE, COMMAND_BOOKMARK_NEW_FOLDER,    COMMAND_BOOKMARK_EDIT_URL,
      COMMAND_BOOKMARK_OPEN,   COMMAND_BOOKMARK_REMOVE_FOLDER, COMMAND_BOOKMARK_CLEAR_ALL,
      COMMAND_SELECT_WINDOW};
  for (int command : ALL_COMMANDS) {
    if (elsewhere.count(command)) continue;
    SCOPED_TRACE(command);
    EXPECT_TRUE(reachable.count(command));
  }
  // Without GPS the GPS page is not offered.
  c.gpsCapable = false;
  std::unique_ptr<MenuScreen> plain(CommandMenus::settingsMenu(c));
  EXPECT_EQ(rowOf(*plain, COMMAND_GPS), -1);
}

TEST_F(CommandMenusTest, TheWindowListMarksTheCurrentWindow) {
  std::unique_ptr<SideMenuScreen> m(
      CommandMenus::windowList({u"Portal"_s, u"http://example.com/"_s, u"about:blank"_s}, 1));
  EXPECT_EQ(m->mode(), 7);
  ASSERT_EQ(m->rowCount(), 4);
  EXPECT_TRUE(m->headingAt(0));
  EXPECT_EQ(m->labelAt(0), Resource::getString(10080));
  EXPECT_EQ(m->selected(), 2);
  ScreenResult r = m->key(1, Window::KEY_SELECT);
  EXPECT_EQ(r.command, COMMAND_SELECT_WINDOW);
  EXPECT_EQ(r.argument, 1);
  EXPECT_EQ(m->key(1, Window::KEY_SOFT1).command, COMMAND_CLOSE_WINDOW);

  std::unique_ptr<SideMenuScreen> odd(CommandMenus::windowList({u"Only"_s}, 5));
  EXPECT_EQ(odd->selected(), 1);
}

}  // namespace
