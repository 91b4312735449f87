#include <gtest/gtest.h>

#include "tests/vwt/ScratchDirectory.h"
#include "tests/vwt/TestText.h"
#include "vwt/lang/Exception.h"
#include "vwt/lang/Registry.h"
#include "vwt/platform/RegistryStore.h"

TEST(Registry, ReadFromMissingKeyGivesDefaultAndCreatesNothing) {
  ScratchProgram program;
  Registry r(u"\\HKEY_CURRENT_USER\\Software\\vesk\\Missing"_s);
  EXPECT_EQ(narrow(r.getPath()), "\\HKEY_CURRENT_USER\\Software\\vesk\\Missing\\");
  EXPECT_EQ(r.readIntValue(u"x"_s, 5), 5);
  EXPECT_TRUE(r.readIntValue(u"x"_s, true));
  EXPECT_EQ(r.readUintValue(u"x"_s, 7u), 7u);
  EXPECT_EQ(narrow(r.readStringValue(u"x"_s, u"def"_s)), "def");
  EXPECT_FALSE(r.isExist());
  EXPECT_FALSE(program.dir.exists("config/vesk/registry.txt"));
}

TEST(Registry, WriteCreatesTheKeyAndItsParents) {
  ScratchProgram program;
  Registry r(u"\\HKEY_CURRENT_USER\\Software\\vesk\\Browser\\"_s);
  r.writeIntValue(u"count"_s, -3);
  r.writeUintValue(u"big"_s, 0xFFFFFFF0u);
  r.writeBoolValue(u"on"_s, true);
  r.writeStringValue(u"name"_s, String(u"caf\u00e9 \u3042", false));
  EXPECT_TRUE(program.dir.exists("config/vesk/registry.txt"));
  EXPECT_TRUE(Registry(u"\\HKEY_CURRENT_USER\\Software\\"_s).isExist());
  EXPECT_TRUE(Registry(u"\\HKEY_CURRENT_USER\\Software\\vesk"_s).isExist());

  Registry again(u"\\hkey_current_user\\software\\VESK\\browser"_s);  // names ignore case
  EXPECT_EQ(again.readIntValue(u"COUNT"_s, 0), -3);
  EXPECT_EQ(again.readUintValue(u"big"_s, 0), 0xFFFFFFF0u);
  EXPECT_TRUE(again.readIntValue(u"on"_s, false));
  EXPECT_TRUE(again.readStringValue(u"name"_s, String::null).equals(u"caf\u00e9 \u3042"));
  again.writeIntValue(u"count"_s, 4);  // replaces
  EXPECT_EQ(again.getNumOfValue(), 4);
  EXPECT_EQ(r.readIntValue(u"count"_s, 0), 4);
}

TEST(Registry, ValueOfAnotherTypeThrows1108) {
  ScratchProgram program;
  program.write("res/message.txt", "-1108=%2 is not %1\n");
  Registry r(u"\\HKEY_CURRENT_USER\\T\\"_s);
  r.writeStringValue(u"s"_s, u"text"_s);
  r.writeIntValue(u"i"_s, 1);
  try {
    r.readIntValue(u"s"_s, 0);
    FAIL();
  } catch (const Exception& e) {
    EXPECT_EQ(narrow(e.getRawMessage()), "s is not DWORD");
  }
  try {
    r.readStringValue(u"i"_s, String::null);
    FAIL();
  } catch (const Exception& e) {
    EXPECT_EQ(narrow(e.getRawMessage()), "i is not SZ");
  }
}

TEST(Registry, WriteUnderUnknownRootThrows1106) {
  ScratchProgram program;
  program.write("res/message.txt", "-1106=cannot create %1\n");
  Registry r(u"\\HKEY_NOWHERE\\x\\"_s);
  EXPECT_FALSE(r.isExist());
  EXPECT_EQ(r.readIntValue(u"v"_s, 2), 2);
  try {
    r.writeIntValue(u"v"_s, 1);
    FAIL();
  } catch (const Exception& e) {
    EXPECT_EQ(narrow(e.getRawMessage()), "cannot create \\HKEY_NOWHERE\\x\\");
  }
}

TEST(Registry, Enumeration) {
  ScratchProgram program;
  program.write("res/message.txt", "-1100=cannot open %1\n-1101=cannot query %1\n");
  Registry root(u"\\"_s);
  EXPECT_TRUE(root.isExist());
  ASSERT_EQ(root.getNumOfSubkey(), 4);
  EXPECT_EQ(narrow(root.getSubkeyName(1)), "HKEY_CURRENT_USER");

  Registry a(u"\\HKEY_CURRENT_USER\\E\\"_s);
  Registry(u"\\HKEY_CURRENT_USER\\E\\one\\deep\\"_s).writeIntValue(u"v"_s, 1);
  Registry(u"\\HKEY_CURRENT_USER\\E\\two\\"_s).writeIntValue(u"v"_s, 2);
  a.writeStringValue(u"s"_s, u"hi"_s);
  ASSERT_EQ(a.getNumOfSubkey(), 2);
  EXPECT_EQ(narrow(a.getSubkeyName(0)), "one");
  EXPECT_EQ(narrow(a.getSubkeyName(1)), "two");
  ASSERT_EQ(a.getNumOfValue(), 1);
  RegistryValue v;
  a.getValue(0, &v);
  EXPECT_EQ(narrow(v.getName()), "s");
  EXPECT_EQ(v.getType(), RegistryValue::REG_SZ);
  EXPECT_EQ(v.getSize(), 6);
  try {
    a.getValue(1, &v);
    FAIL();
  } catch (const Exception& e) {
    EXPECT_EQ(narrow(e.getRawMessage()), "cannot query \\HKEY_CURRENT_USER\\E\\");
  }
  try {
    Registry(u"\\HKEY_CURRENT_USER\\None\\"_s).getNumOfValue();
    FAIL();
  } catch (const Exception& e) {
    EXPECT_EQ(narrow(e.getRawMessage()), "cannot open \\HKEY_CURRENT_USER\\None\\");
  }
  a.dump();  // reaches every key without throwing
}

TEST(Registry, ShellFoldersOfTheDesktop) {
  ScratchProgram program;
  Registry shell(u"\\HKEY_LOCAL_MACHINE\\System\\Explorer\\Shell Folders\\"_s);
  EXPECT_TRUE(shell.isExist());
  EXPECT_EQ(narrow(shell.readStringValue(u"Application Data"_s, String::null)), program.dir / "data");
  EXPECT_EQ(shell.getNumOfValue(), 2);
  shell.writeStringValue(u"Favorites"_s, u"/elsewhere"_s);
  EXPECT_EQ(narrow(shell.readStringValue(u"Favorites"_s, String::null)), "/elsewhere");
  EXPECT_EQ(shell.getNumOfValue(), 2);
}

TEST(RegistryValue, TextOfEachType) {
  RegistryValue v;
  const char sz[] = {'a', 0, 'b', 0, 0, 0};
  v.set(u"n"_s, RegistryValue::REG_SZ, sz, 6);
  EXPECT_EQ(narrow(v.toString()), "n=ab(REG_SZ,6bytes)");
  const char bin[] = {0x01, static_cast<char>(0xAB)};
  v.set(u"b"_s, RegistryValue::REG_BINARY, bin, 2);
  EXPECT_EQ(narrow(v.toString()), "b=01 ab (REG_BINALRY,2bytes)");
  const char dw[] = {0x78, 0x56, 0x34, 0x12};
  v.set(u"d"_s, RegistryValue::REG_DWORD, dw, 4);
  EXPECT_EQ(narrow(v.toString()), "d=12345678(REG_DWORD,4bytes)");
  v.set(u"d"_s, RegistryValue::REG_DWORD_BIG_ENDIAN, dw, 4);
  EXPECT_EQ(narrow(v.toString()), "d=78563412(REG_DWORD_BIG_ENDIAN,4bytes)");
  const char multi[] = {'x', 0, 0, 0, 'y', 0, 'z', 0, 0, 0, 0, 0};
  v.set(u"m"_s, RegistryValue::REG_MULTI_SZ, multi, 12);
  EXPECT_EQ(narrow(v.toString()), "m=\"x\",\"yz\",(REG_MULTI_SZ,12bytes)");
  EXPECT_EQ(narrow(RegistryValue::convertValueTypeToString(9)), "REG_UNKNOWN");
  EXPECT_EQ(narrow(Registry::convertRootKeyToString(0x80000002u)), "HKEY_LOCAL_MACHINE");
  EXPECT_EQ(narrow(Registry::convertRootKeyToString(5)), "HKEY_UNKNOWN_ROOT_KEY");
  EXPECT_EQ(Registry::convertStringToRootKey(u"HKEY_USERS"_s), 0x80000003u);
  EXPECT_EQ(Registry::convertStringToRootKey(u"HKEY_X"_s), 0u);
}
