#pragma once

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "service/RenderService.h"

// What the end-to-end tests and benchmarks share: the source tree's files and the reference
// service's configuration for loopback with its fixture pages.
namespace loopback {

inline std::string sourceDir() {
  const char* s = getenv("VWT_TEST_SOURCE_DIR");
  return s ? s : VWT_SOURCE_DIR;
}

inline std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream all;
  all << in.rdbuf();
  return all.str();
}

// 127.0.0.1 on a free port, the fixture pages of the source tree.
inline vesk::ServiceConfig serviceConfig() {
  vesk::ServiceConfig config;
  config.host = "127.0.0.1";
  config.port = 0;
  config.fixtureDir = sourceDir() + "/service/fixtures";
  return config;
}

}  // namespace loopback
