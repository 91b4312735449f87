#include "vwt/platform/UserLanguage.h"

#include <stdlib.h>

namespace vwt {
namespace platform {

std::string userLocaleName() {
  const char* names[] = {"LC_ALL", "LC_MESSAGES", "LANG"};
  std::string value;
  for (const char* n : names) {
    const char* v = getenv(n);
    if (v && *v) {
      value = v;
      break;
    }
  }
  std::string modifier;
  size_t at = value.find('@');
  if (at != std::string::npos) {
    modifier = value.substr(at);
    value.erase(at);
  }
  size_t dot = value.find('.');
  if (dot != std::string::npos) value.erase(dot);
  if (value.empty() || value == "C" || value == "POSIX") return std::string();
  return value + modifier;
}

}  // namespace platform
}  // namespace vwt
