#pragma once

#include <string>

namespace vesk {

// ASCII case folding and blank trimming for the protocol texts of the web (header and attribute
// names, schemes, charsets); other bytes pass unchanged.
inline std::string asciiLower(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return s;
}

inline std::string asciiLower(const char* s) { return asciiLower(std::string(s ? s : "")); }

inline std::string trimBlanks(const std::string& s, const char* blanks = " \t") {
  size_t a = s.find_first_not_of(blanks);
  if (a == std::string::npos) return std::string();
  size_t b = s.find_last_not_of(blanks);
  return s.substr(a, b - a + 1);
}

}  // namespace vesk
