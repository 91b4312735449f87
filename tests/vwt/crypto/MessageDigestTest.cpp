#include <gtest/gtest.h>
#include <openssl/sha.h>

#include "tests/vwt/crypto/CryptoTestSupport.h"
#include "vwt/crypto/MessageDigest.h"
#include "vwt/lang/Exception.h"

using namespace crypto_test;

namespace {

MessageDigest* sha1() { return MessageDigest::getInstance(u"SHA-1"_s); }

std::string ours(const Bytes& data, int64_t offset = 0, int64_t length = -1) {
  if (length < 0) length = static_cast<int64_t>(data.size()) - offset;
  unsigned char out[20];
  sha1()->digest(chars(data), offset, length, reinterpret_cast<char*>(out));
  return toHex(out, 20);
}

std::string openssl(const unsigned char* p, size_t n) {
  unsigned char out[20];
  SHA1(p, n, out);
  return toHex(out, 20);
}

Bytes text(const std::string& s) { return Bytes(s.begin(), s.end()); }

}  // namespace

TEST(MessageDigest, Fips180Vectors) {
  EXPECT_EQ(ours(Bytes()), "da39a3ee5e6b4b0d3255bfef95601890afd80709");
  EXPECT_EQ(ours(text("abc")), "a9993e364706816aba3e25717850c26c9cd0d89d");
  EXPECT_EQ(ours(text("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq")),
            "84983e441c3bd26ebaae4aa1f95129e5e54670f1");
  EXPECT_EQ(ours(Bytes(1000000, 'a')), "34aa973cd4c4daa4f61eeb2bdbad27316534016f");
}

TEST(MessageDigest, PaddingBoundariesAndRandomBuffersMatchOpenSsl) {
  std::mt19937 rng(41);
  std::vector<size_t> lengths = {55, 56, 63, 64, 65, 119, 120, 128, 16384, 100003};
  for (size_t n = 0; n < 200; ++n) lengths.push_back(n);
  for (size_t n : lengths) {
    Bytes data = randomBytes(rng, n);
    EXPECT_EQ(ours(data), openssl(data.data(), n)) << n;
  }
}

TEST(MessageDigest, OffsetWordsAndNoStateBetweenCalls) {
  std::mt19937 rng(42);
  Bytes data = randomBytes(rng, 300);
  EXPECT_EQ(ours(data, 17, 200), openssl(data.data() + 17, 200));
  EXPECT_EQ(ours(data, 17, 200), ours(data, 17, 200));

  int words[5];
  int* p = words;
  sha1()->digest(chars(data), 0, 300, &p);
  unsigned char expected[20];
  SHA1(data.data(), 300, expected);
  for (int i = 0; i < 5; ++i) {
    uint32_t w = (uint32_t(expected[4 * i]) << 24) | (uint32_t(expected[4 * i + 1]) << 16) |
                 (uint32_t(expected[4 * i + 2]) << 8) | expected[4 * i + 3];
    EXPECT_EQ(static_cast<uint32_t>(words[i]), w);
  }
  char out[20];
  EXPECT_THROW(sha1()->digest(chars(data), 0, -1, out), Exception);
  EXPECT_THROW(sha1()->digest(chars(data), -1, 10, out), Exception);
}

TEST(MessageDigest, OneInstancePerNameAndOnlySha1) {
  EXPECT_EQ(sha1(), MessageDigest::getInstance(u"SHA-1"_s));
  for (const char16_t* name : {u"MD5", u"sha-1", u"SHA1", u""}) {
    try {
      MessageDigest::getInstance(String(name, false));
      ADD_FAILURE() << "accepted " << narrow(String(name, false));
    } catch (const Exception& e) {
      EXPECT_EQ(narrow(e.getRawMessage()), "NoSuchAlgorithm");
    }
  }
}
