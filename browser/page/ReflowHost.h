#pragma once

// What the reflow layout needs of the canvas: the page font's measures, the
// interface font's line height, the canvas settings and view, and where the
// finished page extent goes. The canvas implements it; tests use a fake.
class ReflowHost {
 public:
  virtual ~ReflowHost() = default;

  virtual int pageLineHeight() = 0;
  virtual int pageCharWidth(char16_t c) = 0;
  // The page font's face type (vwt::Font::getFaceType).
  virtual int pageFaceType() = 0;
  virtual int interfaceLineHeight() = 0;
  // The stored canvas flag word.
  virtual int canvasFlags() = 0;
  // The background colour (0xRRGGBB) of a layout without a page; a page
  // gives its own.
  virtual int pageBackground() = 0;
  virtual int viewWidth() = 0;
  virtual int viewHeight() = 0;
  virtual int zoom() = 0;
  // The re-flowed page's size; the canvas updates its scroll bars.
  virtual void setPageExtent(int width, int height) = 0;
};
