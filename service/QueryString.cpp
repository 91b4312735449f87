#include "service/QueryString.h"

#include <cerrno>
#include <climits>
#include <cstdlib>

namespace vesk {

QueryString::QueryString(const std::string& raw) : raw_(raw) {
  size_t start = 0;
  while (start <= raw_.size()) {
    size_t end = raw_.find('&', start);
    if (end == std::string::npos) end = raw_.size();
    std::string part = raw_.substr(start, end - start);
    if (!part.empty()) {
      size_t eq = part.find('=');
      if (eq == std::string::npos)
        pairs_.emplace_back(part, std::string());
      else
        pairs_.emplace_back(part.substr(0, eq), part.substr(eq + 1));
    }
    start = end + 1;
  }
}

bool QueryString::has(const std::string& key) const {
  for (const auto& p : pairs_)
    if (p.first == key) return true;
  return false;
}

std::string QueryString::get(const std::string& key, const std::string& fallback) const {
  for (const auto& p : pairs_)
    if (p.first == key) return decode(p.second);
  return fallback;
}

long long QueryString::getInt(const std::string& key, long long fallback) const {
  int v = 0;
  return parseInt32(get(key), v) ? v : fallback;
}

bool QueryString::parseInt32(const std::string& s, int& out) {
  if (s.empty() || s.size() > 12) return false;
  size_t i = (s[0] == '-') ? 1 : 0;
  if (i == s.size()) return false;
  for (size_t k = i; k < s.size(); ++k)
    if (s[k] < '0' || s[k] > '9') return false;
  errno = 0;
  long long v = std::strtoll(s.c_str(), nullptr, 10);
  if (errno != 0 || v < INT_MIN || v > INT_MAX) return false;
  out = static_cast<int>(v);
  return true;
}

std::string QueryString::decode(const std::string& s) {
  auto hexval = [](char c) -> int {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
  };
  std::string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '+') {
      out.push_back(' ');
    } else if (s[i] == '%' && i + 2 < s.size() && hexval(s[i + 1]) >= 0 && hexval(s[i + 2]) >= 0) {
      out.push_back(static_cast<char>(hexval(s[i + 1]) * 16 + hexval(s[i + 2])));
      i += 2;
    } else {
      out.push_back(s[i]);
    }
  }
  return out;
}

std::string QueryString::encode(const std::string& s) {
  static const char digits[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : s) {
    if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '.' || c == '-' ||
        c == '_' || c == '*') {
      out.push_back(static_cast<char>(c));
    } else if (c == ' ') {
      out.push_back('+');
    } else {
      out.push_back('%');
      out.push_back(digits[c >> 4]);
      out.push_back(digits[c & 15]);
    }
  }
  return out;
}

}  // namespace vesk
