#pragma once

#include "vwt/lang/String.h"

// One named value of a registry key: its type and its bytes.
class RegistryValue : public Object {
 public:
  enum ValueType {
    REG_NONE = 0,
    REG_SZ = 1,
    REG_EXPAND_SZ = 2,
    REG_BINARY = 3,
    REG_DWORD = 4,
    REG_DWORD_BIG_ENDIAN = 5,
    REG_LINK = 6,
    REG_MULTI_SZ = 7,
    REG_RESOURCE_LIST = 8,
  };

  RegistryValue() : type_(REG_NONE), data_(nullptr), size_(0) {}
  RegistryValue(const RegistryValue&) = delete;
  RegistryValue& operator=(const RegistryValue&) = delete;
  ~RegistryValue() override { delete[] data_; }

  // Copies size bytes of data.
  void set(const String& name, ValueType type, const char* data, int size);
  const String& getName() const { return name_; }
  ValueType getType() const { return type_; }
  const char* getData() const { return data_; }
  int getSize() const { return size_; }
  // The text of a string value, up to its terminating zero.
  String getStringValue() const;
  // The 32-bit number of a number value (byte order by type).
  unsigned int getUintValue() const;

  // name=value(TYPE,size bytes)
  String toString() const override;
  static String convertValueTypeToString(int type);

 private:
  String name_;
  ValueType type_;
  char* data_;  // owned, size_ bytes
  int size_;
};
