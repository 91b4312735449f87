#include <gtest/gtest.h>
#include <openssl/evp.h>

#include "tests/vwt/crypto/CryptoTestSupport.h"
#include "vwt/crypto/Base64.h"

using namespace crypto_test;

namespace {

std::string decoded(const char16_t* text) {
  VectorV<char> out;
  Base64::decode(String(text, false), out);
  return std::string(out.data(), out.size());
}

}  // namespace

TEST(Base64, Rfc4648VectorsBothWays) {
  const char* cases[][2] = {{"", ""},
                            {"f", "Zg=="},
                            {"fo", "Zm8="},
                            {"foo", "Zm9v"},
                            {"foob", "Zm9vYg=="},
                            {"fooba", "Zm9vYmE="},
                            {"foobar", "Zm9vYmFy"}};
  for (auto& c : cases) {
    std::string plain = c[0];
    EXPECT_EQ(narrow(Base64::encode(plain.data(), static_cast<int>(plain.size()))), c[1]) << plain;
    String text(c[1]);
    VectorV<char> out;
    Base64::decode(text, out);
    EXPECT_EQ(std::string(out.data(), out.size()), plain) << c[1];
  }
}

TEST(Base64, RandomBytesMatchOpenSslAndRoundTrip) {
  std::mt19937 rng(51);
  for (int n = 1; n < 300; n += 7) {
    Bytes data = randomBytes(rng, n);
    std::vector<unsigned char> expected(4 * ((n + 2) / 3) + 1);
    EVP_EncodeBlock(expected.data(), data.data(), n);
    String text = Base64::encode(chars(data), n);
    EXPECT_EQ(narrow(text), std::string(reinterpret_cast<char*>(expected.data()))) << n;
    VectorV<char> out;
    out.addElement('x');  // decode appends
    Base64::decode(text, out);
    ASSERT_EQ(out.size(), n + 1);
    EXPECT_EQ(out.elementAt(0), 'x');
    EXPECT_EQ(0, memcmp(out.data() + 1, data.data(), n)) << n;
  }
}

TEST(Base64, LooseInput) {
  // Line breaks and spaces are skipped; unpadded tails still decode; the
  // first '=' ends the data.
  EXPECT_EQ(decoded(u"Zm9v\r\nYmFy"), "foobar");
  EXPECT_EQ(decoded(u" Zm 9v YmE= "), "fooba");
  EXPECT_EQ(decoded(u"Zm9vYg"), "foob");
  EXPECT_EQ(decoded(u"Zm9vYmE"), "fooba");
  EXPECT_EQ(decoded(u"Zg==Zm9v"), "f");
  EXPECT_EQ(decoded(u"Z"), "");
  EXPECT_EQ(decoded(u"\u3042Zm8="), "fo");
  EXPECT_EQ(Base64::encode(nullptr, 0).length(), 0);
}
