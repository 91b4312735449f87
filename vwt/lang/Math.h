#pragma once

// Numeric helpers.
class Math {
 public:
  // A uniformly distributed value in [0, 1); safe to call from any thread.
  static double random();
};
