#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace vesktest {

// The handset's view of the binary encoding, written separately from the service's own
// encoder so the two check each other: big-endian ints, 16-bit-count modified UTF-8.
class WireReader {
 public:
  explicit WireReader(std::string data) : data_(std::move(data)) {}

  int32_t i32() {
    need(4);
    uint32_t v = 0;
    for (int k = 0; k < 4; ++k) v = (v << 8) | static_cast<unsigned char>(data_[pos_++]);
    return static_cast<int32_t>(v);
  }
  int32_t i16() {
    need(2);
    uint16_t v = static_cast<uint16_t>((static_cast<unsigned char>(data_[pos_]) << 8) |
                                       static_cast<unsigned char>(data_[pos_ + 1]));
    pos_ += 2;
    return static_cast<int16_t>(v);
  }
  int32_t i8() {
    need(1);
    return static_cast<signed char>(data_[pos_++]);
  }
  bool boolean() { return i8() != 0; }
  std::string bytes(size_t n) {
    need(n);
    std::string s = data_.substr(pos_, n);
    pos_ += n;
    return s;
  }
  // Returns the modified UTF-8 bytes re-read as UTF-8 (identical for text without U+0000
  // and supplementary characters, which is all the tests use).
  std::string utf() {
    size_t n = static_cast<uint16_t>(i16());
    return bytes(n);
  }
  size_t remaining() const { return data_.size() - pos_; }
  std::string rest() { return bytes(remaining()); }

 private:
  void need(size_t n) const {
    if (n > data_.size() - pos_) throw std::runtime_error("wire data ends early");
  }
  std::string data_;
  size_t pos_ = 0;
};

}  // namespace vesktest
