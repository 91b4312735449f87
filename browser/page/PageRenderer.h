#pragma once

#include "browser/page/ItemPainter.h"
#include "browser/page/TileCache.h"
#include "vwt/lang/AutoPtr.h"

class Graphics;
class Image;
class PageFonts;
class RenderItem;
class RendererHost;

// The page buffer: an off-screen image of the view holding the drawn page,
// repainted whole when something invalidated it, otherwise moved by the
// scroll difference with only the uncovered strips drawn. Also draws single
// items (overlays) and the focus highlight at a zoom.
class PageRenderer {
 public:
  // Canvas flag bits the drawing depends on.
  static constexpr int FLAG_REFLOW = 0x40000;
  static constexpr int FLAG_REFLOW_COLOURS = 0x100000;
  static constexpr int MIN_ZOOM = 10;
  static constexpr int MAX_ZOOM = 800;

  PageRenderer(RendererHost* host, PageFonts* fonts);  // neither owned
  ~PageRenderer();
  PageRenderer(const PageRenderer&) = delete;
  PageRenderer& operator=(const PageRenderer&) = delete;

  void setViewSize(int width, int height);  // (re)makes the page buffer
  int viewWidth() const { return viewWidth_; }
  int viewHeight() const { return viewHeight_; }
  void setZoom(int zoom);
  int zoom() const { return zoom_; }
  void scrollTo(int x, int y);  // zoomed page pixels
  int scrollX() const { return scrollX_; }
  int scrollY() const { return scrollY_; }
  void invalidateAll() { fullRepaint_ = true; }  // "needs full repaint"
  bool needsFullRepaint() const { return fullRepaint_; }
  void pageChanged();   // new page or images cleared: drops the tile cache, full repaint
  void updateBuffer();  // the page-buffer update (full or scrolled strips)
  Image* buffer();      // the off-screen page buffer (owned by the renderer); null before setViewSize
  // One item at a zoom with origin (ox, oy); used for overlays too (fixed overlays at zoom 100).
  // Both take the page lock, so the caller must not hold it; both clip to the view.
  void drawItem(Graphics& g, RenderItem* item, int ox, int oy, int zoom);
  void drawFocus(Graphics& g, RenderItem* item, int ox, int oy);  // focus highlight
  // The same with the page lock already held by the caller.
  void drawFocusLocked(Graphics& g, RenderItem* item, int ox, int oy);
  TileCache& tileCache() { return tiles_; }

 private:
  bool isReflow() const;
  // Draws the page into the buffer inside (x, y, w, h), buffer coordinates.
  void drawPage(int x, int y, int w, int h);
  void drawLayout(Graphics& g, int x, int y, int w, int h);
  // Re-flowed text lines are drawn by the reflow view; nothing of the layout shows then.
  void drawReflow(Graphics& g, int x, int y, int w, int h);
  ItemPainter::Pass passFor(int zoom, int x, int y, int w, int h) const;

  RendererHost* host_;
  PageFonts* fonts_;
  TileCache tiles_;
  ItemPainter painter_;
  AutoPtr<Image> buffer_;
  int viewWidth_ = 0, viewHeight_ = 0;
  int zoom_ = 100;
  int scrollX_ = 0, scrollY_ = 0;
  int drawnScrollX_ = 0, drawnScrollY_ = 0;  // where the buffer's contents are from
  bool fullRepaint_ = true;
};
