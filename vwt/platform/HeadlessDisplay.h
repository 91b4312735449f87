#pragma once

#include <memory>

#include "vwt/platform/Display.h"

namespace vwt {
namespace platform {

// No desktop window: the screen lives only in the window system's pixels (the script's `shot` writes
// them), and the only input is the script's.
std::unique_ptr<Display> createHeadlessDisplay(int width, int height);

}  // namespace platform
}  // namespace vwt
