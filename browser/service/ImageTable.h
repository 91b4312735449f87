#pragma once

#include "vwt/lang/VectorV.h"

// The current page's image table as the response announces it: running
// offsets of each image in the image data, totals and counters.
struct ImageTable {
  // imageCount + 1 running sums: 0, size0, size0 + size1, ...
  VectorV<int> offsets;
  int bytesTotal = 0;
  int blockCount = 0;
  int memoryLimit = 0;
  int receivedBytes = 0;
  int decodedBytes = 0;
  // Embedded files that follow the page (kept when a response omits it).
  int fileCount = 0;

  int imageCount() const { return offsets.size() > 0 ? offsets.size() - 1 : 0; }
};
