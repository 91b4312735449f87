#include <gtest/gtest.h>

#include <cerrno>
#include <cstdint>
#include <cstring>

#include "vwt/lang/Boolean.h"
#include "vwt/lang/Exception.h"
#include "vwt/lang/Integer.h"
#include "vwt/lang/Long.h"
#include "vwt/lang/Resource.h"

TEST(Integer, Formatting) {
  EXPECT_EQ(Integer(-5).toString(), u"-5");
  EXPECT_EQ(Integer::toString(42), u"42");
  EXPECT_EQ(Integer::toString(7, 3), u"007");
  EXPECT_EQ(Integer::toString(-7, 4), u"-007");
  EXPECT_EQ(Integer::toHexString(255, 4), u"00ff");
  EXPECT_EQ(Integer::toHexStringUpper(255, 2), u"FF");
  EXPECT_EQ(Integer::toHexString(255, 0), u"ff");
  EXPECT_EQ(Integer::toHexString(-1, 8), u"ffffffff");
  EXPECT_EQ(Integer(48879).toHexStringUpper(6), u"00BEEF");
}

TEST(Integer, Parsing) {
  struct Case {
    const char16_t* text;
    int plain, withDefault;
  } cases[] = {
      {u"12ab", 12, 12},
      {u"abc", 0, -1},
      {u"", 0, -1},
      {u"-17", -17, -17},
      {u"+8", 8, 8},
      {u".5", 0, 0},
      {u" 3", 3, -1},
      {u"99999999999", 2147483647, 2147483647},
      {u"-99999999999", -2147483647 - 1, -2147483647 - 1},
  };
  for (const Case& c : cases) {
    String s(c.text, false);
    EXPECT_EQ(Integer::parseInt(s), c.plain) << "plain";
    EXPECT_EQ(Integer::parseInt(s, -1), c.withDefault) << "with default";
  }
}

TEST(Integer, ParseHex) {
  EXPECT_EQ(Integer::parseHexInt(u"-1f"_s, 0), -31);
  EXPECT_EQ(Integer::parseHexInt(u"zz"_s, 77), 77);
  EXPECT_EQ(Integer::parseHexInt(String::null, 5), 5);
  EXPECT_EQ(Integer::parseHexInt(u"1A;ext"_s, 0), 26);
  EXPECT_EQ(Integer::parseHexInt(u"-"_s, 3), 3);
  EXPECT_EQ(Integer::parseHexInt(u"ffffffff"_s, 0), -1);
}

TEST(BoxedValues, Equality) {
  EXPECT_TRUE(Integer(3).equals(Integer(3)));
  EXPECT_FALSE(Integer(3).equals(Integer(4)));
  EXPECT_FALSE(Integer(3).equals(Long(3)));
  Integer i(1);
  EXPECT_TRUE(i.equals(i));
  EXPECT_TRUE(Long(int64_t(1) << 40).equals(Long(int64_t(1) << 40)));
  EXPECT_TRUE(Boolean(true).equals(Boolean(true)));
  EXPECT_FALSE(Boolean(true).equals(Boolean()));
  EXPECT_EQ(Boolean(true).toString(), u"true");
  EXPECT_EQ(Long(-5000000000LL).toString(), u"-5000000000");
}

TEST(Long, HexString) {
  EXPECT_TRUE(Long::toHexString(0).isNull());
  EXPECT_EQ(Long::toHexString(int64_t(1) << 32), u"100000000");
  EXPECT_EQ(Long::toHexString(255), u"ff");
  EXPECT_EQ(Long::toHexString(-1), u"ffffffffffffffff");
  EXPECT_EQ(Long::toHexString(Long(0x1234abcdLL)), u"1234abcd");
  EXPECT_TRUE(Long::toHexString(Long(0)).isNull());
}

TEST(Exception, MessageAndCode) {
  Exception plain(u"boom"_s);
  EXPECT_EQ(plain.getCode(), 0u);
  EXPECT_EQ(plain.toString(), Resource::getString(-1900) + u"boom"_s);
  EXPECT_EQ(plain.getMessage(), plain.toString());

  Exception refused(u"connect"_s, 10061);
  String expected = ((Resource::getString(-1900) + u"connect\r\n"_s) + Exception::getErrorMessage(10061)) +
                    u" (CODE=10061)"_s;
  EXPECT_EQ(refused.toString(), expected);

  Exception allOnes(u"x"_s, UINT64_MAX);
  EXPECT_FALSE(allOnes.toString().indexOf(u"CODE"_s) >= 0);
}

TEST(Exception, ErrorTextsComeFromTheSystemThenTheSocketTable) {
  String enoent = Exception::getErrorMessage(ENOENT);
  EXPECT_EQ(enoent, String(strerror(ENOENT)));
  EXPECT_EQ(Exception::getErrorMessage(10061), Resource::getString(-1943));
  EXPECT_TRUE(Exception::getErrorMessage(123456).isNull());
}

TEST(Exception, SocketErrorTable) {
  struct Case {
    uint64_t code;
    int id;
  } cases[] = {{0, -1910},     {10004, -1911}, {10024, -1916}, {10035, -1917}, {10061, -1943},
               {10071, -1953}, {10091, -1954}, {10101, -1957}, {11001, -1958}, {11004, -1959},
               {10072, 0},     {10034, 0},     {11002, 0}};
  for (const Case& c : cases) EXPECT_EQ(Exception::getSocketErrorMessageId(c.code), c.id) << c.code;
  int rows = 0;
  for (uint64_t code = 0; code < 12000; ++code)
    if (Exception::getSocketErrorMessageId(code)) ++rows;
  EXPECT_EQ(rows, 50);
}

TEST(Object, ToStringAndIdentity) {
  Object a, b;
  EXPECT_TRUE(a.equals(a));
  EXPECT_FALSE(a.equals(b));
  String text = a.toString();
  EXPECT_TRUE(text.endsWith(String::toHexString(&a)));
  EXPECT_TRUE(text.startsWith(u"Object"_s));
}
