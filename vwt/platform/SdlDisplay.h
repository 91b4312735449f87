#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace vwt {
namespace platform {

class Display;

// The desktop back end: one resizable SDL window of the handset's screen, width x height
// pixels each drawn `scale` times as large (less when the desktop is too small for that).
// Null with *error set when SDL cannot open it.
std::unique_ptr<Display> createSdlDisplay(int width, int height, int scale, std::string* error);

// For tests: what the desktop window shows, in desktop pixels (0xAARRGGBB); false when display
// is not the SDL one. The window's pixel scale, 0 when it is not.
bool readSdlWindow(Display& display, std::vector<uint32_t>* pixels, int* width, int* height);
int sdlDisplayScale(const Display& display);

}  // namespace platform
}  // namespace vwt
