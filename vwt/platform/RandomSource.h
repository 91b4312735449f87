#pragma once

#include <cstddef>

namespace vwt {
namespace platform {

// Fills buffer with bytes from the operating system's random source.
// false when the source cannot be read.
bool fillRandom(void* buffer, size_t length);

}  // namespace platform
}  // namespace vwt
