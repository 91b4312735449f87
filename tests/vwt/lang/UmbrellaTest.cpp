#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "vwt/vwt.h"

// Every public header must be reachable through vwt/vwt.h; the list is
// rewritten by tools/make-umbrella.
TEST(Umbrella, IncludesEveryPublicHeader) {
  const char* root = std::getenv("VWT_TEST_SOURCE_DIR");
  if (!root) root = VWT_SOURCE_DIR;
  std::ifstream umbrella(std::string(root) + "/vwt/vwt.h");
  std::stringstream text;
  text << umbrella.rdbuf();
  std::string command =
      std::string("cd '") + root + "' && find vwt -name '*.h' ! -path 'vwt/platform/*' ! -name vwt.h";
  FILE* p = popen(command.c_str(), "r");
  ASSERT_NE(p, nullptr);
  char line[512];
  while (fgets(line, sizeof line, p)) {
    std::string header(line);
    while (!header.empty() && (header.back() == '\n' || header.back() == '\r')) header.pop_back();
    EXPECT_NE(text.str().find("#include \"" + header + "\""), std::string::npos)
        << header << " is missing from vwt/vwt.h (run tools/make-umbrella)";
  }
  pclose(p);
}
