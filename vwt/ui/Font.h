#pragma once

#include <cstdint>

#include "vwt/lang/Object.h"
#include "vwt/lang/String.h"
#include "vwt/lang/VectorV.h"

class Graphics;

namespace vwt {

namespace platform {
class FontFace;
}

// A screen font: a face type and a pixel height. Text is measured through
// the Graphics the font was last selected into; before that, measuring
// throws -1400.
class Font : public Object {
 public:
  // Face-type bits of the face word; 0x73000000 asks for variable pitch,
  // anything else for fixed pitch.
  static const int FACE_MASK = 0x7F000000;
  static const int FACE_VARIABLE_PITCH = 0x73000000;

  // A font of face `face` and pixel height `size`.
  Font(int face, int size);
  ~Font() override;
  Font(const Font&) = delete;
  Font& operator=(const Font&) = delete;

  // A new font; the caller owns it.
  static Font* getFont(int face, int size);
  // A new font of face 0 whose height comes from bits 8-15 of style:
  // 0x100 -> 16, 0x200 -> 20, 0x300 -> 24, anything else -> 12.
  static Font* getFont(int style);
  // Appends the integers of the comma-separated property "font.size.list".
  static void getSupportedFontSizes(VectorV<int>& sizes);

  int getAscent() const { return ascent_; }
  int getDescent() const { return height_ - ascent_; }
  int getHeight() const { return height_; }
  int getFaceType() const { return faceType_ & FACE_MASK; }

  int stringWidth(const String& s);
  // A length past the end of s, or an offset outside it, is cut to the text
  // that exists.
  int substringWidth(const String& s, int offset, int length);
  // One table read once the unit has been measured.
  int charWidth(char16_t c);

  // For Graphics::setFont: the face to draw with, and the binding that makes
  // the measuring calls usable.
  vwt::platform::FontFace* getHandle() const { return handle_; }
  void bind(Graphics* g) { graphics_ = g; }
  Graphics* getGraphics() const { return graphics_; }
  // The per-unit width table (255 = not measured yet), null until the first
  // charWidth. For tests and diagnostics.
  const uint8_t* getWidthCache() const { return widthCache_; }

 private:
  void checkBound() const;

  vwt::platform::FontFace* handle_;  // owned by the font engine, which shares it between fonts
  int height_;
  int ascent_;
  int faceType_;
  Graphics* graphics_ = nullptr;
  uint8_t* widthCache_ = nullptr;  // owned, 65536 bytes
};

}  // namespace vwt
