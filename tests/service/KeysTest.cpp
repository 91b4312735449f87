#include <openssl/bn.h>

#include "ServiceHarness.h"
#include "WireReader.h"

namespace vesktest {
namespace {

using KeyTest = ServiceHarness;

TEST_F(KeyTest, PublicKeyRecordHoldsModulusFactorAndDigests) {
  std::string rec = client_->fetchPublicKey();
  ASSERT_EQ(rec.size(), 296u);
  BN_CTX* ctx = BN_CTX_new();
  BIGNUM *n = BN_new(), *f = BN_new(), *p = BN_new(), *r = BN_new();
  BN_bin2bn(reinterpret_cast<const unsigned char*>(rec.data()), 128, n);
  BN_bin2bn(reinterpret_cast<const unsigned char*>(rec.data() + 128), 128, f);
  EXPECT_EQ(BN_num_bits(n), 1024);
  // N * N' = -1 mod 2^1024
  BN_mul(p, n, f, ctx);
  BN_add_word(p, 1);
  BN_mask_bits(p, 1024);
  EXPECT_TRUE(BN_is_zero(p));
  for (BIGNUM* b : {n, f, p, r}) BN_free(b);
  BN_CTX_free(ctx);
}

TEST_F(KeyTest, PublicKeySurvivesRestartThroughTheStateDirectory) {
  std::string first = client_->fetchPublicKey();
  vesk::ServiceConfig c;
  c.port = 0;
  c.stateDir = dir_ + "/state";
  vesk::RenderService second(c);
  HandsetClient other(second.start());
  EXPECT_EQ(other.fetchPublicKey(), first);
}

TEST_F(KeyTest, KeyExchangeWithUserIdZeroAssignsANewPositiveId) {
  std::string rec = client_->fetchPublicKey();
  ASSERT_EQ(client_->exchangeKeys(rec, 0), 0);
  int32_t first = client_->userId();
  EXPECT_GT(first, 0);
  HandsetClient other(port_);
  ASSERT_EQ(other.exchangeKeys(rec, 0), 0);
  EXPECT_GT(other.userId(), 0);
  EXPECT_NE(other.userId(), first);
}

TEST_F(KeyTest, KeyExchangeWithAKnownIdKeepsIt) {
  std::string rec = client_->fetchPublicKey();
  ASSERT_EQ(client_->exchangeKeys(rec, 4242), 0);
  EXPECT_EQ(client_->userId(), 4242);
  // a second exchange for the same user replaces the session key
  std::string oldKey = client_->key();
  ASSERT_EQ(client_->exchangeKeys(rec, 4242), 0);
  EXPECT_EQ(client_->userId(), 4242);
  EXPECT_NE(client_->key(), oldKey);
  auto env = client_->page("c=H&ib=4242&bt=0&fl=1");
  EXPECT_FALSE(env.empty());
}

TEST_F(KeyTest, StaleKeyIsAnsweredWithStatusOneAndTheCurrentRecord) {
  std::string oldRec = client_->fetchPublicKey();
  ASSERT_EQ(client_->control("rotate-key").status, 200);
  std::string answer;
  EXPECT_EQ(client_->exchangeKeys(oldRec, 0, &answer), 1);
  ASSERT_EQ(answer.size(), 297u);
  std::string newRec = answer.substr(1);
  EXPECT_NE(newRec.substr(0, 128), oldRec.substr(0, 128));
  EXPECT_EQ(newRec, client_->fetchPublicKey());
  EXPECT_EQ(client_->exchangeKeys(newRec, 0), 0);
}

TEST_F(KeyTest, MalformedKeyExchangeBlocksAreRefusedWithStatusOne) {
  std::string rec = client_->fetchPublicKey();
  std::string noCode(128, '\0');  // decrypts, but carries no application code
  const std::string bodies[] = {
      std::string(),             // empty
      std::string(5, 'x'),       // short
      std::string(200, 'x'),     // long
      std::string(128, '\xFF'),  // not below the modulus
      HandsetClient::montgomeryEncrypt(rec, noCode),
  };
  for (const auto& b : bodies) {
    auto r = client_->post("vesk-keyexchange", b);
    EXPECT_EQ(r.status, 200);
    ASSERT_EQ(r.body.size(), 297u) << b.size();
    EXPECT_EQ(r.body[0], '\x01');
    EXPECT_EQ(r.body.substr(1), rec);
  }
}

TEST_F(KeyTest, KeyExchangeWithAWrongKeyDigestIsRefused) {
  std::string rec = client_->fetchPublicKey();
  std::string block(128, '\0');
  block.replace(4, 32, std::string(32, 'k'));
  block.replace(36, 20, std::string(20, 'd'));  // not SHA-1 of the key
  block.replace(107, 4, "QKWM");
  auto r = client_->post("vesk-keyexchange", HandsetClient::montgomeryEncrypt(rec, block));
  ASSERT_FALSE(r.body.empty());
  EXPECT_EQ(r.body[0], '\x01');
}

}  // namespace
}  // namespace vesktest
