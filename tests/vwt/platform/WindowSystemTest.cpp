#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <map>
#include <thread>
#include <vector>

#include "vwt/platform/HeadlessDisplay.h"
#include "vwt/platform/MessageKinds.h"
#include "vwt/platform/Surface.h"
#include "vwt/platform/VirtualKeys.h"
#include "vwt/platform/WindowSystem.h"

using namespace vwt::platform;

namespace {

// A window system over a headless screen whose windows log what they hear.
class WindowSystemTest : public ::testing::Test {
 protected:
  struct Heard {
    WindowHandle window;
    uint32_t kind;
    uintptr_t wParam;
    intptr_t lParam;
  };

  WindowSystemTest() : ws(createHeadlessDisplay(100, 80), 100, 80) {
    ws.registerClass(WindowClass{u"log",
                                 [this](WindowHandle h, uint32_t k, uintptr_t w, intptr_t l) -> intptr_t {
                                   heard.push_back(Heard{h, k, w, l});
                                   if (k == WM_PAINT) {
                                     Surface* s = ws.getSurface(h);
                                     uint32_t colour = colours[h];
                                     for (const PixelRect& r : s->clipRects())
                                       for (int y = r.y0; y < r.y1; ++y)
                                         for (int x = r.x0; x < r.x1; ++x) s->row(y)[x] = colour;
                                   }
                                   return k == WM_COPYDATA ? 42 : 0;
                                 },
                                 0xFF000000u});
  }

  WindowHandle make(uint32_t style, WindowHandle parent, int x, int y, int w, int h, uint32_t colour) {
    WindowHandle handle = ws.createWindow(u"log", u"", style | STYLE_VISIBLE, parent, x, y, w, h);
    colours[handle] = colour;
    return handle;
  }

  int count(uint32_t kind, WindowHandle window = 0) const {
    int n = 0;
    for (const Heard& m : heard) n += m.kind == kind && (!window || m.window == window);
    return n;
  }

  // Runs the queue until it is empty and everything is painted.
  void drain() {
    Message m;
    for (int guard = 0; guard < 1000 && ws.peek(&m, true); ++guard) {
      ws.translate(m);
      ws.dispatch(m);
    }
  }

  uint32_t pixel(int x, int y) const { return ws.screen().pixels[y * ws.screen().stride + x] & 0xFFFFFFu; }

  // Declared before the window system, which still talks to its windows while it is destroyed.
  std::vector<Heard> heard;
  std::map<WindowHandle, uint32_t> colours;
  WindowSystem ws;
};

TEST_F(WindowSystemTest, ManyInvalidationsMakeOnePaintOverTheirUnion) {
  WindowHandle w = make(0, 0, 0, 0, 100, 80, 0x112233);
  drain();
  int before = ws.getPaintCount();
  PixelRect a{0, 0, 10, 10}, b{50, 50, 60, 60};
  for (int i = 0; i < 20; ++i) ws.invalidate(w, i % 2 ? &a : &b, false);
  EXPECT_EQ(ws.getPaintCount(), before) << "invalidate never paints";
  drain();
  EXPECT_EQ(ws.getPaintCount(), before + 1);
  EXPECT_FALSE(ws.isDirty());
}

TEST_F(WindowSystemTest, ChildrenPaintAfterTheirParentAndOnlyInsideIt) {
  WindowHandle top = make(0, 0, 0, 0, 100, 80, 0x0000FF);
  WindowHandle child = make(STYLE_CHILD, top, 90, 70, 40, 40, 0x00FF00);  // hangs over the edge
  drain();
  EXPECT_EQ(pixel(5, 5), 0x0000FFu);
  EXPECT_EQ(pixel(95, 75), 0x00FF00u);
  EXPECT_EQ(ws.windowAt(95, 75), child);
  EXPECT_EQ(ws.windowAt(50, 40), top);
  PixelRect r = ws.getScreenRect(child);
  EXPECT_EQ(r.x0, 90);
  EXPECT_EQ(r.y1, 110);
}

TEST_F(WindowSystemTest, AClickOutsideTheShapeFallsThroughToTheWindowBelow) {
  WindowHandle below = make(0, 0, 0, 0, 100, 80, 0x0000FF);
  WindowHandle above = make(0, 0, 10, 10, 40, 40, 0xFF0000);
  std::unique_ptr<PixelRegion> shape(new PixelRegion(PixelRect{0, 0, 20, 20}));
  ws.setShape(above, std::move(shape));
  drain();
  struct Case {
    int x, y;
    WindowHandle want;
  } cases[] = {{15, 15, above}, {29, 29, above}, {30, 30, below},
               {45, 45, below}, {5, 5, below},   {200, 5, 0}};
  for (const Case& c : cases) EXPECT_EQ(ws.windowAt(c.x, c.y), c.want) << c.x << "," << c.y;
  EXPECT_EQ(pixel(15, 15), 0xFF0000u);
  EXPECT_EQ(pixel(35, 35), 0x0000FFu) << "outside the shape the window below shows";
  heard.clear();
  ws.pointerDown(35, 35);
  drain();
  ASSERT_EQ(count(WM_LBUTTONDOWN), 1);
  EXPECT_EQ(count(WM_LBUTTONDOWN, below), 1);
}

TEST_F(WindowSystemTest, CaptureTakesEveryPointerMessageInItsOwnCoordinates) {
  WindowHandle left = make(0, 0, 0, 0, 50, 80, 1);
  WindowHandle right = make(0, 0, 50, 0, 50, 80, 2);
  drain();
  ws.setCapture(left);
  heard.clear();
  ws.pointerMove(70, 10);
  drain();
  ASSERT_EQ(count(WM_MOUSEMOVE, left), 1);
  EXPECT_EQ(count(WM_MOUSEMOVE, right), 0);
  EXPECT_EQ(pointX(heard.back().lParam), 70);
  ws.releaseCapture();
  heard.clear();
  ws.pointerUp(70, 10);
  drain();
  ASSERT_EQ(count(WM_LBUTTONUP, right), 1);
  EXPECT_EQ(pointX(heard.back().lParam), 20);
  EXPECT_EQ(pointY(heard.back().lParam), 10);
}

TEST_F(WindowSystemTest, AHeldKeyCarriesTheRepeatBitAndTypesItsCharacter) {
  WindowHandle w = make(0, 0, 0, 0, 100, 80, 1);
  drain();
  heard.clear();
  ws.keyDown('5', false);
  ws.keyDown('5', false);  // still down: a repeat
  ws.keyUp('5');
  ws.keyDown(VK_F1, false);  // types nothing
  drain();
  std::vector<uint32_t> kinds;
  for (const Heard& m : heard) kinds.push_back(m.kind);
  EXPECT_EQ(kinds, (std::vector<uint32_t>{WM_KEYDOWN, WM_CHAR, WM_KEYDOWN, WM_CHAR, WM_KEYUP, WM_KEYDOWN}));
  EXPECT_FALSE(isKeyRepeat(heard[0].lParam));
  EXPECT_TRUE(isKeyRepeat(heard[2].lParam));
  EXPECT_EQ(heard[1].wParam, uintptr_t{'5'});
  EXPECT_EQ(heard[0].window, w);
}

TEST_F(WindowSystemTest, TheWheelScrollsAsTheArrowKeys) {
  make(0, 0, 0, 0, 100, 80, 1);
  drain();
  heard.clear();
  ws.wheel(-2);
  ws.wheel(1000);  // bounded
  drain();
  int down = 0, up = 0;
  for (const Heard& m : heard)
    if (m.kind == WM_KEYDOWN) (m.wParam == VK_DOWN ? down : up) += 1;
  EXPECT_EQ(down, 2);
  EXPECT_EQ(up, 16);
}

TEST_F(WindowSystemTest, SendFromAnotherThreadWaitsForTheAnswerOfTheUiThread) {
  WindowHandle w = make(0, 0, 0, 0, 100, 80, 1);
  drain();
  std::atomic<intptr_t> answer{-1};
  std::thread sender([&] { answer = ws.send(w, WM_COPYDATA, 7, 0); });
  Message m;
  // The UI thread answers inside get(); a posted message ends the wait.
  auto start = std::chrono::steady_clock::now();
  while (answer.load() == -1 && std::chrono::steady_clock::now() - start < std::chrono::seconds(10))
    ws.peek(&m, true);
  sender.join();
  EXPECT_EQ(answer.load(), 42);
  ASSERT_GE(count(WM_COPYDATA, w), 1);
  EXPECT_EQ(heard.back().wParam, 7u);
}

TEST_F(WindowSystemTest, PostFromAnotherThreadWakesTheWait) {
  WindowHandle w = make(0, 0, 0, 0, 100, 80, 1);
  drain();
  std::thread poster([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    ws.post(w, WM_USER + 1, 3, 4);
  });
  Message m;
  ASSERT_TRUE(ws.get(&m));  // would wait for ever without the wake
  poster.join();
  EXPECT_EQ(m.kind, uint32_t{WM_USER + 1});
  EXPECT_EQ(m.wParam, 3u);
}

TEST_F(WindowSystemTest, TimersRepeatUntilKilledAndDieWithTheirWindow) {
  WindowHandle w = make(0, 0, 0, 0, 100, 80, 1);
  drain();
  ASSERT_TRUE(ws.setTimer(w, 9, 5));
  Message m;
  int timers = 0;
  for (int guard = 0; guard < 1000 && timers < 3; ++guard) {
    ASSERT_TRUE(ws.get(&m));
    if (m.kind == WM_TIMER) {
      EXPECT_EQ(m.wParam, 9u);
      ++timers;
    }
  }
  EXPECT_EQ(timers, 3);
  EXPECT_TRUE(ws.killTimer(w, 9));
  EXPECT_FALSE(ws.killTimer(w, 9));
  ws.setTimer(w, 1, 1);
  ws.destroyWindow(w);
  EXPECT_FALSE(ws.killTimer(w, 1));
  EXPECT_FALSE(ws.setTimer(w, 2, 1)) << "no timers for a window that is gone";
}

TEST_F(WindowSystemTest, QuitEndsGetAfterWhatWasPostedBefore) {
  WindowHandle w = make(0, 0, 0, 0, 100, 80, 1);
  ws.post(w, WM_USER, 0, 0);
  ws.postQuit(3);
  Message m;
  EXPECT_TRUE(ws.get(&m));
  EXPECT_EQ(m.kind, uint32_t{WM_USER});
  EXPECT_FALSE(ws.get(&m));
  EXPECT_EQ(ws.getQuitCode(), 3);
}

TEST_F(WindowSystemTest, DestroyingAParentDestroysItsChildrenAndRefusesPostsToThem) {
  WindowHandle top = make(0, 0, 0, 0, 100, 80, 1);
  WindowHandle child = make(STYLE_CHILD, top, 0, 0, 10, 10, 2);
  ws.setFocus(child);
  ws.setCapture(child);
  drain();
  heard.clear();
  EXPECT_TRUE(ws.destroyWindow(top));
  EXPECT_EQ(count(WM_DESTROY), 2);
  EXPECT_EQ(heard.front().window, top);
  EXPECT_FALSE(ws.isWindow(child));
  EXPECT_EQ(ws.getFocus(), 0);
  EXPECT_EQ(ws.getCapture(), 0);
  EXPECT_FALSE(ws.post(child, WM_USER, 0, 0));
  EXPECT_FALSE(ws.destroyWindow(top));
}

TEST_F(WindowSystemTest, HidingShowsWhatIsBelowAndADisabledWindowGetsNoPointer) {
  WindowHandle below = make(0, 0, 0, 0, 100, 80, 0x0000FF);
  WindowHandle above = make(0, 0, 0, 0, 50, 50, 0xFF0000);
  drain();
  EXPECT_EQ(pixel(10, 10), 0xFF0000u);
  ws.show(above, false);
  drain();
  EXPECT_EQ(pixel(10, 10), 0x0000FFu);
  ws.show(above, true);
  ws.enable(above, false);
  drain();
  heard.clear();
  ws.pointerDown(10, 10);
  drain();
  EXPECT_EQ(count(WM_LBUTTONDOWN), 0);
  EXPECT_FALSE(ws.isEnabled(above));
  EXPECT_TRUE(ws.isEnabled(below));
}

TEST_F(WindowSystemTest, CloseButtonGoesToTheTopWindowAndResizeFollowsTheScreen) {
  WindowHandle w = make(0, 0, 0, 0, 100, 80, 1);
  drain();
  heard.clear();
  ws.closeRequested();
  ws.resized(80, 100);
  drain();
  EXPECT_EQ(count(WM_CLOSE, w), 1);
  EXPECT_EQ(count(WM_SIZE, w), 1);
  PixelRect r = ws.getRect(w);
  EXPECT_EQ(r.x1, 80);
  EXPECT_EQ(r.y1, 100);
  int sw, sh;
  ws.screenSize(&sw, &sh);
  EXPECT_EQ(sw, 80);
  EXPECT_EQ(sh, 100);
}

}  // namespace
