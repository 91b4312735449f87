#pragma once

#include <ctime>
#include <optional>
#include <string>

#include "service/PageModel.h"

namespace vesk {

// One Set-Cookie header of an answer from host for path, as the handset stores cookies: the
// domain without its leading dot, a lifetime in seconds (0 for a session cookie, negative to
// delete). A Domain that does not cover the host, or a header without name=value, is refused.
class SetCookieParser {
 public:
  static std::optional<Cookie> parse(const std::string& header, const std::string& host,
                                     const std::string& path, std::time_t now);
  // Whether a cookie set for domain and path goes with a request to host and path.
  static bool matches(const Cookie& c, const std::string& host, const std::string& path);

  static const int32_t SECURE = 0x1;
  static const int32_t HTTP_ONLY = 0x2;
};

}  // namespace vesk
