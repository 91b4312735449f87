#include "vwt/platform/MachineIdentity.h"

#include <stdio.h>

#include <mutex>

namespace vwt {
namespace platform {

namespace {
std::mutex gLock;
std::string gFile;
std::string gSystemId;  // the system's identity once read

bool readIdentity(const std::string& path, std::string* id) {
  FILE* f = fopen(path.c_str(), "rb");
  if (!f) return false;
  char buf[256];
  size_t n = fread(buf, 1, sizeof buf, f);
  fclose(f);
  std::string text(buf, n);
  size_t b = text.find_first_not_of(" \t\r\n");
  if (b == std::string::npos) return false;
  size_t e = text.find_last_not_of(" \t\r\n");
  *id = text.substr(b, e - b + 1);
  return true;
}
}  // namespace

bool machineIdentity(std::string* id) {
  std::lock_guard<std::mutex> g(gLock);
  if (!gFile.empty()) return readIdentity(gFile, id);
  // The system's identity is fixed while it runs, and every request asks for it: read once.
  if (gSystemId.empty() && !readIdentity("/etc/machine-id", &gSystemId) &&
      !readIdentity("/var/lib/dbus/machine-id", &gSystemId))
    return false;
  *id = gSystemId;
  return true;
}

void setMachineIdentityFile(const std::string& path) {
  std::lock_guard<std::mutex> g(gLock);
  gFile = path;
}

}  // namespace platform
}  // namespace vwt
