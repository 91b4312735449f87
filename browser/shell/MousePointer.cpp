#include "browser/shell/MousePointer.h"

#include "vwt/lang/AutoPtr.h"
#include "vwt/platform/WindowSystem.h"
#include "vwt/ui/Application.h"
#include "vwt/ui/Frame.h"
#include "vwt/ui/Graphics.h"
#include "vwt/ui/Image.h"
#include "vwt/ui/Region.h"

namespace {

// The arrow's rectangle in the sprite.
const int ARROW_WIDTH = 13;
const int ARROW_HEIGHT = 19;

Window* parentOr(Window* parent) {
  if (parent) return parent;
  Application* app = Application::getCurrentApp();
  return app ? app->getFrame() : nullptr;
}

}  // namespace

const char16_t* const MousePointer::CLASS_NAME = u"veskMousePointer";

MousePointer::MousePointer(Window* parent, Image* sprite, int x, int y, int width, int height)
    : StaticImageWindow(String(CLASS_NAME, false), parentOr(parent), sprite, x, y, width, height, 0, 0,
                        ARROW_WIDTH, ARROW_HEIGHT) {
  shapeFrom(0, 0, ARROW_WIDTH, ARROW_HEIGHT);
}

MousePointer::~MousePointer() {}

void MousePointer::shapeFrom(int clipX, int clipY, int clipWidth, int clipHeight) {
  Image* sprite = getImage();
  const int width = getWidth(), height = getHeight();
  if (!getHandle() || !sprite || width <= 0 || height <= 0 || clipWidth <= 0 || clipHeight <= 0) return;
  Graphics* pixels = sprite->getGraphics();
  if (!pixels) return;
  const int key = sprite->getTransparentColor();
  auto opaque = [&](int c, int r) {
    // One ratio for both axes: the pointer is scaled uniformly.
    const int sx = static_cast<int>(int64_t{c} * clipWidth / width);
    const int sy = static_cast<int>(int64_t{r} * clipWidth / width);
    if (sx >= clipWidth || sy >= clipHeight) return false;
    const int x = clipX + sx, y = clipY + sy;
    if (x < 0 || y < 0 || x >= sprite->getWidth() || y >= sprite->getHeight()) return false;
    return key < 0 || (pixels->getRGBPixel(x, y) & 0xFFFFFF) != key;
  };
  AutoPtr<Region> shape(Region::createRectRgn(0, 0, 0, 0));
  for (int r = 0; r < height; ++r)
    for (int c = 0; c < width;) {
      if (!opaque(c, r)) {
        ++c;
        continue;
      }
      const int start = c;
      while (c < width && opaque(c, r)) ++c;
      AutoPtr<Region> run(Region::createRectRgn(start, r, c, r + 1));
      shape->combineRgn(run.get(), Region::RGN_OR);
    }
  setWindowRgn(shape.get());
}

void MousePointer::show() {
  if (!getHandle()) return;
  setVisible(true);
  // A child window never takes the activation: the frame keeps the keys.
  vwt::platform::WindowSystem::get().bringToTop(getHandle());
}

void MousePointer::hide() {
  if (getHandle()) setVisible(false);
}
