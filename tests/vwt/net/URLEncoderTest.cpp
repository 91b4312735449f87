#include <gtest/gtest.h>

#include <string>

#include "tests/vwt/TestText.h"
#include "vwt/net/URLEncoder.h"
#include "vwt/platform/Text.h"

namespace {

// Runs the test body with the ANSI code page set to name.
class AnsiCodePage {
 public:
  explicit AnsiCodePage(const char* name)
      : saved_(vwt::platform::codePageName(vwt::platform::CodePage::Ansi)) {
    vwt::platform::setCodePageName(vwt::platform::CodePage::Ansi, name);
  }
  ~AnsiCodePage() { vwt::platform::setCodePageName(vwt::platform::CodePage::Ansi, saved_); }

 private:
  std::string saved_;
};

}  // namespace

TEST(URLEncoderTest, AsciiText) {
  EXPECT_EQ("a+b%26c", narrow(URLEncoder::encode(u"a b&c"_s)));
  EXPECT_EQ("AZaz09.-_*%7E%2F%3F%3D%25%2B", narrow(URLEncoder::encode(u"AZaz09.-_*~/?=%+"_s)));
  EXPECT_EQ("", narrow(URLEncoder::encode(String::null)));
}

TEST(URLEncoderTest, DoubleByteLeadTakesItsTrailByteInCp932) {
  AnsiCodePage cp932("CP932");
  EXPECT_EQ("%82%A0", narrow(URLEncoder::encode(u"\u3042"_s)));  // hiragana a: 82 A0
  EXPECT_EQ("%83%41", narrow(URLEncoder::encode(u"\u30A2"_s)));  // katakana a: 83 41, 41 is 'A'
  EXPECT_EQ("x%83%41y%82%A0", narrow(URLEncoder::encode(u"x\u30A2y\u3042"_s)));
  EXPECT_EQ("%B1", narrow(URLEncoder::encode(u"\uFF71"_s)));  // half-width katakana: one byte
}

TEST(URLEncoderTest, Utf8BytesAreAllEscapedAndNothingFollowsTheLastOne) {
  AnsiCodePage utf8("UTF-8");
  // E3 81 82: the lead E3 takes 81, then 82 counts as a lead at the very end.
  EXPECT_EQ("%E3%81%82", narrow(URLEncoder::encode(u"\u3042"_s)));
  EXPECT_EQ("%C3%A9t%C3%A9", narrow(URLEncoder::encode(u"\u00E9t\u00E9"_s)));
}
