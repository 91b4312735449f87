#include "vwt/platform/Paths.h"

#include <limits.h>
#include <stdio.h>
#include <unistd.h>

#include <mutex>

namespace vwt {
namespace platform {

std::string executablePath() {
  char buf[PATH_MAX];
  ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
  return n > 0 ? std::string(buf, static_cast<size_t>(n)) : std::string();
}

std::string executableDirectory() {
  std::string path = executablePath();
  if (path.empty()) return ".";
  size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? std::string("/") : path.substr(0, slash);
}

namespace {
std::mutex gLock;
std::string gProgramDirectory;
}  // namespace

std::string programDirectory() {
  {
    std::lock_guard<std::mutex> g(gLock);
    if (!gProgramDirectory.empty()) return gProgramDirectory;
  }
  return executableDirectory();
}

void setProgramDirectory(const std::string& path) {
  std::lock_guard<std::mutex> g(gLock);
  gProgramDirectory = path;
}

void debugOutput(const std::string& utf8Line) {
  std::string line = utf8Line + "\n";
  fwrite(line.data(), 1, line.size(), stderr);
}

}  // namespace platform
}  // namespace vwt
