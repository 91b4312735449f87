#pragma once

#include <cstdint>

#include "vwt/lang/Object.h"

// The memory of the running system.
class Runtime : public Object {
 public:
  static Runtime* getRuntime();
  // Available physical memory in bytes.
  int64_t freeMemory() const;

 private:
  Runtime() = default;
};
