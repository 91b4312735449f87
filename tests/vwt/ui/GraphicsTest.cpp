#include <gtest/gtest.h>

#include <memory>

#include "vwt/lang/AutoPtr.h"
#include "vwt/platform/FontEngine.h"
#include "vwt/ui/Font.h"
#include "vwt/ui/Graphics.h"
#include "vwt/ui/Image.h"

namespace {

const int WHITE = 0xFFFFFF;

// Rows of the image's pixels as '#' (colour ink) and '.' (anything else).
std::vector<std::string> rows(Image* image, int ink, int h, int w) {
  std::vector<std::string> out;
  for (int y = 0; y < h; ++y) {
    std::string line;
    for (int x = 0; x < w; ++x) line += image->getGraphics()->getRGBPixel(x, y) == ink ? '#' : '.';
    out.push_back(line);
  }
  return out;
}

int count(Image* image, int ink) {
  int n = 0;
  for (int y = 0; y < image->getHeight(); ++y)
    for (int x = 0; x < image->getWidth(); ++x) n += image->getGraphics()->getRGBPixel(x, y) == ink;
  return n;
}

// The rows holding a pixel of colour ink: first and last, -1 when none.
std::pair<int, int> inkRows(Image* image, int ink) {
  int first = -1, last = -1;
  for (int y = 0; y < image->getHeight(); ++y)
    for (int x = 0; x < image->getWidth(); ++x)
      if (image->getGraphics()->getRGBPixel(x, y) == ink) {
        if (first < 0) first = y;
        last = y;
      }
  return {first, last};
}

TEST(GraphicsTest, ColourModel) {
  struct Case {
    int r, g, b, a;
    uint32_t want;
  } cases[] = {{1, 2, 3, 255, 0xFF010203u},
               {0x101, 0x102, 0x103, 0x80, 0x80010203u},
               {0, 0, 0, 0x1FF, 0xFF000000u},
               {255, 255, 255, 0, 0x00FFFFFFu}};
  for (const Case& c : cases)
    EXPECT_EQ(static_cast<uint32_t>(Graphics::getColorOfRGB(c.r, c.g, c.b, c.a)), c.want);
  EXPECT_EQ(static_cast<uint32_t>(Graphics::getColorOfRGB(0x1FF, 2, 3)), 0xFFFF0203u);
  AutoPtr<Image> image(Image::createImage(4, 4, 0));
  Graphics* g = image->getGraphics();
  g->setColorOfRGB(1, 2, 3);
  EXPECT_EQ(static_cast<uint32_t>(g->getColor()), 0xFF010203u);
  g->setPixel(1, 1);
  EXPECT_EQ(g->getRGBPixel(1, 1), 0x010203);
  g->setColor(0x123456);
  EXPECT_EQ(static_cast<uint32_t>(g->getColor()), 0xFF123456u);
  g->fillRect(0, 0, 1, 1);
  EXPECT_EQ(g->getRGBPixel(0, 0), 0x123456);
  EXPECT_EQ(g->getRGBPixel(100, 100), 0);  // outside: the default
}

TEST(GraphicsTest, AlphaOnlyAffectsFills) {
  AutoPtr<Image> image(Image::createImage(12, 12, WHITE));
  Graphics* g = image->getGraphics();
  g->setColorARGB(0x00123456);  // alpha 0: fills are invisible, pen lines are not
  g->fillRect(0, 0, 12, 12);
  g->drawLine(0, 5, 11, 5);  // horizontal: a fill
  g->drawLine(5, 0, 5, 11);  // vertical: a fill
  EXPECT_EQ(count(image.get(), WHITE), 144);
  g->drawLine(0, 0, 4, 4);  // diagonal: the pen
  g->drawRect(6, 6, 3, 3);
  g->fillPolygon(std::vector<int>{0, 2, 0}.data(), std::vector<int>{9, 9, 11}.data(), 3);
  EXPECT_EQ(g->getRGBPixel(3, 3), 0x123456);
  EXPECT_EQ(g->getRGBPixel(9, 9), 0x123456);
  EXPECT_EQ(g->getRGBPixel(0, 10), 0x123456);
  // Half alpha: white over black gives mid grey, black over white too.
  AutoPtr<Image> black(Image::createImage(2, 1, 0));
  black->getGraphics()->setColorARGB(static_cast<int>(0x80FFFFFFu));
  black->getGraphics()->fillRect(0, 0, 1, 1);
  const int grey = black->getGraphics()->getRGBPixel(0, 0);
  EXPECT_NEAR(grey & 0xFF, 0x80, 1);
  EXPECT_EQ(grey >> 16, grey & 0xFF);
  EXPECT_EQ(black->getGraphics()->getRGBPixel(1, 0), 0);
  // The second translucent fill reuses the one-pixel image with the new colour.
  black->getGraphics()->setColorARGB(static_cast<int>(0x80FF0000u));
  black->getGraphics()->fillRect(1, 0, 1, 1);
  EXPECT_NEAR(black->getGraphics()->getRGBPixel(1, 0) >> 16, 0x80, 1);
  EXPECT_EQ(black->getGraphics()->getRGBPixel(1, 0) & 0xFFFF, 0);
}

TEST(GraphicsTest, FirstColourTakesEvenWhenZero) {
  AutoPtr<Image> image(Image::createImage(2, 2, WHITE));
  Graphics g(image->getSurface());  // a fresh context: colour 0 is not yet chosen
  g.setColorARGB(0);                // transparent black: fills show nothing
  g.fillRect(0, 0, 2, 2);
  EXPECT_EQ(g.getRGBPixel(0, 0), WHITE);
}

TEST(GraphicsTest, LinesAndOutlines) {
  struct Case {
    int x1, y1, x2, y2, pixels;
  } cases[] = {{5, 5, 5, 5, 0}, {5, 5, 9, 5, 5}, {9, 5, 5, 5, 5},
               {5, 2, 5, 9, 8}, {0, 0, 4, 4, 4}, {4, 0, 0, 2, 4}};
  for (const Case& c : cases) {
    AutoPtr<Image> image(Image::createImage(12, 12, 0));
    Graphics* g = image->getGraphics();
    g->setColor(WHITE);
    g->drawLine(c.x1, c.y1, c.x2, c.y2);
    EXPECT_EQ(count(image.get(), WHITE), c.pixels) << c.x1 << "," << c.y1 << " " << c.x2 << "," << c.y2;
  }
  AutoPtr<Image> image(Image::createImage(12, 12, 0));
  Graphics* g = image->getGraphics();
  g->setColor(WHITE);
  g->drawRect(0, 0, 10, 10);
  EXPECT_EQ(count(image.get(), WHITE), 40);
  for (int i = 0; i <= 10; ++i) {
    EXPECT_EQ(g->getRGBPixel(i, 10), WHITE);
    EXPECT_EQ(g->getRGBPixel(10, i), WHITE);
  }
  int xs[] = {0, 3, 3}, ys[] = {0, 0, 3};
  AutoPtr<Image> poly(Image::createImage(5, 5, 0));
  poly->getGraphics()->setColor(WHITE);
  poly->getGraphics()->drawPolyline(xs, ys, 1);
  EXPECT_EQ(count(poly.get(), WHITE), 0);
  poly->getGraphics()->drawPolyline(xs, ys, 3);  // both segments are fills with both ends
  EXPECT_EQ(rows(poly.get(), WHITE, 5, 5),
            (std::vector<std::string>{"####.", "...#.", "...#.", "...#.", "....."}));
}

TEST(GraphicsTest, OnlyWholeEllipses) {
  struct Case {
    int w, h, start, arc;
    bool drawn;
  } cases[] = {{8, 6, 0, 180, false}, {8, 6, 0, -360, true},     {8, 6, 90, 360, true},
               {8, 6, 0, 720, true},  {0, 6, 0, 360, false},     {8, -1, 0, 360, false},
               {8, 6, 0, 359, false}, {8, 6, 0, INT32_MIN, true}};
  for (const Case& c : cases) {
    for (bool fill : {false, true}) {
      AutoPtr<Image> image(Image::createImage(12, 12, 0));
      Graphics* g = image->getGraphics();
      g->setColor(WHITE);
      if (fill) {
        g->fillArc(1, 1, c.w, c.h, c.start, c.arc);
      } else {
        g->drawArc(1, 1, c.w, c.h, c.start, c.arc);
      }
      EXPECT_EQ(count(image.get(), WHITE) > 0, c.drawn) << c.w << "x" << c.h << " " << c.arc;
      if (c.drawn) {
        EXPECT_EQ(g->getRGBPixel(4, 1), WHITE);  // top of the box
        EXPECT_EQ(g->getRGBPixel(1, 3), WHITE);  // left side
        EXPECT_EQ(g->getRGBPixel(9, 4), 0);      // right of the box
        EXPECT_EQ(g->getRGBPixel(4, 3), fill ? WHITE : 0);
      }
    }
  }
}

TEST(GraphicsTest, HatchingIsAnchoredAtTheOrigin) {
  AutoPtr<Image> a(Image::createImage(12, 12, 0)), b(Image::createImage(12, 12, 0));
  a->getGraphics()->setColor(WHITE);
  b->getGraphics()->setColor(WHITE);
  a->getGraphics()->fillAreaWithLine(0, 0, 10, 10, 5);
  b->getGraphics()->fillAreaWithLine(3, 7, 10, 10, 5);  // x and y do not move the box
  EXPECT_EQ(rows(a.get(), WHITE, 12, 12), rows(b.get(), WHITE, 12, 12));
  Graphics* g = a->getGraphics();
  EXPECT_EQ(g->getRGBPixel(5, 0), WHITE);  // (5, 0) -> (0, 5), end excluded
  EXPECT_EQ(g->getRGBPixel(1, 4), WHITE);
  EXPECT_EQ(g->getRGBPixel(0, 5), 0);
  EXPECT_EQ(g->getRGBPixel(10, 0), WHITE);  // (10, 0) -> (0, 10)
  EXPECT_EQ(g->getRGBPixel(10, 5), WHITE);  // (10, 5) -> (5, 10)
  EXPECT_EQ(g->getRGBPixel(10, 10), 0);     // the fourth line has no length
  EXPECT_EQ(count(a.get(), WHITE), 5 + 10 + 5);
  AutoPtr<Image> c(Image::createImage(12, 12, 0));
  c->getGraphics()->setColor(WHITE);
  c->getGraphics()->setOrigin(2, 1);
  c->getGraphics()->fillAreaWithLine(0, 0, 10, 10, 5);
  EXPECT_EQ(c->getGraphics()->getRGBPixel(5, 0), WHITE);  // read through the same origin
  c->getGraphics()->setOrigin(0, 0);
  EXPECT_EQ(c->getGraphics()->getRGBPixel(7, 1), WHITE);
  // A box far larger than the picture only costs the lines that can be seen.
  AutoPtr<Image> e(Image::createImage(12, 12, 0));
  e->getGraphics()->setColor(WHITE);
  e->getGraphics()->fillAreaWithLine(0, 0, INT32_MAX, INT32_MAX, 1);
  e->getGraphics()->drawLine(INT32_MIN, 0, INT32_MAX, 0);
  EXPECT_EQ(count(e.get(), WHITE), 144 - 11);  // each diagonal ends short of column 0; row 0 is the line
  for (int step : {0, -5, 100}) {
    AutoPtr<Image> d(Image::createImage(12, 12, 0));
    d->getGraphics()->setColor(WHITE);
    d->getGraphics()->fillAreaWithLine(0, 0, 10, 10, step);
    EXPECT_EQ(count(d.get(), WHITE), 0) << step;
  }
}

TEST(GraphicsTest, ClipAndOrigin) {
  AutoPtr<Image> image(Image::createImage(8, 6, 0));
  Graphics* g = image->getGraphics();
  g->setColor(WHITE);
  g->setOrigin(2, 1);
  g->setClip(0, 0, 4, 3);
  g->clipRect(1, 1, 10, 10);  // now 1..3 x 1..2 at the origin: device 3..5 x 2..3
  g->fillRect(-10, -10, 100, 100);
  g->setOrigin(0, 0);  // reading goes through the origin too
  EXPECT_EQ(rows(image.get(), WHITE, 6, 8), (std::vector<std::string>{"........", "........", "...###..",
                                                                      "...###..", "........", "........"}));
  g->clearClip();
  g->fillRect(0, 5, 8, 1);
  EXPECT_EQ(count(image.get(), WHITE), 14);
}

TEST(GraphicsTest, CopyArea) {
  AutoPtr<Image> image(Image::createImage(6, 3, 0));
  Graphics* g = image->getGraphics();
  g->setColor(WHITE);
  g->fillRect(0, 0, 2, 1);
  g->copyArea(0, 0, 3, 1, 1, 1);  // overlapping source and destination rows are apart; columns overlap
  g->copyArea(1, 1, 3, 1, 1, 0);
  EXPECT_EQ(rows(image.get(), WHITE, 3, 6), (std::vector<std::string>{"##....", ".###..", "......"}));
}

TEST(GraphicsTest, DrawImagePlainKeyedAndScaled) {
  const int key = 0xFF00FF, red = 0xFF0000;
  AutoPtr<Image> sprite(Image::createImage(2, 2, key));
  sprite->getGraphics()->setColor(red);
  sprite->getGraphics()->setPixel(0, 0);
  EXPECT_EQ(sprite->getTransparentColor(), -1);
  AutoPtr<Image> screen(Image::createImage(6, 6, WHITE));
  Graphics* g = screen->getGraphics();
  g->drawImage(sprite.get(), 0, 0);  // plain copy: the key colour shows
  EXPECT_EQ(g->getRGBPixel(1, 1), key);
  sprite->setTransparentColor(1, 1);  // the key from a pixel
  EXPECT_EQ(sprite->getTransparentColor(), key);
  g->drawImage(sprite.get(), 3, 3);
  EXPECT_EQ(g->getRGBPixel(3, 3), red);
  EXPECT_EQ(g->getRGBPixel(4, 4), WHITE);
  g->drawScaledImage(sprite.get(), 2, 0, 4, 2, 0, 0, 2, 1);  // the top row doubled, keyed
  EXPECT_EQ(rows(screen.get(), red, 2, 6), (std::vector<std::string>{"#.##..", "..##.."}));
  EXPECT_EQ(g->getRGBPixel(4, 0), WHITE);
  sprite->setTransparentColor(-1);
  g->drawScaledImage(sprite.get(), 0, 3, 2, 2, 0, 0, 1, 1);  // stretched copy of one pixel
  EXPECT_EQ(rows(screen.get(), red, 6, 6)[4], "##....");
  g->drawImage(sprite.get(), 5, 0, 1, 1, 1, 1);  // a source rectangle, unscaled
  EXPECT_EQ(g->getRGBPixel(5, 0), key);
  g->drawImage(nullptr, 0, 0);  // nothing
  sprite->dispose();
  EXPECT_EQ(sprite->getWidth(), 0);
  EXPECT_EQ(sprite->getGraphics(), nullptr);
  g->drawImage(sprite.get(), 0, 0);  // a disposed picture draws nothing
  EXPECT_EQ(g->getRGBPixel(0, 0), red);
}

vwt::platform::FontFace* stockFace() {
  return vwt::platform::FontEngine::instance().face(u"IPAPGothic"_s, 20, false);
}

TEST(GraphicsTest, TextSitsOnItsBaseline) {
  vwt::platform::FontEngine& engine = vwt::platform::FontEngine::instance();
  // Without a font, the top of the text is 16 above the given y.
  AutoPtr<Image> image(Image::createImage(60, 60, 0));
  Graphics* g = image->getGraphics();
  g->setColor(WHITE);
  g->drawString(u"H"_s, 2, 20);
  std::pair<int, int> ink = inkRows(image.get(), WHITE);
  ASSERT_GE(ink.first, 0);
  EXPECT_GE(ink.first, 4);
  EXPECT_EQ(ink.second, 20 - 16 + engine.ascent(stockFace()) - 1);  // H stands on the baseline
  // With a font, the top is the font's ascent (height * 8 / 10) above y.
  AutoPtr<vwt::Font> font(vwt::Font::getFont(0x200));
  AutoPtr<Image> other(Image::createImage(60, 60, 0));
  other->getGraphics()->setColor(WHITE);
  other->getGraphics()->setFont(font.get());
  EXPECT_EQ(font->getGraphics(), other->getGraphics());
  other->getGraphics()->drawString(u"H"_s, 2, 30);
  ink = inkRows(other.get(), WHITE);
  EXPECT_GE(ink.first, 30 - 16);
  EXPECT_EQ(ink.second, 30 - font->getAscent() + engine.ascent(font->getHandle()) - 1);
}

TEST(GraphicsTest, TextIsOpaqueOverTranslucentFillsAndMeasuresAsDrawn) {
  AutoPtr<vwt::Font> font(vwt::Font::getFont(0, 24));
  AutoPtr<Image> image(Image::createImage(120, 40, 0));
  Graphics* g = image->getGraphics();
  g->setFont(font.get());
  g->setColorARGB(static_cast<int>(0x40FF0000u));
  g->fillRect(0, 0, 120, 40);
  EXPECT_EQ(count(image.get(), 0xFF0000), 0);
  g->drawString(String(u"日本語 HI", false), 0, 30);
  EXPECT_GT(count(image.get(), 0xFF0000), 20);  // full-coverage glyph pixels in the opaque colour
  const String text(u"日本語 HI", false);
  int sum = 0;
  for (int i = 0; i < text.length(); ++i) sum += g->charWidth(text.charAt(i));
  EXPECT_EQ(g->stringWidth(text), sum);
  EXPECT_EQ(g->stringWidth(text), font->stringWidth(text));
  EXPECT_EQ(g->substringWidth(text, 1, 100), g->stringWidth(text.substring(1)));
  EXPECT_EQ(g->substringWidth(text, 100, 2), 0);  // cut to the text there is
  EXPECT_EQ(g->substringWidth(text, -3, 1), g->charWidth(text.charAt(0)));
  EXPECT_EQ(g->substringWidth(text, 2, -1), 0);
}

TEST(GraphicsTest, TextKeepsToTheClipAndFollowsTheOrigin) {
  AutoPtr<vwt::Font> font(vwt::Font::getFont(0x200));
  AutoPtr<Image> image(Image::createImage(100, 30, 0)), moved(Image::createImage(100, 30, 0));
  Graphics* g = image->getGraphics();
  g->setFont(font.get());
  g->setColor(WHITE);
  g->setClip(0, 0, 30, 30);
  g->drawString(String(u"WWWW日本", false), 0, 20);
  g->clearClip();
  int inside = 0;
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 100; ++x) {
      const bool ink = g->getRGBPixel(x, y) != 0;
      EXPECT_FALSE(ink && x >= 30) << x << "," << y;
      inside += ink;
    }
  EXPECT_GT(inside, 0);
  // The same text through an origin lands shifted by it.
  Graphics* m = moved->getGraphics();
  m->setFont(font.get());
  m->setColor(WHITE);
  m->setOrigin(7, 3);
  m->setClip(0, 0, 30, 30);
  m->drawString(String(u"WWWW日本", false), 0, 20);
  m->setOrigin(0, 0);
  for (int y = 0; y < 27; ++y)
    for (int x = 0; x < 30; ++x)
      EXPECT_EQ(m->getRGBPixel(x + 7, y + 3), g->getRGBPixel(x, y)) << x << "," << y;
}

TEST(GraphicsTest, TextBackgrounds) {
  vwt::platform::FontEngine& engine = vwt::platform::FontEngine::instance();
  AutoPtr<vwt::Font> font(vwt::Font::getFont(0x200));
  const int blue = 0x0000FF;
  for (int bg : {blue, WHITE}) {  // white too: the requested background is always drawn
    AutoPtr<Image> image(Image::createImage(80, 40, 0));
    Graphics* g = image->getGraphics();
    g->setFont(font.get());
    g->setColor(0x00FF00);
    g->drawStringBG(u"ab"_s, 3, 25, bg);
    const int w = g->stringWidth(u"ab"_s), h = engine.height(font->getHandle());
    const int top = 25 - font->getAscent();
    EXPECT_EQ(g->getRGBPixel(3, top), bg);
    EXPECT_EQ(g->getRGBPixel(3 + w - 1, top + h - 1), bg);
    EXPECT_EQ(g->getRGBPixel(3 + w, top), 0);
    EXPECT_EQ(g->getRGBPixel(3, top - 1), 0);
    EXPECT_GT(count(image.get(), 0x00FF00), 0);
  }
  // The boxed form fills the given box and leaves the colour opaque.
  AutoPtr<Image> image(Image::createImage(80, 40, 0));
  Graphics* g = image->getGraphics();
  g->setFont(font.get());
  g->setColorARGB(0x2000FF00);
  g->drawStringBG(u"ab"_s, 3, 25, 50, 22, blue);
  EXPECT_EQ(static_cast<uint32_t>(g->getColor()), 0xFF00FF00u);
  EXPECT_EQ(g->getRGBPixel(52, 25 - 16), blue);
  EXPECT_EQ(g->getRGBPixel(52, 25 - 16 + 21), blue);
  EXPECT_EQ(g->getRGBPixel(53, 25 - 16), 0);
  EXPECT_GT(count(image.get(), 0x00FF00), 0);
}

}  // namespace
