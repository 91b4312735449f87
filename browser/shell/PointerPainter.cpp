#include "browser/shell/PointerPainter.h"

#include "browser/shell/MousePointer.h"
#include "vwt/ui/Graphics.h"
#include "vwt/ui/Image.h"

namespace {

struct Shape {
  int x, y, width, height;
};
const Shape ARROW = {0, 0, 13, 19};
const Shape SECOND = {13, 0, 10, 12};

}  // namespace

PointerPainter::PointerPainter(Window* owner, Image* sprite)
    : owner_(owner), sprite_(sprite), window_(nullptr) {}

PointerPainter::~PointerPainter() { delete window_; }

void PointerPainter::draw(Graphics& g, int x, int y, int w, int h, bool asWindow, bool secondState,
                          bool doubleSize, int clipW, int clipH) {
  const Shape& shape = secondState && !doubleSize ? SECOND : ARROW;
  if (asWindow) {
    if (!window_) {
      window_ = new MousePointer(owner_, sprite_, x, y, w, h);
      shapeClipX_ = ARROW.x;
      shapeWidth_ = w;
      shapeHeight_ = h;
    }
    window_->show();
    window_->setImageClip(shape.x, shape.y, shape.width, shape.height);
    window_->setPosition(x, y, w, h);
    // The shape follows the picture shown: a window shaped like the arrow would cut the second shape.
    if (shapeClipX_ != shape.x || shapeWidth_ != w || shapeHeight_ != h) {
      window_->shapeFrom(shape.x, shape.y, shape.width, shape.height);
      shapeClipX_ = shape.x;
      shapeWidth_ = w;
      shapeHeight_ = h;
    }
    return;
  }
  hide();
  if (!sprite_) return;
  g.setClip(0, 0, clipW, clipH);
  if (shape.x == SECOND.x)
    g.drawImage(sprite_, x, y, SECOND.x, SECOND.y, SECOND.width, SECOND.height);
  else if (doubleSize)
    g.drawScaledImage(sprite_, x, y, 2 * ARROW.width, 2 * ARROW.height, ARROW.x, ARROW.y, ARROW.width,
                      ARROW.height);
  else
    g.drawImage(sprite_, x, y, ARROW.x, ARROW.y, ARROW.width, ARROW.height);
  g.clearClip();
}

void PointerPainter::hide() {
  if (window_) window_->hide();
}
