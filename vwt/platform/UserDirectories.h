#pragma once
// The per-user folders of the desktop: XDG_CONFIG_HOME and XDG_DATA_HOME, or
// their defaults under the home directory. Read on every call, so a test can
// point them elsewhere by setting the variables.

#include <string>

namespace vwt {
namespace platform {

// Without a trailing separator.
std::string userConfigDirectory();
std::string userDataDirectory();
// HOME, else the password database's entry, else "/tmp".
std::string userHomeDirectory();

}  // namespace platform
}  // namespace vwt
