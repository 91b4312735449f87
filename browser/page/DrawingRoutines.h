#pragma once

class Graphics;
class Image;

// The drawing routines page items and browser-made items share: gradients,
// drop shadows, icons of the icon strip and small polygons.
class DrawingRoutines {
 public:
  // Icons are 12 x 12 cells, 26 to a row of the strip.
  static constexpr int ICON_SIZE = 12;
  static constexpr int ICONS_PER_ROW = 26;
  // The close mark is the 24 x 12 cell at (300, 12) of the strip.
  static constexpr int CLOSE_MARK = 51;
  static constexpr int MAX_POLYGON_POINTS = 16;

  // 12 horizontal bands from top to bottom colour (ARGB); band k covers rows
  // h*k/12 to h*(k+1)/12. Nothing below 1 x 1.
  static void verticalGradient(Graphics& g, int x, int y, int w, int h, int top, int bottom);
  // Translucent strips along the right and bottom edges of the rectangle.
  static void dropShadow(Graphics& g, int x, int y, int w, int h);
  // Icon n of the strip at (x, y), scaled to zoom*12/100 square; the close
  // mark unscaled. Nothing when the strip is missing.
  static void drawIcon(Graphics& g, Image* strip, int n, int x, int y, int zoom);
  // A filled polygon of 1-16 points moved by (dx, dy) in colour (ARGB).
  static void fillPolygon(Graphics& g, const int* xs, const int* ys, int n, int dx, int dy, int colour);
};
