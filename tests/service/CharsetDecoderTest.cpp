// Character sets to UTF-8, and the cookies of a Set-Cookie header.
#include <gtest/gtest.h>

#include "service/fetch/CharsetDecoder.h"
#include "service/fetch/SetCookieParser.h"

namespace vesktest {
namespace {

using vesk::CharsetDecoder;

TEST(CharsetDecoderTest, TheCharsetComesFromTheMarkTheHeaderTheMetaOrAGuess) {
  struct Case {
    std::string bytes, contentType, charset, text;
  } cases[] = {
      {"\xEF\xBB\xBFhi", "text/html; charset=shift_jis", "utf-8", "hi"},
      {std::string("\xFF\xFEh\0i\0", 6), "", "utf-16le", "hi"},
      {"\x93\xfa", "text/html; charset=\"Shift_JIS\"", "shift_jis", "\xe6\x97\xa5"},
      {"<meta charset='x-sjis'>\x93\xfa", "text/html", "x-sjis", "\xe6\x97\xa5"},
      {"<META HTTP-EQUIV=\"content-type\" CONTENT=\"text/html;charset=EUC-JP\">\xc6\xfc", "", "euc-jp",
       "\xe6\x97\xa5"},
      {"caf\xc3\xa9", "text/html", "utf-8", "caf\xc3\xa9"},
      {"caf\xe9", "text/html", "windows-1252", "caf\xc3\xa9"},
      {"caf\xe9", "text/html; charset=no-such-set", "no-such-set", "caf\xef\xbf\xbd"},
      {"a\x82", "text/html; charset=shift_jis", "shift_jis", "a\xef\xbf\xbd"},
  };
  for (const Case& c : cases) {
    CharsetDecoder::Result r = CharsetDecoder::decode(c.bytes, c.contentType, true);
    EXPECT_EQ(r.charset, c.charset) << c.bytes;
    EXPECT_NE(r.text.find(c.text), std::string::npos) << c.bytes << " -> " << r.text;
    EXPECT_TRUE(CharsetDecoder::isUtf8(r.text)) << c.bytes;
  }
}

TEST(CharsetDecoderTest, SetCookieBecomesTheHandsetsCookie) {
  const std::time_t now = 1700000000;  // Tue, 14 Nov 2023 22:13:20 GMT
  struct Case {
    std::string header;
    bool accepted;
    std::string domain, path;
    int32_t lifetime, flags;
  } cases[] = {
      {"a=1", true, "www.shop.example", "/cart", 0, 0},
      {"a=1; Path=/; Domain=.shop.example; Secure", true, "shop.example", "/", 0, 0x1},
      {"a=1; Domain=example", true, "example", "/cart", 0, 0},
      {"a=1; Domain=other.example", false, "", "", 0, 0},
      {"a=1; Domain=op.example", false, "", "", 0, 0},
      {"a=1; Max-Age=60; Expires=Wed, 15 Nov 2023 22:13:20 GMT", true, "www.shop.example", "/cart", 60, 0},
      {"a=1; Expires=Wed, 15 Nov 2023 22:13:20 GMT", true, "www.shop.example", "/cart", 86400, 0},
      {"a=1; Expires=Mon, 13 Nov 2023 22:13:20 GMT", true, "www.shop.example", "/cart", -1, 0},
      {"a=1; Max-Age=0; HttpOnly", true, "www.shop.example", "/cart", -1, 0x2},
      {"a=1; Path=relative", true, "www.shop.example", "/cart", 0, 0},
      {"=1", false, "", "", 0, 0},
      {"novalue", false, "", "", 0, 0},
  };
  for (const Case& c : cases) {
    auto cookie = vesk::SetCookieParser::parse(c.header, "www.shop.example", "/cart/view", now);
    ASSERT_EQ(cookie.has_value(), c.accepted) << c.header;
    if (!cookie) continue;
    EXPECT_EQ(cookie->name, "a");
    EXPECT_EQ(cookie->value, "1");
    EXPECT_EQ(cookie->domain, c.domain) << c.header;
    EXPECT_EQ(cookie->path, c.path) << c.header;
    EXPECT_EQ(cookie->lifetime, c.lifetime) << c.header;
    EXPECT_EQ(cookie->flags, c.flags) << c.header;
  }
}

}  // namespace
}  // namespace vesktest
