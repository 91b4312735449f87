#pragma once

#include "vwt/lang/Object.h"
#include "vwt/lang/String.h"
#include "vwt/lang/VectorV.h"

// The standard Base64 alphabet of RFC 4648 with '=' padding, no line breaks.
class Base64 : public Object {
 public:
  // 4 characters per 3 bytes; a last group of 1 byte ends in "==", of 2
  // bytes in "=". Null for no bytes.
  static String encode(const char* data, int length);
  // Appends the bytes to out. Characters outside the alphabet (white space,
  // line breaks) are skipped; the first '=' ends the data. A last group of 2
  // or 3 characters gives 1 or 2 bytes, padded or not.
  static void decode(const String& text, VectorV<char>& out);
};
