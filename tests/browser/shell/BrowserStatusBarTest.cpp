#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "browser/page/Palette.h"
#include "browser/shell/BrowserStatusBar.h"
#include "browser/shell/StatusBarHost.h"
#include "tests/browser/DrawnScene.h"
#include "tests/vwt/ui/WidgetScreen.h"
#include "vwt/lang/Calendar.h"
#include "vwt/platform/WindowSystem.h"
#include "vwt/ui/Font.h"
#include "vwt/ui/Graphics.h"

using vwt::platform::WindowSystem;

namespace {

const int FONT_SIZE = drawn::INTERFACE_FONT_SIZE;

class FakeHost : public StatusBarHost {
 public:
  FakeHost() : font(new vwt::Font(vwt::Font::FACE_VARIABLE_PITCH, FONT_SIZE)) {}
  vwt::Font* statusFont() override { return font.get(); }
  vwt::Font* pageFont() override { return font.get(); }
  int schemeColour(int entry) override { return Palette::colour(set, entry); }
  bool showsSoftKeyLabels() override { return labels > 0; }
  bool usesTwoLabels() override { return labels > 1; }
  bool showsClock() override { return clock; }
  uint32_t rgb(int entry) const { return static_cast<uint32_t>(Palette::colour(set, entry)) & 0xFFFFFFu; }

  std::unique_ptr<vwt::Font> font;
  int set = 0;
  int labels = 0;
  bool clock = false;
};

// Counts its paints.
class CountedBar : public BrowserStatusBar {
 public:
  CountedBar(Window* canvas, StatusBarHost* host) : BrowserStatusBar(canvas, host) {}
  void onPaint(Graphics* g) override {
    ++paints;
    BrowserStatusBar::onPaint(g);
  }
  int paints = 0;
};

BrowserStatusBar::Clock fixedClock(int hour, int minute) {
  return [hour, minute]() {
    Calendar* c = new Calendar();
    c->set(2026, 11, 10, hour, minute, 0);
    return c;
  };
}

// A 240 x 320 screen: the frame is 268 pixels high, the bar (12 + 4) sits at its bottom.
class BrowserStatusBarTest : public WidgetScreen {
 protected:
  static constexpr int BAR_TOP = 268 - FONT_SIZE - 4;

  std::unique_ptr<CountedBar> bar(FakeHost* host) {
    std::unique_ptr<CountedBar> b(new CountedBar(frame, host));
    b->setClock(fixedClock(9, 5));
    WindowSystem::get().update();
    return b;
  }
  // The pixels of the columns [x0, x1) of the bar's text band that show the colour (within the
  // tolerance per channel: text is anti-aliased).
  static int count(int x0, int x1, uint32_t rgb, int tolerance = 0) {
    int n = 0;
    for (int y = BAR_TOP + 2; y < BAR_TOP + 2 + FONT_SIZE; ++y)
      for (int x = x0; x < x1; ++x) {
        const uint32_t p = pixel(x, y);
        bool near = true;
        for (int shift = 0; shift < 24; shift += 8) {
          const int d = static_cast<int>((p >> shift) & 255) - static_cast<int>((rgb >> shift) & 255);
          near = near && d <= tolerance && d >= -tolerance;
        }
        n += near;
      }
    return n;
  }
  static const int INK = 100;
  FakeHost host;
};

TEST_F(BrowserStatusBarTest, SitsAtTheCanvasBottomOneFontLineHigh) {
  open();
  auto b = bar(&host);
  EXPECT_EQ(b->getHeight(), FONT_SIZE + 4);
  EXPECT_EQ(b->getWidth(), 240);
  EXPECT_EQ(b->getLocationOnScreen().y, BAR_TOP);
  EXPECT_EQ(b->getClassName(), u"veskBrowserQKStatusBar"_s);
  EXPECT_TRUE(b->isShown());
  EXPECT_EQ(pixel(100, BAR_TOP + 5), host.rgb(11));

  b->show(false);
  EXPECT_FALSE(b->isShown());
  EXPECT_EQ(pixel(100, BAR_TOP + 5), static_cast<uint32_t>(WidgetFrame::FRAME_COLOR));
  b->show(true);
  EXPECT_EQ(pixel(100, BAR_TOP + 5), host.rgb(11));
}

// Without labels, one, two; each without and with the clock; the last row in palette set 1.
TEST_F(BrowserStatusBarTest, LabelsTextAndClockInEveryArrangement) {
  open();
  struct Case {
    int labels;
    bool clock;
    int set;
  } cases[] = {{0, false, 0}, {0, true, 0}, {1, false, 0}, {1, true, 0},
               {2, false, 0}, {2, true, 0}, {2, true, 1}};
  const int rows = FONT_SIZE + 4;
  std::vector<uint32_t> picture;
  for (const Case& c : cases) {
    host.labels = c.labels;
    host.clock = c.clock;
    host.set = c.set;
    auto b = bar(&host);
    b->setLabel(u"Menu"_s, 0);
    b->setLabel(u"Back"_s, 1);
    b->setStatusText(u"Loading http://127.0.0.1/portal/ 42%"_s);
    WindowSystem::get().update();
    vwt::platform::PixelTarget screen = WindowSystem::get().screen();
    for (int y = BAR_TOP; y < BAR_TOP + rows; ++y)
      picture.insert(picture.end(), screen.pixels + y * screen.stride,
                     screen.pixels + y * screen.stride + 240);
  }
  const int height = static_cast<int>(picture.size() / 240);
  EXPECT_TRUE(drawn::matches(vwt::platform::PixelTarget{picture.data(), 240, 240, height}, "status-bar.png"));
}

TEST_F(BrowserStatusBarTest, TheSameLabelTwiceRepaintsOnce) {
  open();
  host.labels = 2;
  auto b = bar(&host);
  const int before = b->paints;
  b->setLabel(u"Menu"_s, 0);
  WindowSystem::get().update();
  EXPECT_EQ(b->paints, before + 1);
  b->setLabel(u"Menu"_s, 0);
  b->setLabel(u"Menu"_s, 7);  // no such box
  WindowSystem::get().update();
  EXPECT_EQ(b->paints, before + 1);
  EXPECT_EQ(b->getLabel(0), u"Menu"_s);
  EXPECT_EQ(b->getLabel(7), String());
}

TEST_F(BrowserStatusBarTest, WithTheClockAndTwoLabelsTheTextEndsBeforeTheClock) {
  open();
  host.labels = 2;
  host.clock = true;
  auto b = bar(&host);
  b->setStatusText(u"WWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWW"_s);
  WindowSystem::get().update();
  // b = 42; the clock left of the right box; the text from b + 1 over 240 - R pixels, where R holds both
  // boxes and the clock's room (its width and half a line, at least 11/4 + 1/2 lines).
  Graphics* g = b->getGraphics();
  g->setFont(host.font.get());
  const int clockWidth = g->stringWidth(u"09:05"_s), box = FONT_SIZE * 7 / 2;
  const int room = std::max(FONT_SIZE * 11 / 4 + FONT_SIZE / 2, clockWidth + 2 + FONT_SIZE / 2);
  const int textEnd = box + 1 + 240 - (2 * box + room), clockX = 240 - box - 2 - clockWidth;
  const uint32_t text = host.rgb(1), background = host.rgb(11);
  EXPECT_GT(count(textEnd - 20, textEnd, text, INK), 0) << "the text runs up to its end";
  ASSERT_GT(clockX, textEnd);
  EXPECT_EQ(count(textEnd, clockX, background), (clockX - textEnd) * FONT_SIZE) << "a gap before the clock";
  EXPECT_GT(count(clockX, 240 - box, text, INK), 20) << "the clock shows";
}

TEST_F(BrowserStatusBarTest, ABarNoWiderThanItsReservedRoomDrawsNoText) {
  open();
  host.labels = 2;
  auto b = bar(&host);
  b->setStatusText(u"WWWWWWWW"_s);
  const int box = FONT_SIZE * 7 / 2;
  for (int width : {2 * box, 2 * box - 10, 3}) {
    SCOPED_TRACE(width);
    b->setSize(width, 0);
    WindowSystem::get().update();
    // The empty label boxes hold only their face: no text went over them.
    EXPECT_EQ(count(0, width, host.rgb(1), INK), 0);
  }
}

TEST_F(BrowserStatusBarTest, ARepaintWithNothingDirtyRedrawsTheClockOnly) {
  open();
  host.clock = true;
  auto b = bar(&host);
  b->setStatusText(u"Done"_s);
  WindowSystem::get().update();
  const uint32_t light = host.rgb(11);
  // Another scheme and another time, then a plain repaint (the canvas under the bar is painted too).
  host.set = 1;
  b->setClock(fixedClock(23, 59));
  b->repaint();
  frame->repaint();
  WindowSystem::get().update();
  Graphics* g = b->getGraphics();
  g->setFont(host.font.get());
  const int clockX = 240 - 2 - g->stringWidth(u"23:59"_s);
  EXPECT_EQ(count(40, clockX, light), (clockX - 40) * FONT_SIZE) << "the background was left as it was";
  EXPECT_EQ(pixel(100, BAR_TOP), light) << "and the top line";
  EXPECT_GT(count(clockX, 238, host.rgb(1), INK), 20) << "the new clock in the new scheme";
  EXPECT_GT(count(clockX, 238, host.rgb(11)), 100) << "on its own background";

  // A new status text is drawn with the background again.
  b->setStatusText(u"Loading"_s);
  WindowSystem::get().update();
  EXPECT_EQ(count(40, clockX, light), 0);
  EXPECT_EQ(pixel(100, BAR_TOP + 5), host.rgb(11));
}

}  // namespace
