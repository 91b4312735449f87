#pragma once

#include <memory>
#include <optional>
#include <string>

typedef struct evp_pkey_st EVP_PKEY;
typedef struct bignum_st BIGNUM;

namespace vesk {

// The service's RSA-1024 key (public exponent 65537) and the two operations the handset
// needs from it: the 296-byte public-key record, and undoing the handset's Montgomery-form
// encryption z = x^65537 * R^-65536 mod N (R = 2^1024).
class RsaKeyPair {
 public:
  static constexpr size_t BYTES = 128;
  static constexpr size_t RECORD_BYTES = 296;

  static std::unique_ptr<RsaKeyPair> generate();
  // Reads a PEM private key; throws ProtocolError when it is unreadable or not RSA-1024/65537.
  static std::unique_ptr<RsaKeyPair> load(const std::string& pemPath);
  // Writes the PEM private key (mode 0600) through a temporary file.
  void save(const std::string& pemPath) const;

  ~RsaKeyPair();
  RsaKeyPair(const RsaKeyPair&) = delete;
  RsaKeyPair& operator=(const RsaKeyPair&) = delete;

  // modulus N, factor N' = -N^-1 mod 2^1024, SHA-1(N), SHA-1(N').
  const std::string& publicRecord() const { return record_; }
  const std::string& modulus() const { return modulus_; }
  // x recovered from a 128-byte ciphertext, or nothing when the input is not a value
  // below N of the right length.
  std::optional<std::string> recover(const std::string& z) const;

 private:
  explicit RsaKeyPair(EVP_PKEY* key);

  EVP_PKEY* key_;
  BIGNUM* n_ = nullptr;
  BIGNUM* montgomeryFix_ = nullptr;  // R^65536 mod N
  std::string modulus_;
  std::string record_;
};

}  // namespace vesk
