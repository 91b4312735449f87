#include <gtest/gtest.h>
#include <openssl/sha.h>

#include <cstring>
#include <string>

#include "browser/service/CipherManager.h"
#include "browser/shell/SessionCore.h"

namespace {

TEST(CipherManager, NewKeyIsRandomWithDigestAndSevenDays) {
  CipherManager a(nullptr), b(nullptr);
  EXPECT_FALSE(a.isSessionKeyValid());
  a.newSessionKey();
  b.newSessionKey();
  EXPECT_TRUE(a.isSessionKeyValid());
  ASSERT_EQ(32u, a.getSessionKey().size());
  EXPECT_NE(a.getSessionKey(), b.getSessionKey());
  EXPECT_GT(a.getKeyExpiry(), 0);
  a.newIv();
  EXPECT_EQ(16u, a.getIv().size());
  a.clear();
  EXPECT_FALSE(a.isSessionKeyValid());
  EXPECT_EQ(0, a.getKeyExpiry());
}

TEST(CipherManager, KeyBlockLayout) {
  CipherManager m(nullptr);
  m.newSessionKey();
  m.newIv();
  struct Case {
    std::string id;
    int copied;
  } cases[] = {{std::string(40, 'a') + "XYZ", 31}, {"WM_ab", 5}};
  for (const Case& c : cases) {
    char block[128];
    memset(block, 0x55, sizeof block);
    m.makeKeyBlock(0x01020304, String(c.id.c_str()), block);
    for (int i : {0, 1, 2, 3}) EXPECT_EQ(0, block[i]);
    for (int i = 111; i < 128; ++i) EXPECT_EQ(0, block[i]);
    EXPECT_EQ(0, memcmp(block + 4, m.getSessionKey().data(), 32));
    unsigned char digest[20];
    SHA1(reinterpret_cast<const unsigned char*>(m.getSessionKey().data()), 32, digest);
    EXPECT_EQ(0, memcmp(block + 36, digest, 20));
    EXPECT_EQ(0, memcmp(block + 56, m.getIv().data(), 16));
    EXPECT_EQ(0, memcmp(block + 72, "\x01\x02\x03\x04", 4));
    EXPECT_EQ(0, memcmp(block + 76, c.id.data(), c.copied));
    for (int i = 76 + c.copied; i < 107; ++i) EXPECT_EQ(0, block[i]) << i;
    EXPECT_EQ(0, memcmp(block + 107, "QKWM", 4));
  }
}

TEST(CipherManager, PublicKeyRecordNeedsBothDigests) {
  CipherManager m(nullptr);
  unsigned char record[296];
  for (int i = 0; i < 256; ++i) record[i] = static_cast<unsigned char>(i * 7 + 1);
  record[0] = 0xC1;  // a 1024-bit modulus
  SHA1(record, 128, record + 256);
  SHA1(record + 128, 128, record + 276);
  const char* r = reinterpret_cast<const char*>(record);
  record[280] ^= 1;
  EXPECT_FALSE(m.setServerKey(r, 296));
  EXPECT_FALSE(m.isServerKeyValid());
  record[280] ^= 1;
  EXPECT_FALSE(m.setServerKey(r, 295));
  EXPECT_TRUE(m.setServerKey(r, 296));
  EXPECT_TRUE(m.isServerKeyValid());
  char block[128] = {}, out[128];
  EXPECT_TRUE(m.encryptKeyBlock(block, out));
}

int wide(char16_t) { return 70; }
int byCode(char16_t c) { return c == u'A' ? 0 : (c == u'B' ? 63 : 5); }

TEST(CharWidthTable, OneLetterPerCodePoint) {
  String all = SessionCore::makeCharWidthTable(wide);
  ASSERT_EQ(851, all.length());
  for (int i = 0; i < all.length(); ++i) ASSERT_EQ(u'_', all.charAt(i));
  String mixed = SessionCore::makeCharWidthTable(byCode);
  EXPECT_EQ(u'A', mixed.charAt('A' - 0x20));
  EXPECT_EQ(u'_', mixed.charAt('B' - 0x20));
  EXPECT_EQ(u'F', mixed.charAt(0));
}

}  // namespace
