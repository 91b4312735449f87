#pragma once

namespace vwt {
namespace platform {

// The size of the screen in pixels: VWT_SCREEN_SIZE ("480x640") when set, else what the toolkit set
// from its system properties, else 240 x 320. The window system follows a resized desktop window.
void screenSize(int* width, int* height);
void setScreenSize(int width, int height);
// True when VWT_SCREEN_SIZE decides the size (a test), so properties do not.
bool isScreenSizeOverridden();
// The desktop window's integer pixel scale (default 2).
int screenScale();
void setScreenScale(int scale);

}  // namespace platform
}  // namespace vwt
