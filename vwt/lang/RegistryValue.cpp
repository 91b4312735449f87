#include "vwt/lang/RegistryValue.h"

#include <cstring>

#include "vwt/lang/Integer.h"
#include "vwt/lang/StringBuffer.h"

void RegistryValue::set(const String& name, ValueType type, const char* data, int size) {
  if (size < 0 || !data) size = 0;
  char* copy = new char[size > 0 ? size : 1];
  if (size > 0) std::memcpy(copy, data, static_cast<size_t>(size));
  delete[] data_;
  data_ = copy;
  size_ = size;
  name_ = name;
  type_ = type;
}

namespace {
// The UTF-16LE units of data[from..) up to a zero unit; *end is past it.
String unitsFrom(const char* data, int size, int from, int* end) {
  StringBuffer out;
  int i = from;
  for (; i + 1 < size; i += 2) {
    char16_t u = static_cast<char16_t>(static_cast<unsigned char>(data[i]) |
                                       static_cast<unsigned char>(data[i + 1]) << 8);
    if (u == 0) {
      i += 2;
      break;
    }
    out.append(u);
  }
  if (end) *end = i;
  return out.toString();
}
}  // namespace

String RegistryValue::getStringValue() const { return unitsFrom(data_, size_, 0, nullptr); }

unsigned int RegistryValue::getUintValue() const {
  unsigned char b[4] = {0, 0, 0, 0};
  for (int i = 0; i < 4 && i < size_; ++i) b[i] = static_cast<unsigned char>(data_[i]);
  if (type_ == REG_DWORD_BIG_ENDIAN) return (b[0] << 24) | (b[1] << 16) | (b[2] << 8) | b[3];
  return static_cast<unsigned int>(b[0] | (b[1] << 8) | (b[2] << 16)) |
         (static_cast<unsigned int>(b[3]) << 24);
}

String RegistryValue::toString() const {
  StringBuffer text;
  text.append(name_).append(u'=');
  switch (type_) {
    case REG_SZ:
    case REG_EXPAND_SZ:
      text.append(getStringValue());
      break;
    case REG_BINARY:
      for (int i = 0; i < size_; ++i)
        text.append(Integer::toHexString(static_cast<unsigned char>(data_[i]), 2)).append(u' ');
      break;
    case REG_DWORD:
    case REG_DWORD_BIG_ENDIAN:
      text.append(Integer::toHexString(static_cast<int>(getUintValue()), 8));
      break;
    case REG_MULTI_SZ: {
      int at = 0;
      while (at + 1 < size_) {
        String s = unitsFrom(data_, size_, at, &at);
        if (s.isNull()) break;  // the empty string that ends the list
        text.append(u'"').append(s).append(u'"').append(u',');
      }
      break;
    }
    default:
      break;
  }
  text.append(u'(').append(convertValueTypeToString(type_)).append(u',').append(size_);
  text.append(String(u"bytes)", false));
  return text.toString();
}

String RegistryValue::convertValueTypeToString(int type) {
  static const char16_t* const NAMES[] = {u"REG_NONE",    u"REG_SZ",       u"REG_EXPAND_SZ",
                                          u"REG_BINALRY", u"REG_DWORD",    u"REG_DWORD_BIG_ENDIAN",
                                          u"REG_LINK",    u"REG_MULTI_SZ", u"REG_RESOURCE_LIST"};
  if (type < 0 || type > 8) return String(u"REG_UNKNOWN", false);
  return String(NAMES[type], false);
}
