#pragma once

#include <string>

namespace vesk {

// Absolute URLs from the references a page makes (links, pictures, style sheets, frames).
class PageUrl {
 public:
  // ref made absolute against base; a ref with a scheme is returned as it is.
  static std::string resolve(const std::string& base, const std::string& ref);
  static bool hasScheme(const std::string& ref);
  // The last path segment, for names of embedded files.
  static std::string fileName(const std::string& url);
};

}  // namespace vesk
