#include "vwt/platform/FontEngine.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <tuple>
#include <vector>

#include "vwt/platform/FontLookup.h"
#include "vwt/platform/Text.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace vwt {
namespace platform {

namespace {

// Heights come from page data; beyond this a glyph bitmap would be far larger
// than any handset screen.
constexpr int MAX_PIXEL_HEIGHT = 256;
constexpr int DEFAULT_PIXEL_HEIGHT = 12;
// Glyph bitmaps one face keeps. Text of ordinary sizes stays far below it
// even with every unit cached; huge heights with many distinct units start
// the cache again rather than grow without end.
constexpr size_t MAX_CACHED_BYTES = 8u << 20;

struct Glyph {
  bool ready = false;
  int16_t advance = 0;
  int16_t left = 0;  // bitmap's left edge from the pen position
  int16_t top = 0;   // bitmap rows above the baseline
  uint16_t width = 0;
  uint16_t rows = 0;
  std::unique_ptr<uint8_t[]> coverage;  // width * rows bytes, 0..255
  // Per row, the first and one past the last covered column: drawing skips
  // the empty margins, which are most of a small glyph's box.
  std::unique_ptr<uint16_t[]> spans;
};

struct GlyphPage {
  Glyph glyphs[256];
};

struct OpenFace {
  FontFile file;
  FT_Face ft = nullptr;
};

std::string toUtf8(const String& s) {
  std::string out = utf8FromUtf16(s.getCString(), static_cast<size_t>(s.length()));
  out.erase(std::remove(out.begin(), out.end(), '\0'), out.end());  // fontconfig takes C strings
  return out;
}

// Sizes the face so that ascender plus descender fill the cell, as a
// positive font height does on the handset.
bool sizeToCell(FT_Face ft, int cellHeight) {
  if (FT_IS_SCALABLE(ft)) {
    FT_Size_RequestRec request = {};
    request.type = FT_SIZE_REQUEST_TYPE_CELL;
    request.height = static_cast<FT_Long>(cellHeight) << 6;
    if (FT_Request_Size(ft, &request) == 0) return true;
    return FT_Set_Pixel_Sizes(ft, 0, cellHeight) == 0;
  }
  // A bitmap-only face: the strike nearest the cell height.
  if (ft->num_fixed_sizes <= 0) return false;
  int best = 0;
  for (int i = 1; i < ft->num_fixed_sizes; ++i)
    if (std::abs(ft->available_sizes[i].height - cellHeight) <
        std::abs(ft->available_sizes[best].height - cellHeight))
      best = i;
  return FT_Select_Size(ft, best) == 0;
}

// Premultiplied "over" of an opaque colour with coverage a: every channel,
// alpha included, becomes (src * a + dst * (255 - a)) / 255, rounded. Two
// channels per multiply.
inline uint32_t blend(uint32_t dst, uint32_t src, uint32_t a) {
  uint32_t ia = 255 - a;
  uint32_t rb = (src & 0xFF00FF) * a + (dst & 0xFF00FF) * ia + 0x800080;
  rb = ((rb + ((rb >> 8) & 0xFF00FF)) >> 8) & 0xFF00FF;
  uint32_t ag = ((src >> 8) & 0xFF00FF) * a + ((dst >> 8) & 0xFF00FF) * ia + 0x800080;
  ag = (ag + ((ag >> 8) & 0xFF00FF)) & 0xFF00FF00;
  return rb | ag;
}

// A row of coverage over n pixels. With SSE2, four pixels at a time with
// the same arithmetic in 16-bit lanes, so the results are identical.
void blendRow(uint32_t* row, const uint8_t* cov, int n, uint32_t src) {
  int k = 0;
#if defined(__SSE2__)
  const __m128i zero = _mm_setzero_si128();
  const __m128i colour = _mm_unpacklo_epi8(_mm_set1_epi32(static_cast<int>(src)), zero);
  const __m128i c255 = _mm_set1_epi16(255), c128 = _mm_set1_epi16(128);
  const __m128i solid = _mm_set1_epi32(static_cast<int>(src));
  for (; k + 4 <= n; k += 4) {
    uint32_t four;
    std::memcpy(&four, cov + k, 4);
    if (four == 0) continue;
    if (four == 0xFFFFFFFFu) {
      _mm_storeu_si128(reinterpret_cast<__m128i*>(row + k), solid);
      continue;
    }
    __m128i a = _mm_cvtsi32_si128(static_cast<int>(four));
    a = _mm_unpacklo_epi8(a, a);
    a = _mm_unpacklo_epi16(a, a);  // each coverage byte four times, once per channel
    const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + k));
    __m128i half[2];
    for (int h = 0; h < 2; ++h) {
      const __m128i ah = h ? _mm_unpackhi_epi8(a, zero) : _mm_unpacklo_epi8(a, zero);
      const __m128i dh = h ? _mm_unpackhi_epi8(d, zero) : _mm_unpacklo_epi8(d, zero);
      __m128i t = _mm_add_epi16(_mm_mullo_epi16(colour, ah), _mm_mullo_epi16(dh, _mm_sub_epi16(c255, ah)));
      t = _mm_add_epi16(t, c128);
      half[h] = _mm_srli_epi16(_mm_add_epi16(t, _mm_srli_epi16(t, 8)), 8);
    }
    _mm_storeu_si128(reinterpret_cast<__m128i*>(row + k), _mm_packus_epi16(half[0], half[1]));
  }
#endif
  for (; k < n; ++k) {
    const uint32_t a = cov[k];
    if (a == 255)
      row[k] = src;
    else if (a)
      row[k] = blend(row[k], src, a);
  }
}

}  // namespace

class FontFace {
 public:
  FontFace(FT_Library library, const std::string& family, int pixelHeight, bool fixedPitch)
      : library_(library), family_(family), fixedPitch_(fixedPitch), height_(pixelHeight) {
    FontFile file;
    if (findFontFile(family, fixedPitch, &file)) {
      primary_ = open(file);
      primaryFile_ = file;
    }
    ascent_ = height_ * 8 / 10;
    if (primary_) {
      const FT_Size_Metrics& m = primary_->size->metrics;
      if (FT_IS_SCALABLE(primary_))
        ascent_ = static_cast<int>((FT_MulFix(primary_->ascender, m.y_scale) + 32) >> 6);
      else
        ascent_ = static_cast<int>((m.ascender + 32) >> 6);
      ascent_ = std::max(0, std::min(ascent_, height_));
    }
  }

  ~FontFace() {
    for (OpenFace& f : fallbacks_)
      if (f.ft) FT_Done_Face(f.ft);
    if (primary_) FT_Done_Face(primary_);
  }

  int height() const { return height_; }
  const char* familyName() const { return primary_ && primary_->family_name ? primary_->family_name : ""; }
  int ascent() const { return ascent_; }

  // Valid until the next call: a full cache is emptied before a new glyph is loaded.
  const Glyph& glyph(char16_t unit) {
    std::unique_ptr<GlyphPage>* page = &pages_[unit >> 8];
    if (*page && (*page)->glyphs[unit & 0xFF].ready) return (*page)->glyphs[unit & 0xFF];
    if (cachedBytes_ > MAX_CACHED_BYTES) {
      for (std::unique_ptr<GlyphPage>& p : pages_) p.reset();
      cachedBytes_ = 0;
    }
    if (!*page) page->reset(new GlyphPage);
    Glyph& g = (*page)->glyphs[unit & 0xFF];
    load(unit, &g);
    cachedBytes_ += sizeof(Glyph) + static_cast<size_t>(g.width) * g.rows;
    return g;
  }

  size_t cachedBytes() const { return cachedBytes_; }

 private:
  FT_Face open(const FontFile& file) {
    FT_Face ft = nullptr;
    if (FT_New_Face(library_, file.path.c_str(), file.index, &ft) != 0) return nullptr;
    if (!sizeToCell(ft, height_)) {
      FT_Done_Face(ft);
      return nullptr;
    }
    return ft;
  }

  // The face that has the unit: ours, else one fontconfig offers for it.
  // Surrogate halves are never looked up: alone they are no character.
  FT_Face faceFor(char16_t unit, FT_UInt* index) {
    *index = 0;
    if (primary_) *index = FT_Get_Char_Index(primary_, unit);
    if (*index || unit < 0x20 || (unit >= 0xD800 && unit <= 0xDFFF)) return primary_;
    for (OpenFace& f : fallbacks_)
      if (f.ft && (*index = FT_Get_Char_Index(f.ft, unit)) != 0) return f.ft;
    FontFile file;
    if (findFontFileFor(family_, fixedPitch_, unit, &file)) {
      bool known = file.path == primaryFile_.path && file.index == primaryFile_.index;
      for (const OpenFace& f : fallbacks_)
        known = known || (f.file.path == file.path && f.file.index == file.index);
      if (known) return primary_;
      OpenFace f;
      f.file = file;
      f.ft = open(file);
      fallbacks_.push_back(f);
      if (f.ft && (*index = FT_Get_Char_Index(f.ft, unit)) != 0) return f.ft;
    }
    *index = 0;
    return primary_;
  }

  void load(char16_t unit, Glyph* g) {
    g->ready = true;
    FT_UInt index = 0;
    FT_Face ft = faceFor(unit, &index);
    if (!ft) return;
    if (FT_Load_Glyph(ft, index, FT_LOAD_DEFAULT) != 0 &&
        (index == 0 || FT_Load_Glyph(ft, 0, FT_LOAD_DEFAULT) != 0))
      return;
    FT_GlyphSlot slot = ft->glyph;
    g->advance =
        static_cast<int16_t>(std::max<FT_Pos>(0, std::min<FT_Pos>((slot->advance.x + 32) >> 6, 4096)));
    if (slot->format != FT_GLYPH_FORMAT_BITMAP && FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) != 0) return;
    const FT_Bitmap& b = slot->bitmap;
    if (b.width == 0 || b.rows == 0 || b.width > 4096 || b.rows > 4096) return;
    if (b.pixel_mode != FT_PIXEL_MODE_GRAY && b.pixel_mode != FT_PIXEL_MODE_MONO) return;
    g->left = static_cast<int16_t>(std::max(-4096, std::min(slot->bitmap_left, 4096)));
    g->top = static_cast<int16_t>(std::max(-4096, std::min(slot->bitmap_top, 4096)));
    g->width = static_cast<uint16_t>(b.width);
    g->rows = static_cast<uint16_t>(b.rows);
    g->coverage.reset(new uint8_t[static_cast<size_t>(b.width) * b.rows]);
    for (unsigned y = 0; y < b.rows; ++y) {
      const unsigned char* src = b.buffer + static_cast<ptrdiff_t>(y) * b.pitch;
      uint8_t* dst = g->coverage.get() + static_cast<size_t>(y) * b.width;
      if (b.pixel_mode == FT_PIXEL_MODE_GRAY) {
        int levels = b.num_grays > 1 ? b.num_grays - 1 : 255;
        for (unsigned x = 0; x < b.width; ++x) dst[x] = levels == 255 ? src[x] : src[x] * 255 / levels;
      } else {
        for (unsigned x = 0; x < b.width; ++x) dst[x] = (src[x >> 3] & (0x80 >> (x & 7))) ? 255 : 0;
      }
    }
    g->spans.reset(new uint16_t[static_cast<size_t>(b.rows) * 2]);
    for (unsigned y = 0; y < b.rows; ++y) {
      const uint8_t* row = g->coverage.get() + static_cast<size_t>(y) * b.width;
      unsigned first = 0, end = b.width;
      while (first < end && row[first] == 0) ++first;
      while (end > first && row[end - 1] == 0) --end;
      g->spans[2 * y] = static_cast<uint16_t>(first);
      g->spans[2 * y + 1] = static_cast<uint16_t>(end);
    }
  }

  FT_Library library_;
  std::string family_;
  bool fixedPitch_;
  int height_;
  int ascent_ = 0;
  FontFile primaryFile_;
  FT_Face primary_ = nullptr;  // null when no font file could be opened: nothing is drawn
  std::vector<OpenFace> fallbacks_;
  std::unique_ptr<GlyphPage> pages_[256];
  size_t cachedBytes_ = 0;
};

struct FontEngine::State {
  // Offscreen pictures may be drawn on worker threads; faces and glyphs are
  // made on first use, so every call takes the lock.
  std::mutex lock;
  FT_Library library = nullptr;
  std::map<std::tuple<std::u16string, int, bool>, std::unique_ptr<FontFace>> faces;
};

FontEngine& FontEngine::instance() {
  static FontEngine engine;
  return engine;
}

FontEngine::FontEngine() : state_(new State) { FT_Init_FreeType(&state_->library); }

FontEngine::~FontEngine() {
  state_->faces.clear();
  if (state_->library) FT_Done_FreeType(state_->library);
  delete state_;
}

FontFace* FontEngine::face(const String& family, int pixelHeight, bool fixedPitch) {
  if (pixelHeight < 0) pixelHeight = -pixelHeight;
  if (pixelHeight == 0) pixelHeight = DEFAULT_PIXEL_HEIGHT;
  pixelHeight = std::min(pixelHeight, MAX_PIXEL_HEIGHT);
  std::lock_guard<std::mutex> held(state_->lock);
  auto key = std::make_tuple(std::u16string(family.getCString(), family.length()), pixelHeight, fixedPitch);
  std::unique_ptr<FontFace>& slot = state_->faces[key];
  if (!slot) slot.reset(new FontFace(state_->library, toUtf8(family), pixelHeight, fixedPitch));
  return slot.get();
}

int FontEngine::ascent(FontFace* face) { return face ? face->ascent() : 0; }

int FontEngine::height(FontFace* face) { return face ? face->height() : 0; }

String FontEngine::familyName(FontFace* face) {
  if (!face) return String::null;
  std::string name;
  {
    std::lock_guard<std::mutex> held(state_->lock);
    name = face->familyName();
  }
  // Family names are ASCII in the faces we ship; anything else is kept as Latin-1 units.
  std::u16string units(name.begin(), name.end());
  for (size_t i = 0; i < name.size(); ++i) units[i] = static_cast<unsigned char>(name[i]);
  return String(units.data(), 0, static_cast<int>(units.size()));
}

int FontEngine::advance(FontFace* face, char16_t unit) {
  if (!face) return 0;
  std::lock_guard<std::mutex> held(state_->lock);
  return face->glyph(unit).advance;
}

size_t FontEngine::cachedBytes(FontFace* face) {
  if (!face) return 0;
  std::lock_guard<std::mutex> held(state_->lock);
  return face->cachedBytes();
}

int FontEngine::measure(FontFace* face, const char16_t* text, int length) {
  if (!face || !text || length <= 0) return 0;
  std::lock_guard<std::mutex> held(state_->lock);
  int64_t width = 0;
  for (int i = 0; i < length; ++i) width += face->glyph(text[i]).advance;
  return static_cast<int>(std::min<int64_t>(width, INT_MAX));
}

void FontEngine::draw(const PixelTarget& target, const PixelRect& clip, FontFace* face, int x, int top,
                      const char16_t* text, int length, uint32_t rgb) {
  if (!face || !text || length <= 0 || !target.pixels || target.stride < target.width) return;
  // Never trust the caller's clip beyond the target itself.
  int cx0 = std::max(clip.x0, 0), cy0 = std::max(clip.y0, 0);
  int cx1 = std::min(clip.x1, target.width), cy1 = std::min(clip.y1, target.height);
  if (cx0 >= cx1 || cy0 >= cy1) return;
  const uint32_t src = 0xFF000000u | (rgb & 0xFFFFFF);
  std::lock_guard<std::mutex> held(state_->lock);
  const int64_t baseline = static_cast<int64_t>(top) + face->ascent();
  // A glyph reaches at most a cell height left of its pen position.
  const int64_t reach = face->height() + 1;
  int64_t pen = x;
  for (int i = 0; i < length && pen - reach < cx1; ++i) {
    const Glyph& g = face->glyph(text[i]);
    const int64_t gx = pen + g.left, gy = baseline - g.top;
    pen += g.advance;
    if (!g.coverage) continue;
    const int64_t x0 = std::max<int64_t>(gx, cx0), x1 = std::min<int64_t>(gx + g.width, cx1);
    const int64_t y0 = std::max<int64_t>(gy, cy0), y1 = std::min<int64_t>(gy + g.rows, cy1);
    if (x0 >= x1 || y0 >= y1) continue;
    for (int64_t y = y0; y < y1; ++y) {
      const int64_t from = std::max<int64_t>(x0, gx + g.spans[2 * (y - gy)]);
      const int64_t to = std::min<int64_t>(x1, gx + g.spans[2 * (y - gy) + 1]);
      if (from >= to) continue;
      blendRow(target.pixels + y * target.stride + from, g.coverage.get() + (y - gy) * g.width + (from - gx),
               static_cast<int>(to - from), src);
    }
  }
}

}  // namespace platform
}  // namespace vwt
