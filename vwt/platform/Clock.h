#pragma once

#include <cstdint>

namespace vwt {
namespace platform {

// Milliseconds since an arbitrary start, wrapping at 2^32 like a tick count.
uint32_t tickCount();

}  // namespace platform
}  // namespace vwt
