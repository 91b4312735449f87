#pragma once

#include <cstdint>

namespace vwt {
namespace platform {

// Physical memory available to programs now, in bytes.
int64_t availablePhysicalMemory();

// Hands freed heap memory back to the system where the allocator can.
void releaseFreeMemory();

}  // namespace platform
}  // namespace vwt
