#pragma once

class Graphics;
class Image;
class MousePointer;
class Window;

// Draws the on-screen pointer: into the canvas's off-screen image, or as the shaped top-most
// MousePointer window when it must float above other windows. Only one of the two is ever visible.
class PointerPainter {
 public:
  // The sprite holds the arrow at (0, 0) 13 x 19 and the second shape at (13, 0) 10 x 12 on its key
  // colour. Neither is owned; the painter owns its MousePointer window.
  PointerPainter(Window* owner, Image* sprite);
  ~PointerPainter();
  PointerPainter(const PointerPainter&) = delete;
  PointerPainter& operator=(const PointerPainter&) = delete;

  // Into g (clipped to clipW x clipH) or, with asWindow, as the shaped top-most MousePointer window
  // at (x, y, w, h). The second shape is drawn in the second state unless in double size; double size
  // draws the arrow at 26 x 38.
  void draw(Graphics& g, int x, int y, int w, int h, bool asWindow, bool secondState, bool doubleSize,
            int clipW, int clipH);
  void hide();
  // The pointer window, null until the first draw that needs it.
  MousePointer* getWindow() const { return window_; }

 private:
  Window* owner_;         // not owned
  Image* sprite_;         // not owned
  MousePointer* window_;  // owned
  // The clip and size the window is shaped for.
  int shapeClipX_ = 0, shapeWidth_ = 0, shapeHeight_ = 0;
};
