#pragma once

#include <string>

namespace vwt {
namespace platform {

// The full path of the running executable.
std::string executablePath();

// The directory of the running executable, without a trailing separator.
std::string executableDirectory();

// The program directory: the executable's, unless set for a test.
std::string programDirectory();
void setProgramDirectory(const std::string& path);

// Writes a line of diagnostics where a debugger would see it (standard error).
void debugOutput(const std::string& utf8Line);

}  // namespace platform
}  // namespace vwt
