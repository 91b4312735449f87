#include <gtest/gtest.h>

#include <memory>

#include "browser/menu/CommandId.h"
#include "browser/menu/SideMenuScreen.h"
#include "browser/page/OverlayPainter.h"
#include "browser/page/RenderItem.h"
#include "vwt/lang/Boolean.h"
#include "vwt/ui/Window.h"

namespace {

const int DOWN = 0, UP = 1;
const int LINE = 16;  // the stock face's line, without a font
const int ROW = LINE + 2 * OverlayPainter::GAP;

// A heading, two windows, a heading, two more windows: rows run command 500 with the window number.
SideMenuScreen* listOf() {
  SideMenuScreen* m = new SideMenuScreen(7);
  m->addRow(u"Windows"_s, 0, 0, true);
  m->addRow(u"Portal"_s, 500, 0);
  m->addRow(u"News"_s, 500, 1);
  m->addRow(u"More"_s, 0, 0, true);
  m->addRow(u"about:blank"_s, 500, 2);
  m->addRow(u"Mail"_s, 500, 3);
  return m;
}

TEST(SideMenuScreen, KeysSkipHeadingsWrapRunAndCloseTheWindow) {
  std::unique_ptr<SideMenuScreen> m(listOf());
  m->layout(240, 320, nullptr);
  EXPECT_EQ(m->selected(), 1);
  struct Step {
    int type, key;
    ScreenResult::Action action;
    int command, argument, selected;
  } steps[] = {
      {DOWN, Window::KEY_DOWN, ScreenResult::CHANGED, 0, 0, 2},
      {DOWN, Window::KEY_DOWN, ScreenResult::CHANGED, 0, 0, 4},  // over the heading
      {DOWN, Window::KEY_DOWN, ScreenResult::CHANGED, 0, 0, 5},
      {DOWN, Window::KEY_DOWN, ScreenResult::CHANGED, 0, 0, 1},  // wraps over the first heading
      {DOWN, Window::KEY_UP, ScreenResult::CHANGED, 0, 0, 5},
      {UP, Window::KEY_UP, ScreenResult::IGNORED, 0, 0, 5},
      {UP, Window::KEY_SELECT, ScreenResult::COMMAND, 500, 3, 5},
      {UP, Window::KEY_SOFT1, ScreenResult::COMMAND, COMMAND_CLOSE_WINDOW, 3, 5},
      {UP, Window::KEY_SOFT2, ScreenResult::CLOSE, 0, 0, 5},
      {UP, Window::KEY_ESCAPE, ScreenResult::CLOSE, 0, 0, 5},
      {UP, 1, ScreenResult::IGNORED, 0, 0, 5},
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(::testing::Message() << s.key << " -> " << s.selected);
    ScreenResult r = m->key(s.type, s.key);
    EXPECT_EQ(r.action, s.action);
    EXPECT_EQ(r.command, s.command);
    EXPECT_EQ(r.argument, s.argument);
    EXPECT_EQ(m->selected(), s.selected);
  }
  m->select(3);  // a heading: the next window
  EXPECT_EQ(m->selected(), 4);
  m->select(-5);
  EXPECT_EQ(m->selected(), 1);
}

TEST(SideMenuScreen, TapsRunWindowsAndCloseOutside) {
  std::unique_ptr<SideMenuScreen> m(listOf());
  m->layout(240, 320, nullptr);
  RenderItem* it = m->item();
  EXPECT_EQ(it->type, OverlayPainter::SIDE_MENU);
  EXPECT_EQ(it->x, 2 * OverlayPainter::GAP);
  EXPECT_EQ(it->height, 2 + 6 * ROW);
  EXPECT_FALSE(dynamic_cast<Boolean*>(it->getList(2)->elementAt(3))->boolValue());
  const int middleX = it->x + it->width / 2;
  auto rowY = [&](int row) { return it->y + 1 + row * ROW + ROW / 2; };
  ScreenResult r = m->tap(middleX, rowY(4));
  EXPECT_EQ(r.action, ScreenResult::COMMAND);
  EXPECT_EQ(r.argument, 2);
  EXPECT_EQ(m->selected(), 4);
  EXPECT_EQ(m->tap(middleX, rowY(0)).action, ScreenResult::IGNORED);  // a heading
  EXPECT_EQ(m->tap(it->x + it->width + 1, rowY(1)).action, ScreenResult::CLOSE);
  EXPECT_EQ(m->tap(middleX, it->y + it->height).action, ScreenResult::CLOSE);
}

TEST(SideMenuScreen, ALongListScrollsTheCurrentRowIntoView) {
  SideMenuScreen m(7);
  m.addRow(u"Windows"_s, 0, 0, true);
  for (int i = 0; i < 30; ++i) m.addRow(u"Window "_s + i, 500, i);
  m.select(25);
  m.layout(240, 160, nullptr);
  const int shown = m.rowsShown();
  ASSERT_LT(shown, 31);
  EXPECT_LE(m.item()->height, 160 - 4 * OverlayPainter::GAP);
  EXPECT_GE(m.selected(), m.firstShown());
  EXPECT_LT(m.selected(), m.firstShown() + shown);
  m.select(1);
  EXPECT_EQ(m.firstShown(), 0);  // the heading above the first window comes along
  m.key(DOWN, Window::KEY_UP);
  EXPECT_EQ(m.selected(), 30);
  EXPECT_EQ(m.firstShown(), 31 - shown);
  EXPECT_EQ(m.item()->value1, 31 - shown);
}

TEST(SideMenuScreen, AnEmptyListOnlyCloses) {
  SideMenuScreen m(7);
  m.layout(240, 320, nullptr);
  EXPECT_EQ(m.selected(), -1);
  EXPECT_EQ(m.key(UP, Window::KEY_SOFT1).action, ScreenResult::IGNORED);
  EXPECT_EQ(m.key(UP, Window::KEY_SELECT).action, ScreenResult::IGNORED);
  EXPECT_EQ(m.key(UP, Window::KEY_SOFT2).action, ScreenResult::CLOSE);
}

}  // namespace
