#pragma once

#include <cstdint>

#include "vwt/crypto/UICore.h"
#include "vwt/lang/AutoPtr.h"
#include "vwt/lang/Object.h"

// The public-key half of RSA with 1024-bit numbers and the exponent 65537,
// in Montgomery arithmetic with R = 2^1024. No padding: the caller gives a
// block whose value is below the modulus.
//
// encrypt gives z = x^65537 * R^-65536 mod N; the holder of the private key
// undoes the R factor. Not locked: the work numbers belong to the object.
class RSAClient : public Object {
 public:
  enum { BYTES = 128, BITS = 1024 };

  // The modulus N and the Montgomery factor N' = -N^-1 mod 2^1024, both
  // big-endian. N' is taken as given.
  RSAClient(const char* modulus, int modulusLength, const char* factor, int factorLength);
  RSAClient(const RSAClient& other);
  RSAClient& operator=(const RSAClient& other);
  ~RSAClient() override;

  // Writes 128 bytes (leading zeros kept) to out. The input is read as a
  // big-endian number, left-padded when shorter than 128 bytes; of a longer
  // one only the last 128 bytes count.
  void encrypt(const char* in, int length, char* out);

 private:
  enum { LIMBS = BITS / 64 };

  // result = a * b * R^-1 mod N for a, b < N, on numbers in the working
  // order. result may be a or b.
  void MontgomeryMul(uint64_t* result, const uint64_t* a, const uint64_t* b);
  void prepare();

  AutoPtr<UICore> n_;       // the modulus
  AutoPtr<UICore> nPrime_;  // -N^-1 mod R
  // Work numbers, made once with the object. The arithmetic runs on limbs
  // in the opposite order, least significant first, so that a product
  // column is a run of consecutive limbs.
  uint64_t modulus_[LIMBS];  // N, least significant limb first
  uint64_t n0_;              // -N^-1 mod 2^64, the lowest limb of N'
  uint64_t x_[LIMBS];
  uint64_t y_[LIMBS];
  uint64_t m_[LIMBS];  // the multiples of N chosen by the reduction
};
