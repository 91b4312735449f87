#include <gtest/gtest.h>
#include <openssl/evp.h>

#include "tests/vwt/crypto/CryptoTestSupport.h"
#include "vwt/crypto/AES256.h"
#include "vwt/lang/Exception.h"

using namespace crypto_test;

namespace {

// OpenSSL's AES-256-CBC without padding: the oracle.
Bytes opensslCbc(bool encrypt, const Bytes& key, const Bytes& iv, const Bytes& data) {
  EVP_CIPHER_CTX* ctx = EVP_CIPHER_CTX_new();
  EVP_CipherInit_ex(ctx, EVP_aes_256_cbc(), nullptr, key.data(), iv.data(), encrypt ? 1 : 0);
  EVP_CIPHER_CTX_set_padding(ctx, 0);
  Bytes out(data.size() + 16);
  int n = 0, m = 0;
  EXPECT_EQ(EVP_CipherUpdate(ctx, out.data(), &n, data.data(), static_cast<int>(data.size())), 1);
  EXPECT_EQ(EVP_CipherFinal_ex(ctx, out.data() + n, &m), 1);
  EVP_CIPHER_CTX_free(ctx);
  out.resize(n + m);
  return out;
}

AES256 keyed(const Bytes& key, const Bytes& iv, int mode = 3) {
  AES256 aes;
  aes.makeKey(chars(key), mode);
  aes.setIV(chars(iv));
  return aes;
}

const char* SP80038A_KEY = "603deb1015ca71be2b73aef0857d77811f352c073b6108d72d9810a30914dff4";
const char* SP80038A_IV = "000102030405060708090a0b0c0d0e0f";
const char* SP80038A_PLAIN =
    "6bc1bee22e409f96e93d7e117393172aae2d8a571e03ac9c9eb76fac45af8e51"
    "30c81c46a35ce411e5fbc1191a0a52eff69f2445df4f9b17ad2b417be66c3710";
const char* SP80038A_CIPHER =
    "f58c4c04d6e5f1ba779eabfb5f7bfbd69cfc4e967edb808d679f777bc6702c7d"
    "39f23369a9d9bacfa530e26304231461b2eb05e2c39be9fcda6c19078c6a9d1b";

}  // namespace

TEST(AES256, Fips197ExampleWithZeroIv) {
  // With a zero IV the first CBC block is the bare cipher.
  Bytes key = fromHex("000102030405060708090a0b0c0d0e0f101112131415161718191a1b1c1d1e1f");
  Bytes plain = fromHex("00112233445566778899aabbccddeeff");
  AES256 aes;
  aes.makeKey(chars(key), 3);
  Bytes out(16);
  EXPECT_EQ(aes.encrypt(chars(plain), 16, reinterpret_cast<char*>(out.data())), 16);
  EXPECT_EQ(toHex(out), "8ea2b7ca516745bfeafc49904b496089");
  Bytes back(16);
  aes.decrypt(reinterpret_cast<char*>(out.data()), 16, reinterpret_cast<char*>(back.data()));
  EXPECT_EQ(back, plain);
}

TEST(AES256, Sp80038aCbcVectorsWholeAndStepwise) {
  Bytes key = fromHex(SP80038A_KEY), iv = fromHex(SP80038A_IV), plain = fromHex(SP80038A_PLAIN);
  AES256 aes = keyed(key, iv);
  Bytes out(64);
  EXPECT_EQ(aes.encrypt(chars(plain), 64, reinterpret_cast<char*>(out.data())), 64);
  EXPECT_EQ(toHex(out), SP80038A_CIPHER);
  Bytes back(64);
  EXPECT_EQ(aes.decrypt(chars(out), 64, reinterpret_cast<char*>(back.data())), 64);
  EXPECT_EQ(back, plain);

  // The step operations run the same chain block by block.
  Bytes steps(64), stepBack(64);
  aes.initStep();
  for (int i = 0; i < 64; i += 16)
    aes.stepEncrypt(chars(plain) + i, reinterpret_cast<char*>(steps.data()) + i);
  EXPECT_EQ(toHex(steps), SP80038A_CIPHER);
  aes.initStep();
  for (int i = 0; i < 64; i += 16)
    aes.stepDecrypt(chars(steps) + i, reinterpret_cast<char*>(stepBack.data()) + i);
  EXPECT_EQ(stepBack, plain);
  // encrypt and decrypt leave the step chain alone.
  aes.initStep();
  Bytes first(16);
  aes.stepEncrypt(chars(plain), reinterpret_cast<char*>(first.data()));
  aes.encrypt(chars(plain), 64, reinterpret_cast<char*>(out.data()));
  aes.stepEncrypt(chars(plain) + 16, reinterpret_cast<char*>(first.data()));
  EXPECT_EQ(toHex(first), std::string(SP80038A_CIPHER).substr(32, 32));
}

TEST(AES256, EncryptCompletesTheLastBlockWith0xFFAsOpenSslDoes) {
  std::mt19937 rng(11);
  for (int length = 1; length <= 200; length += (length < 40 ? 1 : 13)) {
    Bytes key = randomBytes(rng, 32), iv = randomBytes(rng, 16), plain = randomBytes(rng, length);
    Bytes completed = plain;
    while (completed.size() % 16) completed.push_back(0xFF);
    Bytes expected = opensslCbc(true, key, iv, completed);

    AES256 aes = keyed(key, iv);
    Bytes out(completed.size() + 16, 0xAA);
    int n = aes.encrypt(chars(plain), length, reinterpret_cast<char*>(out.data()));
    ASSERT_EQ(n, static_cast<int>(completed.size())) << length;
    EXPECT_EQ(out[n], 0xAA) << "wrote past the blocks, length " << length;
    out.resize(n);
    EXPECT_EQ(out, expected) << length;

    Bytes back(n);
    EXPECT_EQ(aes.decrypt(chars(out), n, reinterpret_cast<char*>(back.data())), n);
    EXPECT_EQ(back, completed) << length;
  }
}

TEST(AES256, TwentyBytesGiveTwoBlocksTheSecondEndingInTwelve0xFF) {
  Bytes key(32, 7), iv(16, 1), plain(20, 0x41);
  AES256 aes = keyed(key, iv);
  Bytes out(32);
  EXPECT_EQ(aes.encrypt(chars(plain), 20, reinterpret_cast<char*>(out.data())), 32);
  Bytes back(32);
  aes.decrypt(chars(out), 32, reinterpret_cast<char*>(back.data()));
  EXPECT_EQ(Bytes(back.begin() + 16, back.begin() + 20), Bytes(4, 0x41));
  EXPECT_EQ(Bytes(back.begin() + 20, back.end()), Bytes(12, 0xFF));
}

TEST(AES256, DecryptIgnoresAPartialTailAndWorksInPlace) {
  std::mt19937 rng(5);
  Bytes key = randomBytes(rng, 32), iv = randomBytes(rng, 16), plain = randomBytes(rng, 48);
  Bytes cipher = opensslCbc(true, key, iv, plain);
  AES256 aes = keyed(key, iv);
  Bytes withTail = cipher;
  withTail.push_back(0x55);
  Bytes out(49, 0xAA);
  EXPECT_EQ(aes.decrypt(chars(withTail), 49, reinterpret_cast<char*>(out.data())), 48);
  EXPECT_EQ(Bytes(out.begin(), out.begin() + 48), plain);
  EXPECT_EQ(out[48], 0xAA);
  Bytes inPlace = cipher;
  aes.decrypt(chars(inPlace), 48, reinterpret_cast<char*>(inPlace.data()));
  EXPECT_EQ(inPlace, plain);
  aes.encrypt(chars(inPlace), 48, reinterpret_cast<char*>(inPlace.data()));
  EXPECT_EQ(inPlace, cipher);
}

TEST(AES256, CopiesCarryKeyAndIv) {
  std::mt19937 rng(9);
  Bytes key = randomBytes(rng, 32), iv = randomBytes(rng, 16), plain = randomBytes(rng, 32);
  Bytes expected = opensslCbc(true, key, iv, plain);
  AES256* original = new AES256(keyed(key, iv));
  AES256 copy(*original);
  AES256 assigned;
  assigned = *original;
  delete original;
  for (AES256* aes : {&copy, &assigned}) {
    Bytes out(32);
    aes->encrypt(chars(plain), 32, reinterpret_cast<char*>(out.data()));
    EXPECT_EQ(out, expected);
  }
}

TEST(AES256, OperationsWithoutTheirScheduleThrow) {
  Bytes key(32, 3), block(16, 0), out(16);
  AES256 none;
  EXPECT_THROW(none.encrypt(chars(block), 16, reinterpret_cast<char*>(out.data())), Exception);
  EXPECT_THROW(none.stepDecrypt(chars(block), reinterpret_cast<char*>(out.data())), Exception);
  AES256 encryptOnly;
  encryptOnly.makeKey(chars(key), AES256::ENCRYPT_KEY);
  EXPECT_EQ(encryptOnly.encrypt(chars(block), 16, reinterpret_cast<char*>(out.data())), 16);
  EXPECT_THROW(encryptOnly.decrypt(chars(block), 16, reinterpret_cast<char*>(out.data())), Exception);
}
