#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>

#include "vwt/platform/Display.h"
#include "vwt/platform/HeadlessDisplay.h"
#include "vwt/platform/SdlDisplay.h"

namespace vwt {
namespace platform {

// The one place the back end is chosen.
std::unique_ptr<Display> createDisplay(int width, int height, int scale) {
  const char* choice = getenv("VWT_DISPLAY");
  bool sdl;
  if (choice && *choice) {
    if (strcmp(choice, "sdl") != 0 && strcmp(choice, "headless") != 0) {
      fprintf(stderr, "VWT_DISPLAY=%s: use sdl or headless\n", choice);
      exit(2);
    }
    sdl = strcmp(choice, "sdl") == 0;
  } else {
    const char* x = getenv("DISPLAY");
    const char* wayland = getenv("WAYLAND_DISPLAY");
    sdl = (x && *x) || (wayland && *wayland);
  }
  if (sdl) {
    std::string error;
    std::unique_ptr<Display> display = createSdlDisplay(width, height, scale, &error);
    if (display) return display;
    fprintf(stderr, "no desktop window (%s): running headless\n", error.c_str());
  }
  return createHeadlessDisplay(width, height);
}

}  // namespace platform
}  // namespace vwt
