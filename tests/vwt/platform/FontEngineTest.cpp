#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <thread>
#include <vector>

#include "tests/vwt/TestText.h"
#include "vwt/platform/FontEngine.h"
#include "vwt/platform/FontLookup.h"

using vwt::platform::FontEngine;
using vwt::platform::FontFace;
using vwt::platform::PixelRect;
using vwt::platform::PixelTarget;

namespace {

const uint32_t WHITE = 0xFFFFFFFF;

// An opaque page of one colour that hands out a PixelTarget over itself.
struct Page {
  Page(int w, int h, uint32_t fill = WHITE) : width(w), height(h), pixels(static_cast<size_t>(w) * h, fill) {}
  PixelTarget target() {
    PixelTarget t;
    t.pixels = pixels.data();
    t.stride = width;
    t.width = width;
    t.height = height;
    return t;
  }
  PixelRect all() const { return PixelRect{0, 0, width, height}; }
  uint32_t at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
  int changed(uint32_t fill = WHITE) const {
    int n = 0;
    for (uint32_t p : pixels) n += p != fill;
    return n;
  }
  int width, height;
  std::vector<uint32_t> pixels;
};

FontFace* gothic(int height) { return FontEngine::instance().face(u"IPAPGothic"_s, height, false); }

int advanceSum(FontFace* face, const std::u16string& text) {
  int sum = 0;
  for (char16_t u : text) sum += FontEngine::instance().advance(face, u);
  return sum;
}

}  // namespace

TEST(FontEngine, FindsTheShippedFaceAndFallsBackForUnknownNames) {
  FontEngine& engine = FontEngine::instance();
  EXPECT_EQ(narrow(engine.familyName(gothic(12))), "IPAPGothic");
  struct Case {
    const char16_t* family;
    bool fixedPitch;
  } cases[] = {{u"NoSuchFaceAnywhere", false}, {u"NoSuchFaceAnywhere", true}, {u"", false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(narrow(String(c.family, false)));
    FontFace* face = engine.face(String(c.family, false), 16, c.fixedPitch);
    ASSERT_NE(face, nullptr);
    EXPECT_FALSE(engine.familyName(face).isNull());
    // The substitute really draws: some pixels of "Ag" change.
    Page page(64, 32);
    engine.draw(page.target(), page.all(), face, 2, 2, u"Ag", 2, 0x000000);
    EXPECT_GT(page.changed(), 0);
    EXPECT_GT(engine.measure(face, u"Ag", 2), 0);
  }
}

// IPAPGothic has no Hebrew: the letters come from a face fontconfig offers.
TEST(FontEngine, UnitsTheFaceLacksComeFromAnotherFace) {
  vwt::platform::FontFile other;
  if (!vwt::platform::findFontFileFor("IPAPGothic", false, 0x05D0, &other))
    GTEST_SKIP() << "no installed face has Hebrew letters";
  FontEngine& engine = FontEngine::instance();
  FontFace* face = gothic(16);
  const char16_t alef = 0x05D0, missing = 0xFFFF;  // a noncharacter: the missing glyph everywhere
  EXPECT_GT(engine.advance(face, alef), 0);
  Page a(40, 30), box(40, 30);
  engine.draw(a.target(), a.all(), face, 4, 4, &alef, 1, 0);
  engine.draw(box.target(), box.all(), face, 4, 4, &missing, 1, 0);
  EXPECT_GT(a.changed(), 0);
  EXPECT_NE(a.pixels, box.pixels);  // a letter, not the missing glyph's box
}

TEST(FontEngine, SameRequestSameFace) {
  FontEngine& engine = FontEngine::instance();
  FontFace* a = engine.face(u"IPAPGothic"_s, 12, false);
  EXPECT_EQ(engine.face(u"IPAPGothic"_s, 12, false), a);
  EXPECT_NE(engine.face(u"IPAPGothic"_s, 13, false), a);
  EXPECT_NE(engine.face(u"IPAPGothic"_s, 12, true), a);
  EXPECT_NE(engine.face(u"NoSuchFaceAnywhere"_s, 12, false), a);
}

TEST(FontEngine, CellHeightIsTheRequestedHeightAndAscentLiesInsideIt) {
  FontEngine& engine = FontEngine::instance();
  struct Case {
    int request, height;
  } cases[] = {{12, 12}, {20, 20}, {24, 24}, {0, 12}, {-16, 16}, {100000, 256}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.request);
    FontFace* face = gothic(c.request);
    EXPECT_EQ(engine.height(face), c.height);
    EXPECT_GT(engine.ascent(face), c.height / 2);
    EXPECT_LE(engine.ascent(face), c.height);
  }
}

// measure() is the sum of the advances, and draw() moves by exactly that much:
// drawing the text at once gives the same pixels as drawing each unit at the
// running sum of the advances before it.
TEST(FontEngine, MeasureEqualsAdvanceSumEqualsHowFarDrawMoves) {
  FontEngine& engine = FontEngine::instance();
  const std::u16string texts[] = {u"Hello, world", u"日本語のテキスト", u"ABC漢字xyz123", u"iiiWWW",
                                  u"\U0001F600x"};
  for (int height : {12, 20}) {
    FontFace* face = gothic(height);
    for (const std::u16string& text : texts) {
      SCOPED_TRACE(height);
      int n = static_cast<int>(text.size());
      int sum = advanceSum(face, text);
      EXPECT_EQ(engine.measure(face, text.data(), n), sum);
      EXPECT_GT(sum, 0);

      Page whole(sum + 40, height * 2), pieces(sum + 40, height * 2);
      engine.draw(whole.target(), whole.all(), face, 10, 4, text.data(), n, 0x204060);
      int pen = 10;
      for (char16_t u : text) {
        engine.draw(pieces.target(), pieces.all(), face, pen, 4, &u, 1, 0x204060);
        pen += engine.advance(face, u);
      }
      EXPECT_GT(whole.changed(), 0);
      EXPECT_EQ(whole.pixels, pieces.pixels);
    }
  }
}

TEST(FontEngine, JapaneseTextIsDrawnOnlyInsideTheClip) {
  FontEngine& engine = FontEngine::instance();
  FontFace* face = gothic(20);
  const std::u16string text = u"日本語の文字";
  struct Case {
    PixelRect clip;
  } cases[] = {
      {{0, 0, 160, 40}},      // everything
      {{30, 8, 70, 20}},      // inside the text, cutting glyphs on every side
      {{0, 0, 160, 12}},      // the upper half of the line
      {{-50, -50, 200, 90}},  // wider than the target: cut to it
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.clip.x0);
    const uint32_t fill = 0xFF808080;
    Page page(160, 40, fill);
    engine.draw(page.target(), c.clip, face, 4, 6, text.data(), static_cast<int>(text.size()), 0xFF0000);
    int inside = 0, outside = 0;
    for (int y = 0; y < page.height; ++y)
      for (int x = 0; x < page.width; ++x) {
        bool in = x >= c.clip.x0 && x < c.clip.x1 && y >= c.clip.y0 && y < c.clip.y1;
        if (page.at(x, y) != fill) ++(in ? inside : outside);
      }
    EXPECT_GT(inside, 0);
    EXPECT_EQ(outside, 0);
  }
  // An empty or inverted clip draws nothing.
  for (PixelRect clip : {PixelRect{10, 10, 10, 30}, PixelRect{50, 30, 20, 10}}) {
    Page page(160, 40);
    engine.draw(page.target(), clip, face, 4, 6, text.data(), static_cast<int>(text.size()), 0);
    EXPECT_EQ(page.changed(), 0);
  }
}

// Full coverage gives the exact colour; partial coverage lies between the
// background and the colour on every channel; text starting far outside
// the target touches nothing.
TEST(FontEngine, CoverageBlendsTheColourOverTheBackground) {
  FontEngine& engine = FontEngine::instance();
  FontFace* face = gothic(24);
  const uint32_t bg = 0xFF10C0F0, fg = 0x80306A;
  Page page(60, 40, bg);
  // A solid block (its middle fully covered) and a round letter (anti-aliased edges).
  engine.draw(page.target(), page.all(), face, 4, 4, u"\u25A0o", 2, fg);
  int exact = 0, between = 0;
  for (uint32_t p : page.pixels) {
    if (p == (0xFF000000 | fg)) ++exact;
    if (p == bg || p == (0xFF000000 | fg)) continue;
    ++between;
    // Some coverage c gives every channel as (fg * c + bg * (255 - c)) / 255, rounded.
    bool found = false;
    for (uint32_t c = 1; c < 255 && !found; ++c) {
      uint32_t want = 0;
      for (int shift : {0, 8, 16, 24}) {
        uint32_t f = ((0xFF000000u | fg) >> shift) & 255, b = (bg >> shift) & 255;
        want |= ((f * c + b * (255 - c) + 127) / 255) << shift;
      }
      found = want == p;
    }
    EXPECT_TRUE(found) << std::hex << p;
  }
  EXPECT_GT(exact, 25);
  EXPECT_GT(between, 0);

  Page far(40, 40, bg);
  engine.draw(far.target(), far.all(), face, -100000, 4, u"AAAA", 4, fg);
  engine.draw(far.target(), far.all(), face, 100000, 4, u"AAAA", 4, fg);
  engine.draw(far.target(), far.all(), face, 4, 100000, u"AAAA", 4, fg);
  EXPECT_EQ(far.changed(bg), 0);
}

// Decoded pictures are premultiplied and may be transparent: drawing over
// them keeps every pixel valid premultiplied ARGB.
TEST(FontEngine, DrawingOverTransparentPixelsKeepsThemPremultiplied) {
  FontEngine& engine = FontEngine::instance();
  Page page(60, 30, 0x00000000);
  engine.draw(page.target(), page.all(), gothic(16), 2, 2, u"Aあ", 2, 0xFFFFFF);
  int opaque = 0;
  for (uint32_t p : page.pixels) {
    uint32_t a = p >> 24;
    opaque += a == 255;
    for (int shift : {0, 8, 16}) EXPECT_LE((p >> shift) & 255, a);
  }
  EXPECT_GT(opaque, 0);
}

// Many distinct glyphs at a huge height start the cache again instead of
// holding hundreds of megabytes; measuring stays the same across the restart.
TEST(FontEngine, GlyphCacheStaysBounded) {
  FontEngine& engine = FontEngine::instance();
  FontFace* face = gothic(256);
  const int first = engine.advance(face, u'\u4E00');
  size_t most = 0;
  for (char16_t u = 0x4E00; u < 0x4E00 + 600; ++u) {
    engine.advance(face, u);
    most = std::max(most, engine.cachedBytes(face));
  }
  EXPECT_GT(most, size_t(4) << 20);                // it did cache
  EXPECT_LE(most, (size_t(8) << 20) + 300 * 300);  // and stopped at about 8 MiB
  EXPECT_EQ(engine.advance(face, u'\u4E00'), first);
}

// Offscreen pictures are drawn on worker threads: faces and glyphs made on
// first use from several threads at once come out as from one.
TEST(FontEngine, ThreadsDrawingAtOnceGetTheSamePixels) {
  FontEngine& engine = FontEngine::instance();
  const std::u16string text = u"並行して描く文字 threads 123";
  const int n = static_cast<int>(text.size());
  std::vector<Page> pages(4, Page(300, 40));
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t)
    threads.emplace_back([&, t] {
      FontFace* face = engine.face(u"IPAPGothic"_s, 17 + t % 2, false);  // two threads per new face
      engine.draw(pages[t].target(), pages[t].all(), face, 2, 4, text.data(), n, 0x102030);
    });
  for (std::thread& th : threads) th.join();
  for (int t = 0; t < 4; ++t) {
    Page alone(300, 40);
    engine.draw(alone.target(), alone.all(), gothic(17 + t % 2), 2, 4, text.data(), n, 0x102030);
    EXPECT_EQ(pages[t].pixels, alone.pixels) << t;
    EXPECT_GT(alone.changed(), 0);
  }
}

TEST(FontEngine, NothingToDrawOrMeasure) {
  FontEngine& engine = FontEngine::instance();
  FontFace* face = gothic(12);
  Page page(20, 20);
  engine.draw(page.target(), page.all(), face, 0, 0, u"A", 0, 0);
  engine.draw(page.target(), page.all(), face, 0, 0, nullptr, 3, 0);
  engine.draw(page.target(), page.all(), nullptr, 0, 0, u"A", 1, 0);
  PixelTarget skewed = page.target();
  skewed.stride = 5;  // rows would overlap: refused
  engine.draw(skewed, page.all(), face, 0, 0, u"A", 1, 0);
  EXPECT_EQ(page.changed(), 0);
  EXPECT_EQ(engine.measure(face, u"A", 0), 0);
  EXPECT_EQ(engine.measure(face, u"A", -5), 0);
  EXPECT_EQ(engine.measure(nullptr, u"A", 1), 0);
}
