#pragma once

#include <memory>
#include <string>

namespace vwt {
namespace platform {

class Display;

// The desktop back end: one resizable SDL window of the handset's screen, width x height
// pixels each drawn `scale` times as large. Null with *error set when SDL cannot open it.
std::unique_ptr<Display> createSdlDisplay(int width, int height, int scale, std::string* error);

}  // namespace platform
}  // namespace vwt
