#pragma once
// The registry of this platform: a small key/value store kept in one text
// file in the user's configuration folder. Keys are paths of names joined by
// '\' starting with a root name ("HKEY_CURRENT_USER\Software\vesk"), without
// a leading or trailing '\'. Names compare without regard to ASCII case.
// The Shell Folders key of HKEY_LOCAL_MACHINE always offers the desktop's
// folders: "Application Data" (the XDG data home) and "Favorites" (a folder
// under it), unless values of those names were written.

#include <cstdint>
#include <string>
#include <vector>

namespace vwt {
namespace platform {

struct RegistryData {
  std::u16string name;
  uint32_t type;     // the Windows value type: 1 text, 3 binary, 4 32-bit number, ...
  std::string data;  // the value's bytes as the registry holds them
};

// The file that holds the store.
std::string registryFilePath();

// The four root names exist always, and every key above a stored one.
bool registryKeyExists(const std::u16string& key);

// Each returns 0 or an errno value: ENOENT for a missing key or value,
// EINVAL for a name the store cannot hold, or the file system's error.
int registryCreateKey(const std::u16string& key);
int registryReadValue(const std::u16string& key, const std::u16string& name, RegistryData* out);
// Creates the key and its missing parents.
int registryWriteValue(const std::u16string& key, const RegistryData& value);
int registrySubkeys(const std::u16string& key, std::vector<std::u16string>* names);
int registryValues(const std::u16string& key, std::vector<RegistryData>* values);

}  // namespace platform
}  // namespace vwt
