#pragma once

#include "vwt/lang/Object.h"

namespace vwt {
namespace platform {
class PixelRegion;
}
}  // namespace vwt

// An area made of rectangles, for shaping windows.
class Region : public Object {
 public:
  enum COMBINE_MODE { RGN_AND = 1, RGN_OR = 2, RGN_XOR = 3, RGN_DIFF = 4, RGN_COPY = 5 };

  // A new rectangle region from corner coordinates (swapped when given the wrong way round, right
  // and bottom outside); the caller owns it.
  static Region* createRectRgn(int left, int top, int right, int bottom);
  // Deletes the area unless a window has taken it.
  ~Region() override;
  Region(const Region&) = delete;
  Region& operator=(const Region&) = delete;

  // this = this <mode> other; an unknown mode changes nothing.
  void combineRgn(Region* other, COMBINE_MODE mode);

  // The area, null once taken.
  const vwt::platform::PixelRegion* getHandle() const { return handle_; }
  // For the window that is shaped with it: the window owns the area from then on.
  vwt::platform::PixelRegion* releaseHandle();

 private:
  explicit Region(vwt::platform::PixelRegion* handle) : handle_(handle) {}

  vwt::platform::PixelRegion* handle_;  // owned until released
};
