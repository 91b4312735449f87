#include "vwt/platform/UserDirectories.h"

#include <pwd.h>
#include <stdlib.h>
#include <unistd.h>

namespace vwt {
namespace platform {

namespace {
std::string homeDirectory() {
  const char* home = getenv("HOME");
  if (home && *home) return home;
  passwd* pw = getpwuid(getuid());
  if (pw && pw->pw_dir) return pw->pw_dir;
  return "/tmp";
}

std::string fromEnvironment(const char* name, const char* fallbackUnderHome) {
  const char* v = getenv(name);
  // The XDG rules ignore relative values.
  std::string dir = v && *v == '/' ? std::string(v) : homeDirectory() + fallbackUnderHome;
  while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
  return dir;
}
}  // namespace

std::string userConfigDirectory() { return fromEnvironment("XDG_CONFIG_HOME", "/.config"); }

std::string userDataDirectory() { return fromEnvironment("XDG_DATA_HOME", "/.local/share"); }

std::string userHomeDirectory() { return homeDirectory(); }

}  // namespace platform
}  // namespace vwt
