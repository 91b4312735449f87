#pragma once

#include "vwt/lang/String.h"

// The text-size steps: the page font moves along the page font list, and the zoom follows the
// page font's line height against the base font's.
class TextSize {
 public:
  static const int MESSAGE = 10045;
  // The index one step bigger (direction 1) or smaller (-1), kept within [0, count).
  static int step(int index, int count, int direction);
  // 100 * page line height / base line height (integer division); 100 without a base height.
  static int zoomFor(int pageLineHeight, int baseLineHeight);
  // What the status line says after a step: the size's place in the list, 1-based.
  static String message(int index, int count);
};
