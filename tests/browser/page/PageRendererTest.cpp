// The page buffer: full repaints, scrolled updates, the background rule and the item order.
#include <gtest/gtest.h>

#include "browser/page/PageFonts.h"
#include "browser/page/PageRenderer.h"
#include "browser/page/RenderItem.h"
#include "tests/browser/page/RendererTestHost.h"

namespace {

using rendertest::pixel;

class PageRendererTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fonts_.setUp(false, 0, 0, 0);
    page_.backgroundColor = 0xFFFFFF;
    page_.width = 400;
    page_.height = 600;
    page_.items = new Vector<RenderItem*>(true);
    host_.page = &page_;
  }
  RenderItem* add(int type, int x, int y, int w, int h, int color) {
    RenderItem* it = new RenderItem();
    it->type = type;
    it->x = x;
    it->y = y;
    it->width = w;
    it->height = h;
    it->color = color;
    page_.items->addElement(it);
    return it;
  }
  // A page with every kind of edge a strip can cut: text, slanted lines, tiles, boxes, controls.
  void fillPage() {
    host_.setImage(0, 7, 5, 0x3366CC);
    for (int i = 0; i < 20; ++i) {
      RenderItem* t = add(RenderItem::TEXT, 3 + i * 7, 5 + i * 23, 150, 14, 0x000000 + i * 0x0A0B0C);
      t->text = u"The quick brown fox \u3042\u3044"_s;
      t->flags = i % 4;
      add(RenderItem::LINE, i * 11, i * 13, 170 - i * 5, 90 + i * 3, 0xFF0000 + i);
      add(RenderItem::RECT, 200 - i * 9, 30 + i * 25, 40, 18, 0x00AA00);
    }
    RenderItem* tiled = add(RenderItem::TILED_IMAGE, 10, 300, 300, 120, 0);
    tiled->param1 = 3 << 16;
    tiled->param2 = 5 << 16;
    RenderItem* box = add(RenderItem::BOX, 40, 150, 250, 100, 0);
    box->color2 = 0xEEDDCC;
    RenderItem* field = add(RenderItem::TEXT_FIELD, 60, 450, 200, 18, 0x000000);
    field->color2 = 0xFFFFFF;
    field->text = u"value"_s;
    add(RenderItem::BUTTON, 30, 480, 90, 20, 0x000000)->text = u"Send"_s;
  }
  static int differences(Image* a, Image* b) {
    int n = 0;
    for (int y = 0; y < a->getHeight(); ++y)
      for (int x = 0; x < a->getWidth(); ++x) n += pixel(a, x, y) != pixel(b, x, y);
    return n;
  }

  RendererTestHost host_;
  PageFonts fonts_;
  Page page_;
};

TEST_F(PageRendererTest, AScrolledUpdateEqualsAFullRepaint) {
  fillPage();
  struct Step {
    int x, y;
  } steps[] = {{0, 13}, {0, 40}, {7, 40}, {3, 31}, {3, 200}, {-20, 190}, {60, 150}, {60, 400}};
  PageRenderer scrolled(&host_, &fonts_);
  scrolled.setViewSize(120, 160);
  scrolled.setZoom(150);
  scrolled.updateBuffer();
  for (const Step& s : steps) {
    scrolled.scrollTo(s.x, s.y);
    scrolled.updateBuffer();
    PageRenderer whole(&host_, &fonts_);
    whole.setViewSize(120, 160);
    whole.setZoom(150);
    whole.scrollTo(s.x, s.y);
    whole.updateBuffer();
    EXPECT_EQ(0, differences(scrolled.buffer(), whole.buffer())) << s.x << "," << s.y;
    int ink = 0;
    for (int y = 0; y < 160; ++y)
      for (int x = 0; x < 120; ++x) ink += pixel(whole.buffer(), x, y) != 0xFFFFFF;
    EXPECT_GT(ink, 500) << "the page shows at " << s.x << "," << s.y;
  }
  EXPECT_FALSE(scrolled.needsFullRepaint());
}

TEST_F(PageRendererTest, TheBackgroundIsOpaqueUnlessTheInterfaceIsTranslucentThenNeverBlends) {
  struct Case {
    int colour;
    bool translucent;
    int flags;
    int want;
    int wantItem;  // an item of the same colour
  } cases[] = {
      {static_cast<int>(0x80FF0000u), false, 0, 0xFF0000, 0xFF0000},
      // The page background never blends; page items do on a translucent interface.
      {static_cast<int>(0x80FF0000u), true, 0, 0xFF0000, 0xFF0000},
      {0x00FF00, false, PageRenderer::FLAG_REFLOW, 0xFFFFFF, -1},
      {0x00FF00, false, PageRenderer::FLAG_REFLOW | PageRenderer::FLAG_REFLOW_COLOURS, 0x00FF00, -1},
  };
  for (const Case& c : cases) {
    page_.backgroundColor = c.colour;
    page_.items->clear();
    add(RenderItem::FILLED_RECT, 0, 0, 5, 5, c.colour);
    host_.translucent = c.translucent;
    host_.flags = c.flags;
    PageRenderer r(&host_, &fonts_);
    r.setViewSize(20, 20);
    r.updateBuffer();
    EXPECT_EQ(c.want, pixel(r.buffer(), 10, 10)) << std::hex << c.colour;
    if (c.wantItem >= 0) {
      EXPECT_EQ(c.wantItem, pixel(r.buffer(), 2, 2)) << std::hex << c.colour;
    }
  }
  // On white, a half-transparent red item blends only on a translucent interface.
  page_.backgroundColor = 0xFFFFFF;
  page_.items->clear();
  add(RenderItem::FILLED_RECT, 0, 0, 5, 5, static_cast<int>(0x80FF0000u));
  for (bool translucent : {false, true}) {
    host_.translucent = translucent;
    host_.flags = 0;
    PageRenderer r(&host_, &fonts_);
    r.setViewSize(20, 20);
    r.updateBuffer();
    int p = pixel(r.buffer(), 2, 2);
    if (translucent) {
      EXPECT_EQ(0xFF, p >> 16);
      EXPECT_NEAR(0x7F, p & 0xFF, 2);
    } else {
      EXPECT_EQ(0xFF0000, p);
    }
  }
}

TEST_F(PageRendererTest, ItemsAreDrawnInListOrderOnlyWhereTheyCrossTheView) {
  add(RenderItem::FILLED_RECT, 0, 0, 10, 10, 0xFF0000);
  add(RenderItem::FILLED_RECT, 5, 5, 10, 10, 0x0000FF);
  add(RenderItem::FILLED_RECT, 100, 100, 10, 10, 0x00FF00);
  PageRenderer r(&host_, &fonts_);
  r.setViewSize(50, 50);
  r.updateBuffer();
  EXPECT_EQ(0xFF0000, pixel(r.buffer(), 2, 2));
  EXPECT_EQ(0x0000FF, pixel(r.buffer(), 7, 7));
  // Scrolled: the page moves up and left by the scroll position.
  r.scrollTo(95, 95);
  r.updateBuffer();
  EXPECT_EQ(0x00FF00, pixel(r.buffer(), 5, 5));
  EXPECT_EQ(0xFFFFFF, pixel(r.buffer(), 4, 4));
  // A zoom change repaints everything at the new scale.
  r.setZoom(200);
  EXPECT_TRUE(r.needsFullRepaint());
  r.scrollTo(0, 0);
  r.updateBuffer();
  EXPECT_EQ(0x0000FF, pixel(r.buffer(), 25, 25));
}

TEST_F(PageRendererTest, WithoutAPageTheViewIsWhite) {
  host_.page = nullptr;
  PageRenderer r(&host_, &fonts_);
  EXPECT_EQ(nullptr, r.buffer());
  r.updateBuffer();  // no buffer yet: nothing to do
  r.setViewSize(30, 30);
  r.updateBuffer();
  EXPECT_EQ(0xFFFFFF, pixel(r.buffer(), 15, 15));
  // A view size no screen has is bounded.
  r.setViewSize(100000, -3);
  const int maxSide = Image::MAX_SIDE;
  EXPECT_EQ(maxSide, r.viewWidth());
  EXPECT_EQ(1, r.viewHeight());
}

}  // namespace
