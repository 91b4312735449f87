#include "browser/page/TileCache.h"

#include "vwt/lang/Exception.h"
#include "vwt/ui/Graphics.h"

Image* TileCache::makeTiled(Image* image) {
  int w = image->getWidth(), h = image->getHeight();
  if (w <= 0 || h <= 0) return nullptr;
  int tw = w, th = h;
  while (tw < MIN_SIDE) tw *= 2;
  while (th < MIN_SIDE) th *= 2;
  Image* tiled =
      Image::createImage(tw, th, image->getTransparentColor() >= 0 ? image->getTransparentColor() : 0);
  Graphics* g = tiled->getGraphics();
  g->drawImage(image, 0, 0);
  // Doubling by copies of what is already there: log2 copies per side.
  for (int cw = w; cw < tw; cw *= 2) g->copyArea(0, 0, cw, h, cw, 0);
  for (int ch = h; ch < th; ch *= 2) g->copyArea(0, 0, tw, ch, 0, ch);
  if (image->getTransparentColor() >= 0) tiled->setTransparentColor(image->getTransparentColor());
  return tiled;
}

Image* TileCache::tileFor(int index, Image* image) {
  if (!image) return nullptr;
  if (image->getWidth() >= MIN_SIDE && image->getHeight() >= MIN_SIDE) return image;
  if (index < 0 || index >= MAX_INDEX) return image;
  if (index < copies_.size() && copies_.elementAt(index)) return copies_.elementAt(index);
  Image* tiled = nullptr;
  try {
    tiled = makeTiled(image);
  } catch (const Exception&) {
    tiled = nullptr;
  }
  if (!tiled) return image;
  if (copies_.size() <= index) copies_.setSize(index + 1);
  copies_.setElementAt(tiled, index);
  return tiled;
}
