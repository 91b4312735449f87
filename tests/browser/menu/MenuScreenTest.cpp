#include <gtest/gtest.h>

#include "browser/menu/MenuScreen.h"
#include "browser/page/DrawingRoutines.h"
#include "browser/page/OverlayPainter.h"
#include "browser/page/RenderItem.h"
#include "vwt/lang/Boolean.h"
#include "vwt/lang/Integer.h"
#include "vwt/ui/Window.h"

namespace {

const int DOWN = 0, UP = 1;
const int VIEW_W = 240, VIEW_H = 320;
// Without a font a menu measures with the stock face: 16-pixel lines.
const int LINE = 16;
const int TITLE = LINE + OverlayPainter::GAP;
const int ROW = LINE + OverlayPainter::GAP;

// Rows "Row 0".. with commands 100 + i; the rows in `disabled` are greyed.
MenuScreen* menuOf(int rows, std::initializer_list<int> disabled = {}) {
  MenuScreen* m = new MenuScreen(1, u"Menu"_s);
  for (int i = 0; i < rows; ++i) {
    bool enabled = true;
    for (int d : disabled) enabled = enabled && d != i;
    m->addRow(u"Row "_s + i, 100 + i, -1, enabled, 0, 1000 + i);
  }
  return m;
}

struct Step {
  int type, key;
  ScreenResult::Action action;
  int command;   // for COMMAND
  int selected;  // afterwards
};

void play(MenuScreen& m, const std::vector<Step>& steps) {
  int n = 0;
  for (const Step& s : steps) {
    SCOPED_TRACE(::testing::Message() << "step " << n++ << " key " << s.key);
    ScreenResult r = m.key(s.type, s.key);
    EXPECT_EQ(r.action, s.action);
    if (s.action == ScreenResult::COMMAND) {
      EXPECT_EQ(r.command, s.command);
      EXPECT_EQ(r.argument, s.command + 900);
    }
    EXPECT_EQ(m.selected(), s.selected);
  }
}

TEST(MenuScreen, KeysMoveSkippingDisabledRowsWrapAndRun) {
  std::unique_ptr<MenuScreen> m(menuOf(5, {1, 3}));
  m->layout(VIEW_W, VIEW_H, nullptr);
  EXPECT_EQ(m->selected(), 0);
  play(*m, {
               {DOWN, Window::KEY_DOWN, ScreenResult::CHANGED, 0, 2},    // skips the disabled row 1
               {DOWN, Window::KEY_DOWN, ScreenResult::CHANGED, 0, 4},    // and row 3
               {DOWN, Window::KEY_DOWN, ScreenResult::CHANGED, 0, 0},    // wraps to the top
               {DOWN, Window::KEY_UP, ScreenResult::CHANGED, 0, 4},      // and to the bottom
               {UP, Window::KEY_UP, ScreenResult::IGNORED, 0, 4},        // directions act on key-down
               {DOWN, Window::KEY_SELECT, ScreenResult::IGNORED, 0, 4},  // select acts on key-up
               {UP, Window::KEY_SELECT, ScreenResult::COMMAND, 104, 4},
               {UP, 2, ScreenResult::IGNORED, 0, 4},  // key 2 marks the disabled row 1
               {UP, 3, ScreenResult::COMMAND, 102, 2},
               {UP, 6, ScreenResult::IGNORED, 0, 2},  // no sixth row
               {UP, Window::KEY_LEFT, ScreenResult::IGNORED, 0, 2},
           });
  for (int key : {Window::KEY_SOFT1, Window::KEY_SOFT2, Window::KEY_ESCAPE, Window::KEY_BACKSPACE}) {
    SCOPED_TRACE(key);
    EXPECT_EQ(m->key(DOWN, key).action, ScreenResult::IGNORED);
    EXPECT_EQ(m->key(UP, key).action, ScreenResult::CLOSE);
  }
}

TEST(MenuScreen, TheMarksAfterTheNinthRowAreStarZeroAndPound) {
  std::unique_ptr<MenuScreen> m(menuOf(14, {11}));
  m->layout(VIEW_W, VIEW_H, nullptr);
  struct Case {
    int key;
    ScreenResult::Action action;
    int command;
  } cases[] = {
      {1, ScreenResult::COMMAND, 100},
      {9, ScreenResult::COMMAND, 108},
      {Window::KEY_ASTERISK, ScreenResult::COMMAND, 109},
      {Window::KEY_0, ScreenResult::COMMAND, 110},
      {Window::KEY_POUND, ScreenResult::IGNORED, 0},  // the twelfth row is disabled
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.key);
    ScreenResult r = m->key(UP, c.key);
    EXPECT_EQ(r.action, c.action);
    EXPECT_EQ(r.command, c.command);
  }
  // Rows 13 and 14 have no mark: only the selection reaches them.
  m->select(13);
  EXPECT_EQ(m->key(UP, Window::KEY_SELECT).command, 113);
}

TEST(MenuScreen, TheSelectionScrollsIntoViewBothWays) {
  std::unique_ptr<MenuScreen> m(menuOf(20));
  m->layout(VIEW_W, 160, nullptr);
  const int shown = m->rowsShown();
  ASSERT_GT(shown, 2);
  ASSERT_LT(shown, 20);
  // The menu is cut to whole rows inside the view's margin.
  RenderItem* it = m->item();
  EXPECT_EQ(it->height, TITLE + 3 + shown * ROW);
  EXPECT_LE(it->height, 160 - 4 * OverlayPainter::GAP);

  for (int i = 0; i < shown; ++i) m->key(DOWN, Window::KEY_DOWN);
  EXPECT_EQ(m->selected(), shown);
  EXPECT_EQ(m->firstShown(), 1);
  EXPECT_EQ(m->item()->value1, 1);
  EXPECT_EQ(m->item()->value2, shown);

  m->select(0);
  EXPECT_EQ(m->firstShown(), 0);
  m->key(DOWN, Window::KEY_UP);  // wraps to the last row, the last screenful shown
  EXPECT_EQ(m->selected(), 19);
  EXPECT_EQ(m->firstShown(), 20 - shown);
  m->key(DOWN, Window::KEY_DOWN);
  EXPECT_EQ(m->selected(), 0);
  EXPECT_EQ(m->firstShown(), 0);

  // A row selected before layout is in view after it.
  std::unique_ptr<MenuScreen> late(menuOf(20));
  late->select(17);
  late->layout(VIEW_W, 160, nullptr);
  EXPECT_GE(17, late->firstShown());
  EXPECT_LT(17, late->firstShown() + late->rowsShown());
}

TEST(MenuScreen, SelectingADisabledOrMissingRow) {
  std::unique_ptr<MenuScreen> m(menuOf(4, {0, 2}));
  EXPECT_EQ(m->selected(), 1);  // the first enabled row
  m->select(2);
  EXPECT_EQ(m->selected(), 3);
  m->select(99);
  EXPECT_EQ(m->selected(), 1);
  m->select(-1);
  EXPECT_EQ(m->selected(), 1);

  std::unique_ptr<MenuScreen> none(menuOf(2, {0, 1}));
  none->layout(VIEW_W, VIEW_H, nullptr);
  EXPECT_EQ(none->selected(), -1);
  EXPECT_EQ(none->key(DOWN, Window::KEY_DOWN).action, ScreenResult::IGNORED);
  EXPECT_EQ(none->key(UP, Window::KEY_SELECT).action, ScreenResult::IGNORED);
  EXPECT_EQ(none->commandAt(1), 101);
  EXPECT_EQ(none->commandAt(2), -1);
  EXPECT_FALSE(none->enabledAt(-1));

  std::unique_ptr<MenuScreen> empty(new MenuScreen(3, u"Empty"_s));
  empty->layout(VIEW_W, VIEW_H, nullptr);
  EXPECT_EQ(empty->key(DOWN, Window::KEY_DOWN).action, ScreenResult::IGNORED);
  EXPECT_EQ(empty->tap(VIEW_W / 2, VIEW_H / 2).action, ScreenResult::IGNORED);
  EXPECT_EQ(empty->item()->getList(0)->size(), 0);
}

TEST(MenuScreen, TapsRunRowsAndCloseOnTheMarkOrOutside) {
  std::unique_ptr<MenuScreen> m(menuOf(6, {4}));
  m->layout(VIEW_W, VIEW_H, nullptr);
  RenderItem* it = m->item();
  const int x = it->x, y = it->y, w = it->width, h = it->height;
  ASSERT_GE(x, 2 * OverlayPainter::GAP);
  ASSERT_LE(x + w, VIEW_W - 2 * OverlayPainter::GAP);
  const int rowsTop = y + TITLE + 2;
  const int middleX = x + w / 2;
  auto rowY = [&](int row) { return rowsTop + row * ROW + ROW / 2; };

  ScreenResult r = m->tap(middleX, rowY(3));
  EXPECT_EQ(r.action, ScreenResult::COMMAND);
  EXPECT_EQ(r.command, 103);
  EXPECT_EQ(r.argument, 1003);
  EXPECT_EQ(m->selected(), 3);
  EXPECT_EQ(m->tap(middleX, rowY(4)).action, ScreenResult::IGNORED);  // disabled
  EXPECT_EQ(m->tap(middleX, rowsTop).command, 100);                   // the first row's top line

  const int closeX = x + w - 2 - DrawingRoutines::ICON_SIZE;
  EXPECT_EQ(m->tap(closeX, y + TITLE / 2).action, ScreenResult::CLOSE);
  EXPECT_EQ(m->tap(x + 10, y + TITLE / 2).action, ScreenResult::IGNORED);  // the title
  for (auto p : {std::make_pair(x - 1, rowY(0)), std::make_pair(x + w, rowY(0)),
                 std::make_pair(middleX, y - 1), std::make_pair(middleX, y + h)}) {
    SCOPED_TRACE(p.first * 1000 + p.second);
    EXPECT_EQ(m->tap(p.first, p.second).action, ScreenResult::CLOSE);
  }
}

TEST(MenuScreen, ATapOnTheScrollBarTurnsAScreenful) {
  std::unique_ptr<MenuScreen> m(menuOf(30));
  m->layout(VIEW_W, 200, nullptr);
  RenderItem* it = m->item();
  const int shown = m->rowsShown();
  const int barX = it->x + it->width - OverlayPainter::SCROLL_BAR_INSET + 2;
  const int bottom = it->y + it->height - 4;
  EXPECT_EQ(m->tap(barX, bottom).action, ScreenResult::CHANGED);
  EXPECT_EQ(m->firstShown(), shown);
  EXPECT_EQ(m->tap(barX, it->y + TITLE + 6).action, ScreenResult::CHANGED);
  EXPECT_EQ(m->firstShown(), 0);
  EXPECT_EQ(m->tap(barX, it->y + TITLE + 6).action, ScreenResult::IGNORED);  // already at the top
}

TEST(MenuScreen, TheItemCarriesTheRowsInThePaintersFormat) {
  MenuScreen m(34, u"Link"_s);
  m.addRow(u"Follow\t5"_s, 85, 14, true, 1, 7);
  m.addRow(u"Save"_s, 24, -1, false);
  m.setItemFlags(1);
  m.layout(VIEW_W, VIEW_H, nullptr);
  RenderItem* it = m.item();
  EXPECT_EQ(it->type, OverlayPainter::MENU);
  EXPECT_EQ(it->text, u"Link"_s);
  EXPECT_EQ(it->flags, RenderItem::INTERFACE_FONT | 1);
  ASSERT_GE(it->lists->size(), 5);
  EXPECT_EQ(*dynamic_cast<String*>(it->getList(0)->elementAt(0)), u"Follow\t5"_s);
  EXPECT_EQ(dynamic_cast<Integer*>(it->getList(1)->elementAt(1))->intValue(), 24);
  EXPECT_FALSE(dynamic_cast<Boolean*>(it->getList(2)->elementAt(1))->boolValue());
  EXPECT_EQ(dynamic_cast<Integer*>(it->getList(3)->elementAt(0))->intValue(), 14);
  EXPECT_EQ(dynamic_cast<Integer*>(it->getList(4)->elementAt(0))->intValue(), 1);
  EXPECT_EQ(m.argumentAt(0), 7);
  EXPECT_EQ(m.labelAt(1), u"Save"_s);
  EXPECT_EQ(m.mode(), 34);
  // The same item, updated, on the next call.
  m.addRow(u"Third"_s, 3);
  EXPECT_EQ(m.item(), it);
  EXPECT_EQ(it->getList(0)->size(), 3);
  // A small menu is centred in the view.
  EXPECT_EQ(it->x, (VIEW_W - it->width) / 2);
  EXPECT_EQ(it->y, (VIEW_H - it->height) / 2);
}

TEST(MenuScreen, ATinyViewKeepsTheMenuInside) {
  std::unique_ptr<MenuScreen> m(menuOf(5));
  m->layout(30, 20, nullptr);
  RenderItem* it = m->item();
  EXPECT_LE(it->width, 30 - 4 * OverlayPainter::GAP);
  EXPECT_LE(it->height, 20 - 4 * OverlayPainter::GAP);
  EXPECT_EQ(m->rowsShown(), 0);
  EXPECT_EQ(m->key(DOWN, Window::KEY_DOWN).action, ScreenResult::CHANGED);  // the selection still moves
  EXPECT_EQ(m->key(UP, Window::KEY_SELECT).command, 101);
}

}  // namespace
