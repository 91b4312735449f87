#include <gtest/gtest.h>

#include <string>

#include "vwt/platform/Text.h"

using namespace vwt::platform;

namespace {

// Switches both code pages for one test and back.
class CodePageScope {
 public:
  explicit CodePageScope(const std::string& name)
      : ansi_(codePageName(CodePage::Ansi)), oem_(codePageName(CodePage::Oem)) {
    setCodePageName(CodePage::Ansi, name);
    setCodePageName(CodePage::Oem, name);
  }
  ~CodePageScope() {
    setCodePageName(CodePage::Ansi, ansi_);
    setCodePageName(CodePage::Oem, oem_);
  }

 private:
  std::string ansi_, oem_;
};

std::string encode(const std::u16string& s, size_t max = 64) {
  char buf[128];
  int n = encodeCodePage(CodePage::Ansi, s.data(), s.size(), buf, max);
  return n < 0 ? std::string("<fail>") : std::string(buf, static_cast<size_t>(n));
}

std::u16string decode(const std::string& bytes) {
  std::u16string out;
  EXPECT_TRUE(decodeCodePage(CodePage::Oem, bytes.data(), bytes.size(), out));
  return out;
}

}  // namespace

TEST(PlatformText, FormatsNumbers) {
  char16_t buf[30];
  EXPECT_EQ(formatNumber(buf, 30, "%d", -12), 3);
  EXPECT_EQ(std::u16string(buf), u"-12");
  formatNumber(buf, 30, "%u", 4294967295u);
  EXPECT_EQ(std::u16string(buf), u"4294967295");
  EXPECT_EQ(formatNumber(buf, 4, "%d", 123456), 3);  // cut to the buffer
  EXPECT_EQ(std::u16string(buf), u"123");
}

TEST(PlatformText, ComparesIgnoringCase) {
  EXPECT_EQ(compareIgnoreCase(u"Hello", u"hELLO"), 0);
  EXPECT_LT(compareIgnoreCase(u"abc", u"abd"), 0);
  EXPECT_GT(compareIgnoreCase(u"abc", u"ab"), 0);
  EXPECT_EQ(compareIgnoreCase(u"\u0416x", u"\u0436X"), 0);  // Cyrillic
  EXPECT_EQ(compareIgnoreCase(u"abcX", u"ABCy", 3), 0);
}

TEST(PlatformText, Utf8ByDefault) {
  CodePageScope scope("UTF-8");
  EXPECT_EQ(encode(u"a\u00E9\u3042"), "a\xC3\xA9\xE3\x81\x82");
  EXPECT_EQ(encode(u"\U0001F600"), "\xF0\x9F\x98\x80");
  EXPECT_EQ(encode(std::u16string(1, char16_t(0xD800)) + u"x"), " x");  // a lone half is lacking
  EXPECT_EQ(encode(u"\u3042\u3042", 5), "\xE3\x81\x82");                // never half a character
  EXPECT_EQ(decode("a\xC3\xA9\xE3\x81\x82"), u"a\u00E9\u3042");
  EXPECT_EQ(decode("\xF0\x9F\x98\x80"), u"\U0001F600");
  EXPECT_EQ(decode("a\xFFz"), u"a\uFFFDz");
  EXPECT_EQ(decode("\xE3\x81"), u"\uFFFD\uFFFD");  // cut off at the end
  EXPECT_EQ(decode("\xC0\x80"), u"\uFFFD\uFFFD");  // overlong
  EXPECT_EQ(maxBytesPerUnit(CodePage::Ansi), 3);
}

TEST(PlatformText, ShiftJisCodePage) {
  CodePageScope scope("CP932");
  EXPECT_EQ(encode(u"\u3042A"),
            "\x82\xA0"
            "A");
  EXPECT_EQ(encode(u"\u00E9x"), " x");  // lacking in CP932: a space
  EXPECT_EQ(encode(u"\u3042\u3042", 3), "\x82\xA0");
  EXPECT_EQ(decode("\x82\xA0"
                   "A"),
            u"\u3042A");
  EXPECT_EQ(decode("\x81\x40"), u"\u3000");
}

TEST(PlatformText, UnknownCodePageFails) {
  CodePageScope scope("NO-SUCH-CODEPAGE");
  std::u16string out;
  EXPECT_FALSE(decodeCodePage(CodePage::Oem, "x", 1, out));
  EXPECT_EQ(encode(u"x"), "<fail>");
}

TEST(PlatformText, DemanglesTypeNames) {
  EXPECT_EQ(typeName(typeid(int).name()), "int");
  EXPECT_EQ(typeName(typeid(std::string*).name()).find("std::"), 0u);
}

TEST(PlatformText, Utf8AndUtf16BothWays) {
  struct Case {
    std::string utf8;
    std::u16string utf16;
  } cases[] = {
      {"abc", u"abc"},
      {"\xE6\x97\xA5\xE6\x9C\xAC", u"\u65E5\u672C"},
      {"\xF0\x9F\x98\x80", u"\U0001F600"},  // a pair of surrogates
      {"a\xFF"
       "b",
       u"a\uFFFDb"},                            // a byte that starts nothing
      {"\xE6\x97", u"\uFFFD\uFFFD"},            // cut short
      {"\xC0\xAF", u"\uFFFD\uFFFD"},            // an overlong slash
      {"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},  // an encoded surrogate
  };
  for (const Case& c : cases) {
    EXPECT_EQ(utf16FromUtf8(c.utf8), c.utf16) << c.utf8;
    if (c.utf16.find(u'\uFFFD') == std::u16string::npos)
      EXPECT_EQ(utf8FromUtf16(c.utf16.data(), c.utf16.size()), c.utf8);
  }
}
