#pragma once
// Conversions between the toolkit's text and std::string for test
// assertions and messages.

#include <string>

#include "vwt/lang/String.h"

// The low byte of each unit: exact for ASCII, which is what tests compare.
inline std::string narrow(const String& s) {
  std::string out;
  for (int i = 0; i < s.length(); ++i) out += static_cast<char>(s.charAt(i));
  return out;
}

// Bytes in the default code page.
inline String wide(const std::string& s) { return String(s.c_str()); }
