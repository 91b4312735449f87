#pragma once

#include "vwt/lang/String.h"

// Where a run of text may be broken into lines: anywhere next to a
// non-ASCII character, between ASCII words after a space or after
// punctuation, but never inside a word or a number with a thousands
// separator. Pure functions of the characters.
class LineBreakRule {
 public:
  // A break between p (with p2 before it) and n is allowed.
  static bool allowsBreak(char16_t p2, char16_t p, char16_t n);
  // The last break position b in (from, to] of text (the break falls between
  // text[b - 1] and text[b]), or -1 when none is allowed there. Positions
  // outside the text are cut to it.
  static int findBreak(const String& text, int from, int to);
};
