// Drawing 10,000 cached glyphs of 12-pixel text (250 lines of 40, Latin and
// Japanese) into a 480 x 640 page: the font engine against FreeType's own
// small-bitmap cache (FTC_SBitCache) feeding a plain blend loop.
#include <benchmark/benchmark.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_CACHE_H

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "vwt/platform/FontEngine.h"
#include "vwt/platform/FontLookup.h"

namespace {

using vwt::platform::FontEngine;
using vwt::platform::FontFace;
using vwt::platform::FontFile;
using vwt::platform::PixelRect;
using vwt::platform::PixelTarget;

const int WIDTH = 480, HEIGHT = 640, PIXEL_HEIGHT = 12;
const int LINES = 250, GLYPHS_PER_LINE = 40;
const uint32_t COLOUR = 0x203040;

// Page-like text: words from a small list in a fixed pseudo-random order.
std::u16string text() {
  static const char16_t* WORDS[] = {
      u"the",  u"browser", u"page",   u"\u65E5\u672C", u"\u30C6\u30AD\u30B9\u30C8",
      u"zoom", u"link",    u"\u8A9E", u"window",       u"history"};
  std::u16string out;
  uint32_t seed = 1;
  while (out.size() < static_cast<size_t>(LINES * GLYPHS_PER_LINE)) {
    seed = seed * 1103515245u + 12345u;
    out += WORDS[(seed >> 16) % 10];
    out += u' ';
  }
  out.resize(LINES * GLYPHS_PER_LINE);
  return out;
}

struct Page {
  std::vector<uint32_t> pixels = std::vector<uint32_t>(WIDTH * HEIGHT, 0xFFFFFFFF);
  PixelTarget target() {
    PixelTarget t;
    t.pixels = pixels.data();
    t.stride = WIDTH;
    t.width = WIDTH;
    t.height = HEIGHT;
    return t;
  }
};

int lineTop(int line) { return (line * 14) % (HEIGHT - 16); }

void drawWithEngine(Page* page, FontFace* face, const std::u16string& s) {
  FontEngine& engine = FontEngine::instance();
  PixelTarget t = page->target();
  PixelRect clip{0, 0, WIDTH, HEIGHT};
  for (int line = 0; line < LINES; ++line)
    engine.draw(t, clip, face, 4, lineTop(line), s.data() + line * GLYPHS_PER_LINE, GLYPHS_PER_LINE, COLOUR);
}

// The anchor: FreeType's cache manager, its character map cache and its
// small-bitmap cache, and the same clipped blend.
class SBitCacheText {
 public:
  SBitCacheText() {
    // The cache is made before the face is looked up: see anchor() below.
    FT_Init_FreeType(&library_);
    FTC_Manager_New(library_, 0, 0, 4 << 20, &SBitCacheText::requestFace, this, &manager_);
    FTC_CMapCache_New(manager_, &cmaps_);
    FTC_SBitCache_New(manager_, &sbits_);
    vwt::platform::findFontFile("IPAPGothic", false, &file_);
    type_.face_id = reinterpret_cast<FTC_FaceID>(&file_);
    type_.width = 0;
    type_.height = PIXEL_HEIGHT;
    type_.flags = FT_LOAD_DEFAULT | FT_LOAD_RENDER;
    FT_Face face = nullptr;
    FT_Size size = nullptr;
    FTC_ScalerRec scaler = {type_.face_id, 0, PIXEL_HEIGHT, 1, 0, 0};
    if (FTC_Manager_LookupFace(manager_, type_.face_id, &face) == 0 &&
        FTC_Manager_LookupSize(manager_, &scaler, &size) == 0)
      ascent_ = static_cast<int>((FT_MulFix(face->ascender, size->metrics.y_scale) + 32) >> 6);
  }
  ~SBitCacheText() {
    FTC_Manager_Done(manager_);
    FT_Done_FreeType(library_);
  }
  bool ok() const { return manager_ && cmaps_ && sbits_ && ascent_ > 0; }

  void draw(Page* page, const std::u16string& s) {
    const uint32_t src = 0xFF000000u | COLOUR;
    for (int line = 0; line < LINES; ++line) {
      int pen = 4, baseline = lineTop(line) + ascent_;
      for (int i = 0; i < GLYPHS_PER_LINE; ++i) {
        FT_UInt index = FTC_CMapCache_Lookup(cmaps_, type_.face_id, -1, s[line * GLYPHS_PER_LINE + i]);
        FTC_SBit sbit = nullptr;
        if (FTC_SBitCache_Lookup(sbits_, &type_, index, &sbit, nullptr) != 0 || !sbit) continue;
        int gx = pen + sbit->left, gy = baseline - sbit->top;
        pen += sbit->xadvance;
        int x0 = std::max(gx, 0), x1 = std::min(gx + sbit->width, WIDTH);
        int y0 = std::max(gy, 0), y1 = std::min(gy + sbit->height, HEIGHT);
        for (int y = y0; y < y1; ++y) {
          const unsigned char* cov = sbit->buffer + (y - gy) * sbit->pitch + (x0 - gx);
          uint32_t* row = page->pixels.data() + y * WIDTH + x0;
          for (int x = x0; x < x1; ++x, ++cov, ++row) {
            uint32_t a = *cov;
            if (a == 255) {
              *row = src;
            } else if (a) {
              uint32_t ia = 255 - a, d = *row;
              uint32_t rb = (src & 0xFF00FF) * a + (d & 0xFF00FF) * ia + 0x800080;
              rb = ((rb + ((rb >> 8) & 0xFF00FF)) >> 8) & 0xFF00FF;
              uint32_t ag = ((src >> 8) & 0xFF00FF) * a + ((d >> 8) & 0xFF00FF) * ia + 0x800080;
              ag = (ag + ((ag >> 8) & 0xFF00FF)) & 0xFF00FF00;
              *row = rb | ag;
            }
          }
        }
      }
    }
  }

 private:
  static FT_Error requestFace(FTC_FaceID id, FT_Library library, FT_Pointer, FT_Face* face) {
    const FontFile* file = reinterpret_cast<const FontFile*>(id);
    return FT_New_Face(library, file->path.c_str(), file->index, face);
  }

  FontFile file_;
  FT_Library library_ = nullptr;
  FTC_Manager manager_ = nullptr;
  FTC_CMapCache cmaps_ = nullptr;
  FTC_SBitCache sbits_ = nullptr;
  FTC_ImageTypeRec type_{};
  int ascent_ = 0;
};

// FreeType's cache manager, when its library is made after fontconfig has
// started in the process, reloads glyphs on most lookups here (FreeType
// 2.12.1): the anchor would look many times slower than it is. So it is made
// before anything asks fontconfig, while static objects are constructed.
SBitCacheText& anchor() {
  static SBitCacheText made;
  return made;
}
const bool ANCHOR_MADE_FIRST = (anchor(), true);

FontFace* face() { return FontEngine::instance().face(u"IPAPGothic"_s, PIXEL_HEIGHT, false); }

void DrawStringEngine(benchmark::State& state) {
  const std::u16string s = text();
  Page page;
  drawWithEngine(&page, face(), s);  // fills the glyph cache
  for (auto _ : state) {
    drawWithEngine(&page, face(), s);
    benchmark::DoNotOptimize(page.pixels.data());
  }
  state.SetItemsProcessed(state.iterations() * LINES * GLYPHS_PER_LINE);
}
BENCHMARK(DrawStringEngine)->Unit(benchmark::kMicrosecond);

void DrawStringSBitCache(benchmark::State& state) {
  const std::u16string s = text();
  if (!anchor().ok()) return state.SkipWithError("no IPAPGothic face");
  Page page;
  anchor().draw(&page, s);
  for (auto _ : state) {
    anchor().draw(&page, s);
    benchmark::DoNotOptimize(page.pixels.data());
  }
  state.SetItemsProcessed(state.iterations() * LINES * GLYPHS_PER_LINE);
}
BENCHMARK(DrawStringSBitCache)->Unit(benchmark::kMicrosecond);

// Both timed in turn within one run, so that both see the same machine:
// "ratio" is the anchor's time over the engine's (above 1: the engine is
// faster); "differing" counts pixels where the two pages disagree.
void DrawStringAgainstSBitCache(benchmark::State& state) {
  using Clock = std::chrono::steady_clock;
  const std::u16string s = text();
  if (!anchor().ok()) return state.SkipWithError("no IPAPGothic face");
  Page ours, theirs;
  drawWithEngine(&ours, face(), s);
  anchor().draw(&theirs, s);
  int differing = 0;
  for (size_t i = 0; i < ours.pixels.size(); ++i) differing += ours.pixels[i] != theirs.pixels[i];
  Clock::duration engineTime{}, anchorTime{};
  for (auto _ : state) {
    Clock::time_point t0 = Clock::now();
    drawWithEngine(&ours, face(), s);
    Clock::time_point t1 = Clock::now();
    anchor().draw(&theirs, s);
    Clock::time_point t2 = Clock::now();
    engineTime += t1 - t0;
    anchorTime += t2 - t1;
    benchmark::DoNotOptimize(ours.pixels.data());
    benchmark::DoNotOptimize(theirs.pixels.data());
  }
  state.counters["ratio"] =
      std::chrono::duration<double>(anchorTime).count() / std::chrono::duration<double>(engineTime).count();
  state.counters["differing"] = differing;
  state.SetItemsProcessed(state.iterations() * LINES * GLYPHS_PER_LINE);
}
BENCHMARK(DrawStringAgainstSBitCache)->Unit(benchmark::kMicrosecond);

}  // namespace
