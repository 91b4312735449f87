// The commands in the browser's real window, headless, with scripted input against the reference
// service on loopback: the menus opened by key and by tap, settings that outlive the program,
// bookmarks added, synchronised and removed, a backup picture made and restored, a bookmark file
// written and read back, the find, the copy of the page's text and of a selection.
#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "browser/menu/CommandId.h"
#include "browser/menu/CommandMenus.h"
#include "browser/menu/MenuContext.h"
#include "browser/menu/MenuScreen.h"
#include "browser/shell/MainCanvas.h"
#include "browser/shell/SessionCore.h"
#include "browser/store/Bookmarks.h"
#include "browser/store/RecordStore.h"
#include "tests/browser/BrowserWindowTest.h"
#include "tests/browser/LoopbackService.h"
#include "tests/vwt/GoldenPicture.h"
#include "tests/vwt/TestText.h"
#include "vwt/ui/Clipboard.h"
#include "vwt/ui/Window.h"

namespace {

const char DEMO_SITE[] = "demo.site";
// Canvas flag bit 10: the status line hides while it has nothing to say.
const int FLAG_HIDE_EMPTY_STATUS = 1 << 10;
const int SETTING_PALETTE = 17;

class CommandsUseTest : public BrowserWindowTest {
 protected:
  void configure(vesk::ServiceConfig& config) override {
    config.sites.emplace_back(DEMO_SITE, loopback::sourceDir() + "/service/sites/demo");
  }
  void TearDown() override {
    Clipboard::setText(String());
    BrowserWindowTest::TearDown();
  }
  // The script lines that open the settings menu from the page and select the row of command. The
  // link rows are passed over when disabled: onLink says whether the pointer is on a link.
  static std::string settingsRow(int command, bool onLink = true) {
    // The menu opens at the row last used: its last row, Settings, is taken by a tap.
    std::string script = "key soft2\nidle\ntap 100 216\nidle\n";
    MenuContext context;
    context.linkUnderPointer = onLink;
    std::unique_ptr<MenuScreen> menu(CommandMenus::settingsMenu(context));
    for (int i = 0; i < menu->rowCount() && menu->commandAt(menu->selected()) != command; ++i) {
      menu->key(0, Window::KEY_DOWN);
      script += "key down\n";
    }
    EXPECT_EQ(menu->commandAt(menu->selected()), command) << "the settings menu lists command " << command;
    return script;
  }
  bool anyQueryHas(const std::string& part) {
    for (const std::string& q : pageQueries())
      if (q.find(part) != std::string::npos) return true;
    return false;
  }
  int countQueriesWith(const std::string& part) {
    int n = 0;
    for (const std::string& q : pageQueries())
      if (q.find(part) != std::string::npos) ++n;
    return n;
  }
  std::string shownUrl(MainCanvas* canvas) {
    return canvas->shownPage() ? narrow(canvas->shownPage()->url) : "";
  }
  // The window on url with the script after its start-up.
  MainCanvas* start(const std::string& script, const std::string& url) {
    return open("idle\n" + script, url);
  }
  // The window opened again over the same program folder, as after a restart; it only starts.
  MainCanvas* restart() {
    MainCanvas* canvas = start("quit\n", "http://demo.site/");
    app_->run();
    return canvas;
  }
  // Each node as depth, kind, title and address.
  static std::vector<std::string> tree(const Bookmarks& marks) {
    std::vector<std::string> out;
    for (int n = 0; n < marks.size(); n += 2)
      out.push_back(std::to_string(marks.depth(n)) + (marks.isFolder(n) ? " folder " : " link ") +
                    narrow(marks.getTitle(n)) + " " + narrow(marks.getUrl(n)));
    return out;
  }
  static std::string fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
};

TEST_F(CommandsUseTest, TheMenusOpenByKeyAndByTapAndTheirRowsRun) {
  std::string main = shot("main.png"), tapped = shot("tapped.png"), windows = shot("windows.png"),
              link = shot("link.png");
  // The menu key, then a tap on its soft-key label; "4" picks the window list; select held on a
  // link gives the link menu, whose first row follows the link.
  MainCanvas* canvas =
      start("key soft2\nidle\nshot " + main + "\nkey escape\nidle\ntap 180 295\nidle\nshot " + tapped +
                "\nkey 4\nidle\nshot " + windows +
                "\nkey escape\nidle\nkey select down\nwait 1000\nkey select up\nidle\nshot " + link +
                "\nkey select\nidle\nquit\n",
            "http://demo.site/");
  app_->run();
  EXPECT_TRUE(golden::matches(main, "browser-main-menu.png"));
  EXPECT_TRUE(golden::matches(tapped, "browser-main-menu-tapped.png"));
  EXPECT_TRUE(golden::matches(windows, "browser-window-list.png"));
  EXPECT_TRUE(golden::matches(link, "browser-link-menu.png"));
  EXPECT_EQ(canvas->mode(), 0) << "the chosen row closed the menu";
  EXPECT_EQ(canvas->getScreens().size(), 0);
  EXPECT_NE(shownUrl(canvas).find("cookies.html"), std::string::npos) << "the link under the pointer";
}

TEST_F(CommandsUseTest, AToggleAndAPanelChangeTheirSettingsAndKeepThemThroughARestart) {
  std::string toggled = shot("toggled.png"), colours = shot("colours.png");
  std::string script = settingsRow(COMMAND_TOGGLE_STATUS_LINE) + "key select\nidle\nshot " + toggled +
                       "\nkey select\nidle\n" + settingsRow(COMMAND_COLOURS_PANEL) +
                       "key select\nidle\nkey down\nkey select\nidle\nshot " + colours +
                       "\nkey escape\nidle\nquit\n";
  MainCanvas* canvas = start(script, "http://demo.site/");
  app_->run();
  EXPECT_TRUE(golden::matches(toggled, "browser-toggle-panel.png"));
  EXPECT_TRUE(golden::matches(colours, "browser-colours-panel.png"));
  EXPECT_EQ(canvas->getScreens().size(), 0);
  EXPECT_NE(canvas->getSession().getFlags() & FLAG_HIDE_EMPTY_STATUS, 0);
  canvas = restart();
  EXPECT_NE(canvas->getSession().getFlags() & FLAG_HIDE_EMPTY_STATUS, 0) << "the flag word was stored";
  EXPECT_EQ(canvas->getSession().getStore().getSetting(SETTING_PALETTE), 1) << "the colours were stored";
  EXPECT_EQ(canvas->paletteSet(), 1);
}

TEST_F(CommandsUseTest, ABookmarkIsAddedSynchronisedOpenedAndRemoved) {
  std::string list = shot("bookmarks.png");
  // "6" adds the page; the next page request carries the list to the service. "7" lists the
  // bookmarks; select opens the one there is.
  MainCanvas* canvas =
      start("key soft2\nkey 6\nidle\nkey select\nidle\ntap 60 54\nidle\nkey soft2\nkey 7\nidle\nshot " +
                list + "\nkey select\nidle\nquit\n",
            "http://demo.site/");
  app_->run();
  Bookmarks& marks = canvas->getSession().getBookmarks();
  ASSERT_EQ(marks.nodeCount(), 1);
  EXPECT_EQ(narrow(marks.getUrl(0)), "http://demo.site/");
  EXPECT_TRUE(golden::matches(list, "browser-bookmarks.png"));
  int user = canvas->getSession().getSetting(0);
  vesk::BookmarkStore::Entry held = service_->state().bookmarks.get(user);
  ASSERT_EQ(held.list.size(), 2u) << "the service holds the uploaded list";
  EXPECT_NE(held.list[1].find("http://demo.site/"), std::string::npos) << held.list[1];
  EXPECT_EQ(shownUrl(canvas), "http://demo.site/") << "the bookmark was opened";

  // Removed from its edit menu: the next request asks the service to empty its copy, once.
  MainCanvas* again = start(
      "key soft2\nkey 7\nidle\nkey star\nidle\nkey up\nkey select\nidle\nkey select\nidle\nkey escape\nidle\n"
      "tap 60 54\nidle\nkey backspace\nidle\ntap 60 70\nidle\nquit\n",
      "http://demo.site/");
  app_->run();
  EXPECT_EQ(again->getSession().getBookmarks().nodeCount(), 0);
  EXPECT_EQ(countQueriesWith("db=1"), 1);
}

TEST_F(CommandsUseTest, ABackupPictureIsMadeAndRestored) {
  std::string picture = program_.dir / "backup.gif";
  std::string script = "key soft2\nkey 6\nidle\nkey select\nidle\n" + settingsRow(COMMAND_BACKUP) +
                       "answer 1 " + picture + "\nkey select\nidle\nkey select\nidle\nquit\n";
  MainCanvas* canvas = start(script, "http://demo.site/");
  app_->run();
  ASSERT_EQ(canvas->getSession().getBookmarks().nodeCount(), 1);
  std::string bytes = fileBytes(picture);
  ASSERT_GT(bytes.size(), 568u) << "the picture was written";
  EXPECT_EQ(bytes.substr(0, 6), "GIF89a");

  // The list emptied by hand, then the picture restored: the bookmark is back.
  canvas->getSession().getBookmarks().replaceAll(VectorV<String>());
  canvas->getSession().getBookmarks().save();
  std::string restore = settingsRow(COMMAND_RESTORE) + "answer 1 " + picture + "\nkey select\nidle\n";
  canvas = start(
      restore + "shot " + shot("restore.png") +
          "\nkey down\nkey down\nkey down\nkey down\nkey down\nkey select\nidle\nkey select\nidle\nquit\n",
      "http://demo.site/");
  app_->run();
  EXPECT_TRUE(golden::matches(shot("restore.png"), "browser-restore-panel.png"));
  ASSERT_EQ(canvas->getSession().getBookmarks().nodeCount(), 1);
  EXPECT_EQ(narrow(canvas->getSession().getBookmarks().getUrl(0)), "http://demo.site/");
}

TEST_F(CommandsUseTest, ABookmarkFileIsWrittenAndReadBackIntoTheSameTree) {
  std::string file = program_.dir / "bookmarks.html";
  std::string script = "key soft2\nkey 6\nidle\nkey select\nidle\n" +
                       settingsRow(COMMAND_IMPORT_EXPORT_PANEL) + "key select\nidle\nkey down\nanswer 1 " +
                       file + "\nkey select\nidle\nquit\n";
  MainCanvas* canvas = start(script, "http://demo.site/");
  app_->run();
  std::vector<std::string> before = tree(canvas->getSession().getBookmarks());
  ASSERT_EQ(before.size(), 1u);
  EXPECT_NE(fileBytes(file).find("http://demo.site/"), std::string::npos);

  canvas->getSession().getBookmarks().replaceAll(VectorV<String>());
  canvas->getSession().getBookmarks().save();
  canvas = start(settingsRow(COMMAND_IMPORT_EXPORT_PANEL) + "key select\nidle\nanswer 1 " + file +
                     "\nkey select\nidle\nkey select\nidle\nquit\n",
                 "http://demo.site/");
  app_->run();
  EXPECT_EQ(tree(canvas->getSession().getBookmarks()), before);
}

TEST_F(CommandsUseTest, FindMarksTheTextAndCopyTakesThePageOrTheSelection) {
  std::string found = shot("found.png");
  std::string script = settingsRow(COMMAND_FIND_ENTRY, false) +
                       "key select\nidle\ntype walkers\nkey soft1\nidle\nshot " + found + "\n" +
                       settingsRow(COMMAND_COPY_TEXT, false) + "key select\nidle\nquit\n";
  MainCanvas* canvas = start(script, "http://demo.site/article.html");
  app_->run();
  EXPECT_TRUE(golden::matches(found, "browser-find.png"));
  std::string copied = narrow(Clipboard::getText());
  EXPECT_NE(copied.find("Spring in the hills"), std::string::npos) << copied;
  EXPECT_NE(copied.find("walkers"), std::string::npos) << copied;
  EXPECT_EQ(canvas->getScreens().size(), 0);
}

}  // namespace
