#pragma once

// Attributes of the handset's system.
class PhoneSystem {
 public:
  // This platform has none: always -1.
  static int getAttribute(int) { return -1; }
};
