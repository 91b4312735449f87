// The browsing handler driven as the canvas drives it: keys, ticks on a clock the test moves, the
// stylus, and what reaches the host.
#include <gtest/gtest.h>

#include <vector>

#include "browser/page/Page.h"
#include "browser/page/PageInteraction.h"
#include "browser/page/RenderItem.h"
#include "tests/browser/FakeInteractionHost.h"
#include "tests/browser/page/FormPageBuilder.h"

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
    link = addLink(text);
    // A second one a view further down.
    lowerText = new RenderItem();
    lowerText->type = RenderItem::TEXT;
    lowerText->x = 100;
    lowerText->y = 450;
    lowerText->width = 60;
    lowerText->height = 20;
    page.items->addElement(lowerText);
    lowerLink = addLink(lowerText);
  }
  RenderItem* addLink(RenderItem* over) {
    RenderItem* l = new RenderItem();
    l->type = RenderItem::LINK;
    l->refs = new Vector<Object*>(1, false);
    l->refs->addElement(over);
    page.structure->addElement(l);
    return l;
  }
  Page page;
  RenderItem* text;
  RenderItem* link;
  RenderItem* lowerText;
  RenderItem* lowerLink;
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

TEST_F(PageInteractionTest, SelectReleasedBeforeThenActivatesTheLinkUnderThePointer) {
  interaction.keyDown(SELECT);
  ticks(14);  // 700 ms
  interaction.keyUp(SELECT);
  EXPECT_EQ(host.linkMenus, 0);
  EXPECT_EQ(host.followed, (std::vector<RenderItem*>{linkPage.link}));
  EXPECT_EQ(host.followX, 120);
  EXPECT_EQ(host.followY, 160);
  // Off the link: nothing.
  interaction.keyDown(UP);
  ticks(20);
  interaction.keyUp(UP);
  interaction.keyDown(SELECT);
  interaction.keyUp(SELECT);
  EXPECT_EQ(host.followed.size(), 1u);
}

TEST_F(PageInteractionTest, ATapActivatesTheItemUnderItWhereverTheViewIs) {
  interaction.pointerPressed(130, 155);
  host.time += 100;
  interaction.pointerReleased(130, 155);
  EXPECT_EQ(host.followed, (std::vector<RenderItem*>{linkPage.link}));
  EXPECT_EQ(host.followX, 130);
  EXPECT_EQ(host.followY, 155);
  // A page further down: the tap adds the view's place.
  interaction.pageStep(1);
  ASSERT_EQ(host.scrollY, 304);
  interaction.pointerPressed(110, 150);
  host.time += 100;
  interaction.pointerReleased(110, 150);
  EXPECT_EQ(host.followed.back(), linkPage.lowerLink);
  EXPECT_EQ(host.followY, 454);
  // Nothing under it.
  interaction.pointerPressed(10, 10);
  host.time += 100;
  interaction.pointerReleased(10, 10);
  EXPECT_EQ(host.followed.size(), 2u);
}

TEST_F(PageInteractionTest, AHeldStylusOpensTheLinkMenuForWhatIsUnderIt) {
  interaction.pointerPressed(130, 155);
  ticks(16);
  EXPECT_EQ(host.linkMenus, 1);
  EXPECT_EQ(interaction.pointerX(), 130);
  EXPECT_EQ(interaction.pointerY(), 155);
  interaction.pointerReleased(130, 155);
  EXPECT_TRUE(host.followed.empty());
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

namespace {

// Form controls one under the other, each 100 x 16 at x 10.
class FormInteractionTest : public ::testing::Test {
 protected:
  FormInteractionTest() : interaction(&host) {
    form = pageBuilder.form(u"/search"_s);
    query = pageBuilder.field(RenderItem::TEXT_FIELD, u"q"_s, u"abc"_s, form);
    box = pageBuilder.field(RenderItem::CHECKBOX, u"c"_s, u"on"_s, form);
    go = pageBuilder.field(RenderItem::BUTTON, u"go"_s, u"Go"_s, form, 0x80);
    reset = pageBuilder.field(RenderItem::BUTTON, u"r"_s, u"Reset"_s, form, 0x100);
    upload = pageBuilder.field(RenderItem::BUTTON, u"f"_s, u"File"_s, form, 0x40);
    pick = pageBuilder.options(RenderItem::SELECT, u"s"_s, {u"one", u"two", u"three"}, {u"1", u"2", u"3"},
                               {true, false, false}, form);
    host.pageValue = &pageBuilder.page;
    interaction.pageChanged();
  }

  void tapOn(RenderItem* item) {
    interaction.pointerPressed(item->x + 5, item->y + 5);
    host.time += 100;
    interaction.pointerReleased(item->x + 5, item->y + 5);
  }

  RenderItem* controlOf(RenderItem* item) {
    for (int i = 0; i < pageBuilder.page.structure->size(); ++i) {
      RenderItem* s = pageBuilder.page.structure->elementAt(i);
      if (s->type == RenderItem::CONTROL && s->refs->elementAt(0) == item) return s;
    }
    return nullptr;
  }

  FormPageBuilder pageBuilder;
  RenderItem *form, *query, *box, *go, *reset, *upload, *pick;
  FakeInteractionHost host;
  PageInteraction interaction;
};

}  // namespace

TEST_F(FormInteractionTest, ATapOnACheckboxTogglesItAndASecondTogglesItBack) {
  tapOn(box);
  EXPECT_TRUE(box->flags & 4);
  EXPECT_EQ(host.wholeRepaints, 1);
  tapOn(box);
  EXPECT_FALSE(box->flags & 4);
  EXPECT_EQ(host.wholeRepaints, 2);
}

TEST_F(FormInteractionTest, TextFieldsOpenTheTextEntryAndTakeItsAnswer) {
  tapOn(query);
  EXPECT_EQ(host.textEntries, 1);
  EXPECT_TRUE(host.entryText.equals(u"abc"_s));
  EXPECT_EQ(host.entryMode, 2);
  EXPECT_EQ(host.entryLength, 999);
  EXPECT_FALSE(host.entryMultiLine);
  interaction.setText(u"xyz"_s);
  EXPECT_TRUE(query->text.equals(u"xyz"_s));
}

TEST_F(FormInteractionTest, ButtonsSubmitResetAndUpload) {
  tapOn(go);
  EXPECT_EQ(host.submits, 1);
  EXPECT_EQ(host.submitted, form);
  EXPECT_NE(host.submittedFields.indexOf(u"q=abc"_s), -1);
  EXPECT_NE(host.submittedFields.indexOf(u"go=Go"_s), -1);
  tapOn(reset);
  EXPECT_EQ(host.historySteps, (std::vector<int>{0}));
  tapOn(upload);
  EXPECT_EQ(host.fileMenuControl, controlOf(upload));
}

TEST_F(FormInteractionTest, AnOpenListTakesTheKeysUntilItCloses) {
  tapOn(pick);
  ASSERT_EQ(interaction.mode(), PageInteraction::MODE_LIST);
  EXPECT_EQ(host.overlays.size(), 1);
  // Down moves the list's row, not the pointer; select takes it and closes the list.
  interaction.keyDown(19);
  interaction.keyUp(19);
  EXPECT_EQ(interaction.pointerY(), 160);
  interaction.keyDown(20);
  interaction.keyUp(20);
  EXPECT_EQ(interaction.mode(), PageInteraction::MODE_BROWSING);
  EXPECT_EQ(pick->value2, 1);
  EXPECT_EQ(host.overlays.size(), 0);
  EXPECT_TRUE(host.followed.empty());
}

TEST_F(FormInteractionTest, TheStylusAloneWorksAnOpenList) {
  // The list opens under the control (y 110, 16 high), rows a page line (12) apart from one pixel down.
  tapOn(pick);
  ASSERT_EQ(interaction.mode(), PageInteraction::MODE_LIST);
  interaction.pointerPressed(15, 156);
  host.time += 100;
  interaction.pointerReleased(15, 156);
  EXPECT_EQ(interaction.mode(), PageInteraction::MODE_BROWSING);
  EXPECT_EQ(pick->value2, 2);
  // A tap beside it closes it unchanged.
  tapOn(pick);
  ASSERT_EQ(interaction.mode(), PageInteraction::MODE_LIST);
  interaction.pointerPressed(200, 300);
  host.time += 100;
  interaction.pointerReleased(200, 300);
  EXPECT_EQ(interaction.mode(), PageInteraction::MODE_BROWSING);
  EXPECT_EQ(pick->value2, 2);
  EXPECT_EQ(host.overlays.size(), 0);
  EXPECT_TRUE(host.followed.empty());
}
