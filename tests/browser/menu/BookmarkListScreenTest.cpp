#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "browser/menu/BookmarkListScreen.h"
#include "browser/menu/CommandId.h"
#include "browser/page/DrawingRoutines.h"
#include "browser/page/OverlayPainter.h"
#include "browser/page/RenderItem.h"
#include "browser/store/Bookmarks.h"
#include "browser/store/RecordStore.h"
#include "browser/store/SettingsDefaults.h"
#include "tests/browser/menu/BookmarkListFixture.h"
#include "vwt/lang/VectorV.h"
#include "vwt/ui/Window.h"

namespace {

using namespace bookmarktest;

class BookmarkListScreenTest : public BookmarkListFixture {};

const Walk WALKS[] = {
    {"enter a folder", "down select", ScreenResult::CHANGED, "Work", "Mail", UNTOUCHED, 0},
    {"a nested folder", "down select down right", ScreenResult::CHANGED, "Tools", "Wiki", UNTOUCHED, 0},
    {"up by the .. row", "down select up select", ScreenResult::CHANGED, "", "Work", UNTOUCHED, 0},
    {"up by escape", "down select down select esc", ScreenResult::CHANGED, "Work", "Tools", UNTOUCHED, 0},
    {"up by left", "down select left", ScreenResult::CHANGED, "", "Work", UNTOUCHED, 0},
    {"escape at the top closes", "down esc", ScreenResult::CLOSE, "", "Work", UNTOUCHED, 0},
    {"rename", "soft1 select type=Headlines", ScreenResult::CHANGED, "", "Headlines",
     "Headlines Work .Mail .Tools ..Wiki .Docs Shop Empty", 1},
    {"rename a folder inside one", "down select down star 1 type=Gadgets", ScreenResult::CHANGED, "Work",
     "Gadgets", "News Work .Mail .Gadgets ..Wiki .Docs Shop Empty", 1},
    {"rename to nothing keeps the name", "soft1 select type=_", ScreenResult::CHANGED, "", "News", UNTOUCHED,
     0},
    {"rename abandoned", "soft1 soft2", ScreenResult::CHANGED, "", "News", UNTOUCHED, 0},
    {"move into a folder", "down down soft1 4 6", ScreenResult::CHANGED, "", "News",
     "News Work .Mail .Tools ..Wiki .Docs Empty .Shop", 1},
    {"move a folder into a folder", "down soft1 4 4", ScreenResult::CHANGED, "", "News",
     "News Shop Empty .Work ..Mail ..Tools ...Wiki ..Docs", 1},
    {"move out to the top", "down select down select soft1 4 3", ScreenResult::CHANGED, "Tools", "..",
     "News Work .Mail .Tools .Docs Shop Empty Wiki", 1},
    {"move up one place", "down down soft1 4 1", ScreenResult::CHANGED, "", "Shop",
     "News Shop Work .Mail .Tools ..Wiki .Docs Empty", 1},
    {"move down one place", "down soft1 4 2", ScreenResult::CHANGED, "", "Work",
     "News Shop Work .Mail .Tools ..Wiki .Docs Empty", 1},
    {"new folder beside the selected one", "soft1 3 type=Later", ScreenResult::CHANGED, "", "Later",
     "News Later Work .Mail .Tools ..Wiki .Docs Shop Empty", 1},
    {"new folder in an empty folder", "down down down select soft1 select type=Inner", ScreenResult::CHANGED,
     "Empty", "Inner", "News Work .Mail .Tools ..Wiki .Docs Shop Empty .Inner", 1},
};

TEST_F(BookmarkListScreenTest, ScriptedKeys) {
  for (const Walk& walk : WALKS) checkWalk(*this, walk);
}

TEST_F(BookmarkListScreenTest, ALinkOpensItsAddress) {
  struct {
    const char* script;
    const char* url;
  } const cases[] = {
      {"select", "http://news.example/"},
      {"down down select", "http://shop.example/"},
      {"down select down select select", "http://wiki.example/"},
      {"down select 4", "http://docs.example/"},  // by its mark: "..", Mail, Tools, Docs
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.script);
    open();
    ScreenResult result = run(c.script);
    EXPECT_EQ(result.action, ScreenResult::COMMAND);
    EXPECT_EQ(result.command, COMMAND_ADDRESS);
    EXPECT_EQ(narrow(result.text), c.url);
  }
}

TEST_F(BookmarkListScreenTest, TapsOpenRowsAndATapOutsideCloses) {
  // The middle of a row of the list as drawn: rows start under the title bar, a line and a gap apart.
  auto rowMiddle = [this](int row) {
    RenderItem* it = screen->item();
    const int line = canvas.font()->getHeight();
    const int rowsTop = it->y + std::max(line, DrawingRoutines::ICON_SIZE) + OverlayPainter::GAP + 2;
    return rowsTop + row * (line + OverlayPainter::GAP) + (line + OverlayPainter::GAP) / 2;
  };
  open();
  const int x = screen->item()->x + screen->item()->width / 2;
  EXPECT_EQ(screen->tap(x, rowMiddle(1)).action, ScreenResult::CHANGED);
  EXPECT_EQ(folderTitle(), "Work");
  ScreenResult opened = screen->tap(x, rowMiddle(3));
  EXPECT_EQ(opened.action, ScreenResult::COMMAND);
  EXPECT_EQ(narrow(opened.text), "http://docs.example/");
  EXPECT_EQ(screen->tap(x, rowMiddle(0)).action, ScreenResult::CHANGED);
  EXPECT_EQ(folderTitle(), "");
  EXPECT_EQ(selectedTitle(), "Work");

  // In an editor a tap outside closes the editor only.
  run("soft1");
  EXPECT_EQ(screen->tap(0, 0).action, ScreenResult::CHANGED);
  EXPECT_EQ(screen->mode(), 8);
  EXPECT_EQ(screen->tap(0, 0).action, ScreenResult::CLOSE);
}

TEST_F(BookmarkListScreenTest, EditingAnAddressAndLongNames) {
  open();
  ScreenResult asked = run("soft1 2");
  ASSERT_EQ(asked.action, ScreenResult::ENTRY);
  EXPECT_EQ(narrow(asked.text), "http://news.example/");
  run("soft1 2 type=http://headlines.example/");
  EXPECT_EQ(narrow(marks.getUrl(0)), "http://headlines.example/");
  EXPECT_EQ(narrow(marks.getEntry(0)), "I0,http://headlines.example/");
  EXPECT_EQ(changes, 1);

  // A folder has no address to edit: the row is there but does nothing.
  run("down soft1 2");
  EXPECT_EQ(screen->mode(), 20);
  run("soft2 up");

  const std::string longName(50, 'x');
  run("soft1 1 type=" + longName);
  EXPECT_EQ(narrow(marks.getTitle(0)), longName.substr(0, Bookmarks::TITLE_LIMIT));
  run("soft1 3 type=" + longName);
  EXPECT_EQ(narrow(marks.getTitle(2)), longName.substr(0, Bookmarks::TITLE_LIMIT));
  EXPECT_EQ(changes, 3);
}

TEST_F(BookmarkListScreenTest, AnEmptyListOffersANewFolder) {
  marks.replaceAll(VectorV<String>());
  open();
  EXPECT_EQ(screen->selectedNode(), -1);
  EXPECT_NE(run("select").action, ScreenResult::COMMAND);  // the note is not a row to run
  run("soft1 select type=Reading");
  EXPECT_EQ(outline(marks), "Reading");
  EXPECT_EQ(selectedTitle(), "Reading");
  EXPECT_EQ(changes, 1);
}

TEST_F(BookmarkListScreenTest, EditsAreStored) {
  RecordStore store(nullptr, SettingsDefaults());
  store.open();
  store.loadSettings();
  StoreHost host(&store);
  Bookmarks stored(&host);
  VectorV<String> list;
  for (const auto& pair : TREE) {
    list.addElement(wide(pair[0]));
    list.addElement(wide(pair[1]));
  }
  stored.replaceAll(list);
  stored.save();

  int heard = 0;
  BookmarkListScreen edit(stored, [&heard] { ++heard; });
  canvas.layout(edit);
  edit.key(1, Window::KEY_SOFT1);
  edit.key(1, Window::KEY_SELECT);
  edit.entered(u"Headlines"_s);
  EXPECT_EQ(heard, 1);

  Bookmarks again(&host);
  again.load();
  EXPECT_EQ(narrow(again.getTitle(0)), "Headlines");
  EXPECT_EQ(again.checksum(), store.getSetting(Bookmarks::SETTING_CHECKSUM));
}

TEST_F(BookmarkListScreenTest, PicturesOfTheListAtTheTopInsideAFolderAndItsEditors) {
  open();
  run("down");
  EXPECT_TRUE(canvas.shot(*screen, "bookmarks-top.png"));
  run("select");
  EXPECT_TRUE(canvas.shot(*screen, "bookmarks-folder.png"));
  run("down star");
  EXPECT_TRUE(canvas.shot(*screen, "bookmarks-edit-menu.png"));
  run("4");
  EXPECT_TRUE(canvas.shot(*screen, "bookmarks-move.png"));
}

}  // namespace
