#pragma once

namespace vwt {
namespace platform {

// The size of the screen in pixels. The display sets it when it starts;
// until then it is the value of VWT_SCREEN_SIZE ("480x640") or 240 x 320.
void screenSize(int* width, int* height);
void setScreenSize(int width, int height);

}  // namespace platform
}  // namespace vwt
