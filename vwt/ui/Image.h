#pragma once

#include "vwt/lang/Object.h"

class Graphics;

namespace vwt {
namespace platform {
class Surface;
}
}  // namespace vwt

// An off-screen picture in the screen's format with its own drawing context: double buffers and
// colour-keyed sprites.
class Image : public Object {
 public:
  // Larger pictures are refused (-1501) before anything is allocated: 64 MiB of pixels at most.
  static const int MAX_SIDE = 8192;
  static const int MAX_PIXELS = 16 * 1024 * 1024;

  // A new image filled with rgb (opaque) whose Graphics colour is left at opaque black; the caller
  // owns it. A size below 0 or above the limits throws -1501.
  static Image* createImage(int width, int height, int rgb);

  ~Image() override;
  Image(const Image&) = delete;
  Image& operator=(const Image&) = delete;

  int getWidth() const { return width_; }
  int getHeight() const { return height_; }
  // The image's own context, made once and owned by the image; null when it has no pixels.
  Graphics* getGraphics();
  // 0x00RRGGBB, or -1 for none.
  int getTransparentColor() const { return transparentColor_; }
  // The pixels, null for a disposed image or a picture not yet flattened.
  vwt::platform::Surface* getSurface() const { return bitmap_; }

  // Frees the pixels and the context; the size becomes 0.
  virtual void dispose();
  // The key colour is the pixel at (x, y), handed to setTransparentColor(int).
  virtual void setTransparentColor(int x, int y);
  virtual void setTransparentColor(int rgb);
  virtual bool isSupportAlpha() const { return false; }

 protected:
  Image() = default;

  // Self-drawing pictures draw themselves scaled into (x, y, w, h) of context; nothing here.
  virtual void draw(vwt::platform::Surface* context, int x, int y, int w, int h, int srcX, int srcY, int srcW,
                    int srcH);
  virtual void draw(vwt::platform::Surface* context, int x, int y, int w, int h);

  // Makes the pixels: width x height filled with rgb, the context's colour then opaque black.
  void createBitmap(int width, int height, int rgb);

  int transparentColor_ = -1;
  int width_ = 0;
  int height_ = 0;

 private:
  friend class Graphics;

  vwt::platform::Surface* bitmap_ = nullptr;  // owned
  Graphics* graphics_ = nullptr;              // owned
};
