#pragma once

#include <memory>
#include <vector>

#include "vwt/platform/PixelTarget.h"

namespace vwt {
namespace platform {

// A set of pixels made of rectangles: window shapes and clip areas. Copyable.
class PixelRegion {
 public:
  enum Combine { AND = 1, OR = 2, XOR = 3, DIFF = 4, COPY = 5 };

  PixelRegion();
  explicit PixelRegion(const PixelRect& rect);
  PixelRegion(const PixelRegion& other);
  PixelRegion& operator=(const PixelRegion& other);
  ~PixelRegion();

  void reset(const PixelRect& rect);
  // this = this <mode> other; an unknown mode leaves this unchanged and returns false.
  bool combine(const PixelRegion& other, int mode);
  void translate(int dx, int dy);
  bool isEmpty() const;
  bool contains(int x, int y) const;
  PixelRect bounds() const;
  // Disjoint rectangles in bands, top to bottom, left to right.
  std::vector<PixelRect> rects() const;

 private:
  struct Body;
  std::unique_ptr<Body> body_;
};

}  // namespace platform
}  // namespace vwt
