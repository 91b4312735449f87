#include "service/DataReader.h"

#include <vector>

#include "service/ProtocolError.h"

namespace vesk {

namespace {

void appendUtf8(std::string& out, uint32_t cp) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

}  // namespace

void DataReader::need(size_t n) const {
  if (n > size_ - pos_) throw ProtocolError("data ends early");
}

int32_t DataReader::readInt() {
  need(4);
  const unsigned char* p = reinterpret_cast<const unsigned char*>(data_ + pos_);
  pos_ += 4;
  return static_cast<int32_t>((uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) |
                              uint32_t(p[3]));
}

uint32_t DataReader::readUnsignedShort() {
  need(2);
  const unsigned char* p = reinterpret_cast<const unsigned char*>(data_ + pos_);
  pos_ += 2;
  return (uint32_t(p[0]) << 8) | p[1];
}

int32_t DataReader::readShort() { return static_cast<int16_t>(readUnsignedShort()); }

int32_t DataReader::readByte() {
  need(1);
  return static_cast<signed char>(data_[pos_++]);
}

std::string DataReader::readBytes(size_t n) {
  need(n);
  std::string s(data_ + pos_, n);
  pos_ += n;
  return s;
}

void DataReader::skip(size_t n) {
  need(n);
  pos_ += n;
}

std::string DataReader::readUTF() {
  size_t n = readUnsignedShort();
  need(n);
  const unsigned char* p = reinterpret_cast<const unsigned char*>(data_ + pos_);
  std::vector<uint32_t> units;
  size_t i = 0;
  while (i < n) {
    unsigned char c = p[i];
    if (c < 0x80) {
      units.push_back(c);
      i += 1;
    } else if ((c & 0xE0) == 0xC0) {
      if (i + 2 > n) throw ProtocolError("bad modified UTF-8");
      units.push_back(((c & 0x1Fu) << 6) | (p[i + 1] & 0x3Fu));
      i += 2;
    } else if ((c & 0xF0) == 0xE0) {
      if (i + 3 > n) throw ProtocolError("bad modified UTF-8");
      units.push_back(((c & 0x0Fu) << 12) | ((p[i + 1] & 0x3Fu) << 6) | (p[i + 2] & 0x3Fu));
      i += 3;
    } else {
      throw ProtocolError("bad modified UTF-8");
    }
  }
  pos_ += n;
  std::string out;
  out.reserve(n);
  for (size_t k = 0; k < units.size(); ++k) {
    uint32_t u = units[k];
    if (u >= 0xD800 && u <= 0xDBFF && k + 1 < units.size() && units[k + 1] >= 0xDC00 &&
        units[k + 1] <= 0xDFFF) {
      appendUtf8(out, 0x10000 + ((u - 0xD800) << 10) + (units[k + 1] - 0xDC00));
      ++k;
    } else if (u >= 0xD800 && u <= 0xDFFF) {
      appendUtf8(out, 0xFFFD);
    } else {
      appendUtf8(out, u);
    }
  }
  return out;
}

}  // namespace vesk
