#include "vwt/crypto/RSAClient.h"

#include <cstring>

namespace {

typedef unsigned __int128 u128;
const int LIMBS = RSAClient::BITS / 64;

// The three-limb column accumulator (c2:c1:c0) += x * y.
#define VWT_MAC(x, y)                                    \
  do {                                                   \
    u128 p_ = static_cast<u128>(x) * (y);                \
    u128 s_ = ((static_cast<u128>(c1) << 64) | c0) + p_; \
    c2 += s_ < p_;                                       \
    c0 = static_cast<uint64_t>(s_);                      \
    c1 = static_cast<uint64_t>(s_ >> 64);                \
  } while (0)

// r = a * b * 2^-1024 mod n, all least significant limb first, with
// Montgomery reduction interleaved column by column (product scanning): at
// column k < 16 the multiple m[k] of N is chosen that clears the column, so
// that U = a * b + m * N is a multiple of R = 2^1024, and r = U / R. m is
// the same m as (a * b mod R) * N' mod R, so only N' mod 2^64 (n0) is used.
// U / R is below 2N but may need a 1025th bit; then, or when it is not below
// N, N is subtracted once (the wrap modulo 2^1024 absorbs the bit).
void montgomery(uint64_t* r, const uint64_t* a, const uint64_t* b, const uint64_t* n, uint64_t n0,
                uint64_t* m) {
  uint64_t c0 = 0, c1 = 0, c2 = 0;
#pragma GCC unroll 16
  for (int k = 0; k < LIMBS; ++k) {
#pragma GCC unroll 16
    for (int i = 0; i < k; ++i) {
      VWT_MAC(a[i], b[k - i]);
      VWT_MAC(m[i], n[k - i]);
    }
    VWT_MAC(a[k], b[0]);
    m[k] = c0 * n0;
    VWT_MAC(m[k], n[0]);
    c0 = c1;
    c1 = c2;
    c2 = 0;
  }
#pragma GCC unroll 16
  for (int k = LIMBS; k < 2 * LIMBS - 1; ++k) {
#pragma GCC unroll 16
    for (int i = k - LIMBS + 1; i < LIMBS; ++i) {
      VWT_MAC(a[i], b[k - i]);
      VWT_MAC(m[i], n[k - i]);
    }
    r[k - LIMBS] = c0;
    c0 = c1;
    c1 = c2;
    c2 = 0;
  }
  r[LIMBS - 1] = c0;
  bool subtract = c1 != 0;
  if (!subtract) {
    subtract = true;  // r == n also subtracts
    for (int i = LIMBS - 1; i >= 0; --i)
      if (r[i] != n[i]) {
        subtract = r[i] > n[i];
        break;
      }
  }
  if (subtract) {
    uint64_t borrow = 0;
    for (int i = 0; i < LIMBS; ++i) {
      u128 d = static_cast<u128>(r[i]) - n[i] - borrow;
      r[i] = static_cast<uint64_t>(d);
      borrow = static_cast<uint64_t>(d >> 64) & 1;
    }
  }
}
#undef VWT_MAC

// A UICore (most significant limb first) in the working order.
void toWorking(uint64_t* out, const UICore& v) {
  const uint64_t* l = v.limbs();
  for (int i = 0; i < LIMBS; ++i) out[i] = l[LIMBS - 1 - i];
}
// Big-endian bytes, left-padded to 128 (of more, the last 128 count), into
// the working order, and back.
void bytesToWorking(uint64_t* out, const char* in, int length) {
  memset(out, 0, LIMBS * sizeof(uint64_t));
  if (!in || length <= 0) return;
  const int width = LIMBS * 8;
  if (length > width) {
    in += length - width;
    length = width;
  }
  const unsigned char* b = reinterpret_cast<const unsigned char*>(in);
  // Byte i from the end is bits 8i..8i+7.
  for (int i = 0; i < length; ++i) out[i / 8] |= static_cast<uint64_t>(b[length - 1 - i]) << (8 * (i % 8));
}
void workingToBytes(char* out, const uint64_t* in) {
  for (int i = 0; i < LIMBS; ++i)
    for (int k = 0; k < 8; ++k) out[8 * (LIMBS - 1 - i) + 7 - k] = static_cast<char>(in[i] >> (8 * k));
}

}  // namespace

RSAClient::RSAClient(const char* modulus, int modulusLength, const char* factor, int factorLength)
    : n_(new UICore(modulus, modulusLength, BITS)), nPrime_(new UICore(factor, factorLength, BITS)) {
  prepare();
}

RSAClient::RSAClient(const RSAClient& other)
    : Object(other), n_(new UICore(*other.n_)), nPrime_(new UICore(*other.nPrime_)) {
  prepare();
}

RSAClient& RSAClient::operator=(const RSAClient& other) {
  if (this != &other) {
    *n_ = *other.n_;
    *nPrime_ = *other.nPrime_;
    prepare();
  }
  return *this;
}

RSAClient::~RSAClient() = default;

void RSAClient::prepare() {
  toWorking(modulus_, *n_);
  n0_ = nPrime_->limbs()[LIMBS - 1];
  memset(x_, 0, sizeof x_);
  memset(y_, 0, sizeof y_);
  memset(m_, 0, sizeof m_);
}

void RSAClient::MontgomeryMul(uint64_t* result, const uint64_t* a, const uint64_t* b) {
  montgomery(result, a, b, modulus_, n0_, m_);
}

void RSAClient::encrypt(const char* in, int length, char* out) {
  // x^65537 = x * (x^(2^16)): sixteen squarings, then one product.
  bytesToWorking(x_, in, length);
  memcpy(y_, x_, sizeof y_);
  for (int i = 0; i < 16; ++i) MontgomeryMul(y_, y_, y_);
  MontgomeryMul(y_, x_, y_);
  workingToBytes(out, y_);
}
