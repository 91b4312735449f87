#include <gtest/gtest.h>

#include "service/ControlEndpoint.h"
#include "service/DataWriter.h"
#include "service/ProtocolError.h"
#include "service/QueryString.h"
#include "service/SessionCipher.h"

namespace vesktest {
namespace {

TEST(DataWriter, WritesTheHandsetsBinaryEncoding) {
  struct Case {
    std::string text, bytes;
  } cases[] = {
      {"", std::string("\x00\x00", 2)},
      {"A", std::string("\x00\x01"
                        "A",
                        3)},
      {std::string("\0", 1), std::string("\x00\x02\xC0\x80", 4)},
      {"\xE3\x81\x82", std::string("\x00\x03\xE3\x81\x82", 5)},  // U+3042
      {"\xC3\xA9", std::string("\x00\x02\xC3\xA9", 4)},          // U+00E9
      {"\xF0\x9F\x98\x80",
       std::string("\x00\x06\xED\xA0\xBD\xED\xB8\x80", 8)},  // a surrogate pair, unit by unit
  };
  for (const auto& c : cases) {
    vesk::DataWriter w;
    w.writeUTF(c.text);
    EXPECT_EQ(w.bytes(), c.bytes) << c.text;
  }
  vesk::DataWriter w;
  w.writeInt(-2);
  w.writeShort(-2);
  w.writeByte(0x1FF);
  EXPECT_EQ(w.bytes(), std::string("\xFF\xFF\xFF\xFE\xFF\xFE\xFF", 7));
  EXPECT_THROW(w.writeUTF(std::string(70000, 'x')), vesk::ProtocolError);
}

TEST(SessionCipher, AnswersDecryptExactlyUnderTheHandsetsTrimmingRule) {
  std::string key(32, 'K'), iv(16, 'V');
  vesk::SessionCipher cipher(key, iv);
  for (size_t n : {0u, 1u, 15u, 16u, 17u, 32u, 100u}) {
    for (char last : {'\x00', '\xFF', 'a'}) {
      std::string plain(n, 'p');
      if (n) plain.back() = last;
      std::string c = cipher.encrypt(plain);
      EXPECT_EQ(c.size() % 16, 0u);
      EXPECT_EQ(cipher.decrypt(c), plain) << n << " " << int(last);
    }
  }
}

TEST(SessionCipher, DecryptsWhatTheHandsetSends) {
  std::string key(32, 'k'), iv(16, 'i');
  vesk::SessionCipher c(key, iv);
  struct Case {
    std::string plain, expected;
  } cases[] = {
      {"c=H", "c=H"},                                         // marked short block
      {std::string(16, 'q'), std::string(16, 'q')},           // whole block, no marker
      {std::string(15, 'q') + '\xFF', std::string(15, 'q')},  // a whole block ending in 0xFF loses it
      {std::string(16, 'q') + std::string(16, '\0'),
       std::string(16, 'q')},  // all-zero last block carries nothing
  };
  for (const auto& cs : cases) {
    // the handset marks the end only when the length is not whole blocks
    std::string p = cs.plain;
    if (p.size() % 16) {
      p.push_back('\xFF');
      p.append((16 - p.size() % 16) % 16, '\0');
    }
    EXPECT_EQ(c.decrypt(c.encryptBlocks(p)), cs.expected);
  }
  EXPECT_THROW(c.decrypt(""), vesk::ProtocolError);
  EXPECT_THROW(c.decrypt(std::string(15, 'x')), vesk::ProtocolError);
  EXPECT_THROW(vesk::SessionCipher(std::string(31, 'k'), iv), vesk::ProtocolError);
}

TEST(QueryString, KeepsOrderAndDecodesValues) {
  vesk::QueryString q("c=H&u=http%3A%2F%2Fa%2Fb+c&f&css&bt=-3&n=12x&e=");
  EXPECT_EQ(q.get("u"), "http://a/b c");
  EXPECT_TRUE(q.has("f"));
  EXPECT_TRUE(q.has("e"));
  EXPECT_FALSE(q.has("tc"));
  EXPECT_EQ(q.getInt("bt", 0), -3);
  EXPECT_EQ(q.getInt("n", 5), 5);
  ASSERT_EQ(q.pairs().size(), 7u);
  EXPECT_EQ(q.pairs()[3].first, "css");
  EXPECT_EQ(vesk::QueryString::decode("%4"), "%4");
  EXPECT_EQ(vesk::QueryString::encode("a b/\xE3"), "a+b%2F%E3");
}

TEST(ControlEndpoint, AcceptsOnlyLoopbackCallers) {
  const std::pair<const char*, bool> cases[] = {
      {"127.0.0.1", true}, {"127.8.9.10", true},     {"::1", true}, {"::ffff:127.0.0.1", true},
      {"10.0.0.1", false}, {"192.168.1.127", false}, {"", false},   {"::ffff:10.0.0.1", false},
  };
  for (const auto& c : cases) EXPECT_EQ(vesk::ControlEndpoint::isLoopback(c.first), c.second) << c.first;
}

}  // namespace
}  // namespace vesktest
