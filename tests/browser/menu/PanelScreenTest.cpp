#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "browser/menu/PanelScreen.h"
#include "browser/page/OverlayPainter.h"
#include "browser/page/RenderItem.h"
#include "tests/browser/DrawnScene.h"
#include "vwt/lang/AutoPtr.h"
#include "vwt/lang/Integer.h"
#include "vwt/ui/Font.h"
#include "vwt/ui/Graphics.h"
#include "vwt/ui/Image.h"
#include "vwt/ui/Window.h"

namespace {

Image* bound(vwt::Font* font) {
  Image* image = Image::createImage(1, 1, 0xFFFFFF);
  image->getGraphics()->setFont(font);
  return image;
}

const int VIEW_WIDTH = 240;
const int VIEW_HEIGHT = 320;
const int DOWN = 0, UP = 1;
const int COMMAND_APPLY = 2300;
const int SLIDER_COMMAND = 2301;
const int COMMAND_CHOICE = 2302;

// The children of a panel: a text, two buttons, a group of two choices, a check box and a slider.
enum Child { INTRO, APPLY, CANCEL, LIGHT, DARK, EXTRA, SLIDER, CHILD_COUNT };

class PanelScreenTest : public ::testing::Test {
 protected:
  PanelScreen* sample(int mode = 9) {
    PanelScreen* p = new PanelScreen(mode, u"Sample"_s);
    p->addText(u"Some words that explain what the panel changes, long enough to wrap."_s);
    p->addButton(u"Apply"_s, ScreenResult::run(COMMAND_APPLY, 5));
    p->addButton(u"Cancel"_s, ScreenResult::close());
    p->addChoice(u"Light"_s, true, ScreenResult::runAndKeep(COMMAND_CHOICE, 0));
    p->addChoice(u"Dark"_s, false, ScreenResult::runAndKeep(COMMAND_CHOICE, 1));
    p->addChoice(u"Extra"_s, false, ScreenResult::changed());
    p->addSlider(0, 40, 100, 10, SLIDER_COMMAND);
    p->layout(VIEW_WIDTH, VIEW_HEIGHT, scene.interfaceFont());
    return p;
  }
  static RenderItem* childItem(PanelScreen* p, int i) {
    return dynamic_cast<RenderItem*>(p->item()->getList(0)->elementAt(i));
  }
  // The view point in the middle of the item the panel made at index i.
  void centreOf(PanelScreen* p, int i, int* x, int* y) {
    RenderItem* panel = p->item();
    RenderItem* c = childItem(p, i);
    const int inset = 1, title = titleBar() + OverlayPainter::GAP;
    *x = panel->x + inset + OverlayPainter::GAP + c->x + c->width / 2;
    *y =
        panel->y + inset + title + OverlayPainter::GAP + c->y + c->height / 2 - panel->value1 * panel->param1;
  }
  int lineHeight() { return scene.interfaceFont()->getHeight(); }
  // The title bar as the painter draws it: the line or the close mark, whichever is higher.
  int titleBar() { return std::max(lineHeight(), 12); }

  drawn::Scene scene;
  // Fonts measure through the context they are bound to, as the canvas's are.
  AutoPtr<Image> canvas{bound(scene.interfaceFont())};
};

TEST_F(PanelScreenTest, TheItemIsAPanelInsideTheViewWithOneChildItemPerPart) {
  AutoPtr<PanelScreen> p(sample());
  RenderItem* panel = p->item();
  EXPECT_EQ(panel->type, OverlayPainter::PANEL);
  EXPECT_EQ(panel->text, u"Sample"_s);
  EXPECT_EQ(panel->x, 2 * OverlayPainter::GAP);
  EXPECT_EQ(panel->width, VIEW_WIDTH - 4 * OverlayPainter::GAP);
  EXPECT_LE(panel->y + panel->height, VIEW_HEIGHT - 2 * OverlayPainter::GAP);
  EXPECT_EQ(panel->param1, lineHeight() + OverlayPainter::GAP);
  EXPECT_EQ(p->childCount(), CHILD_COUNT);

  // The text wrapped into lines no wider than the content; every line is a TEXT item.
  const int contentWidth = panel->width - 2 * (1 + OverlayPainter::GAP);
  std::vector<int> types;
  int lines = 0;
  for (int i = 0; i < panel->getList(0)->size(); ++i) {
    RenderItem* c = childItem(p.get(), i);
    types.push_back(c->type);
    EXPECT_TRUE(c->flags & RenderItem::INTERFACE_FONT);
    EXPECT_LE(c->x + c->width, contentWidth);
    if (c->type == RenderItem::TEXT && c->y < 2 * lineHeight() + 1) {
      ++lines;
      EXPECT_LE(scene.interfaceFont()->stringWidth(c->text), contentWidth);
    }
  }
  EXPECT_EQ(lines, 2);
  const std::vector<int> expected = {
      RenderItem::TEXT,     RenderItem::TEXT,     RenderItem::BUTTON, RenderItem::BUTTON,    RenderItem::BOX,
      RenderItem::CHECKBOX, RenderItem::TEXT,     RenderItem::BOX,    RenderItem::CHECKBOX,  RenderItem::TEXT,
      RenderItem::BOX,      RenderItem::CHECKBOX, RenderItem::TEXT,   OverlayPainter::SLIDER};
  EXPECT_EQ(types, expected);
  // The first button has the focus; its item carries the focus frame.
  EXPECT_EQ(p->focused(), APPLY);
  EXPECT_EQ(panel->value2, 2);
}

TEST_F(PanelScreenTest, UpAndDownMoveTheFocusOverTheActiveChildrenOnly) {
  AutoPtr<PanelScreen> p(sample());
  const int order[] = {CANCEL, LIGHT, DARK, EXTRA, SLIDER};
  for (int expected : order) {
    EXPECT_EQ(p->key(DOWN, Window::KEY_DOWN).action, ScreenResult::CHANGED);
    EXPECT_EQ(p->focused(), expected);
  }
  // At the end nothing moves and nothing is left to scroll.
  EXPECT_EQ(p->key(DOWN, Window::KEY_DOWN).action, ScreenResult::IGNORED);
  EXPECT_EQ(p->focused(), SLIDER);
  EXPECT_TRUE(childItem(p.get(), p->item()->value2)->flags & 0x20);
  for (int i = 0; i < 5; ++i) p->key(DOWN, Window::KEY_UP);
  EXPECT_EQ(p->focused(), APPLY);
  // Key-up of a direction and key-down of select do nothing.
  EXPECT_EQ(p->key(UP, Window::KEY_DOWN).action, ScreenResult::IGNORED);
  EXPECT_EQ(p->key(DOWN, Window::KEY_SELECT).action, ScreenResult::IGNORED);
  p->focus(INTRO);  // a text never takes the focus
  EXPECT_EQ(p->focused(), APPLY);
}

TEST_F(PanelScreenTest, SelectActivatesButtonsChoicesAndCheckBoxes) {
  AutoPtr<PanelScreen> p(sample());
  ScreenResult r = p->key(UP, Window::KEY_SELECT);
  EXPECT_EQ(r.action, ScreenResult::COMMAND);
  EXPECT_EQ(r.command, COMMAND_APPLY);
  EXPECT_EQ(r.argument, 5);

  p->focus(DARK);
  r = p->key(UP, Window::KEY_SELECT);
  EXPECT_EQ(r.action, ScreenResult::COMMAND_KEEP);
  EXPECT_EQ(r.command, COMMAND_CHOICE);
  EXPECT_EQ(r.argument, 1);
  EXPECT_TRUE(p->isChosen(DARK));
  EXPECT_FALSE(p->isChosen(LIGHT));  // one of a group
  EXPECT_FALSE(p->isChosen(EXTRA));  // a check box stands alone
  EXPECT_TRUE(childItem(p.get(), 8)->flags & 0x4);
  EXPECT_FALSE(childItem(p.get(), 5)->flags & 0x4);

  p->focus(EXTRA);
  EXPECT_EQ(p->key(UP, Window::KEY_SELECT).action, ScreenResult::CHANGED);
  EXPECT_TRUE(p->isChosen(EXTRA));
  EXPECT_TRUE(p->isChosen(DARK));
  p->key(UP, Window::KEY_SELECT);
  EXPECT_FALSE(p->isChosen(EXTRA));
}

TEST_F(PanelScreenTest, LeftAndRightStepAFocusedSliderWithinItsRange) {
  AutoPtr<PanelScreen> p(sample());
  // Not on a slider: nothing.
  EXPECT_EQ(p->key(DOWN, Window::KEY_RIGHT).action, ScreenResult::IGNORED);
  p->focus(SLIDER);
  struct Step {
    int key;
    ScreenResult::Action action;
    int value;
  } steps[] = {{Window::KEY_RIGHT, ScreenResult::COMMAND_KEEP, 50},
               {Window::KEY_LEFT, ScreenResult::COMMAND_KEEP, 40},
               {Window::KEY_LEFT, ScreenResult::COMMAND_KEEP, 30}};
  for (const Step& s : steps) {
    ScreenResult r = p->key(DOWN, s.key);
    EXPECT_EQ(r.action, s.action);
    EXPECT_EQ(r.command, SLIDER_COMMAND);
    EXPECT_EQ(r.argument, s.value);
    EXPECT_EQ(p->sliderValue(SLIDER), s.value);
  }
  for (int i = 0; i < 20; ++i) p->key(DOWN, Window::KEY_RIGHT);
  EXPECT_EQ(p->sliderValue(SLIDER), 100);
  EXPECT_EQ(p->key(DOWN, Window::KEY_RIGHT).action, ScreenResult::IGNORED);  // at the end
  RenderItem* slider = childItem(p.get(), p->item()->value2);
  EXPECT_EQ(dynamic_cast<Integer*>(slider->getList(0)->elementAt(1))->intValue(), 100);
}

TEST_F(PanelScreenTest, SoftKeysEscapeAndClear) {
  struct Case {
    int mode, key;
    ScreenResult::Action action;
    int command;
  } cases[] = {
      {9, Window::KEY_SOFT1, ScreenResult::COMMAND,
       COMMAND_APPLY},  // the left label presses the first button
      {4, Window::KEY_SOFT1, ScreenResult::COMMAND, COMMAND_APPLY},
      {11, Window::KEY_SOFT1, ScreenResult::IGNORED, 0},  // no left label
      {9, Window::KEY_SOFT2, ScreenResult::CLOSE, 0},
      {11, Window::KEY_ESCAPE, ScreenResult::CLOSE, 0},
      {11, Window::KEY_BACKSPACE, ScreenResult::CLOSE, 0},
      {9, Window::KEY_0 + 5, ScreenResult::IGNORED, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.mode) + " " + std::to_string(c.key));
    AutoPtr<PanelScreen> p(sample(c.mode));
    p->focus(DARK);
    ScreenResult r = p->key(UP, c.key);
    EXPECT_EQ(r.action, c.action);
    EXPECT_EQ(r.command, c.command);
  }
}

TEST_F(PanelScreenTest, TapsPressTheChildUnderThemAndCloseOutside) {
  AutoPtr<PanelScreen> p(sample());
  RenderItem* panel = p->item();
  int x, y;
  centreOf(p.get(), 3, &x, &y);  // Cancel
  EXPECT_EQ(p->tap(x, y).action, ScreenResult::CLOSE);
  EXPECT_EQ(p->focused(), CANCEL);
  centreOf(p.get(), 7, &x, &y);  // the row of Dark
  ScreenResult r = p->tap(x, y);
  EXPECT_EQ(r.action, ScreenResult::COMMAND_KEEP);
  EXPECT_EQ(r.argument, 1);
  EXPECT_TRUE(p->isChosen(DARK));
  centreOf(p.get(), 0, &x, &y);  // a text
  EXPECT_EQ(p->tap(x, y).action, ScreenResult::IGNORED);

  // The slider's knob goes where it is tapped, on a whole step.
  // (A tap rebuilds the children: the slider's width is read before.)
  int sliderWidth = childItem(p.get(), 13)->width;
  centreOf(p.get(), 13, &x, &y);
  x -= sliderWidth / 2;
  EXPECT_EQ(p->tap(x, y).argument, 0);
  EXPECT_EQ(p->tap(x + sliderWidth - 1, y).argument, 100);

  // The close mark at the right of the title bar, and anywhere outside the panel.
  EXPECT_EQ(p->tap(panel->x + panel->width - 4, panel->y + 4).action, ScreenResult::CLOSE);
  EXPECT_EQ(p->tap(panel->x + 10, panel->y + 4).action, ScreenResult::IGNORED);
  EXPECT_EQ(p->tap(1, 1).action, ScreenResult::CLOSE);
  EXPECT_EQ(p->tap(VIEW_WIDTH / 2, panel->y + panel->height + 1).action, ScreenResult::CLOSE);
}

TEST_F(PanelScreenTest, ALongPanelScrollsToKeepTheFocusInView) {
  PanelScreen p(9, u"Many"_s);
  p.addText(u"Choose one."_s);
  for (int i = 0; i < 30; ++i) p.addChoice(u"Choice "_s + i, i == 0, ScreenResult::runAndKeep(2400, i));
  p.layout(VIEW_WIDTH, 200, scene.interfaceFont());
  RenderItem* panel = p.item();
  EXPECT_LE(panel->height, 200 - 4 * OverlayPainter::GAP);
  const int step = panel->param1;
  const int contentHeight = panel->height - 2 - (titleBar() + OverlayPainter::GAP) - 2 * OverlayPainter::GAP;
  const int visibleRows = contentHeight / step;
  EXPECT_EQ(panel->value1, 0);
  for (int i = 0; i < 29; ++i) {
    p.key(DOWN, Window::KEY_DOWN);
    RenderItem* row = childItem(&p, panel->value2);
    EXPECT_GE(row->y, panel->value1 * step);
    EXPECT_LE(row->y + row->height, (panel->value1 + visibleRows) * step);
  }
  EXPECT_GT(panel->value1, 0);
  // The rows were placed beside the scroll bar.
  const int contentWidth = panel->width - 2 * (1 + OverlayPainter::GAP);
  EXPECT_LE(childItem(&p, 1)->width, contentWidth - OverlayPainter::SCROLL_BAR_WIDTH - OverlayPainter::GAP);
  // Back up to the first choice, the text above it comes into view again.
  for (int i = 0; i < 29; ++i) p.key(DOWN, Window::KEY_UP);
  EXPECT_EQ(panel->value1, 0);

  // A panel of text only scrolls with the direction keys.
  PanelScreen text(9, u"Text"_s);
  for (int i = 0; i < 40; ++i) text.addText(u"Line "_s + i);
  text.layout(VIEW_WIDTH, 200, scene.interfaceFont());
  EXPECT_EQ(text.focused(), -1);
  EXPECT_EQ(text.key(DOWN, Window::KEY_DOWN).action, ScreenResult::CHANGED);
  EXPECT_EQ(text.item()->value1, 1);
  EXPECT_EQ(text.key(DOWN, Window::KEY_UP).action, ScreenResult::CHANGED);
  EXPECT_EQ(text.key(DOWN, Window::KEY_UP).action, ScreenResult::IGNORED);
}

TEST_F(PanelScreenTest, AnEntryAnswerBecomesTheEntryResultWithItsText) {
  AutoPtr<PanelScreen> p(sample());
  EXPECT_EQ(p->entered(u"ignored"_s).action, ScreenResult::CHANGED);
  p->setEntryResult(ScreenResult::run(2500, 3));
  ScreenResult r = p->entered(u"http://example.org/"_s);
  EXPECT_EQ(r.action, ScreenResult::COMMAND);
  EXPECT_EQ(r.command, 2500);
  EXPECT_EQ(r.argument, 3);
  EXPECT_EQ(r.text, u"http://example.org/"_s);
}

TEST_F(PanelScreenTest, TinyViewsAndEmptyPanelsStaySane) {
  for (int size : {0, 3, 20}) {
    AutoPtr<PanelScreen> p(sample());
    p->layout(size, size, scene.interfaceFont());
    EXPECT_GE(p->item()->width, 0);
    EXPECT_GE(p->item()->height, 0);
    for (int key : {Window::KEY_DOWN, Window::KEY_UP, Window::KEY_RIGHT}) p->key(DOWN, key);
    p->tap(size / 2, size / 2);
  }
  PanelScreen empty(9, String());
  empty.layout(VIEW_WIDTH, VIEW_HEIGHT, nullptr);
  EXPECT_EQ(empty.focused(), -1);
  EXPECT_EQ(empty.key(UP, Window::KEY_SELECT).action, ScreenResult::IGNORED);
  EXPECT_EQ(empty.key(DOWN, Window::KEY_DOWN).action, ScreenResult::IGNORED);
}

}  // namespace
