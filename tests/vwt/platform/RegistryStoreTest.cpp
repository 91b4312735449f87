#include <gtest/gtest.h>

#include "tests/vwt/ScratchDirectory.h"
#include "vwt/platform/Processes.h"
#include "vwt/platform/RegistryStore.h"

using vwt::platform::RegistryData;

namespace {
class RegistryStoreTest : public ::testing::Test {
 protected:
  void SetUp() override { setenv("XDG_CONFIG_HOME", (dir / "config").c_str(), 1); }
  void TearDown() override { unsetenv("XDG_CONFIG_HOME"); }
  ScratchDirectory dir;
};
}  // namespace

TEST_F(RegistryStoreTest, DamagedLinesAreSkippedAndTheRestReadable) {
  dir.write("config/vesk/registry.txt",
            "[HKEY_CURRENT_USER\\A]\n"
            "4 01000000 good\n"
            "4 0100zz00 badhex\n"
            "x 00 badtype\n"
            "4 010\n"
            "nonsense\n"
            "[\\bad key\\]\n"
            "4 02000000 orphan\n"
            "[HKEY_CURRENT_USER\\B]\r\n"
            "1 61000000 text name with spaces\r\n");
  RegistryData v;
  ASSERT_EQ(vwt::platform::registryReadValue(u"HKEY_CURRENT_USER\\A", u"good", &v), 0);
  EXPECT_EQ(v.type, 4u);
  EXPECT_EQ(v.data, std::string("\x01\0\0\0", 4));
  EXPECT_NE(vwt::platform::registryReadValue(u"HKEY_CURRENT_USER\\A", u"badhex", &v), 0);
  std::vector<RegistryData> values;
  ASSERT_EQ(vwt::platform::registryValues(u"HKEY_CURRENT_USER\\A", &values), 0);
  EXPECT_EQ(values.size(), 1u);
  ASSERT_EQ(vwt::platform::registryReadValue(u"HKEY_CURRENT_USER\\B", u"text name with spaces", &v), 0);
  EXPECT_EQ(v.data, std::string("a\0\0\0", 4));
}

TEST_F(RegistryStoreTest, NamesTheStoreCannotHoldAreRefused) {
  RegistryData v{u"line\nbreak", 4, std::string(4, '\0')};
  EXPECT_EQ(vwt::platform::registryWriteValue(u"HKEY_CURRENT_USER\\A", v), EINVAL);
  v.name = u"ok";
  EXPECT_EQ(vwt::platform::registryWriteValue(u"HKEY_CURRENT_USER\\\\A", v), EINVAL);
  EXPECT_EQ(vwt::platform::registryWriteValue(u"HKEY_CURRENT_USER\\A\\", v), EINVAL);
  EXPECT_FALSE(dir.exists("config/vesk/registry.txt"));
  EXPECT_EQ(vwt::platform::registryWriteValue(u"HKEY_CURRENT_USER\\A", v), 0);
  EXPECT_TRUE(dir.exists("config/vesk/registry.txt"));
}

TEST(Processes, SplitsACommandLineAsAWindowsProgramWould) {
  using V = std::vector<std::string>;
  struct Case {
    const char* line;
    V args;
  } cases[] = {
      {"/U http://x \"/opt/my dir/prog\"", V{"/U", "http://x", "/opt/my dir/prog"}},
      {"  a\t b  ", V{"a", "b"}},
      {"\"\"", V{""}},
      {"a\\\\b \"c\\\"d\" e\\\\\\\"f", V{"a\\\\b", "c\"d", "e\\\"f"}},
      {"x\"y z\"w", V{"xy zw"}},
      {"", V{}},
  };
  for (const Case& c : cases) EXPECT_EQ(vwt::platform::splitCommandLine(c.line), c.args) << c.line;
}
