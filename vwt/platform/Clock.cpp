#include "vwt/platform/Clock.h"

#include <time.h>

namespace vwt {
namespace platform {

uint32_t tickCount() {
  timespec ts;
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<uint32_t>(static_cast<uint64_t>(ts.tv_sec) * 1000u + ts.tv_nsec / 1000000);
}

}  // namespace platform
}  // namespace vwt
