#include <gtest/gtest.h>
#include <openssl/evp.h>

#include "tests/vwt/crypto/CryptoTestSupport.h"
#include "vwt/crypto/AES256.h"
#include "vwt/crypto/CipherInputStream.h"
#include "vwt/io/ByteArrayInputStream.h"
#include "vwt/lang/Exception.h"

using namespace crypto_test;

namespace {

Bytes opensslCbc(bool encrypt, const Bytes& key, const Bytes& iv, const Bytes& data) {
  EVP_CIPHER_CTX* ctx = EVP_CIPHER_CTX_new();
  EVP_CipherInit_ex(ctx, EVP_aes_256_cbc(), nullptr, key.data(), iv.data(), encrypt ? 1 : 0);
  EVP_CIPHER_CTX_set_padding(ctx, 0);
  Bytes out(data.size() + 16);
  int n = 0, m = 0;
  EVP_CipherUpdate(ctx, out.data(), &n, data.data(), static_cast<int>(data.size()));
  EVP_CipherFinal_ex(ctx, out.data() + n, &m);
  EVP_CIPHER_CTX_free(ctx);
  out.resize(n + m);
  return out;
}

// The stream's plaintext framing: when the length is not whole blocks, 0xFF
// then zeros.
Bytes framed(Bytes plain) {
  if (plain.size() % 16) {
    plain.push_back(0xFF);
    while (plain.size() % 16) plain.push_back(0);
  }
  return plain;
}

// What decrypting gives back: in the last block, a trailing 0xFF and the
// zeros after it go, and an all-zero block goes entirely.
Bytes unframed(Bytes plain) {
  if (plain.empty()) return plain;
  size_t start = plain.size() - 16;
  size_t k = plain.size();
  while (k > start && plain[k - 1] == 0) --k;
  if (k == start)
    plain.resize(start);
  else if (plain[k - 1] == 0xFF)
    plain.resize(k - 1);
  return plain;
}

struct Keys {
  Bytes key, iv;
  AES256 aes;
  explicit Keys(std::mt19937& rng) : key(randomBytes(rng, 32)), iv(randomBytes(rng, 16)) {
    aes.makeKey(chars(key), 3);
    aes.setIV(chars(iv));
  }
};

Bytes runStream(const Bytes& input, AES256& aes, CipherInputStream::DIRECTION dir, int sourceStep,
                int readStep) {
  CipherInputStream in(new ChunkedInputStream(input, sourceStep), &aes, dir);
  return readAll(in, readStep);
}

}  // namespace

TEST(CipherInputStream, EncryptsAsOpenSslDoesTheFramedPlaintext) {
  std::mt19937 rng(21);
  Keys k(rng);
  // Sources that give everything at once or a few bytes per read, and
  // readers that take single bytes, odd amounts or everything.
  const int steps[][2] = {{4096, 4096}, {3, 1}, {1, 7}, {16, 33}, {5, 16}};
  for (int length = 1; length <= 130; ++length) {
    Bytes plain = randomBytes(rng, length);
    Bytes expected = opensslCbc(true, k.key, k.iv, framed(plain));
    for (auto& s : steps)
      EXPECT_EQ(runStream(plain, k.aes, CipherInputStream::ENCRYPT, s[0], s[1]), expected)
          << "length " << length << " steps " << s[0] << "/" << s[1];
  }
}

TEST(CipherInputStream, DecryptsOpenSslCiphertextAndTrimsTheLastBlock) {
  std::mt19937 rng(22);
  Keys k(rng);
  std::vector<Bytes> plains;
  for (int length : {16, 32, 48, 160, 1024}) plains.push_back(randomBytes(rng, length));
  // Last blocks that the trimming rule treats differently.
  Bytes endsInFF = randomBytes(rng, 32);
  endsInFF[31] = 0xFF;
  Bytes ffThenZeros = randomBytes(rng, 32);
  ffThenZeros[20] = 0xFF;
  for (int i = 21; i < 32; ++i) ffThenZeros[i] = 0;
  Bytes zeroLastBlock = randomBytes(rng, 48);
  for (int i = 32; i < 48; ++i) zeroLastBlock[i] = 0;
  Bytes trailingZerosNoMarker = randomBytes(rng, 32);
  trailingZerosNoMarker[25] = 0x42;
  for (int i = 26; i < 32; ++i) trailingZerosNoMarker[i] = 0;
  Bytes onlyMarker(16, 0);
  onlyMarker[0] = 0xFF;
  for (auto& p : {endsInFF, ffThenZeros, zeroLastBlock, trailingZerosNoMarker, onlyMarker})
    plains.push_back(p);

  for (const Bytes& plain : plains) {
    Bytes cipher = opensslCbc(true, k.key, k.iv, plain);
    Bytes expected = unframed(plain);
    for (int step : {1, 5, 16, 100, 4096})
      EXPECT_EQ(runStream(cipher, k.aes, CipherInputStream::DECRYPT, step, step == 1 ? 3 : step), expected)
          << "length " << plain.size() << " step " << step;
  }
  EXPECT_EQ(unframed(endsInFF).size(), 31u);
  EXPECT_EQ(unframed(ffThenZeros).size(), 20u);
  EXPECT_EQ(unframed(zeroLastBlock).size(), 32u);
  EXPECT_EQ(unframed(trailingZerosNoMarker).size(), 32u);
  EXPECT_EQ(unframed(onlyMarker).size(), 0u);
}

TEST(CipherInputStream, RoundTripsThroughBothDirections) {
  std::mt19937 rng(23);
  Keys k(rng);
  for (int length : {1, 15, 17, 31, 33, 100, 1000, 4097}) {
    Bytes plain = randomBytes(rng, length);
    if (plain.back() == 0 || plain.back() == 0xFF) plain.back() = 0x11;
    Bytes cipher = runStream(plain, k.aes, CipherInputStream::ENCRYPT, 4096, 4096);
    EXPECT_EQ(runStream(cipher, k.aes, CipherInputStream::DECRYPT, 7, 13), plain) << length;
  }
  // 15 bytes ending in zero: the marker keeps the zero.
  Bytes zeroEnd(15, 0x33);
  zeroEnd[14] = 0;
  Bytes cipher = runStream(zeroEnd, k.aes, CipherInputStream::ENCRYPT, 4096, 4096);
  EXPECT_EQ(cipher.size(), 16u);
  EXPECT_EQ(runStream(cipher, k.aes, CipherInputStream::DECRYPT, 4096, 4096), zeroEnd);
}

TEST(CipherInputStream, CiphertextOfPartialBlocksIsRejected) {
  std::mt19937 rng(24);
  Keys k(rng);
  Bytes cipher = opensslCbc(true, k.key, k.iv, randomBytes(rng, 48));
  for (size_t length : {1u, 5u, 15u, 17u, 31u, 47u}) {
    Bytes cut(cipher.begin(), cipher.begin() + length);
    try {
      runStream(cut, k.aes, CipherInputStream::DECRYPT, 4096, 4096);
      ADD_FAILURE() << "accepted " << length << " bytes";
    } catch (const Exception& e) {
      EXPECT_TRUE(e.getRawMessage().equals(Resource::getString(-2900))) << narrow(e.getRawMessage());
    }
  }
  Bytes longer = cipher;
  longer.push_back(1);
  EXPECT_THROW(runStream(longer, k.aes, CipherInputStream::DECRYPT, 3, 64), Exception);
}

TEST(CipherInputStream, EmptySourceGivesNothingEitherWay) {
  std::mt19937 rng(25);
  Keys k(rng);
  for (auto dir : {CipherInputStream::ENCRYPT, CipherInputStream::DECRYPT}) {
    auto* source = new ChunkedInputStream(Bytes(), 16);
    CipherInputStream in(source, &k.aes, dir);
    char buf[16];
    EXPECT_EQ(in.read(buf, 0, 16), -1);
    EXPECT_EQ(in.read(), -1);
    EXPECT_EQ(source->readsAfterEnd(), 1) << "the source is not read again after its end";
  }
}

TEST(CipherInputStream, LengthsAndOffsets) {
  std::mt19937 rng(26);
  Keys k(rng);
  Bytes plain = randomBytes(rng, 40);
  CipherInputStream in(new ChunkedInputStream(plain, 4096), &k.aes, CipherInputStream::ENCRYPT);
  char buf[64] = {};
  EXPECT_EQ(in.read(buf, 0, 0), 0);
  EXPECT_THROW(in.read(buf, 0, -1), Exception);
  try {
    in.read(buf, 0, -5);
  } catch (const Exception& e) {
    EXPECT_EQ(narrow(e.getRawMessage()), "IndexOutOfBoundsException at CipherInputStream read()");
  }
  EXPECT_EQ(in.read(buf, 10, 50), 48);
  Bytes expected = opensslCbc(true, k.key, k.iv, framed(plain));
  EXPECT_EQ(Bytes(buf + 10, buf + 58), expected);
  EXPECT_EQ(buf[9], 0);
  EXPECT_EQ(in.read(buf, 0, 1), -1);
}

TEST(CipherInputStream, EachStreamStartsFromTheIv) {
  std::mt19937 rng(27);
  Keys k(rng);
  Bytes plain = randomBytes(rng, 32);
  Bytes first = runStream(plain, k.aes, CipherInputStream::ENCRYPT, 4096, 4096);
  Bytes second = runStream(plain, k.aes, CipherInputStream::ENCRYPT, 4096, 4096);
  EXPECT_EQ(first, second);
  // A chain left half-way by a step operation does not leak into a stream.
  char scratch[16];
  k.aes.stepEncrypt(chars(plain), scratch);
  EXPECT_EQ(runStream(plain, k.aes, CipherInputStream::ENCRYPT, 4096, 4096), first);
}

TEST(CipherInputStream, OverByteArrayInputStreamAndOwnership) {
  std::mt19937 rng(28);
  Keys k(rng);
  Bytes plain = randomBytes(rng, 5000);
  plain.back() = 0x10;
  Bytes cipher = opensslCbc(true, k.key, k.iv, framed(plain));
  {
    CipherInputStream in(new ByteArrayInputStream(chars(cipher), 0, static_cast<int>(cipher.size())), &k.aes,
                         CipherInputStream::DECRYPT);
    EXPECT_EQ(readAll(in, 5000), plain);
  }
  ChunkedInputStream kept(cipher, 64);
  {
    CipherInputStream in(&kept, &k.aes, CipherInputStream::DECRYPT);
    in.setDeleteSource(false);
    EXPECT_EQ(in.read(), plain[0]);
    in.close();
  }
  EXPECT_TRUE(kept.closed());
}
