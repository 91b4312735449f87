#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "vwt/platform/Surface.h"

namespace vwt {
namespace platform {

// Draws the parts of the toolkit's own controls in the one look of ControlLook: text in the
// controls' face, outlines, buttons. Logical coordinates of the surface, clipped by it.
class ControlPainter {
 public:
  explicit ControlPainter(Surface& surface) : surface_(surface) {}

  // Metrics of the controls' face.
  static int textWidth(const std::u16string& text);
  static int lineHeight();
  // The lines of text no wider than width: broken at line ends (CR LF, CR or LF), between words,
  // and inside a word that alone is wider.
  static std::vector<std::u16string> wrap(const std::u16string& text, int width);
  // The text, cut and ended with an ellipsis when it is wider than width.
  static std::u16string fit(const std::u16string& text, int width);

  void fill(int x, int y, int w, int h, uint32_t rgb);
  // A one-pixel frame around the w x h box (inside it).
  void frame(int x, int y, int w, int h, uint32_t rgb);
  void line(int x1, int y1, int x2, int y2, uint32_t rgb);
  void polygon(const int* xs, const int* ys, int n, uint32_t rgb);
  void ellipse(int x, int y, int w, int h, uint32_t rgb, bool filled);
  // Text with its cell's top at top.
  void text(const std::u16string& text, int x, int top, uint32_t rgb);
  // A push button with its label centred; the focused one is highlighted, a pressed one shaded.
  void button(int x, int y, int w, int h, const std::u16string& label, bool focused, bool pressed);

 private:
  Surface& surface_;
};

}  // namespace platform
}  // namespace vwt
