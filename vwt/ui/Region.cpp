#include "vwt/ui/Region.h"

#include <algorithm>

#include "vwt/platform/PixelRegion.h"

Region* Region::createRectRgn(int left, int top, int right, int bottom) {
  vwt::platform::PixelRect r;
  r.x0 = std::min(left, right);
  r.x1 = std::max(left, right);
  r.y0 = std::min(top, bottom);
  r.y1 = std::max(top, bottom);
  return new Region(new vwt::platform::PixelRegion(r));
}

Region::~Region() { delete handle_; }

void Region::combineRgn(Region* other, COMBINE_MODE mode) {
  if (handle_ == nullptr || other == nullptr || other->handle_ == nullptr) return;
  handle_->combine(*other->handle_, mode);
}

vwt::platform::PixelRegion* Region::releaseHandle() {
  vwt::platform::PixelRegion* h = handle_;
  handle_ = nullptr;
  return h;
}
