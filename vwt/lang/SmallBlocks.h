#pragma once

#include <cstddef>

// Memory for the toolkit's many small objects: boxed values, vectors, page
// items, text bodies. A page description turns into some hundred thousand
// of them, made by the worker thread and freed later, often by another.
//
// Blocks come in 16-byte size classes up to MAX_SIZE. Each thread keeps its
// own free lists, so allocating and releasing take no lock; a list that grows
// long hands a batch to a shared stock, from which any thread refills.
// Memory returned to the pool stays there for reuse. Larger requests, and
// every request in a sanitizer build (so that it can see each block), go to
// the global operator new.
class SmallBlocks {
 public:
  static constexpr size_t MAX_SIZE = 256;

  static void* allocate(size_t size);
  // size must be the size the block was allocated with.
  static void release(void* block, size_t size);
  // False where every request goes to operator new (sanitizer builds).
  static bool isPooling();
};
