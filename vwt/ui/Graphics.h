#pragma once

#include <cstdint>

#include "vwt/lang/Object.h"
#include "vwt/lang/String.h"

class Image;

namespace vwt {
class Font;
namespace platform {
class Surface;
}
}  // namespace vwt

// The drawing context over one surface (a window's paint, the screen, or an off-screen Image): one
// current colour with an alpha byte, a clip and an origin kept by the surface, text drawn at its
// baseline, and the pen, brush and blit rules of the handset's graphics.
//
// Colours are 0xAARRGGBB. The alpha byte only makes fillRect (and the horizontal and vertical lines
// drawn as fills) translucent; pen lines, outlines, shapes and text are always opaque.
class Graphics : public Object {
 public:
  // deviceContext is not owned: the paint cycle or the image that made it keeps it.
  explicit Graphics(vwt::platform::Surface* deviceContext);
  ~Graphics() override;
  Graphics(const Graphics&) = delete;
  Graphics& operator=(const Graphics&) = delete;

  vwt::platform::Surface* getDeviceContext() const { return surface_; }

  void setColorARGB(int argb);
  void setColor(int rgb) { setColorARGB(static_cast<int>(static_cast<uint32_t>(rgb) | 0xFF000000u)); }
  void setColorOfRGB(int r, int g, int b) { setColorARGB(getColorOfRGB(r, g, b)); }
  // a is not masked: bits above 8 fall off the top.
  void setColorOfRGB(int r, int g, int b, int a) { setColorARGB(getColorOfRGB(r, g, b, a)); }
  static int getColorOfRGB(int r, int g, int b) { return getColorOfRGB(r, g, b, 255); }
  static int getColorOfRGB(int r, int g, int b, int a) {
    return static_cast<int>(static_cast<uint32_t>(a) << 24 | static_cast<uint32_t>(r & 255) << 16 |
                            static_cast<uint32_t>(g & 255) << 8 | static_cast<uint32_t>(b & 255));
  }
  int getColor() const { return static_cast<int>(color_); }

  // Not owned; also binds the font's measuring calls to this context.
  void setFont(vwt::Font* font);
  vwt::Font* getFont() const { return font_; }

  // Clip rectangles in the coordinates of the current origin.
  void setClip(int x, int y, int w, int h);
  void clipRect(int x, int y, int w, int h);
  void clearClip();
  void setOrigin(int x, int y);

  // x..x+w-1 by y..y+h-1, translucent when the colour's alpha is below 255.
  void fillRect(int x, int y, int w, int h);
  // The pen outline: covers x..x+w by y..y+h.
  void drawRect(int x, int y, int w, int h);
  // Horizontal and vertical lines include both end points and are fills (translucent with alpha);
  // any other line is a pen line without its end point.
  void drawLine(int x1, int y1, int x2, int y2);
  void drawPolyline(const int* xs, const int* ys, int n);
  void fillPolygon(const int* xs, const int* ys, int n);
  // Whole ellipses only (|arcAngle| >= 360) in the box x..x+w-1 by y..y+h-1; startAngle is unused.
  void drawArc(int x, int y, int w, int h, int startAngle, int arcAngle);
  void fillArc(int x, int y, int w, int h, int startAngle, int arcAngle);
  // Diagonals from upper right to lower left, step pixels apart, in the box 0..w by 0..h at the
  // origin: x and y do not move the box.
  void fillAreaWithLine(int x, int y, int w, int h, int step);
  void setPixel(int x, int y);
  int getRGBPixel(int x, int y) const;
  void copyArea(int x, int y, int w, int h, int moveX, int moveY);

  // Text with its baseline at y: the top of the text is at y - ascent, 16 without a font.
  void drawString(const String& s, int x, int y);
  // The same over an opaque background of bgRGB (0x00RRGGBB) behind the glyph cells.
  void drawStringBG(const String& s, int x, int y, int bgRGB);
  // Fills (x, y - ascent, w, h) with bgRGB, then draws the text in the current colour made opaque.
  void drawStringBG(const String& s, int x, int y, int w, int h, int bgRGB);

  void drawImage(Image* image, int x, int y);
  void drawImage(Image* image, int destX, int destY, int srcX, int srcY, int w, int h);
  void drawScaledImage(Image* image, int destX, int destY, int destW, int destH, int srcX, int srcY, int srcW,
                       int srcH);

  // Text extents in the current font (for vwt::Font).
  int stringWidth(const String& s);
  // A length at or past the string's length means the rest of the string.
  int substringWidth(const String& s, int offset, int length);
  int charWidth(char16_t c);

 private:
  uint32_t rgb() const { return color_ & 0x00FFFFFFu; }
  int ascent() const;
  void text(const String& s, int x, int top);

  vwt::platform::Surface* surface_;
  uint32_t color_ = 0;
  bool colorSet_ = false;  // the first colour always takes, even 0 (transparent black)
  vwt::Font* font_ = nullptr;
  Image* alphaImage_ = nullptr;  // owned, 1 x 1, made on the first translucent fill
  int alpha_ = 255;
};
