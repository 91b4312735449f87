#include "service/fetch/SetCookieParser.h"

#include <curl/curl.h>

#include <climits>
#include <cstdlib>

#include "service/AsciiText.h"

namespace vesk {

namespace {

bool domainCovers(const std::string& domain, const std::string& host) {
  if (domain == host) return true;
  return host.size() > domain.size() &&
         host.compare(host.size() - domain.size(), domain.size(), domain) == 0 &&
         host[host.size() - domain.size() - 1] == '.';
}

std::string defaultPath(const std::string& path) {
  size_t slash = path.rfind('/');
  if (path.empty() || path[0] != '/' || slash == 0 || slash == std::string::npos) return "/";
  return path.substr(0, slash);
}

int32_t clampLifetime(long long seconds) {
  if (seconds <= 0) return -1;
  return seconds > INT32_MAX ? INT32_MAX : static_cast<int32_t>(seconds);
}

}  // namespace

std::optional<Cookie> SetCookieParser::parse(const std::string& header, const std::string& host,
                                             const std::string& path, std::time_t now) {
  if (header.find('\0') != std::string::npos) return std::nullopt;
  size_t semi = header.find(';');
  std::string pair = header.substr(0, semi);
  size_t eq = pair.find('=');
  if (eq == std::string::npos) return std::nullopt;
  Cookie c;
  c.name = trimBlanks(pair.substr(0, eq));
  c.value = trimBlanks(pair.substr(eq + 1));
  if (c.name.empty()) return std::nullopt;
  if (c.value.size() >= 2 && c.value.front() == '"' && c.value.back() == '"')
    c.value = c.value.substr(1, c.value.size() - 2);
  c.domain = host;
  c.path = defaultPath(path);
  bool hasMaxAge = false;
  while (semi != std::string::npos) {
    size_t next = header.find(';', semi + 1);
    std::string attr =
        header.substr(semi + 1, next == std::string::npos ? std::string::npos : next - semi - 1);
    semi = next;
    size_t aeq = attr.find('=');
    std::string key = asciiLower(trimBlanks(attr.substr(0, aeq)));
    std::string value = aeq == std::string::npos ? std::string() : trimBlanks(attr.substr(aeq + 1));
    if (key == "domain" && !value.empty()) {
      std::string d = asciiLower(value);
      while (!d.empty() && d[0] == '.') d.erase(0, 1);
      if (d.empty() || !domainCovers(d, host)) return std::nullopt;
      c.domain = d;
    } else if (key == "path") {
      if (!value.empty() && value[0] == '/') c.path = value;
    } else if (key == "max-age") {
      char* end = nullptr;
      long long n = std::strtoll(value.c_str(), &end, 10);
      if (!value.empty() && end && *end == '\0') {
        hasMaxAge = true;
        c.lifetime = clampLifetime(n);
      }
    } else if (key == "expires" && !hasMaxAge) {
      time_t t = curl_getdate(value.c_str(), nullptr);
      if (t != -1) c.lifetime = clampLifetime(static_cast<long long>(t) - static_cast<long long>(now));
    } else if (key == "secure") {
      c.flags |= SECURE;
    } else if (key == "httponly") {
      c.flags |= HTTP_ONLY;
    }
  }
  return c;
}

bool SetCookieParser::matches(const Cookie& c, const std::string& host, const std::string& path) {
  if (!domainCovers(c.domain, host)) return false;
  if (path.compare(0, c.path.size(), c.path) != 0) return false;
  return path.size() == c.path.size() || c.path.back() == '/' || path[c.path.size()] == '/';
}

}  // namespace vesk
