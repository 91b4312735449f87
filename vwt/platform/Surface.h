#pragma once

#include <cstdint>
#include <vector>

#include "vwt/platform/PixelRegion.h"
#include "vwt/platform/PixelTarget.h"

namespace vwt {
namespace platform {

// A 32-bit drawing surface: opaque 0xFFRRGGBB pixels, a clip and an origin. Either it owns its pixels
// (an off-screen picture) or it borrows them (the screen buffer), which the lender keeps alive.
//
// Drawing coordinates are logical: device = logical + origin. The owner of a paint (the window code)
// sets a base origin and a base clip in device pixels; the drawing code's own origin is relative to
// the base origin and its own clip can only narrow the base clip, so it cannot draw outside its window.
class Surface {
 public:
  // Owned pixels, all opaque black. May throw std::bad_alloc; the caller checks the size first.
  Surface(int width, int height);
  explicit Surface(const PixelTarget& borrowed);
  Surface(const Surface&) = delete;
  Surface& operator=(const Surface&) = delete;

  const PixelTarget& target() const { return target_; }
  int width() const { return target_.width; }
  int height() const { return target_.height; }
  uint32_t* row(int y) const { return target_.pixels + static_cast<ptrdiff_t>(y) * target_.stride; }

  // Where logical (0, 0) is, in device pixels.
  int originX() const { return baseX_ + originX_; }
  int originY() const { return baseY_ + originY_; }
  void setOrigin(int x, int y);

  // The drawing code's clip, in logical coordinates at the time of the call.
  void setClip(int x, int y, int w, int h);
  void intersectClip(int x, int y, int w, int h);
  void clearClip();

  // The paint owner's frame: origin and visible area in device pixels; resets the drawing state.
  void setBase(int originX, int originY, const PixelRegion& visible);
  void clearBase();

  // The effective clip in device pixels, inside the surface: disjoint rectangles.
  const std::vector<PixelRect>& clipRects() const { return clipRects_; }
  // The effective clip as a region (device pixels).
  const PixelRegion& clipRegion() const { return effective_; }

 private:
  void update();

  std::vector<uint32_t> owned_;
  PixelTarget target_;
  int baseX_ = 0, baseY_ = 0;
  int originX_ = 0, originY_ = 0;
  bool hasBase_ = false;
  PixelRegion base_;
  bool hasClip_ = false;
  PixelRegion clip_;  // device pixels
  PixelRegion effective_;
  std::vector<PixelRect> clipRects_;
};

}  // namespace platform
}  // namespace vwt
