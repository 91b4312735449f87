#pragma once

#include <cstddef>

#include "vwt/lang/SmallBlocks.h"

class String;

// The root of the toolkit's classes.
class Object {
 public:
  Object() = default;
  virtual ~Object() = default;

  // Toolkit objects are small and many: they come from the small-block pool.
  static void* operator new(size_t size) { return SmallBlocks::allocate(size); }
  static void operator delete(void* block, size_t size) { SmallBlocks::release(block, size); }

  // The type name of a pointer to Object followed by the address.
  virtual String toString() const;
  // Identity.
  virtual bool equals(const Object& other) const;
};
