#include <gtest/gtest.h>

#include "tests/vwt/ui/WidgetScreen.h"
#include "vwt/platform/MessageKinds.h"
#include "vwt/platform/WindowSystem.h"
#include "vwt/ui/StatusBar.h"

using namespace vwt::platform;

namespace {

// A status bar that draws itself and would notice any stylus event that reached it.
class GreenBar : public StatusBar {
 public:
  GreenBar(Frame* parent, int height) : StatusBar(parent, height, u"StatusBarTestBar"_s) {}
  void onPaint(Graphics* g) override {
    g->setColor(0x00AA00);
    g->fillRect(0, 0, getWidth(), getHeight());
  }
  void onEraseBackground() override { ++erased; }
  void onPointerPressed(int, int) override { ++stylus; }
  void onPointerDragged(int, int) override { ++stylus; }
  void onPointerReleased(int, int) override { ++stylus; }
  int erased = 0;
  int stylus = 0;
};

// 352 - 52 for the soft keys: a frame 300 pixels high.
class StatusBarTest : public WidgetScreen {
 protected:
  StatusBarTest() : WidgetScreen(240, 352) {}
};

TEST_F(StatusBarTest, ATapReachesTheFrameInItsCoordinates) {
  WidgetFrame* f = open("press 5 283\nmove 6 284\nrelease 5 283\nquit\n");
  ASSERT_EQ(f->getHeight(), 300);
  GreenBar bar(f, 20);
  app->run();
  EXPECT_EQ(f->taps, 1);
  EXPECT_EQ(f->tapX, 5);
  EXPECT_EQ(f->tapY, 283);
  EXPECT_EQ(bar.stylus, 0);
  EXPECT_GE(bar.erased, 1);
}

TEST_F(StatusBarTest, SitsAtTheBottomAndFollowsSizeAndHeight) {
  WidgetFrame* f = open();
  GreenBar bar(f, 20);
  EXPECT_EQ(bar.getParent(), f);
  EXPECT_EQ(bar.getLocationOnScreen().y, 280);
  EXPECT_EQ(bar.getWidth(), 240);
  EXPECT_EQ(pixel(0, 280), 0x00AA00u);
  EXPECT_EQ(pixel(239, 299), 0x00AA00u);
  EXPECT_EQ(pixel(0, 279), static_cast<uint32_t>(WidgetFrame::FRAME_COLOR));

  bar.setSize(100, 999);  // keeps its own height
  EXPECT_EQ(bar.getWidth(), 100);
  EXPECT_EQ(bar.getHeight(), 20);
  EXPECT_EQ(bar.getLocationOnScreen().y, 280);
  EXPECT_EQ(pixel(150, 290), static_cast<uint32_t>(WidgetFrame::FRAME_COLOR));

  bar.setHeight(30);  // and the frame's width again
  EXPECT_EQ(bar.getWidth(), 240);
  EXPECT_EQ(bar.getHeight(), 30);
  EXPECT_EQ(bar.getLocationOnScreen().y, 270);
  EXPECT_EQ(pixel(150, 270), 0x00AA00u);
  // Taps are placed by the height it has now.
  EXPECT_EQ(StatusBar::statusBarProcedure(bar.getHandle(), WM_LBUTTONUP, 0, packPoint(7, 0)), 0);
  EXPECT_EQ(f->tapY, 270);
}

TEST_F(StatusBarTest, AnUnregisteredWindowOfTheClassGetsNothing) {
  WidgetFrame* f = open();
  GreenBar bar(f, 20);
  WindowSystem& ws = WindowSystem::get();
  int stray =
      ws.createWindow(u"StatusBarTestBar", u"", STYLE_CHILD | STYLE_VISIBLE, f->getHandle(), 0, 0, 50, 20);
  ASSERT_NE(stray, 0);
  EXPECT_EQ(StatusBar::statusBarProcedure(stray, WM_LBUTTONUP, 0, packPoint(1, 1)), 0);
  EXPECT_EQ(f->taps, 0);
  EXPECT_EQ(pixel(10, 10), 0xFFFFFFu);  // the class's background, no status bar drawing
  ws.destroyWindow(stray);
}

}  // namespace
