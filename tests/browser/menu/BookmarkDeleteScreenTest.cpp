#include <gtest/gtest.h>

#include "browser/menu/BookmarkListScreen.h"
#include "browser/page/OverlayPainter.h"
#include "browser/page/RenderItem.h"
#include "tests/browser/menu/BookmarkListFixture.h"
#include "vwt/lang/Resource.h"

namespace {

using namespace bookmarktest;

class BookmarkDeleteScreenTest : public BookmarkListFixture {};

const Walk DELETES[] = {
    {"delete a link", "soft1 5 soft1", ScreenResult::CHANGED, "", "Work",
     "Work .Mail .Tools ..Wiki .Docs Shop Empty", 1},
    {"delete declined", "soft1 5 soft2", ScreenResult::CHANGED, "", "News", UNTOUCHED, 0},
    {"delete a folder with what it holds", "down soft1 5 soft1", ScreenResult::CHANGED, "", "Shop",
     "News Shop Empty", 1},
    {"delete inside a folder", "down select down down soft1 5 soft1", ScreenResult::CHANGED, "Work", "Tools",
     "News Work .Mail .Tools ..Wiki Shop Empty", 1},
};

TEST_F(BookmarkDeleteScreenTest, ScriptedKeys) {
  for (const Walk& walk : DELETES) checkWalk(*this, walk);
}

TEST_F(BookmarkDeleteScreenTest, TheEditorsShowTheirModesAndAskWithTheRightQuestion) {
  open();
  run("soft1");
  EXPECT_EQ(screen->mode(), 20);
  ASSERT_NE(screen->item(), nullptr);
  EXPECT_EQ(screen->item()->type, OverlayPainter::MENU);
  run("4");
  EXPECT_EQ(screen->mode(), 42);
  run("soft2");
  EXPECT_EQ(screen->mode(), 8);

  struct {
    const char* script;
    int title;
  } const asks[] = {{"soft1 5", 10051}, {"down soft1 5", 10053}, {"down down down soft1 5", 10053}};
  for (const auto& a : asks) {
    SCOPED_TRACE(a.script);
    open();
    run(a.script);
    EXPECT_EQ(screen->mode(), 4);
    EXPECT_EQ(narrow(screen->item()->text), narrow(Resource::getString(a.title)));
  }
}

}  // namespace
