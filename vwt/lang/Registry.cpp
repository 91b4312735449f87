#include "vwt/lang/Registry.h"

#include <cerrno>
#include <string>
#include <vector>

#include "vwt/lang/Exception.h"
#include "vwt/lang/Logger.h"
#include "vwt/lang/Resource.h"
#include "vwt/platform/RegistryStore.h"

namespace {
const char16_t* const ROOT_NAMES[] = {u"HKEY_CLASSES_ROOT", u"HKEY_CURRENT_USER", u"HKEY_LOCAL_MACHINE",
                                      u"HKEY_USERS"};

std::u16string units(const String& s) {
  return std::u16string(s.getCString(), static_cast<size_t>(s.length()));
}

String text(const std::u16string& s) { return String(s.data(), 0, static_cast<int>(s.size())); }
}  // namespace

Registry::Registry(const String& path) : root_(false), opened_(false) { reset(path); }

void Registry::reset(const String& path) {
  close();
  path_ = path.endsWith(u"\\") ? path : path + u'\\';
  root_ = path_ == u"\\";
}

String Registry::storeKey() const {
  int begin = path_.startsWith(u"\\") ? 1 : 0;
  int end = path_.length() - 1;  // the trailing '\'
  return end > begin ? path_.substring(begin, end) : String::null;
}

bool Registry::hasKnownRoot() const {
  String key = storeKey();
  int slash = key.indexOf(u'\\');
  return convertStringToRootKey(slash < 0 ? key : key.substring(0, slash)) != 0;
}

bool Registry::isExist() {
  if (root_) return true;
  opened_ = hasKnownRoot() && vwt::platform::registryKeyExists(units(storeKey()));
  return opened_;
}

bool Registry::readValue(const String& name, RegistryValue* value) {
  if (!hasKnownRoot()) return false;
  vwt::platform::RegistryData data;
  if (vwt::platform::registryReadValue(units(storeKey()), units(name), &data) != 0) return false;
  opened_ = true;
  // Types this toolkit does not know are read as REG_NONE.
  value->set(text(data.name), static_cast<RegistryValue::ValueType>(data.type <= 8 ? data.type : 0),
             data.data.data(), static_cast<int>(data.data.size()));
  return true;
}

String Registry::readStringValue(const String& name, const String& def) {
  RegistryValue v;
  if (!readValue(name, &v)) return def;
  if (v.getType() != RegistryValue::REG_SZ) throw Exception(Resource::getString(-1108, u"SZ"_s, name, path_));
  return v.getStringValue();
}

unsigned int Registry::readUintValue(const String& name, unsigned int def) {
  RegistryValue v;
  if (!readValue(name, &v)) return def;
  if (v.getType() != RegistryValue::REG_DWORD || v.getSize() != 4)
    throw Exception(Resource::getString(-1108, u"DWORD"_s, name, path_));
  return v.getUintValue();
}

int Registry::readIntValue(const String& name, int def) {
  return static_cast<int>(readUintValue(name, static_cast<unsigned int>(def)));
}

bool Registry::readIntValue(const String& name, bool def) { return readUintValue(name, def ? 1u : 0u) != 0; }

void Registry::writeValue(const String& name, int type, const char* data, int size) {
  if (root_ || !hasKnownRoot())
    throw Exception(Resource::getString(-1106, path_), static_cast<uint64_t>(EINVAL));
  std::u16string key = units(storeKey());
  int error = vwt::platform::registryCreateKey(key);
  if (error) throw Exception(Resource::getString(-1106, path_), static_cast<uint64_t>(error));
  opened_ = true;
  vwt::platform::RegistryData value{units(name), static_cast<uint32_t>(type),
                                    std::string(data, static_cast<size_t>(size))};
  error = vwt::platform::registryWriteValue(key, value);
  if (error)
    throw Exception(Resource::getString(-1107, RegistryValue::convertValueTypeToString(type), path_),
                    static_cast<uint64_t>(error));
}

void Registry::writeStringValue(const String& name, const String& value) {
  std::string bytes;
  for (int i = 0; i < value.length(); ++i) {
    bytes += static_cast<char>(value.charAt(i) & 0xFF);
    bytes += static_cast<char>(value.charAt(i) >> 8);
  }
  bytes.append(2, '\0');  // the terminating zero
  writeValue(name, RegistryValue::REG_SZ, bytes.data(), static_cast<int>(bytes.size()));
}

void Registry::writeUintValue(const String& name, unsigned int value) {
  char b[4] = {static_cast<char>(value & 0xFF), static_cast<char>((value >> 8) & 0xFF),
               static_cast<char>((value >> 16) & 0xFF), static_cast<char>(value >> 24)};
  writeValue(name, RegistryValue::REG_DWORD, b, 4);
}

void Registry::writeIntValue(const String& name, int value) {
  writeUintValue(name, static_cast<unsigned int>(value));
}

void Registry::writeBoolValue(const String& name, bool value) { writeUintValue(name, value ? 1u : 0u); }

int Registry::getNumOfSubkey() {
  if (root_) return 4;
  if (!hasKnownRoot()) throw Exception(Resource::getString(-1100, path_), static_cast<uint64_t>(ENOENT));
  std::vector<std::u16string> names;
  int error = vwt::platform::registrySubkeys(units(storeKey()), &names);
  if (error == ENOENT) throw Exception(Resource::getString(-1100, path_), static_cast<uint64_t>(error));
  if (error) throw Exception(Resource::getString(-1101, path_), static_cast<uint64_t>(error));
  return static_cast<int>(names.size());
}

String Registry::getSubkeyName(int index) {
  if (root_) {
    if (index < 0 || index >= 4) throw Exception(Resource::getString(-1101, path_));
    return String(ROOT_NAMES[index], false);
  }
  if (!hasKnownRoot()) throw Exception(Resource::getString(-1100, path_), static_cast<uint64_t>(ENOENT));
  std::vector<std::u16string> names;
  int error = vwt::platform::registrySubkeys(units(storeKey()), &names);
  if (error == ENOENT) throw Exception(Resource::getString(-1100, path_), static_cast<uint64_t>(error));
  if (error || index < 0 || index >= static_cast<int>(names.size()))
    throw Exception(Resource::getString(-1101, path_), static_cast<uint64_t>(error));
  return text(names[static_cast<size_t>(index)]);
}

int Registry::getNumOfValue() {
  if (root_) return 0;
  if (!hasKnownRoot()) throw Exception(Resource::getString(-1100, path_), static_cast<uint64_t>(ENOENT));
  std::vector<vwt::platform::RegistryData> values;
  int error = vwt::platform::registryValues(units(storeKey()), &values);
  if (error == ENOENT) throw Exception(Resource::getString(-1100, path_), static_cast<uint64_t>(error));
  if (error) throw Exception(Resource::getString(-1101, path_), static_cast<uint64_t>(error));
  return static_cast<int>(values.size());
}

void Registry::getValue(int index, RegistryValue* value) {
  if (!root_ && !hasKnownRoot())
    throw Exception(Resource::getString(-1100, path_), static_cast<uint64_t>(ENOENT));
  std::vector<vwt::platform::RegistryData> values;
  int error = root_ ? 0 : vwt::platform::registryValues(units(storeKey()), &values);
  if (error == ENOENT) throw Exception(Resource::getString(-1100, path_), static_cast<uint64_t>(error));
  if (error || index < 0 || index >= static_cast<int>(values.size()))
    throw Exception(Resource::getString(-1101, path_), static_cast<uint64_t>(error));
  const vwt::platform::RegistryData& d = values[static_cast<size_t>(index)];
  value->set(text(d.name), static_cast<RegistryValue::ValueType>(d.type <= 8 ? d.type : 0), d.data.data(),
             static_cast<int>(d.data.size()));
}

void Registry::dump() {
  Logger* log = Logger::getLogger();
  log->log(Logger::WARNING, path_);
  int values = getNumOfValue();
  for (int i = 0; i < values; ++i) {
    RegistryValue v;
    getValue(i, &v);
    log->log(Logger::WARNING, v.toString());
  }
  int subkeys = getNumOfSubkey();
  for (int i = 0; i < subkeys; ++i) {
    String name = getSubkeyName(i);
    Registry(path_ + name).dump();
  }
}

String Registry::convertRootKeyToString(unsigned int key) {
  if (key >= HKEY_CLASSES_ROOT && key <= HKEY_USERS)
    return String(ROOT_NAMES[key - HKEY_CLASSES_ROOT], false);
  return String(u"HKEY_UNKNOWN_ROOT_KEY", false);
}

unsigned int Registry::convertStringToRootKey(const String& name) {
  for (unsigned int i = 0; i < 4; ++i)
    if (name.equalsIgnoreCase(ROOT_NAMES[i])) return HKEY_CLASSES_ROOT + i;
  return 0;
}
