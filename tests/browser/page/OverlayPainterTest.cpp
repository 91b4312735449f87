#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "browser/page/OverlayPainter.h"
#include "browser/page/RenderItem.h"
#include "tests/browser/DrawnScene.h"
#include "vwt/lang/AutoPtr.h"
#include "vwt/lang/Boolean.h"
#include "vwt/lang/Integer.h"
#include "vwt/ui/Graphics.h"
#include "vwt/ui/Image.h"

namespace {

const int BACKDROP = 0xD8E8D0;

RenderItem* item(int type, int x, int y, int w, int h) {
  RenderItem* it = new RenderItem();
  it->type = type;
  it->x = x;
  it->y = y;
  it->width = w;
  it->height = h;
  it->flags = RenderItem::INTERFACE_FONT;
  return it;
}

void addString(RenderItem* it, int list, const char16_t* text) {
  it->ensureLists(list + 1);
  it->getList(list)->addElement(new String(text, false));
}
void addInt(RenderItem* it, int list, int v) {
  it->ensureLists(list + 1);
  it->getList(list)->addElement(new Integer(v));
}
void addBool(RenderItem* it, int list, bool v) {
  it->ensureLists(list + 1);
  it->getList(list)->addElement(new Boolean(v));
}

// The main menu's look: fourteen rows (the marks run out after the twelfth), icons on most, one row
// indented, one with a shortcut after a tab, the third selected and the fifth disabled.
RenderItem* mainMenu(int x, int y) {
  static const char16_t* const labels[14] = {u"Back",          u"Forward",      u"Text view",     u"Windows",
                                             u"New window\t#", u"Add bookmark", u"Bookmarks",     u"Address",
                                             u"Edit URL",      u"Reload",       u"Visited pages", u"Search",
                                             u"Settings",      u"Quit"};
  static const int icons[14] = {9, 10, 11, 12, 13, 14, 7, 16, 15, 17, 47, 19, 20, -1};
  RenderItem* m = item(OverlayPainter::MENU, x, y, 170, 186);
  m->text = u"Menu"_s;
  for (int i = 0; i < 14; ++i) {
    addString(m, 0, labels[i]);
    addInt(m, 1, i + 1);
    addBool(m, 2, i != 4);
    addInt(m, 3, icons[i]);
    addInt(m, 4, i == 6 ? 1 : 0);
  }
  m->value2 = 2;
  return m;
}

// Stripes of colour behind the items, so that translucent parts show what they let through.
Image* backdrop(int w, int h) {
  Image* image = Image::createImage(w, h, BACKDROP);
  Graphics* g = image->getGraphics();
  g->setColor(0x3060C0);
  for (int x = 0; x < w; x += 24) g->fillRect(x, 0, 8, h);
  return image;
}

class OverlayPainterTest : public ::testing::Test {
 protected:
  OverlayPainter::Style style(int set, bool translucent) {
    OverlayPainter::Style s;
    s.paletteSet = set;
    s.translucent = translucent;
    s.interfaceFont = scene.interfaceFont();
    s.iconStrip = scene.iconStrip();
    return s;
  }
  bool draw(Graphics& g, RenderItem* it, const OverlayPainter::Style& s) {
    return OverlayPainter::draw(g, it, it->x, it->y, it->width, it->height, s);
  }
  drawn::Scene scene;
};

TEST_F(OverlayPainterTest, MenusInBothPaletteSetsOpaqueAndTranslucent) {
  for (int set = 0; set < 2; ++set) {
    SCOPED_TRACE(set);
    AutoPtr<Image> image(backdrop(372, 206));
    Graphics* g = image->getGraphics();
    AutoPtr<RenderItem> opaque(mainMenu(6, 6)), glass(mainMenu(190, 6));
    EXPECT_TRUE(draw(*g, opaque.get(), style(set, false)));
    EXPECT_TRUE(draw(*g, glass.get(), style(set, true)));
    // Twelve of fourteen rows fit: each menu got a scroll bar over its rows.
    for (RenderItem* m : {opaque.get(), glass.get()}) {
      ASSERT_NE(m->child, nullptr);
      EXPECT_EQ(m->child->type, RenderItem::SCROLL_BAR);
      EXPECT_EQ(m->child->color, 12);
      EXPECT_EQ(m->child->color2, 14);
      EXPECT_EQ(m->child->x, m->x + m->width - OverlayPainter::SCROLL_BAR_INSET);
      EXPECT_EQ(m->child->width, OverlayPainter::SCROLL_BAR_WIDTH);
    }
    EXPECT_TRUE(drawn::Scene::matches(image.get(), "overlay-menu-set" + std::to_string(set) + ".png"));
  }
}

TEST_F(OverlayPainterTest, AMenuScrolledToItsEndAndOneThatFits) {
  AutoPtr<Image> image(backdrop(372, 206));
  Graphics* g = image->getGraphics();
  AutoPtr<RenderItem> scrolled(mainMenu(6, 6));
  scrolled->value1 = 99;  // clamped to the last screenful
  scrolled->value2 = 13;
  ASSERT_TRUE(draw(*g, scrolled.get(), style(0, false)));
  ASSERT_NE(scrolled->child, nullptr);
  EXPECT_EQ(scrolled->child->value1, 2);

  // Three rows fit in a short menu: the scroll bar it had is dropped.
  AutoPtr<RenderItem> small(item(OverlayPainter::MENU, 190, 6, 120, 60));
  small->text = u"A title far too long for its menu"_s;
  for (const char16_t* label : {u"Open", u"Save as a long name that is cut", u"Clear"})
    addString(small.get(), 0, label);
  small->setChild(item(RenderItem::SCROLL_BAR, 0, 0, 12, 10));
  ASSERT_TRUE(draw(*g, small.get(), style(0, false)));
  EXPECT_EQ(small->child, nullptr);
  EXPECT_TRUE(drawn::Scene::matches(image.get(), "overlay-menu-scrolled.png"));
}

TEST_F(OverlayPainterTest, SideMenusWithHeadingsAndTheCurrentRow) {
  AutoPtr<Image> image(backdrop(300, 150));
  Graphics* g = image->getGraphics();
  for (int set = 0; set < 2; ++set) {
    AutoPtr<RenderItem> side(item(OverlayPainter::SIDE_MENU, 6 + 150 * set, 6, 138, 138));
    const char16_t* rows[7] = {u"Windows",     u"Portal",    u"News of the day, a long title",
                               u"about:blank", u"Bookmarks", u"Search",
                               u"Mail"};
    for (int i = 0; i < 7; ++i) {
      addString(side.get(), 0, rows[i]);
      addInt(side.get(), 1, 100 + i);
      addBool(side.get(), 2, i != 0 && i != 4);
    }
    side->value2 = 2;
    EXPECT_TRUE(draw(*g, side.get(), style(set, set == 1)));
    EXPECT_EQ(side->child, nullptr);
  }
  EXPECT_TRUE(drawn::Scene::matches(image.get(), "overlay-side-menu.png"));

  // Twenty rows do not fit: a scroll bar child over the rows, at the menu's right edge.
  AutoPtr<RenderItem> longMenu(item(OverlayPainter::SIDE_MENU, 10, 20, 100, 100));
  for (int i = 0; i < 20; ++i) addString(longMenu.get(), 0, u"Row");
  longMenu->value1 = 30;
  AutoPtr<Image> scratch(Image::createImage(120, 130, BACKDROP));
  EXPECT_TRUE(draw(*scratch->getGraphics(), longMenu.get(), style(0, false)));
  ASSERT_NE(longMenu->child, nullptr);
  EXPECT_EQ(longMenu->child->x, 10 + 100 - OverlayPainter::SCROLL_BAR_INSET);
  EXPECT_EQ(longMenu->child->y, 21);
  EXPECT_EQ(longMenu->child->color2, 20);
  EXPECT_EQ(longMenu->child->value1, 20 - longMenu->child->color);
}

TEST_F(OverlayPainterTest, PanelsDrawTheirChildrenThroughTheRendererFocusedOneLast) {
  AutoPtr<Image> image(backdrop(340, 150));
  Graphics* g = image->getGraphics();
  std::vector<std::string> order;
  for (int glass = 0; glass < 2; ++glass) {
    AutoPtr<RenderItem> panel(item(OverlayPainter::PANEL, 8 + 170 * glass, 8, 150, 130));
    panel->text = u"Text size"_s;
    panel->param1 = 20;
    panel->value2 = 1;
    static const int colours[4] = {0xCC3333, 0x33AA33, 0x3333CC, 0x888888};
    for (int i = 0; i < 4; ++i) {
      RenderItem* c = item(RenderItem::FILLED_RECT, 4, 4 + 40 * i, 100 + 10 * i, 30);
      c->color = colours[i];
      c->text = String(i);
      panel->ensureLists(1);
      panel->getList(0)->addElement(c);
    }
    OverlayPainter::Style s = style(glass, glass == 1);
    order.clear();
    s.drawChild = [&order](Graphics& cg, RenderItem* c, int ox, int oy) {
      order.push_back(std::to_string(c->color));
      cg.setColor(c->color);
      cg.fillRect(ox + c->x, oy + c->y, c->width, c->height);
      cg.clearClip();  // as a page item would: the panel sets its clip again
    };
    EXPECT_TRUE(draw(*g, panel.get(), s));
    EXPECT_EQ(order, (std::vector<std::string>{"13382451", "3355596", "8947848", "3385907"}));
    // Children reach 154 pixels down, eight rows of 20, more than the content area shows: a scroll bar.
    ASSERT_NE(panel->child, nullptr);
    EXPECT_EQ(panel->child->color2, 8);
  }
  EXPECT_TRUE(drawn::Scene::matches(image.get(), "overlay-panel.png"));
}

TEST_F(OverlayPainterTest, SlidersScrollBarsAndArrows) {
  AutoPtr<Image> image(backdrop(240, 120));
  Graphics* g = image->getGraphics();
  struct Slider {
    int y, minimum, value, maximum, flags;
  } sliders[] = {{6, 0, 40, 100, 0}, {26, 10, 10, 250, 0x20}, {46, 0, 5, 5, 0}};
  for (const Slider& c : sliders) {
    AutoPtr<RenderItem> slider(item(OverlayPainter::SLIDER, 6, c.y, 150, 16));
    slider->flags |= c.flags;
    for (int v : {c.minimum, c.value, c.maximum}) addInt(slider.get(), 0, v);
    EXPECT_TRUE(draw(*g, slider.get(), style(0, false)));
  }
  struct Bar {
    int x, visible, total, first, flags;
  } bars[] = {{170, 5, 20, 3, 0}, {186, 5, 20, 15, 1}, {202, 30, 20, 0, 0}, {218, 1, 400, 200, 1}};
  for (const Bar& c : bars) {
    AutoPtr<RenderItem> bar(item(RenderItem::SCROLL_BAR, c.x, 6, 12, 106));
    bar->color = c.visible;
    bar->color2 = c.total;
    bar->value1 = c.first;
    bar->flags |= c.flags;
    EXPECT_TRUE(draw(*g, bar.get(), style(0, false)));
  }
  for (int right = 0; right < 2; ++right) {
    AutoPtr<RenderItem> arrow(item(OverlayPainter::ARROW, 20 + 40 * right, 76, 20, 30));
    arrow->flags |= right;
    EXPECT_TRUE(draw(*g, arrow.get(), style(0, false)));
  }
  EXPECT_TRUE(drawn::Scene::matches(image.get(), "overlay-controls.png"));
}

TEST_F(OverlayPainterTest, OnlyTheBrowserMadeTypesAreDrawn) {
  AutoPtr<Image> image(Image::createImage(40, 40, BACKDROP));
  Graphics* g = image->getGraphics();
  for (int type : {int{RenderItem::TEXT}, int{RenderItem::LIST}, 29, 32, 100, 199, 204}) {
    AutoPtr<RenderItem> other(item(type, 0, 0, 40, 40));
    EXPECT_FALSE(draw(*g, other.get(), style(0, false))) << type;
  }
  EXPECT_FALSE(OverlayPainter::draw(*g, nullptr, 0, 0, 40, 40, style(0, false)));
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 40; ++x) ASSERT_EQ(g->getRGBPixel(x, y) & 0xFFFFFF, BACKDROP);
  EXPECT_EQ(String(OverlayPainter::rowMark(9), false), u"*"_s);
  EXPECT_EQ(String(OverlayPainter::rowMark(11), false), u"#"_s);
  EXPECT_EQ(String(OverlayPainter::rowMark(12), false), String());
  EXPECT_EQ(String(OverlayPainter::rowMark(-1), false), String());
}

// A scroll bar inside a list is drawn within the list's clip, which it leaves in place; a menu clips to
// its own parts and leaves the clip cleared. Both leave the font they found.
TEST_F(OverlayPainterTest, ScrollBarsKeepTheCallersClipAndEveryItemItsFont) {
  AutoPtr<Image> image(Image::createImage(60, 60, BACKDROP));
  Graphics* g = image->getGraphics();
  AutoPtr<vwt::Font> pageFont(new vwt::Font(vwt::Font::FACE_VARIABLE_PITCH, 20));
  g->setFont(pageFont.get());
  g->setClip(0, 0, 30, 30);
  AutoPtr<RenderItem> bar(item(RenderItem::SCROLL_BAR, 20, 10, 12, 40));
  bar->color = 2;
  bar->color2 = 4;
  ASSERT_TRUE(draw(*g, bar.get(), style(0, false)));
  EXPECT_EQ(g->getRGBPixel(25, 35) & 0xFFFFFF, BACKDROP) << "drawn inside the clip only";
  EXPECT_EQ(g->getFont(), pageFont.get());
  g->setColor(0);
  g->fillRect(0, 0, 60, 60);
  EXPECT_EQ(g->getRGBPixel(40, 40) & 0xFFFFFF, BACKDROP) << "the clip is still set";

  AutoPtr<RenderItem> menu(mainMenu(0, 0));
  ASSERT_TRUE(draw(*g, menu.get(), style(0, false)));
  EXPECT_EQ(g->getFont(), pageFont.get());
  g->setColor(0);
  g->fillRect(0, 0, 60, 60);
  EXPECT_EQ(g->getRGBPixel(40, 40) & 0xFFFFFF, 0) << "the clip is cleared";
}

// Lists missing or of the wrong type, counts out of range, empty and negative sizes, a thumb with a
// total of 0, a slider whose maximum is below its minimum, no font, no strip and a zoom of 0: each is
// drawn as far as it makes sense, inside its rectangle, without failing.
TEST_F(OverlayPainterTest, DamagedItemsDrawWhatIsSaneInsideTheirRectangle) {
  struct Case {
    const char* name;
    int type, w, h, color, color2, value1, value2;
    int lists;  // 0 none, 1 integers where texts belong, 2 texts where numbers belong
  } cases[] = {
      {"menu without lists", OverlayPainter::MENU, 100, 80, 0, 0, 5, 9, 0},
      {"menu of numbers", OverlayPainter::MENU, 100, 80, 0, 0, -7, -1, 1},
      {"menu of texts", OverlayPainter::MENU, 100, 80, 0, 0, 0, 0, 2},
      {"menu too small", OverlayPainter::MENU, 4, 4, 0, 0, 0, 0, 2},
      {"menu of no size", OverlayPainter::MENU, 0, -5, 0, 0, 0, 0, 2},
      {"side menu of numbers", OverlayPainter::SIDE_MENU, 100, 80, 0, 0, 1 << 30, 3, 1},
      {"side menu flat", OverlayPainter::SIDE_MENU, 100, 3, 0, 0, 0, 0, 2},
      {"panel of texts", OverlayPainter::PANEL, 100, 80, 0, 0, -3, 50, 2},
      {"panel of numbers", OverlayPainter::PANEL, 100, 80, 0, 0, 1 << 30, 0, 1},
      {"slider without values", OverlayPainter::SLIDER, 100, 16, 0, 0, 0, 0, 0},
      {"slider of texts", OverlayPainter::SLIDER, 100, 16, 0, 0, 0, 0, 2},
      {"slider narrower than its text", OverlayPainter::SLIDER, 12, 16, 0, 0, 0, 0, 1},
      {"thumb of total 0", RenderItem::SCROLL_BAR, 12, 60, 5, 0, 3, 0, 0},
      {"thumb of negative counts", RenderItem::SCROLL_BAR, 12, 60, -5, -9, -3, 0, 0},
      {"thumb past the end", RenderItem::SCROLL_BAR, 12, 60, 4, 10, 1 << 30, 0, 0},
      {"thumb of huge counts", RenderItem::SCROLL_BAR, 12, 60, 1 << 30, 0x7FFFFFFF, 1 << 30, 0, 0},
      {"flat scroll bar", RenderItem::SCROLL_BAR, 12, 1, 1, 2, 0, 0, 0},
      {"flat arrow", OverlayPainter::ARROW, 10, 1, 0, 0, 0, 0, 0},
  };
  for (int bare = 0; bare < 2; ++bare)
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(c.name) + (bare ? " (no font, strip or zoom)" : ""));
      AutoPtr<Image> image(Image::createImage(140, 120, BACKDROP));
      Graphics* g = image->getGraphics();
      AutoPtr<RenderItem> it(item(c.type, 20, 20, c.w, c.h));
      it->color = c.color;
      it->color2 = c.color2;
      it->value1 = c.value1;
      it->value2 = c.value2;
      it->text = u"Title"_s;
      it->param1 = -40;
      for (int i = 0; i < 5 && c.lists; ++i)
        for (int k = 0; k < 3; ++k) {
          if (c.lists == 1) addInt(it.get(), i, 1000000 * (k - 1));
          if (c.lists == 2) addString(it.get(), i, u"x\ty");
        }
      OverlayPainter::Style s = bare ? OverlayPainter::Style() : style(1, true);
      if (bare) s.zoom = 0;
      EXPECT_TRUE(draw(*g, it.get(), s));
      // Shadows and corner marks may reach past the rectangle by a few pixels; nothing goes further.
      for (int y = 0; y < 120; ++y)
        for (int x = 0; x < 140; ++x) {
          if (x < 17 || y < 17 || x > 20 + std::max(c.w, 0) + 10 || y > 20 + std::max(c.h, 0) + 10) {
            ASSERT_EQ(g->getRGBPixel(x, y) & 0xFFFFFF, BACKDROP) << x << "," << y;
          }
        }
    }
}

}  // namespace
