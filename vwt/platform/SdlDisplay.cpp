#include "vwt/platform/SdlDisplay.h"

// Stand-in until the desktop window lands: every caller falls back to the headless display.
#if __has_include("vwt/platform/Display.h")
#include "vwt/platform/Display.h"

namespace vwt {
namespace platform {

std::unique_ptr<Display> createSdlDisplay(int, int, int, std::string* error) {
  if (error != nullptr) *error = "the SDL display is not built yet";
  return nullptr;
}

}  // namespace platform
}  // namespace vwt
#endif
