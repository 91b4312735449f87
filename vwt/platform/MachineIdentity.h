#pragma once

#include <string>

namespace vwt {
namespace platform {

// The machine's fixed identity (/etc/machine-id, or the D-Bus copy of it),
// without surrounding blanks. False when the system has none.
bool machineIdentity(std::string* id);

// Reads the identity from another file; an empty path restores the system's.
void setMachineIdentityFile(const std::string& path);

}  // namespace platform
}  // namespace vwt
