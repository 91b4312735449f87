#pragma once

#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "tests/vwt/TestText.h"
#include "vwt/io/InputStream.h"
#include "vwt/lang/Resource.h"
#include "vwt/lang/String.h"

namespace crypto_test {

typedef std::vector<unsigned char> Bytes;

inline Bytes fromHex(const std::string& hex) {
  Bytes out;
  for (size_t i = 0; i + 1 < hex.size(); i += 2)
    out.push_back(static_cast<unsigned char>(std::stoi(hex.substr(i, 2), nullptr, 16)));
  return out;
}

inline std::string toHex(const unsigned char* p, size_t n) {
  static const char digits[] = "0123456789abcdef";
  std::string s;
  for (size_t i = 0; i < n; ++i) {
    s += digits[p[i] >> 4];
    s += digits[p[i] & 15];
  }
  return s;
}
inline std::string toHex(const Bytes& b) { return toHex(b.data(), b.size()); }

inline Bytes randomBytes(std::mt19937& rng, size_t n) {
  Bytes b(n);
  for (auto& x : b) x = static_cast<unsigned char>(rng());
  return b;
}

inline const char* chars(const Bytes& b) { return reinterpret_cast<const char*>(b.data()); }

// A memory source that hands out at most `step` bytes per read, so that
// readers must loop; it counts reads past its end.
class ChunkedInputStream : public InputStream {
 public:
  ChunkedInputStream(Bytes data, int step)
      : data_(std::move(data)), pos_(0), step_(step), readsAfterEnd_(0) {}
  using InputStream::read;
  int read(char* buf, int off, int len) override {
    if (pos_ >= data_.size()) {
      ++readsAfterEnd_;
      return -1;
    }
    size_t n = std::min<size_t>({static_cast<size_t>(len), static_cast<size_t>(step_), data_.size() - pos_});
    memcpy(buf + off, data_.data() + pos_, n);
    pos_ += n;
    return static_cast<int>(n);
  }
  void close() override { closed_ = true; }
  int readsAfterEnd() const { return readsAfterEnd_; }
  bool closed() const { return closed_; }

 private:
  Bytes data_;
  size_t pos_;
  int step_;
  int readsAfterEnd_;
  bool closed_ = false;
};

// Reads everything, `step` bytes per call, up to -1.
inline Bytes readAll(InputStream& in, int step) {
  Bytes out;
  std::vector<char> buf(step);
  for (;;) {
    int n = in.read(buf.data(), 0, step);
    if (n < 0) break;
    out.insert(out.end(), buf.begin(), buf.begin() + n);
  }
  return out;
}

}  // namespace crypto_test
