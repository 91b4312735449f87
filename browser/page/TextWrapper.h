#pragma once

#include <vector>

#include "vwt/lang/String.h"

// Breaks a TEXT_AREA's text into lines by the handset's simple width rule:
// a half-width character counts half a line height, any other a whole one,
// so wrapping needs no font measuring.
class TextWrapper {
 public:
  // Lines of text for an available width in pixels and a line height.
  static std::vector<String> wrap(const String& text, int availableWidth, int lineHeight);
  static bool isHalfWidth(char16_t c);
};
