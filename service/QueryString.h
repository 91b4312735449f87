#pragma once

#include <string>
#include <utility>
#include <vector>

namespace vesk {

// A form-encoded query ("c=H&u=...&f&css") kept in the order received. Keys without '='
// are switches with an empty value. Values are decoded ('+' and %XX) on access.
class QueryString {
 public:
  explicit QueryString(const std::string& raw);

  const std::string& raw() const { return raw_; }
  bool has(const std::string& key) const;
  // Decoded value of the first occurrence, or fallback when absent.
  std::string get(const std::string& key, const std::string& fallback = std::string()) const;
  // Decimal value of the first occurrence; fallback when absent or not a number.
  long long getInt(const std::string& key, long long fallback) const;
  const std::vector<std::pair<std::string, std::string>>& pairs() const { return pairs_; }

  static std::string decode(const std::string& s);
  static std::string encode(const std::string& s);
  // Strict decimal parse of a 32-bit signed value.
  static bool parseInt32(const std::string& s, int& out);

 private:
  std::string raw_;
  std::vector<std::pair<std::string, std::string>> pairs_;  // raw (still encoded) values
};

}  // namespace vesk
