#include <gtest/gtest.h>

#include <cstdint>

#include "tests/vwt/ui/WidgetScreen.h"
#include "vwt/platform/MessageKinds.h"
#include "vwt/platform/WindowSystem.h"
#include "vwt/ui/ScrollBar.h"
#include "vwt/ui/StatusBar.h"

using namespace vwt::platform;

namespace {

const uint32_t BACKGROUND = 0x0000FF, FRAME = 0x00FF00, KNOB = 0xFF0000;

// What a pixel along the track should be, from the drawing rule: the sides are frame, the track
// is background before the knob, knob for its length, background up to the far end, which is
// frame unless the knob covers it.
uint32_t expected(int along, int acrossAt, int length, int thickness, int s, int k) {
  if (acrossAt == 0 || acrossAt == thickness - 1) return FRAME;
  if (along >= s && along < s + k) return KNOB;
  if (along == length - 1) return FRAME;
  return BACKGROUND;
}

class ScrollBarTest : public WidgetScreen {};

TEST_F(ScrollBarTest, ThePositionStaysWithinTheContent) {
  open();
  ScrollBar bar(frame, 10, 10, 8, 100, ScrollBar::VERTICAL);
  bar.setBarLength(100, 20);
  struct Case {
    int set, stored;
  } cases[] = {{1000, 80}, {-5, 0}, {0, 0}, {37, 37}, {80, 80}, {81, 80}};
  for (const Case& c : cases) {
    bar.setButtonPosition(c.set);
    EXPECT_EQ(bar.getPosition(), c.stored) << c.set;
  }
  bar.setBarLength(50, 10);  // a new length starts at the top again
  EXPECT_EQ(bar.getPosition(), 0);
  bar.setBarLength(10, 30);  // more room than content: only the top
  bar.setButtonPosition(5);
  EXPECT_EQ(bar.getPosition(), 0);
  EXPECT_EQ(bar.getClassName(), u"veskScrollBarVertical");
  EXPECT_EQ(ScrollBar(frame, 0, 0, 8, 50, ScrollBar::HORIZONTAL).getClassName(), u"veskScrollBarHorizontal");
}

struct KnobCase {
  int total, visible, position;
  int start, length;
};
// On a 100-pixel track.
const KnobCase KNOBS[] = {
    {100, 20, 0, 0, 20},     {100, 20, 80, 80, 20},
    {100, 20, 40, 40, 20},   {1000, 1, 500, 49, 1},  // shorter than a pixel: one pixel
    {300, 100, 100, 33, 33}, {100, 100, 0, 0, 100},  // the whole content visible: the whole track
    {20, 50, 0, 0, 250},                             // more room than content: past both ends
};

TEST_F(ScrollBarTest, KnobLengthAndStart) {
  for (const KnobCase& c : KNOBS) {
    int s = -1, k = -1;
    ASSERT_TRUE(ScrollBar::getKnob(100, c.total, c.visible, c.position, &s, &k)) << c.total;
    EXPECT_EQ(s, c.start) << c.total << " " << c.visible << " " << c.position;
    EXPECT_EQ(k, c.length) << c.total << " " << c.visible << " " << c.position;
  }
  int s, k;
  EXPECT_FALSE(ScrollBar::getKnob(100, 0, 0, 0, &s, &k));
  // Lengths of whole documents do not overflow.
  ASSERT_TRUE(ScrollBar::getKnob(300, 2000000000, 1000000000, 1000000000, &s, &k));
  EXPECT_EQ(k, 150);
  EXPECT_EQ(s, 150);
}

TEST_F(ScrollBarTest, PaintsFrameTrackAndKnobBothWays) {
  open();
  const int X = 20, Y = 30, THICK = 10, LEN = 100;
  ScrollBar vertical(frame, X, Y, THICK, LEN, ScrollBar::VERTICAL);
  ScrollBar horizontal(frame, 60, 150, THICK, LEN, ScrollBar::HORIZONTAL);
  for (ScrollBar* bar : {&vertical, &horizontal}) bar->setColor(BACKGROUND, FRAME, KNOB);
  for (const KnobCase& c : KNOBS) {
    for (ScrollBar* bar : {&vertical, &horizontal}) {
      bar->setBarLength(c.total, c.visible);
      bar->setButtonPosition(c.position);
      bar->repaint();
    }
    int s, k;
    ScrollBar::getKnob(LEN, c.total, c.visible, vertical.getPosition(), &s, &k);
    for (int along = 0; along < LEN; ++along) {
      for (int across : {0, 1, THICK / 2, THICK - 2, THICK - 1}) {
        uint32_t want = expected(along, across, LEN, THICK, s, k);
        ASSERT_EQ(pixel(X + across, Y + along), want)
            << "vertical " << c.total << " at " << along << "," << across;
        ASSERT_EQ(pixel(60 + along, 150 + across), want)
            << "horizontal " << c.total << " at " << along << "," << across;
      }
    }
  }
  // Nothing beside it is touched.
  EXPECT_EQ(pixel(X - 1, Y + 5), static_cast<uint32_t>(WidgetFrame::FRAME_COLOR));
  EXPECT_EQ(pixel(X + THICK, Y + 5), static_cast<uint32_t>(WidgetFrame::FRAME_COLOR));
}

TEST_F(ScrollBarTest, WithoutContentTheWindowBackgroundShows) {
  open();
  ScrollBar bar(frame, 20, 30, 10, 100, ScrollBar::VERTICAL);
  bar.setColor(BACKGROUND, FRAME, KNOB);
  bar.repaint();
  for (int y : {30, 31, 80, 129})
    for (int x : {20, 25, 29}) EXPECT_EQ(pixel(x, y), 0xFFFFFFu) << x << "," << y;
}

TEST_F(ScrollBarTest, AHandleOfAnotherKindOrNoneIsAnsweredWithNothing) {
  WidgetFrame* f = open();
  ScrollBar bar(f, 20, 30, 10, 100, ScrollBar::VERTICAL);
  StatusBar status(f, 20, u"ScrollBarTestStatus"_s);
  bar.setColor(BACKGROUND, FRAME, KNOB);
  bar.setBarLength(10, 5);
  WindowSystem& ws = WindowSystem::get();
  // A window of the scroll bar's class that no toolkit object owns.
  int stray = ws.createWindow(u"veskScrollBarVertical", u"", STYLE_CHILD | STYLE_VISIBLE, f->getHandle(), 100,
                              30, 10, 100);
  ASSERT_NE(stray, 0);
  EXPECT_EQ(app->getWindowFromHandle(stray), nullptr);
  EXPECT_EQ(ScrollBar::scrollBarProcedure(stray, WM_PAINT, 0, 0), 0);
  EXPECT_EQ(pixel(105, 80), 0xFFFFFFu);  // erased by the window system, never painted
  // The status bar's procedure does not take a scroll bar for a status bar.
  EXPECT_EQ(StatusBar::statusBarProcedure(bar.getHandle(), WM_LBUTTONUP, 0, packPoint(5, 3)), 0);
  EXPECT_EQ(StatusBar::statusBarProcedure(stray, WM_LBUTTONUP, 0, packPoint(5, 3)), 0);
  EXPECT_EQ(f->taps, 0);
  // Its own scroll bar is painted.
  EXPECT_EQ(pixel(25, 35), KNOB);
  ws.destroyWindow(stray);
}

TEST_F(ScrollBarTest, ABarDestroyedWithItsParentForgetsItsHandle) {
  WidgetFrame* f = open();
  Window panel;
  ASSERT_TRUE(panel.createWindow(f, 0, 0, 100, 100, true));
  ScrollBar bar(&panel, 0, 0, 10, 50, ScrollBar::VERTICAL);
  int h = bar.getHandle();
  ASSERT_NE(h, 0);
  EXPECT_EQ(app->getWindowFromHandle(h), &bar);
  panel.dispose();
  EXPECT_EQ(bar.getHandle(), 0);
  EXPECT_EQ(app->getWindowFromHandle(h), nullptr);
}

}  // namespace
