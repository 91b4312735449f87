#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "vwt/lang/Resource.h"

TEST(CryptoMessageTexts, EveryIdUsedHasAText) {
  const char* root = std::getenv("VWT_TEST_SOURCE_DIR");
  ASSERT_NE(root, nullptr);
  std::ifstream file(std::string(root) + "/res/message.txt");
  std::stringstream text;
  text << file.rdbuf();
  for (int id : {-305, -700, -701, -2900, -2901}) {
    EXPECT_NE(text.str().find("\n" + std::to_string(id) + "="), std::string::npos) << id;
    EXPECT_FALSE(Resource::getString(id).isNull()) << id;
  }
}
