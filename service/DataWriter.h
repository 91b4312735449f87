#pragma once

#include <cstdint>
#include <string>

namespace vesk {

// Big-endian binary encoder in the handset's stream format: ints most significant byte
// first, strings as a 16-bit byte count followed by modified UTF-8 (one UTF-16 unit at a time).
class DataWriter {
 public:
  void writeInt(int32_t v);
  void writeShort(int32_t v);
  void writeByte(int32_t v);
  void writeBoolean(bool v) { writeByte(v ? 1 : 0); }
  void writeBytes(const std::string& bytes) { out_ += bytes; }
  void writeBytes(const char* data, size_t n) { out_.append(data, n); }
  // text is UTF-8; it is re-encoded unit by unit. Throws ProtocolError when the
  // encoded form does not fit the 16-bit count.
  void writeUTF(const std::string& text);

  const std::string& bytes() const { return out_; }
  std::string take() { return std::move(out_); }
  size_t size() const { return out_.size(); }
  void reserve(size_t n) { out_.reserve(n); }

  // Modified UTF-8 image of a UTF-8 text, without the count.
  static std::string toModifiedUtf8(const std::string& text);

 private:
  std::string out_;
};

}  // namespace vesk
