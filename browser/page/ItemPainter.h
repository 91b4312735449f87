#pragma once

#include "vwt/lang/String.h"

class Graphics;
class Image;
class PageFonts;
class RenderItem;
class RendererHost;
class TileCache;
namespace vwt {
class Font;
}

// Draws one RenderItem by its type: text runs, images, boxes, form controls
// and, through the overlay painter, the browser-made items. Everything it
// reads of an item may come from the network, so sizes, indexes and value
// lists are checked and an item that makes no sense is skipped. The caller
// holds the page lock.
class ItemPainter {
 public:
  // The area being drawn, in the target's coordinates, and the settings of one drawing pass.
  struct Pass {
    int zoom = 100;
    bool reflow = false;  // rectangles are used as given
    int clipX = 0, clipY = 0, clipW = 0, clipH = 0;
    int viewHeight = 0;  // room for an open SELECT list
  };
  // A drawn rectangle.
  struct Box {
    int x, y, w, h;
  };

  // Text colours, shapes and markers with fixed colours.
  static constexpr int CONTROL_FRAME = 0x8080FF;
  static constexpr int PLACEHOLDER_GREY = 0xAAAAAA;
  static constexpr int GRADIENT_TOP = 0xF0F0F0;
  static constexpr int GRADIENT_BOTTOM = 0xCCCCDD;
  static constexpr int NO_BACKGROUND = static_cast<int>(0x80000000u);
  static constexpr int ACTIVE = 0x20;  // SELECT, LIST and TEXT_AREA in use

  // None owned; tiles may be null (no pre-tiling).
  ItemPainter(RendererHost* host, PageFonts* fonts, TileCache* tiles);

  void setPass(const Pass& pass) { pass_ = pass; }
  const Pass& pass() const { return pass_; }
  // The zoom rule, kept inside the range a surface can be addressed in.
  static int zoomed(int v, int zoom);
  int z(int v) const { return pass_.reflow ? v : zoomed(v, pass_.zoom); }
  // The item's rectangle as drawn (before the origin), the visible part for partly shown images and boxes.
  Box drawnBox(const RenderItem* item) const;

  void draw(Graphics& g, RenderItem* item, int ox, int oy);
  void drawFocus(Graphics& g, RenderItem* item, int ox, int oy);

 private:
  void copyFromSource(RenderItem* item);
  vwt::Font* fontFor(const RenderItem* item);
  int pageColour(int rgb) const;
  int palette(int entry) const;
  void restoreClip(Graphics& g) const;
  // Clip to (x, y, w, h) inside the pass's area.
  void clipTo(Graphics& g, int x, int y, int w, int h) const;
  // Fills cut to the pass's area first: a page may claim any size.
  void fill(Graphics& g, int x, int y, int w, int h) const;
  void line(Graphics& g, int x1, int y1, int x2, int y2) const;
  void outline(Graphics& g, int x, int y, int w, int h) const;

  void drawText(Graphics& g, RenderItem* item, const Box& b, bool inverted);
  void drawImage(Graphics& g, RenderItem* item, const Box& b, bool sourcePart);
  void drawPlaceholder(Graphics& g, RenderItem* item, const Box& b);
  void drawTiled(Graphics& g, Image* image, int index, int originX, int originY, int areaX, int areaY,
                 int areaW, int areaH);
  void drawButton(Graphics& g, RenderItem* item, const Box& b);
  void drawTextField(Graphics& g, RenderItem* item, const Box& b, bool password);
  void drawSelect(Graphics& g, RenderItem* item, const Box& b);
  void drawOpenList(Graphics& g, RenderItem* item, const Box& b);
  void drawList(Graphics& g, RenderItem* item, const Box& b);
  void drawTextArea(Graphics& g, RenderItem* item, const Box& b);
  void drawBox(Graphics& g, RenderItem* item, const Box& b);
  void drawBoxBorders(Graphics& g, RenderItem* item, const Box& b);
  void drawObject(Graphics& g, RenderItem* item, const Box& b);
  // A scroll bar child of a control: made or updated, then drawn at (x, y, w, h).
  void drawScrollBar(Graphics& g, RenderItem* owner, int visible, int total, int first, bool active, int x,
                     int y, int w, int h);
  // The single road to the overlay painter; false when the type is not browser-made.
  bool drawBrowserMade(Graphics& g, RenderItem* item, int x, int y, int w, int h);

  RendererHost* host_;
  PageFonts* fonts_;
  TileCache* tiles_;
  Pass pass_;
};
