#pragma once
// Screen text: faces found through fontconfig, rasterised with FreeType,
// glyphs cached per face and pixel height. No FreeType or fontconfig type
// appears here, so the toolkit's headers stay free of them.

#include <cstddef>
#include <cstdint>

#include "vwt/lang/String.h"
#include "vwt/platform/PixelTarget.h"

namespace vwt {
namespace platform {

// One face at one pixel height with its glyph cache. Made and owned by the
// engine; it lives until the program exits, so callers keep bare pointers.
class FontFace;

class FontEngine {
 public:
  static FontEngine& instance();

  // family: a fontconfig name such as the value of "font.face.default". An
  // unknown name falls back to what fontconfig offers (a fixed-pitch face when
  // fixedPitch is set); never null. The same arguments give the same face.
  FontFace* face(const String& family, int pixelHeight, bool fixedPitch);

  // The face's own ascender in pixels: how far the baseline sits below the
  // top of the cell.
  int ascent(FontFace* face);
  // The cell height in pixels.
  int height(FontFace* face);
  // The family name of the face found for the request (what a fallback
  // became); empty when no font file could be opened.
  String familyName(FontFace* face);
  // The width of one UTF-16 unit as draw() advances it. Every unit is its own
  // glyph, so widths can be cached per unit: a unit the face lacks, and each
  // half of a surrogate pair, is drawn and measured as the face's missing glyph.
  int advance(FontFace* face, char16_t unit);
  // Bytes of glyphs the face holds now; it never keeps much more than 8 MiB.
  size_t cachedBytes(FontFace* face);
  // The sum of the advances, which is exactly how far draw() moves.
  int measure(FontFace* face, const char16_t* text, int length);

  // Draws text with its cell top at `top` (baseline at top + ascent(face)),
  // left edge at x, in colour rgb (0x00RRGGBB, opaque, anti-aliased coverage
  // blended over the target), touching only pixels inside clip. The caller
  // has already intersected clip with the target.
  void draw(const PixelTarget& target, const PixelRect& clip, FontFace* face, int x, int top,
            const char16_t* text, int length, uint32_t rgb);

 private:
  FontEngine();
  ~FontEngine();
  FontEngine(const FontEngine&) = delete;
  FontEngine& operator=(const FontEngine&) = delete;

  struct State;
  State* state_;
};

}  // namespace platform
}  // namespace vwt
