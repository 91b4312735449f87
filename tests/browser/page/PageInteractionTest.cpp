// The browsing handler driven as the canvas drives it: keys, ticks on a clock the test moves, the
// stylus, and what reaches the host.
#include <gtest/gtest.h>

#include <vector>

#include "browser/page/Page.h"
#include "browser/page/PageInteraction.h"
#include "browser/page/RenderItem.h"
#include "tests/browser/FakeInteractionHost.h"

namespace {

const int LEFT = 16, UP = 17, RIGHT = 18, DOWN = 19, SELECT = 20, BACK = 21, MENU = 22, CLEAR = 64;

KeyScroll::Tuning slowTuning() {
  KeyScroll::Tuning t;
  t.firstStep = 100;
  t.threshold = 1000;
  t.secondStep = 300;
  t.maximum = KeyScroll::NO_MAXIMUM;
  return t;
}

// A page with one LINK over a TEXT run under the middle of the view, where a new page's pointer is.
class LinkPage {
 public:
  LinkPage() {
    page.replaceItemLists();
    text = new RenderItem();
    text->type = RenderItem::TEXT;
    text->x = 100;
    text->y = 150;
    text->width = 60;
    text->height = 20;
    text->text = u"link"_s;
    page.items->addElement(text);
    link = new RenderItem();
    link->type = RenderItem::LINK;
    link->refs = new Vector<Object*>(1, false);
    link->refs->addElement(text);
    page.structure->addElement(link);
  }
  Page page;
  RenderItem* text;
  RenderItem* link;
};

class PageInteractionTest : public ::testing::Test {
 protected:
  PageInteractionTest() : interaction(&host) {
    host.pageValue = &linkPage.page;
    interaction.setTuning(slowTuning());
    interaction.pageChanged();
  }

  // n ticks, 50 ms apart.
  void ticks(int n) {
    for (int i = 0; i < n; ++i) {
      host.time += PageInteraction::TICK_MS;
      interaction.tick();
    }
  }

  LinkPage linkPage;
  FakeInteractionHost host;
  PageInteraction interaction;
};

}  // namespace

TEST_F(PageInteractionTest, AHeldKeyMovesFasterEachTickAndTheViewFollows) {
  interaction.keyDown(DOWN);
  EXPECT_TRUE(host.ticking);
  std::vector<int> steps;
  for (int i = 0; i < 12; ++i) {
    int before = interaction.pointerY();
    ticks(1);
    steps.push_back(interaction.pointerY() - before);
  }
  EXPECT_EQ(steps, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 13, 16}));
  EXPECT_EQ(interaction.pointerY(), 160 + 84);
  EXPECT_EQ(host.scrollY, 84);  // centred on the pointer
  EXPECT_FALSE(interaction.speedBelowThreshold());
  interaction.keyUp(DOWN);
  EXPECT_TRUE(interaction.speedBelowThreshold());
  ticks(1);
  EXPECT_FALSE(host.ticking);
  EXPECT_EQ(interaction.pointerY(), 244);
}

TEST_F(PageInteractionTest, KeysFollowTheScreensOrientation) {
  host.orientationValue = 1;
  interaction.keyDown(RIGHT);  // the right key moves the pointer up
  ticks(3);
  interaction.keyUp(RIGHT);
  EXPECT_EQ(interaction.pointerY(), 160 - 6);
  EXPECT_EQ(interaction.pointerX(), 120);
}

TEST_F(PageInteractionTest, AKeyTapShorterThanATickMovesOneLine) {
  interaction.keyDown(DOWN);
  interaction.keyDown(DOWN);  // the desktop repeats a held key
  interaction.keyUp(DOWN);
  EXPECT_EQ(interaction.pointerY(), 160 + 14);  // page line 12 + 2
  interaction.keyDown(LEFT);
  interaction.keyUp(LEFT);
  EXPECT_EQ(interaction.pointerX(), 120 - 14);
}

TEST_F(PageInteractionTest, SelectHeldForEightTenthsOfASecondOpensTheLinkMenu) {
  interaction.keyDown(SELECT);
  ticks(15);  // 750 ms
  EXPECT_EQ(host.linkMenus, 0);
  ticks(1);  // 800 ms
  EXPECT_EQ(host.linkMenus, 1);
  interaction.keyUp(SELECT);
  EXPECT_TRUE(host.followed.empty());
  ticks(1);
  EXPECT_FALSE(host.ticking);
}

TEST_F(PageInteractionTest, KeysGoWhereTheyBelong) {
  struct Case {
    int key, position;
    std::vector<int> history;
    int mainMenus;
    std::vector<int> commands;
  } cases[] = {
      {BACK, 0, {-1}, 0, {}}, {CLEAR, 0, {}, 0, {}}, {CLEAR, 1, {-1}, 0, {}},
      {MENU, 0, {}, 1, {}},   {5, 0, {}, 0, {5}},    {24, 0, {}, 0, {24}},
  };
  for (const Case& c : cases) {
    FakeInteractionHost h;
    PageInteraction i(&h);
    h.position = c.position;
    i.keyDown(c.key);
    i.keyUp(c.key);
    EXPECT_EQ(h.historySteps, c.history) << c.key;
    EXPECT_EQ(h.mainMenus, c.mainMenus) << c.key;
    EXPECT_EQ(h.commandKeys, c.commands) << c.key;
  }
}

TEST_F(PageInteractionTest, AnOpenOverlayTakesKeysAndTaps) {
  host.overlay = true;
  interaction.keyDown(DOWN);
  interaction.keyUp(SELECT);
  interaction.pointerPressed(10, 20);
  interaction.pointerReleased(10, 20);
  EXPECT_EQ(host.overlayKeys, (std::vector<int>{DOWN, 1000 + SELECT}));
  EXPECT_EQ(host.overlayTaps, (std::vector<int>{10 * 10000 + 20}));
  EXPECT_EQ(interaction.pointerY(), 160);
  EXPECT_TRUE(host.followed.empty());
}

TEST_F(PageInteractionTest, PagingMovesAViewLessALineInBothModes) {
  for (int code : {31, 34}) {
    interaction.pageChanged();
    interaction.keyDown(code);
    interaction.keyUp(code);
    EXPECT_EQ(interaction.pointerY(), 160 + 304) << code;
  }
  interaction.keyUp(30);
  EXPECT_EQ(interaction.pointerY(), 160);
  EXPECT_EQ(host.wholeRepaints, 3);
}

TEST_F(PageInteractionTest, ReflowKeysStepAtOnceThenRepeatAfterThreeTicks) {
  host.flags = PageInteraction::FLAG_REFLOW;
  // Without a layout there are no links: every step scrolls a line of 12 + 3.
  interaction.keyDown(DOWN);
  EXPECT_EQ(interaction.scrollY(), 15);
  ticks(3);
  EXPECT_EQ(interaction.scrollY(), 15);
  ticks(2);
  EXPECT_EQ(interaction.scrollY(), 45);
  EXPECT_EQ(host.scrollY, 45);
  EXPECT_EQ(interaction.pointerX(), 120);  // the view moved, not the pointer
  interaction.keyUp(DOWN);
  // Left and right go through the history, once per press.
  interaction.keyDown(LEFT);
  ticks(6);
  interaction.keyUp(LEFT);
  interaction.keyDown(RIGHT);
  interaction.keyUp(RIGHT);
  EXPECT_EQ(host.historySteps, (std::vector<int>{-1, 1}));
  // Pointer mode moves the pointer again.
  host.flags |= PageInteraction::FLAG_POINTER_MODE;
  interaction.keyDown(DOWN);
  ticks(2);
  EXPECT_EQ(interaction.pointerY(), 163);
}

TEST_F(PageInteractionTest, DraggingMovesThePageAgainstTheStylus) {
  interaction.pointerPressed(100, 100);
  interaction.pointerDragged(103, 104);  // 25: not yet
  EXPECT_EQ(interaction.pointerY(), 160);
  EXPECT_FALSE(interaction.dragging());
  interaction.pointerDragged(100, 60);  // up by 40: the view goes down by 40
  EXPECT_TRUE(interaction.dragging());
  EXPECT_EQ(interaction.pointerY(), 200);
  EXPECT_EQ(host.scrollY, 40);
  interaction.pointerDragged(130, 60);  // right by 30: the view goes left, here it stays at 0
  EXPECT_EQ(interaction.pointerX(), 90);
  EXPECT_EQ(host.scrollX, 0);
  ticks(20);
  EXPECT_EQ(host.linkMenus, 0);  // a moving stylus is no long press
  host.time += 500;
  interaction.pointerReleased(130, 60);
  EXPECT_FALSE(interaction.dragging());
  EXPECT_FALSE(interaction.flicking());
  EXPECT_TRUE(host.followed.empty());
}

TEST_F(PageInteractionTest, AThrowGlidesUntilThePageEdgeStopsIt) {
  host.geometryValue.pageHeight = 600;
  // The stylus goes up 20 pixels every 10 ms: 2000 px/s, the TouchPad's 1500 at most.
  interaction.pointerPressed(100, 200);
  for (int i = 1; i <= 4; ++i) {
    host.time += 10;
    interaction.pointerDragged(100, 200 - 20 * i);
  }
  host.time += 10;
  interaction.pointerReleased(100, 100);
  EXPECT_TRUE(interaction.flicking());
  EXPECT_TRUE(host.ticking);
  int before = interaction.pointerY();
  ticks(1);
  EXPECT_GT(interaction.pointerY(), before);
  ticks(40);
  EXPECT_FALSE(interaction.flicking());
  EXPECT_EQ(interaction.pointerY(), 600 - 12 - 4);  // stopped at the bottom edge
  EXPECT_EQ(host.scrollY, 600 - 320);
  EXPECT_FALSE(host.ticking);
}

TEST_F(PageInteractionTest, APressDuringAGlideStopsItWithoutTapping) {
  interaction.pointerPressed(100, 300);
  for (int i = 1; i <= 4; ++i) {
    host.time += 10;
    interaction.pointerDragged(100, 300 - 20 * i);
  }
  host.time += 10;
  interaction.pointerReleased(100, 200);
  ASSERT_TRUE(interaction.flicking());
  ticks(2);
  interaction.pointerPressed(50, 50);
  host.time += 50;
  interaction.pointerReleased(50, 50);
  EXPECT_FALSE(interaction.flicking());
  EXPECT_TRUE(host.followed.empty());
}

TEST_F(PageInteractionTest, ANewPageStartsInTheMiddleWithNothingGoingOn) {
  interaction.keyDown(DOWN);
  ticks(5);
  interaction.pageChanged();
  EXPECT_EQ(interaction.pointerX(), 120);
  EXPECT_EQ(interaction.pointerY(), 160);
  EXPECT_EQ(host.scrollX, 0);
  EXPECT_EQ(host.scrollY, 0);
  EXPECT_EQ(interaction.mode(), 0);
}

TEST_F(PageInteractionTest, ZoomKeepsThePointersPlace) {
  interaction.zoomChanged(100, 200);
  EXPECT_EQ(interaction.pointerX(), 240);
  EXPECT_EQ(interaction.pointerY(), 320);
}
