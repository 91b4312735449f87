#pragma once

#include <cstdint>
#include <string>

namespace vesk {

// Bounded big-endian decoder for bytes that came from the network. Every read checks the
// remaining length first and throws ProtocolError instead of running past the end.
class DataReader {
 public:
  DataReader(const char* data, size_t size) : data_(data), size_(size) {}
  explicit DataReader(const std::string& s) : DataReader(s.data(), s.size()) {}

  int32_t readInt();
  int32_t readShort();
  uint32_t readUnsignedShort();
  int32_t readByte();
  // Modified UTF-8 in, UTF-8 out (surrogate pairs are joined, lone surrogates become U+FFFD).
  std::string readUTF();
  std::string readBytes(size_t n);
  void skip(size_t n);

  size_t remaining() const { return size_ - pos_; }
  size_t position() const { return pos_; }

 private:
  void need(size_t n) const;

  const char* data_;
  size_t size_;
  size_t pos_ = 0;
};

}  // namespace vesk
