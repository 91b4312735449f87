// Single items drawn through the renderer into a white view, checked pixel by pixel.
#include <gtest/gtest.h>

#include <climits>

#include "browser/page/OverlayPainter.h"
#include "browser/page/PageFonts.h"
#include "browser/page/PageRenderer.h"
#include "browser/page/RenderItem.h"
#include "browser/page/TextWrapper.h"
#include "tests/browser/page/RendererTestHost.h"
#include "tests/vwt/GoldenPicture.h"
#include "tests/vwt/ScratchDirectory.h"
#include "tests/vwt/TestText.h"
#include "vwt/lang/Boolean.h"
#include "vwt/lang/Integer.h"
#include "vwt/lang/System.h"

namespace {

using rendertest::pixel;

const int WHITE = 0xFFFFFF;

class ItemPainterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fonts_.setUp(false, 0, 0, 0);
    renderer_.reset(new PageRenderer(&host_, &fonts_));
    renderer_->setViewSize(60, 60);
    target_ = Image::createImage(60, 60, WHITE);
  }
  RenderItem* item(int type, int x, int y, int w, int h) {
    RenderItem* it = new RenderItem();
    it->type = type;
    it->x = x;
    it->y = y;
    it->width = w;
    it->height = h;
    items_.addElement(it);
    return it;
  }
  void draw(RenderItem* it, int zoom) {
    target_->getGraphics()->setColor(WHITE);
    target_->getGraphics()->clearClip();
    target_->getGraphics()->fillRect(0, 0, 60, 60);
    renderer_->drawItem(*target_->getGraphics(), it, 0, 0, zoom);
  }
  int inked() {
    int n = 0;
    for (int y = 0; y < 60; ++y)
      for (int x = 0; x < 60; ++x) n += pixel(target_.get(), x, y) != WHITE;
    return n;
  }
  // Rows of column x that are not white.
  int inkedRows(int x) {
    int n = 0;
    for (int y = 0; y < 60; ++y) n += pixel(target_.get(), x, y) != WHITE;
    return n;
  }
  int inkedColumns(int y) {
    int n = 0;
    for (int x = 0; x < 60; ++x) n += pixel(target_.get(), x, y) != WHITE;
    return n;
  }
  static void addBorder(RenderItem* it, int side, int colour, int width) {
    it->ensureLists(1);
    RenderItem::ValueList* list = it->getList(0);
    while (list->size() < 12) list->addElement(nullptr);
    list->setElementAt(new Integer(colour), 3 * side);
    list->setElementAt(new Integer(width), 3 * side + 1);
    list->setElementAt(new Integer(0), 3 * side + 2);
    it->flags |= 1 << side;
  }

  RendererTestHost host_;
  PageFonts fonts_;
  std::unique_ptr<PageRenderer> renderer_;
  AutoPtr<Image> target_;
  Vector<RenderItem*> items_;
};

TEST_F(ItemPainterTest, ZoomTruncatesCoordinatesAndKeepsThinLinesThin) {
  RenderItem* r = item(RenderItem::FILLED_RECT, 3, 3, 4, 4);
  r->color = 0x0000FF;
  draw(r, 50);  // x = 3 at 50 % is 1
  EXPECT_EQ(0x0000FF, pixel(target_.get(), 1, 1));
  EXPECT_EQ(WHITE, pixel(target_.get(), 0, 1));
  EXPECT_EQ(WHITE, pixel(target_.get(), 3, 1));

  // An underline of an empty run: only the bar shows, one pixel thick at 150 %.
  RenderItem* t = item(RenderItem::TEXT, 2, 2, 20, 14);
  t->flags = 0x1;
  t->color = 0xFF0000;
  draw(t, 150);
  EXPECT_EQ(1, inkedRows(10));
  int row = 0;
  while (row < 59 && pixel(target_.get(), 10, row) == WHITE) ++row;
  EXPECT_EQ(30 - 1, inkedColumns(row)) << "bar width";
}

TEST_F(ItemPainterTest, BoxesFollowTheBackgroundAndBorderRules) {
  RenderItem* none = item(RenderItem::BOX, 5, 5, 30, 30);
  none->color2 = ItemPainter::NO_BACKGROUND;
  draw(none, 100);
  EXPECT_EQ(0, inked());

  // Border widths are pixels at every zoom: 1 stays a line, 3 stays 3.
  RenderItem* thin = item(RenderItem::BOX, 2, 2, 20, 20);
  thin->color2 = ItemPainter::NO_BACKGROUND;
  addBorder(thin, 3, 0xFF0000, 1);
  draw(thin, 200);
  EXPECT_EQ(0, inkedRows(3));
  EXPECT_EQ(40, inkedRows(4));
  EXPECT_EQ(WHITE, pixel(target_.get(), 5, 20));

  RenderItem* thick = item(RenderItem::BOX, 2, 2, 20, 20);
  thick->color2 = ItemPainter::NO_BACKGROUND;
  addBorder(thick, 0, 0x00FF00, 3);
  draw(thick, 200);
  EXPECT_EQ(3, inkedRows(20));
  EXPECT_EQ(0x00FF00, pixel(target_.get(), 20, 4));
  EXPECT_EQ(0x00FF00, pixel(target_.get(), 20, 6));
  EXPECT_EQ(WHITE, pixel(target_.get(), 20, 7));

  // Mitred corners: the top border's inner corner is set in by the left border.
  RenderItem* both = item(RenderItem::BOX, 2, 2, 20, 20);
  both->color2 = ItemPainter::NO_BACKGROUND;
  addBorder(both, 0, 0x00FF00, 4);
  addBorder(both, 3, 0xFF0000, 4);
  draw(both, 100);
  EXPECT_EQ(0x00FF00, pixel(target_.get(), 5, 2));
  EXPECT_EQ(0xFF0000, pixel(target_.get(), 2, 5));
}

TEST_F(ItemPainterTest, SmallControlsAndPlaceholdersAreNotDrawn) {
  struct Case {
    int type, w, h, param1;
    bool drawn;
  } cases[] = {
      {RenderItem::SELECT, 14, 18, 0, false},       {RenderItem::SELECT, 15, 18, 0, true},
      {RenderItem::PLACEHOLDER, 16, 100, 0, false}, {RenderItem::PLACEHOLDER, 17, 17, 0, true},
      {RenderItem::BUTTON, 40, 11, 0, false},       {RenderItem::BUTTON, 40, 12, 0, true},
      {RenderItem::LIST, 18, 30, 0, false},         {RenderItem::TEXT_AREA, 18, 30, 0, false},
      {RenderItem::TEXT_FIELD, 1, 30, 0, false},    {RenderItem::IMAGE, 10, 10, 0, false},
      {RenderItem::IMAGE, 10, 10, 20, true},        {RenderItem::IMAGE, 20, 20, 0, true},
  };
  for (const Case& c : cases) {
    RenderItem* it = item(c.type, 1, 1, c.w, c.h);
    it->param1 = c.param1;
    it->param2 = c.param1;
    it->color2 = 0xFFFFFF;
    it->imageIndex = 7;  // never loaded: an image draws as its placeholder
    draw(it, 100);
    EXPECT_EQ(c.drawn, inked() > 0) << "type " << c.type << " " << c.w << "x" << c.h;
  }
}

TEST_F(ItemPainterTest, TiledImagesUseAPreTiledCopyFromTheirPhase) {
  host_.setImage(0, 10, 20, 0x00FF00);
  RenderItem* t = item(RenderItem::TILED_IMAGE, 0, 0, 50, 50);
  t->imageIndex = 0;
  draw(t, 100);
  Image* copy = renderer_->tileCache().tileFor(0, host_.pageImage(0));
  ASSERT_NE(host_.pageImage(0), copy);
  EXPECT_EQ(80, copy->getWidth());
  EXPECT_EQ(80, copy->getHeight());
  EXPECT_EQ(50 * 50, inked());
  EXPECT_EQ(0, inkedRows(55));
  // The cache keeps the copy until the page changes.
  EXPECT_EQ(copy, renderer_->tileCache().tileFor(0, host_.pageImage(0)));
  renderer_->pageChanged();
  EXPECT_EQ(0, renderer_->tileCache().size());
}

TEST_F(ItemPainterTest, FocusedTextIsInvertedAndOtherItemsAreFramed) {
  RenderItem* t = item(RenderItem::TEXT, 2, 2, 20, 14);
  t->color = 0x000000;
  target_->getGraphics()->setColor(WHITE);
  target_->getGraphics()->fillRect(0, 0, 60, 60);
  renderer_->drawFocus(*target_->getGraphics(), t, 0, 0);
  EXPECT_EQ(ItemPainter::CONTROL_FRAME, pixel(target_.get(), 2, 2));
  EXPECT_EQ(ItemPainter::CONTROL_FRAME, pixel(target_.get(), 22, 16));
  EXPECT_EQ(0x000000, t->color);

  RenderItem* r = item(RenderItem::RECT, 5, 5, 10, 10);
  target_->getGraphics()->fillRect(0, 0, 60, 60);
  renderer_->drawFocus(*target_->getGraphics(), r, 0, 0);
  EXPECT_EQ(0xFF0000, pixel(target_.get(), 5, 5));
  EXPECT_EQ(WHITE, pixel(target_.get(), 8, 8));
}

TEST_F(ItemPainterTest, OpenSelectListStoresItsPlaceAndRows) {
  RenderItem* s = item(RenderItem::SELECT, 2, 2, 50, 18);
  s->color2 = 0xFFFFFF;
  s->ensureLists(3);
  for (const char16_t* label : {u"a", u"b", u"c", u"d", u"e", u"f", u"g", u"h"})
    s->getList(0)->addElement(new String(label, false));
  s->value1 = 100;
  s->value2 = 2;
  s->flags = ItemPainter::ACTIVE;
  draw(s, 100);
  int top = s->param3 >> 16, height = s->param3 & 0xFFFF;
  EXPECT_EQ(20, top);
  int lh = fonts_.pageFont()->getHeight();
  EXPECT_EQ(s->scrollState * lh + 3, height);
  EXPECT_GE(s->scrollState, 1);
  EXPECT_LE(s->value1 + s->scrollState, 8);
  EXPECT_EQ(RenderItem::SCROLL_BAR, s->child->type);
  EXPECT_EQ(8, s->child->color2);
}

TEST_F(ItemPainterTest, ObjectsArePlacedAsMoviesOrShownAsPlaceholders) {
  ScratchProgram program;
  String dir = System::getDataDirectory(u"vesk"_s, u"veskBrowserQK"_s);
  program.dir.write(narrow(dir).substr(program.dir.path().size() + 1) + "clip.swf", "FWS");
  program.dir.write(narrow(dir).substr(program.dir.path().size() + 1) + "empty.swf", "");
  struct Case {
    bool playback;
    const char16_t* name;
    bool placed;
    const char16_t* text;
  } cases[] = {
      {true, u"clip.swf", true, u""},
      {false, u"clip.swf", false, u"\u975E\u5BFE\u5FDC\u8981\u7D20\u3067\u3059\uFF08OBJECT\uFF09"},
      {true, u"missing.swf", false, u"OBJECT\u63CF\u753B\u6E96\u5099\u4E2D"},
      {true, u"empty.swf", false, u"OBJECT\u63CF\u753B\u6E96\u5099\u4E2D"},
      {true, u"../clip.swf", false, u"OBJECT\u63CF\u753B\u6E96\u5099\u4E2D"},
  };
  for (const Case& c : cases) {
    host_.movies = c.playback;
    host_.placed.clear();
    RenderItem* o = item(RenderItem::OBJECT, 2, 2, 50, 40);
    o->name = String(c.name, false);
    draw(o, 100);
    ASSERT_EQ(c.placed ? 1u : 0u, host_.placed.size()) << narrow(o->name);
    if (c.placed) {
      EXPECT_EQ(narrow(dir) + "clip.swf", narrow(host_.placed[0]));
      EXPECT_EQ(0, inked());
    } else {
      EXPECT_TRUE(o->text.equals(String(c.text, false))) << narrow(o->name);
      EXPECT_EQ(ItemPainter::PLACEHOLDER_GREY, pixel(target_.get(), 2, 2));
    }
  }
}

// The controls in their active states, the box borders and image modes, as a user sees them.
TEST_F(ItemPainterTest, ControlsDrawAsTheirGoldenPicture) {
  ScratchProgram program;
  host_.loadIconStrip(std::string(VWT_SOURCE_DIR) + "/res/icon.gif");
  host_.setImage(0, 6, 6, 0x3366CC);
  renderer_->setViewSize(240, 320);
  AutoPtr<Image> view(Image::createImage(240, 320, 0xF0F0F0));
  auto labels = [](RenderItem* it, std::initializer_list<const char16_t*> names, int selected) {
    it->ensureLists(3);
    int i = 0;
    for (const char16_t* n : names) {
      it->getList(0)->addElement(new String(n, false));
      it->getList(2)->addElement(new Boolean(i++ == selected));
    }
  };
  RenderItem* sel = item(RenderItem::SELECT, 4, 4, 110, 18);
  sel->color2 = 0xFFFFFF;
  labels(sel, {u"Apple", u"Banana", u"Cherry", u"Damson", u"Elder", u"Fig", u"Grape"}, 1);
  sel->value2 = 1;
  sel->flags = ItemPainter::ACTIVE;
  RenderItem* list = item(RenderItem::LIST, 124, 4, 110, 60);
  list->color2 = 0xFFFFFF;
  labels(list, {u"One", u"Two", u"Three", u"Four", u"Five", u"Six"}, 2);
  list->value2 = 1;
  list->flags = ItemPainter::ACTIVE;
  RenderItem* area = item(RenderItem::TEXT_AREA, 124, 70, 110, 50);
  area->color2 = 0xFFFFEE;
  area->text = u"A text area whose words wrap over several lines\nand a second paragraph"_s;
  area->flags = ItemPainter::ACTIVE;
  RenderItem* pw = item(RenderItem::PASSWORD_FIELD, 124, 126, 110, 18);
  pw->color2 = 0xFFFFFF;
  pw->text = u"secret"_s;
  RenderItem* box = item(RenderItem::BOX, 4, 150, 110, 60);
  box->color2 = 0xFFFFFF;
  addBorder(box, 0, 0xFF0000, 6);
  addBorder(box, 1, 0x00AA00, 3);
  addBorder(box, 2, 0x0000FF, 6);
  addBorder(box, 3, 0xFFAA00, 1);
  RenderItem* row = item(RenderItem::BOX, 124, 150, 110, 60);
  row->color2 = 0xFFFFFF;
  row->flags = 0x10 | (1 << 12) | 0x20 | 0x40;
  row->color = 0x000000;
  row->param2 = (20 << 16) | 30;  // one row from 20 to 30
  RenderItem* tiled = item(RenderItem::TILED_IMAGE, 4, 216, 110, 30);
  tiled->param1 = 2 << 16;
  tiled->param2 = 3 << 16;
  RenderItem* ph = item(RenderItem::PLACEHOLDER, 124, 216, 110, 30);
  ph->text = u"[picture]"_s;
  RenderItem* link = item(RenderItem::TEXT, 4, 256, 100, 14);
  link->text = u"A focused link"_s;
  link->color = 0x0000CC;
  link->flags = 0x1;
  RenderItem* strike = item(RenderItem::TEXT, 124, 256, 100, 14);
  strike->text = u"Bold, struck"_s;
  strike->flags = 0x2 | 0x4;
  RenderItem* button = item(RenderItem::BUTTON, 4, 280, 70, 20);
  button->text = u"Submit"_s;
  RenderItem* check = item(RenderItem::CHECKBOX, 90, 284, 12, 12);
  check->flags = 0x4;
  item(RenderItem::RADIO, 110, 284, 12, 12)->flags = 0x4;
  // Drawn in reverse so that the open list lies over what follows it.
  Graphics& g = *view->getGraphics();
  for (int i = items_.size() - 1; i >= 0; --i) renderer_->drawItem(g, items_.elementAt(i), 0, 0, 100);
  renderer_->drawFocus(g, link, 0, 0);
  ScratchDirectory shots;
  std::string shot = shots / "page-controls-100.png";
  ASSERT_TRUE(rendertest::writePng(view.get(), shot));
  EXPECT_TRUE(golden::matches(shot, "page-controls-100.png", "tests/browser/golden/pictures/"));
}

TEST_F(ItemPainterTest, PanelChildrenStayInsideThePanel) {
  RenderItem* panel = item(OverlayPainter::PANEL, 10, 10, 40, 40);
  panel->text = u"T"_s;
  panel->ensureLists(1);
  RenderItem* child = new RenderItem();  // owned by the panel's list
  child->type = RenderItem::TEXT_FIELD;
  child->x = -30;
  child->width = 120;
  child->height = 18;
  child->color2 = 0x00FF00;
  panel->getList(0)->addElement(child);
  panel->value2 = -1;
  draw(panel, 100);
  int outside = 0, inside = 0;
  for (int y = 0; y < 60; ++y)
    for (int x = 0; x < 60; ++x) {
      int p = pixel(target_.get(), x, y);
      if (x < 10 || x > 50 || y < 10 || y > 50)
        outside += p != WHITE;
      else
        inside += p == 0x00FF00;
    }
  EXPECT_EQ(0, outside);
  EXPECT_GT(inside, 0);
}

// Nothing a page may claim crashes the painter or allocates by the claim.
TEST_F(ItemPainterTest, BadItemsAreSkippedOrCut) {
  struct Case {
    int type, x, y, w, h;
  } cases[] = {
      {RenderItem::FILLED_RECT, INT_MIN, INT_MIN, INT_MAX, INT_MAX},
      {RenderItem::LINE, -2000000000, -2000000000, INT_MAX, INT_MAX},
      {RenderItem::RECT, 0, 0, INT_MAX, INT_MAX},
      {RenderItem::TEXT, 0, 0, -5, -5},
      {RenderItem::TILED_IMAGE, 0, 0, INT_MAX, INT_MAX},
      {RenderItem::IMAGE, 0, 0, 5000000, 5000000},
      {RenderItem::BOX, INT_MAX, INT_MAX, INT_MAX, INT_MAX},
      {RenderItem::BOX, -10, -10, 100000000, 100000000},
      {RenderItem::SELECT, 0, 0, 40, 20},
      {RenderItem::SELECT, -100000000, 0, 200000000, 200000000},
      {RenderItem::BUTTON, -100000000, -100000000, INT_MAX, INT_MAX},
      {RenderItem::TEXT_FIELD, -100000000, -100000000, INT_MAX, INT_MAX},
      {RenderItem::LIST, -100000000, -100000000, INT_MAX, INT_MAX},
      {RenderItem::TEXT_AREA, -100000000, -100000000, INT_MAX, INT_MAX},
      {RenderItem::PLACEHOLDER, -100000000, -100000000, INT_MAX, INT_MAX},
      {RenderItem::IMAGE_BUTTON, -100000000, -100000000, INT_MAX, INT_MAX},
      {RenderItem::RADIO, INT_MAX, INT_MAX, INT_MAX, INT_MAX},
      {RenderItem::LIST, 0, 0, 40, 40},
      {RenderItem::TEXT_AREA, 0, 0, 40, 40},
      {RenderItem::PASSWORD_FIELD, 0, 0, 40, 20},
      {RenderItem::CHECKBOX, 0, 0, 12, 12},
      {RenderItem::OBJECT, 0, 0, 40, 40},
      {RenderItem::LINK, 0, 0, 40, 40},
      {99, 0, 0, 40, 40},
      {200, 0, 0, 40, 40},
  };
  host_.setImage(0, 1, 1, 0x123456);
  for (const Case& c : cases) {
    RenderItem* it = item(c.type, c.x, c.y, c.w, c.h);
    it->imageIndex = 0;
    it->text = u"x\ny"_s;
    it->flags = 0xFFFF;  // every bit: borders, image, active
    it->value1 = INT_MAX;
    it->value2 = -5;
    it->param1 = INT_MAX;
    it->param2 = INT_MIN;
    // Value lists of the wrong kinds.
    it->ensureLists(3);
    it->getList(0)->addElement(new Integer(3));
    it->getList(0)->addElement(nullptr);
    it->getList(2)->addElement(new String(u"yes"_s));
    for (int zoom : {10, 100, 800}) draw(it, zoom);
    SUCCEED() << c.type;
  }
}

TEST(TextWrapperTest, BreaksByHalfAndFullWidths) {
  struct Case {
    const char16_t* text;
    int width;
    std::vector<std::u16string> lines;
  } cases[] = {
      {u"abcd", 20, {u"abcd"}},         // 4 half widths of 10 = 20
      {u"abcde", 20, {u"abcd", u"e"}},  // the fifth passes the width
      {u"\u3042\u3044\u3046", 25, {u"\u3042\u3044", u"\u3046"}},
      {u"\u3042", 5, {u"\u3042"}},  // alone on its line it stays
      {u"ab\ncd", 100, {u"ab", u"cd"}},
      {u"ab\r\ncd", 100, {u"ab", u"cd"}},
      {u"\nab", 100, {u"ab"}},  // a leading line feed is skipped
      {u"\r\nab", 100, {u"ab"}},
      {u"a\n\nb", 100, {u"a", u"", u"b"}},
  };
  for (const Case& c : cases) {
    std::vector<String> got = TextWrapper::wrap(String(c.text, false), c.width, 10);
    ASSERT_EQ(c.lines.size(), got.size()) << c.width;
    for (size_t i = 0; i < got.size(); ++i)
      EXPECT_TRUE(got[i].equals(String(c.lines[i].c_str(), 0, static_cast<int>(c.lines[i].size()))));
  }
}

}  // namespace
