#include "vwt/platform/ScreenMetrics.h"

#include <stdio.h>
#include <stdlib.h>

#include <mutex>

namespace vwt {
namespace platform {

namespace {
std::mutex gLock;
int gWidth = 0;
int gHeight = 0;
int gScale = 2;
}  // namespace

void screenSize(int* width, int* height) {
  std::lock_guard<std::mutex> g(gLock);
  if (gWidth <= 0 || gHeight <= 0) {
    gWidth = 240;
    gHeight = 320;
    const char* v = getenv("VWT_SCREEN_SIZE");
    int w, h;
    if (v && sscanf(v, "%dx%d", &w, &h) == 2 && w > 0 && h > 0 && w <= 16384 && h <= 16384) {
      gWidth = w;
      gHeight = h;
    }
  }
  *width = gWidth;
  *height = gHeight;
}

void setScreenSize(int width, int height) {
  std::lock_guard<std::mutex> g(gLock);
  gWidth = width;
  gHeight = height;
}

bool isScreenSizeOverridden() {
  int w, h;
  const char* v = getenv("VWT_SCREEN_SIZE");
  return v && sscanf(v, "%dx%d", &w, &h) == 2 && w > 0 && h > 0 && w <= 16384 && h <= 16384;
}

int screenScale() {
  std::lock_guard<std::mutex> g(gLock);
  return gScale;
}

void setScreenScale(int scale) {
  std::lock_guard<std::mutex> g(gLock);
  // A scale the desktop cannot show is no scale.
  gScale = scale >= 1 && scale <= 8 ? scale : 2;
}

}  // namespace platform
}  // namespace vwt
