#include "vwt/ui/Image.h"

#include <cerrno>
#include <new>

#include "vwt/lang/Exception.h"
#include "vwt/lang/Resource.h"
#include "vwt/platform/Surface.h"
#include "vwt/ui/Graphics.h"

Image* Image::createImage(int width, int height, int rgb) {
  Image* image = new Image();
  try {
    image->createBitmap(width, height, rgb);
  } catch (...) {
    delete image;
    throw;
  }
  return image;
}

Image::~Image() { Image::dispose(); }

void Image::createBitmap(int width, int height, int rgb) {
  if (width < 0 || height < 0) throw Exception(Resource::getString(-1501), EINVAL);
  if (width > MAX_SIDE || height > MAX_SIDE || int64_t{width} * height > MAX_PIXELS) {
    throw Exception(Resource::getString(-1501), ENOMEM);
  }
  vwt::platform::Surface* bitmap = nullptr;
  try {
    bitmap = new vwt::platform::Surface(width, height);
  } catch (const std::bad_alloc&) {
    throw Exception(Resource::getString(-1501), ENOMEM);
  }
  delete graphics_;
  graphics_ = nullptr;
  delete bitmap_;
  bitmap_ = bitmap;
  width_ = width;
  height_ = height;
  Graphics* g = getGraphics();
  g->setColorARGB(static_cast<int>(static_cast<uint32_t>(rgb) | 0xFF000000u));
  g->fillRect(0, 0, width, height);
  g->setColorARGB(static_cast<int>(0xFF000000u));
}

Graphics* Image::getGraphics() {
  if (graphics_ == nullptr && bitmap_ != nullptr) graphics_ = new Graphics(bitmap_);
  return graphics_;
}

void Image::dispose() {
  delete graphics_;
  graphics_ = nullptr;
  delete bitmap_;
  bitmap_ = nullptr;
  width_ = 0;
  height_ = 0;
}

void Image::setTransparentColor(int x, int y) {
  Graphics* g = getGraphics();
  if (g != nullptr) setTransparentColor(g->getRGBPixel(x, y));
}

void Image::setTransparentColor(int rgb) { transparentColor_ = rgb; }

void Image::draw(vwt::platform::Surface*, int, int, int, int, int, int, int, int) {}

void Image::draw(vwt::platform::Surface*, int, int, int, int) {}
