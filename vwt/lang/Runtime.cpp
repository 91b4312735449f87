#include "vwt/lang/Runtime.h"

#include "vwt/platform/MemoryStatus.h"

Runtime* Runtime::getRuntime() {
  static Runtime instance;
  return &instance;
}

int64_t Runtime::freeMemory() const { return vwt::platform::availablePhysicalMemory(); }
