#pragma once

#include "vwt/lang/String.h"

// Form encoding of text in the ANSI code page.
class URLEncoder {
 public:
  // Letters, digits and ".-_*" stay, a space becomes '+', every other byte
  // becomes %XX; a double-byte lead byte takes its trail byte with it.
  static String encode(const String& s);
};
