#pragma once

#include <cstdint>

#include "vwt/lang/String.h"

// A byte count as the progress display writes it: 1023B, 1.50K, 1.00M, 2.0G.
class SizeText {
 public:
  static String format(int64_t n);
};
