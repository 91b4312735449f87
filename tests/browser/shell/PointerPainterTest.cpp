#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "browser/shell/MousePointer.h"
#include "browser/shell/PointerPainter.h"
#include "tests/browser/DrawnScene.h"
#include "tests/vwt/ui/WidgetScreen.h"
#include "vwt/lang/AutoPtr.h"
#include "vwt/platform/WindowSystem.h"
#include "vwt/ui/Graphics.h"
#include "vwt/ui/Image.h"
#include "vwt/ui/ImagingImage.h"

using vwt::platform::WindowSystem;

namespace {

const int PAPER = 0x20A040;

// A page window under the pointer that writes down the taps reaching it.
class PageWindow : public Window {
 public:
  void onPaint(Graphics* g) override {
    g->setColor(PAPER);
    g->fillRect(0, 0, getWidth(), getHeight());
  }
  void onPointerPressed(int x, int y) override {
    taps.push_back(std::to_string(x) + "," + std::to_string(y));
  }
  std::vector<std::string> taps;
};

class PointerPainterTest : public WidgetScreen {
 protected:
  void SetUp() override {
    program.write("res/icon.gif", drawn::sourceFile("res/icon.gif"));
    app->initialize(Application::INIT_IMAGING);
    sprite.reset(drawn::loadIconStrip());
    spritePixels = sprite->getGraphics();
  }
  bool opaque(int x, int y) const {
    return (spritePixels->getRGBPixel(x, y) & 0xFFFFFF) != drawn::KEY_COLOUR;
  }
  uint32_t spriteRgb(int x, int y) const {
    return static_cast<uint32_t>(spritePixels->getRGBPixel(x, y)) & 0xFFFFFFu;
  }

  std::unique_ptr<ImagingImage> sprite;
  Graphics* spritePixels = nullptr;
};

TEST_F(PointerPainterTest, TheWindowIsShapedExactlyLikeTheArrowAndTapsOnMagentaFallThrough) {
  int transparentX = -1, transparentY = -1, solidX = -1, solidY = -1;
  for (int y = 0; y < 19; ++y)
    for (int x = 0; x < 13; ++x) {
      if (!opaque(x, y) && transparentX < 0 && x > 3) transparentX = x, transparentY = y;
      if (opaque(x, y) && solidX < 0 && y > 3) solidX = x, solidY = y;
    }
  ASSERT_GE(transparentX, 0);
  ASSERT_GE(solidX, 0);
  const int px = 60, py = 80;
  WidgetFrame* f =
      open("tap " + std::to_string(px + transparentX) + " " + std::to_string(py + transparentY) + "\ntap " +
           std::to_string(px + solidX) + " " + std::to_string(py + solidY) + "\nquit\n");
  PageWindow page;
  ASSERT_TRUE(page.createWindow(f, 0, 0, 240, 200, true));
  AutoPtr<Image> canvas(Image::createImage(240, 200, 0));
  PointerPainter painter(f, sprite.get());
  painter.draw(*canvas->getGraphics(), px, py, 13, 19, true, false, false, 240, 200);
  MousePointer* pointer = painter.getWindow();
  ASSERT_NE(pointer, nullptr);
  EXPECT_EQ(WindowSystem::get().getClassName(pointer->getHandle()), std::u16string(MousePointer::CLASS_NAME));
  EXPECT_TRUE(pointer->isVisible());
  EXPECT_EQ(WindowSystem::get().getActive(), f->getHandle()) << "the frame keeps the activation";
  int shaped = 0;
  for (int y = -2; y < 21; ++y)
    for (int x = -2; x < 15; ++x) {
      const bool inArrow = x >= 0 && y >= 0 && x < 13 && y < 19 && opaque(x, y);
      const int hit = WindowSystem::get().windowAt(px + x, py + y);
      ASSERT_EQ(hit == pointer->getHandle(), inArrow) << x << "," << y;
      if (inArrow) {
        ++shaped;
        ASSERT_EQ(pixel(px + x, py + y), spriteRgb(x, y)) << x << "," << y;
      } else {
        ASSERT_EQ(pixel(px + x, py + y), static_cast<uint32_t>(PAPER)) << x << "," << y;
      }
    }
  EXPECT_GT(shaped, 40);
  app->run();
  EXPECT_EQ(page.taps, (std::vector<std::string>{std::to_string(px + transparentX) + "," +
                                                 std::to_string(py + transparentY)}));
}

TEST_F(PointerPainterTest, DrawingIntoTheImageHidesTheWindowFirst) {
  WidgetFrame* f = open();
  AutoPtr<Image> canvas(Image::createImage(100, 100, PAPER));
  Graphics* g = canvas->getGraphics();
  PointerPainter painter(f, sprite.get());
  painter.draw(*g, 10, 10, 13, 19, true, false, false, 100, 100);
  ASSERT_TRUE(painter.getWindow()->isVisible());
  EXPECT_EQ(g->getRGBPixel(12, 12) & 0xFFFFFF, PAPER) << "the window is not drawn into the image";

  painter.draw(*g, 10, 10, 13, 19, false, false, false, 100, 100);
  EXPECT_FALSE(painter.getWindow()->isVisible());
  for (int y = 0; y < 19; ++y)
    for (int x = 0; x < 13; ++x)
      ASSERT_EQ(static_cast<uint32_t>(g->getRGBPixel(10 + x, 10 + y)) & 0xFFFFFF,
                opaque(x, y) ? spriteRgb(x, y) : static_cast<uint32_t>(PAPER))
          << x << "," << y;

  // Shown again as a window, then hidden on request.
  painter.draw(*g, 30, 30, 13, 19, true, false, false, 100, 100);
  EXPECT_TRUE(painter.getWindow()->isVisible());
  painter.hide();
  EXPECT_FALSE(painter.getWindow()->isVisible());
}

// The pixels drawn, by position: the arrow, the second shape, the arrow doubled (also in the second
// state), and an arrow cut by the image's clip.
TEST_F(PointerPainterTest, ShapesAndSizes) {
  open();
  struct Case {
    const char* name;
    bool second, doubled;
    int clipW;
    int sx, sy, sw, sh, scale;  // source rectangle and scale
  } cases[] = {
      {"arrow", false, false, 100, 0, 0, 13, 19, 1},
      {"second shape", true, false, 100, 13, 0, 10, 12, 1},
      {"double size", false, true, 100, 0, 0, 13, 19, 2},
      {"double size in the second state", true, true, 100, 0, 0, 13, 19, 2},
      {"clipped", false, false, 16, 0, 0, 13, 19, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    AutoPtr<Image> canvas(Image::createImage(100, 100, PAPER));
    Graphics* g = canvas->getGraphics();
    PointerPainter painter(nullptr, sprite.get());
    painter.draw(*g, 10, 20, 13, 19, false, c.second, c.doubled, c.clipW, 100);
    EXPECT_EQ(painter.getWindow(), nullptr);
    int minX = 100, minY = 100, maxX = -1, maxY = -1;
    for (int y = 0; y < 100; ++y)
      for (int x = 0; x < 100; ++x) {
        const uint32_t got = static_cast<uint32_t>(g->getRGBPixel(x, y)) & 0xFFFFFF;
        const int u = (x - 10) / c.scale, v = (y - 20) / c.scale;
        const bool inside = x >= 10 && y >= 20 && x < c.clipW && u < c.sw && v < c.sh;
        const uint32_t want = inside && opaque(c.sx + u, c.sy + v) ? spriteRgb(c.sx + u, c.sy + v) : PAPER;
        ASSERT_EQ(got, want) << x << "," << y;
        if (got != static_cast<uint32_t>(PAPER)) {
          minX = std::min(minX, x), maxX = std::max(maxX, x);
          minY = std::min(minY, y), maxY = std::max(maxY, y);
        }
      }
    if (c.doubled) {
      EXPECT_GT(maxY - minY + 1, 19) << "spans more than one arrow's height";
    }
  }
}

TEST_F(PointerPainterTest, TheWindowTakesTheSecondShapeAndADoubleSize) {
  WidgetFrame* f = open();
  PageWindow page;
  ASSERT_TRUE(page.createWindow(f, 0, 0, 240, 200, true));
  AutoPtr<Image> canvas(Image::createImage(240, 200, 0));
  PointerPainter painter(f, sprite.get());
  painter.draw(*canvas->getGraphics(), 40, 40, 13, 19, true, false, false, 240, 200);
  painter.draw(*canvas->getGraphics(), 40, 40, 26, 38, true, false, true, 240, 200);
  int hits = 0, shown = 0;
  for (int y = 0; y < 38; ++y)
    for (int x = 0; x < 26; ++x) {
      const bool in = opaque(x / 2, y / 2);
      hits += WindowSystem::get().windowAt(40 + x, 40 + y) == painter.getWindow()->getHandle();
      shown += in;
      ASSERT_EQ(pixel(40 + x, 40 + y), in ? spriteRgb(x / 2, y / 2) : static_cast<uint32_t>(PAPER))
          << x << "," << y;
    }
  EXPECT_EQ(hits, shown);
  // The second shape in a window of its own size: shaped like it, not like the arrow.
  painter.draw(*canvas->getGraphics(), 40, 40, 10, 12, true, true, false, 240, 200);
  for (int y = 0; y < 12; ++y)
    for (int x = 0; x < 10; ++x)
      ASSERT_EQ(pixel(40 + x, 40 + y),
                opaque(13 + x, y) ? spriteRgb(13 + x, y) : static_cast<uint32_t>(PAPER))
          << x << "," << y;
}

}  // namespace
