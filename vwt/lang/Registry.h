#pragma once

#include "vwt/lang/RegistryValue.h"
#include "vwt/lang/String.h"

// One key of the system registry, named by a path \ROOT\sub\key\. Reads
// open the key without creating it and fall back to their defaults; writes
// create the key and its missing parents.
class Registry : public Object {
 public:
  enum RootKey : unsigned int {
    HKEY_CLASSES_ROOT = 0x80000000u,
    HKEY_CURRENT_USER = 0x80000001u,
    HKEY_LOCAL_MACHINE = 0x80000002u,
    HKEY_USERS = 0x80000003u,
  };

  // Adds the trailing '\' when missing; opens nothing yet.
  explicit Registry(const String& path);
  ~Registry() override { close(); }

  void reset(const String& path);
  void close() { opened_ = false; }
  const String& getPath() const { return path_; }

  // Whether the key can be opened; the bare root "\" and the root keys exist.
  bool isExist();

  // Throw -1108 when the value has another type.
  String readStringValue(const String& name, const String& def);
  unsigned int readUintValue(const String& name, unsigned int def);
  int readIntValue(const String& name, int def);
  bool readIntValue(const String& name, bool def);

  // Throw -1106 when the key cannot be opened, -1107 when the value cannot
  // be set.
  void writeStringValue(const String& name, const String& value);
  void writeUintValue(const String& name, unsigned int value);
  void writeIntValue(const String& name, int value);
  void writeBoolValue(const String& name, bool value);

  // Enumeration: -1100 when the key cannot be opened, -1101 when the query
  // fails (an index out of range among them).
  int getNumOfSubkey();
  int getNumOfValue();
  String getSubkeyName(int index);
  void getValue(int index, RegistryValue* value);

  // Writes the path, the values and, recursively, the subkeys to the log.
  void dump();

  static String convertRootKeyToString(unsigned int key);
  // 0 for an unknown name.
  static unsigned int convertStringToRootKey(const String& name);

 private:
  // The key as the store names it: the path without its outer '\'s.
  String storeKey() const;
  bool hasKnownRoot() const;
  bool readValue(const String& name, RegistryValue* value);
  void writeValue(const String& name, int type, const char* data, int size);

  String path_;
  bool root_;    // the bare root "\"
  bool opened_;  // the key was found to exist
};
