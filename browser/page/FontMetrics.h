#pragma once

#include "vwt/lang/String.h"

// The handset's font measures the service lays pages out with: the base
// font's ascent and descent, the interface font's line height, the width of
// a full-width character and the character-width table (one letter per
// character of the measured ranges). Measured by the renderer's fonts,
// carried by every page query.
struct FontMetrics {
  int ascent = 10;         // fa
  int descent = 3;         // fb
  int lineHeight = 13;     // fh
  int wideCharWidth = 12;  // fw
  String charWidths;       // cw
};
