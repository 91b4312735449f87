#include <gtest/gtest.h>
#include <openssl/bn.h>

#include <memory>

#include "tests/vwt/crypto/CryptoTestSupport.h"
#include "vwt/crypto/RSAClient.h"
#include "vwt/crypto/UICore.h"

using namespace crypto_test;

namespace {

struct BnDeleter {
  void operator()(BIGNUM* b) const { BN_free(b); }
};
typedef std::unique_ptr<BIGNUM, BnDeleter> Bn;
Bn bn() { return Bn(BN_new()); }

Bytes toBytes(const BIGNUM* v, int width = 128) {
  Bytes out(width);
  BN_bn2binpad(v, out.data(), width);
  return out;
}

// A modulus with the Montgomery factor and the expected transform
// x -> x^65537 * R^-65536 mod N, all by OpenSSL.
class Oracle {
 public:
  explicit Oracle(const BIGNUM* modulus)
      : ctx_(BN_CTX_new()), n_(BN_dup(modulus)), nPrime_(bn()), rInv65536_(bn()) {
    Bn r = bn(), inv = bn(), rModN = bn(), rInv = bn(), e = bn();
    BN_one(r.get());
    BN_lshift(r.get(), r.get(), 1024);
    BN_mod_inverse(inv.get(), n_.get(), r.get(), ctx_);
    BN_sub(nPrime_.get(), r.get(), inv.get());
    BN_mod(rModN.get(), r.get(), n_.get(), ctx_);
    BN_mod_inverse(rInv.get(), rModN.get(), n_.get(), ctx_);
    BN_set_word(e.get(), 65536);
    BN_mod_exp(rInv65536_.get(), rInv.get(), e.get(), n_.get(), ctx_);
  }
  ~Oracle() { BN_CTX_free(ctx_); }

  Bytes expected(const BIGNUM* x) {
    Bn e = bn(), y = bn(), z = bn();
    BN_set_word(e.get(), 65537);
    BN_mod_exp(y.get(), x, e.get(), n_.get(), ctx_);
    BN_mod_mul(z.get(), y.get(), rInv65536_.get(), n_.get(), ctx_);
    return toBytes(z.get());
  }
  RSAClient client() {
    Bytes n = toBytes(n_.get()), f = toBytes(nPrime_.get());
    return RSAClient(chars(n), 128, chars(f), 128);
  }
  const BIGNUM* n() const { return n_.get(); }
  BN_CTX* ctx() { return ctx_; }

 private:
  BN_CTX* ctx_;
  Bn n_;
  Bn nPrime_;
  Bn rInv65536_;
};

Bytes encrypt(RSAClient& rsa, const Bytes& in) {
  Bytes out(130, 0xAA);
  rsa.encrypt(chars(in), static_cast<int>(in.size()), reinterpret_cast<char*>(out.data()));
  EXPECT_EQ(out[128], 0xAA);
  out.resize(128);
  return out;
}

std::vector<Bn> moduli() {
  std::vector<Bn> out;
  // Random odd 1024-bit numbers: Montgomery arithmetic needs only N odd.
  for (int i = 0; i < 4; ++i) {
    Bn n = bn();
    BN_rand(n.get(), 1024, BN_RAND_TOP_ONE, BN_RAND_BOTTOM_ODD);
    out.push_back(std::move(n));
  }
  // Near R, where U / R needs a 1025th bit, and just above 2^1023.
  Bn top = bn();
  BN_one(top.get());
  BN_lshift(top.get(), top.get(), 1024);
  BN_sub_word(top.get(), 159);
  out.push_back(std::move(top));
  Bn low = bn();
  BN_one(low.get());
  BN_lshift(low.get(), low.get(), 1023);
  BN_add_word(low.get(), 1);
  out.push_back(std::move(low));
  return out;
}

}  // namespace

TEST(RSAClient, MatchesOpenSslForRandomModuliAndInputs) {
  for (Bn& n : moduli()) {
    Oracle oracle(n.get());
    RSAClient rsa = oracle.client();
    std::vector<Bn> inputs;
    for (int i = 0; i < 6; ++i) {
      Bn x = bn();
      BN_rand_range(x.get(), n.get());
      inputs.push_back(std::move(x));
    }
    Bn edge = bn();
    BN_sub(edge.get(), n.get(), BN_value_one());
    inputs.push_back(std::move(edge));
    Bn one = bn();
    BN_one(one.get());
    inputs.push_back(std::move(one));
    inputs.push_back(bn());  // zero
    for (Bn& x : inputs) EXPECT_EQ(toHex(encrypt(rsa, toBytes(x.get()))), toHex(oracle.expected(x.get())));
  }
}

TEST(RSAClient, ShortInputsAreLeftPadded) {
  Bn n = bn();
  BN_rand(n.get(), 1024, BN_RAND_TOP_ONE, BN_RAND_BOTTOM_ODD);
  Oracle oracle(n.get());
  RSAClient rsa = oracle.client();
  std::mt19937 rng(31);
  for (int length : {1, 20, 100, 127}) {
    Bytes in = randomBytes(rng, length);
    Bytes padded(128 - length, 0);
    padded.insert(padded.end(), in.begin(), in.end());
    Bn x(BN_bin2bn(padded.data(), 128, nullptr));
    Bytes out = encrypt(rsa, in);
    EXPECT_EQ(out, encrypt(rsa, padded)) << length;
    EXPECT_EQ(out, oracle.expected(x.get())) << length;
  }
}

TEST(RSAClient, LeadingZeroBytesOfTheOutputAreKept) {
  Bn n = bn();
  BN_rand(n.get(), 1024, BN_RAND_TOP_ONE, BN_RAND_BOTTOM_ODD);
  Oracle oracle(n.get());
  RSAClient rsa = oracle.client();
  int found = 0;
  for (int tries = 0; tries < 20000 && found < 2; ++tries) {
    Bn x = bn();
    BN_rand_range(x.get(), n.get());
    Bytes expected = oracle.expected(x.get());
    if (expected[0] != 0) continue;
    ++found;
    EXPECT_EQ(encrypt(rsa, toBytes(x.get())), expected);
  }
  EXPECT_GT(found, 0);
}

TEST(RSAClient, CopiesAreDeep) {
  Bn n = bn();
  BN_rand(n.get(), 1024, BN_RAND_TOP_ONE, BN_RAND_BOTTOM_ODD);
  Oracle oracle(n.get());
  Bn other = bn();
  BN_rand(other.get(), 1024, BN_RAND_TOP_ONE, BN_RAND_BOTTOM_ODD);
  Oracle otherOracle(other.get());
  Bn x = bn();
  BN_rand(x.get(), 1000, BN_RAND_TOP_ANY, BN_RAND_BOTTOM_ANY);
  Bytes in = toBytes(x.get());

  RSAClient* original = new RSAClient(oracle.client());
  RSAClient copy(*original);
  RSAClient assigned = otherOracle.client();
  assigned = *original;
  delete original;
  EXPECT_EQ(encrypt(copy, in), oracle.expected(x.get()));
  EXPECT_EQ(encrypt(assigned, in), oracle.expected(x.get()));
  RSAClient untouched = otherOracle.client();
  EXPECT_EQ(encrypt(untouched, in), otherOracle.expected(x.get()));
}

TEST(UICore, BytesLimbsAndViews) {
  Bytes in = fromHex("0102030405060708090a");
  UICore v(chars(in), 10, 128);
  ASSERT_EQ(v.getLimbCount(), 2);
  EXPECT_EQ(v.limbs()[0], 0x0102u);
  EXPECT_EQ(v.limbs()[1], 0x030405060708090aull);
  Bytes out(16);
  v.toBytes(reinterpret_cast<char*>(out.data()));
  EXPECT_EQ(toHex(out),
            "000000000000"
            "0102030405060708090a");

  // Longer than the width: the low-order bytes count.
  Bytes wide = fromHex(
      "ff"
      "00000000000000000000000000000001");
  UICore w(chars(wide), 17, 128);
  EXPECT_EQ(w.limbs()[0], 0u);
  EXPECT_EQ(w.limbs()[1], 1u);

  UICore product(256);
  UICore high(product, 0, 2), low(product, 2, 2);
  EXPECT_FALSE(high.ownsLimbs());
  low = v;
  EXPECT_EQ(product.limbs()[3], 0x030405060708090aull);
  EXPECT_EQ(high.compare(v), -1);
  UICore copy(low);
  EXPECT_TRUE(copy.ownsLimbs());
  EXPECT_EQ(copy.compare(v), 0);
  EXPECT_FALSE(copy.subtract(v));
  EXPECT_EQ(copy.compare(high), 0);
  EXPECT_TRUE(copy.subtract(v));  // wraps: 0 - v
  EXPECT_EQ(copy.limbs()[0], ~0x0102ull);
}
