#include "vwt/ui/Graphics.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "vwt/lang/Exception.h"
#include "vwt/lang/System.h"
#include "vwt/platform/FontEngine.h"
#include "vwt/platform/RasterArcs.h"
#include "vwt/platform/RasterBlits.h"
#include "vwt/platform/RasterLines.h"
#include "vwt/platform/RasterPolygons.h"
#include "vwt/platform/RasterRects.h"
#include "vwt/platform/Surface.h"
#include "vwt/ui/Font.h"
#include "vwt/ui/Image.h"

namespace raster = vwt::platform;

namespace {

// Where text goes without a font: the top 16 pixels above the baseline, as a 20-pixel font's ascent.
const int NO_FONT_ASCENT = 16;
const int NO_FONT_HEIGHT = 20;

vwt::platform::FontFace* stockFace() {
  static vwt::platform::FontFace* face = [] {
    String family;
    try {
      family = System::getProperty(u"font.face.default"_s).trim();
    } catch (const Exception&) {
      // No property file: the default face.
    }
    if (family.isNull()) family = u"IPAPGothic"_s;
    return vwt::platform::FontEngine::instance().face(family, NO_FONT_HEIGHT, false);
  }();
  return face;
}

bool wholeEllipse(int w, int h, int arcAngle) {
  return w > 0 && h > 0 && std::llabs(int64_t{arcAngle}) >= 360;
}

}  // namespace

Graphics::Graphics(vwt::platform::Surface* deviceContext) : surface_(deviceContext) {}

Graphics::~Graphics() { delete alphaImage_; }

void Graphics::setColorARGB(int argb) {
  const uint32_t c = static_cast<uint32_t>(argb);
  if (c == color_ && colorSet_) return;
  color_ = c;
  colorSet_ = true;
  alpha_ = static_cast<int>(c >> 24);
}

void Graphics::setFont(vwt::Font* font) {
  font_ = font;
  if (font != nullptr) font->bind(this);
}

void Graphics::setClip(int x, int y, int w, int h) { surface_->setClip(x, y, w, h); }

void Graphics::clipRect(int x, int y, int w, int h) { surface_->intersectClip(x, y, w, h); }

void Graphics::clearClip() { surface_->clearClip(); }

void Graphics::setOrigin(int x, int y) { surface_->setOrigin(x, y); }

void Graphics::fillRect(int x, int y, int w, int h) {
  if (alpha_ == 255) {
    raster::fillRect(*surface_, x, y, w, h, rgb());
    return;
  }
  if (alpha_ == 0 || w <= 0 || h <= 0) return;  // nothing shows through a fully transparent fill
  // One pixel of the colour, stretched over the rectangle with the colour's alpha.
  if (alphaImage_ == nullptr) {
    alphaImage_ = Image::createImage(1, 1, static_cast<int>(rgb()));
  } else {
    raster::fillRect(*alphaImage_->getSurface(), 0, 0, 1, 1, rgb());
  }
  raster::blendStretch(*surface_, x, y, w, h, *alphaImage_->getSurface(), 0, 0, 1, 1, alpha_);
}

void Graphics::drawRect(int x, int y, int w, int h) { raster::drawRectOutline(*surface_, x, y, w, h, rgb()); }

void Graphics::drawLine(int x1, int y1, int x2, int y2) {
  // Lengths in 64 bits: a line across the whole int range must not overflow; the fill cuts it.
  auto span = [](int a, int b) {
    return static_cast<int>(std::min<int64_t>(std::llabs(int64_t{b} - a) + 1, INT32_MAX));
  };
  if (y1 == y2 && x1 != x2) {
    fillRect(std::min(x1, x2), y1, span(x1, x2), 1);
  } else if (x1 == x2 && y1 != y2) {
    fillRect(x1, std::min(y1, y2), 1, span(y1, y2));
  } else {
    raster::drawLine(*surface_, x1, y1, x2, y2, rgb());
  }
}

void Graphics::drawPolyline(const int* xs, const int* ys, int n) {
  if (xs == nullptr || ys == nullptr) return;
  for (int i = 0; i + 1 < n; ++i) drawLine(xs[i], ys[i], xs[i + 1], ys[i + 1]);
}

void Graphics::fillPolygon(const int* xs, const int* ys, int n) {
  raster::fillPolygon(*surface_, xs, ys, n, rgb());
}

void Graphics::drawArc(int x, int y, int w, int h, int, int arcAngle) {
  if (wholeEllipse(w, h, arcAngle)) raster::drawEllipse(*surface_, x, y, w, h, rgb());
}

void Graphics::fillArc(int x, int y, int w, int h, int, int arcAngle) {
  if (wholeEllipse(w, h, arcAngle)) raster::fillEllipse(*surface_, x, y, w, h, rgb());
}

void Graphics::fillAreaWithLine(int, int, int w, int h, int step) {
  if (step <= 0) return;  // no spacing, no lines (and no division by zero)
  const int64_t n = (int64_t{w} + h) / step;
  // Line i lies on x + y = i: only those crossing the visible area are drawn, so a huge box costs
  // no more than the screen.
  const vwt::platform::PixelRect seen = surface_->clipRegion().bounds();
  const int64_t lo = int64_t{seen.x0} - surface_->originX() + seen.y0 - surface_->originY();
  const int64_t hi = int64_t{seen.x1} - surface_->originX() + seen.y1 - surface_->originY();
  const int64_t first = std::max<int64_t>(1, lo / step - 1), last = std::min<int64_t>(n, hi / step + 1);
  for (int64_t k = first; k <= last; ++k) {
    const int64_t i = k * step;
    raster::drawLine(
        *surface_, static_cast<int>(std::min<int64_t>(w, i)), static_cast<int>(std::max<int64_t>(i - w, 0)),
        static_cast<int>(std::max<int64_t>(i - h, 0)), static_cast<int>(std::min<int64_t>(i, h)), rgb());
  }
}

void Graphics::setPixel(int x, int y) { raster::setPixel(*surface_, x, y, rgb()); }

int Graphics::getRGBPixel(int x, int y) const { return static_cast<int>(raster::getPixel(*surface_, x, y)); }

void Graphics::copyArea(int x, int y, int w, int h, int moveX, int moveY) {
  raster::copyArea(*surface_, x, y, w, h, moveX, moveY);
}

int Graphics::ascent() const { return font_ != nullptr ? font_->getAscent() : NO_FONT_ASCENT; }

void Graphics::text(const String& s, int x, int top) {
  vwt::platform::FontFace* face = font_ != nullptr ? font_->getHandle() : stockFace();
  vwt::platform::FontEngine& engine = vwt::platform::FontEngine::instance();
  for (const vwt::platform::PixelRect& clip : surface_->clipRects()) {
    engine.draw(surface_->target(), clip, face, x + surface_->originX(), top + surface_->originY(),
                s.getCString(), s.length(), rgb());
  }
}

void Graphics::drawString(const String& s, int x, int y) { text(s, x, y - ascent()); }

void Graphics::drawStringBG(const String& s, int x, int y, int bgRGB) {
  // Always behind the text, whatever background an earlier call left: the caller asked for it.
  vwt::platform::FontFace* face = font_ != nullptr ? font_->getHandle() : stockFace();
  vwt::platform::FontEngine& engine = vwt::platform::FontEngine::instance();
  const int top = y - ascent();
  raster::fillRect(*surface_, x, top, engine.measure(face, s.getCString(), s.length()), engine.height(face),
                   static_cast<uint32_t>(bgRGB) & 0x00FFFFFFu);
  text(s, x, top);
}

void Graphics::drawStringBG(const String& s, int x, int y, int w, int h, int bgRGB) {
  const uint32_t previous = color_;
  setColorARGB(static_cast<int>(static_cast<uint32_t>(bgRGB) | 0xFF000000u));
  fillRect(x, y - ascent(), w, h);
  setColorARGB(static_cast<int>(previous | 0xFF000000u));
  drawString(s, x, y);
}

void Graphics::drawImage(Image* image, int x, int y) {
  if (image == nullptr) return;
  drawImage(image, x, y, 0, 0, image->getWidth(), image->getHeight());
}

void Graphics::drawImage(Image* image, int destX, int destY, int srcX, int srcY, int w, int h) {
  if (image == nullptr) return;
  if (image->isSupportAlpha()) {
    if (srcX == 0 && srcY == 0 && w == image->getWidth() && h == image->getHeight()) {
      image->draw(surface_, destX, destY, w, h);
    } else {
      image->draw(surface_, destX, destY, w, h, srcX, srcY, w, h);
    }
    return;
  }
  const vwt::platform::Surface* bitmap = image->getSurface();
  if (bitmap == nullptr) return;
  if (image->getTransparentColor() != -1) {
    raster::copyKeyed(*surface_, destX, destY, *bitmap, srcX, srcY, w, h,
                      static_cast<uint32_t>(image->getTransparentColor()));
  } else {
    raster::copy(*surface_, destX, destY, *bitmap, srcX, srcY, w, h);
  }
}

void Graphics::drawScaledImage(Image* image, int destX, int destY, int destW, int destH, int srcX, int srcY,
                               int srcW, int srcH) {
  if (image == nullptr) return;
  if (image->isSupportAlpha()) {
    image->draw(surface_, destX, destY, destW, destH, srcX, srcY, srcW, srcH);
    return;
  }
  const vwt::platform::Surface* bitmap = image->getSurface();
  if (bitmap == nullptr) return;
  if (image->getTransparentColor() != -1) {
    raster::stretchKeyed(*surface_, destX, destY, destW, destH, *bitmap, srcX, srcY, srcW, srcH,
                         static_cast<uint32_t>(image->getTransparentColor()));
  } else {
    raster::stretch(*surface_, destX, destY, destW, destH, *bitmap, srcX, srcY, srcW, srcH);
  }
}

int Graphics::stringWidth(const String& s) { return substringWidth(s, 0, s.length()); }

int Graphics::substringWidth(const String& s, int offset, int length) {
  const int size = s.length();
  if (length >= size) length = size;
  // Cut to the text that exists rather than read past it.
  offset = std::max(0, std::min(offset, size));
  length = std::max(0, std::min(length, size - offset));
  vwt::platform::FontFace* face = font_ != nullptr ? font_->getHandle() : stockFace();
  return vwt::platform::FontEngine::instance().measure(face, s.getCString() + offset, length);
}

int Graphics::charWidth(char16_t c) {
  vwt::platform::FontFace* face = font_ != nullptr ? font_->getHandle() : stockFace();
  return vwt::platform::FontEngine::instance().advance(face, c);
}
