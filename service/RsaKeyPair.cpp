#include "service/RsaKeyPair.h"

#include <openssl/bn.h>
#include <openssl/core_names.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/rsa.h>
#include <sys/stat.h>

#include <cstdio>

#include "service/ProtocolError.h"
#include "service/Sha1.h"

namespace vesk {

namespace {

struct BnCtx {
  BN_CTX* ctx = BN_CTX_new();
  ~BnCtx() { BN_CTX_free(ctx); }
};

struct Bn {
  BIGNUM* v = BN_new();
  ~Bn() { BN_free(v); }
};

std::string toBytes(const BIGNUM* v) {
  std::string out(RsaKeyPair::BYTES, '\0');
  if (BN_bn2binpad(v, reinterpret_cast<unsigned char*>(&out[0]), RsaKeyPair::BYTES) < 0)
    throw ProtocolError("number does not fit 1024 bits");
  return out;
}

}  // namespace

RsaKeyPair::RsaKeyPair(EVP_PKEY* key) : key_(key) {
  BIGNUM* e = nullptr;
  if (EVP_PKEY_get_bn_param(key_, OSSL_PKEY_PARAM_RSA_N, &n_) != 1 ||
      EVP_PKEY_get_bn_param(key_, OSSL_PKEY_PARAM_RSA_E, &e) != 1) {
    BN_free(e);
    BN_free(n_);
    EVP_PKEY_free(key_);
    throw ProtocolError("not an RSA key");
  }
  bool ok = BN_num_bits(n_) == 1024 && BN_is_word(e, 65537);
  BN_free(e);
  if (!ok) {
    BN_free(n_);
    EVP_PKEY_free(key_);
    throw ProtocolError("the key is not RSA-1024 with exponent 65537");
  }
  BnCtx ctx;
  Bn r, inv, factor, two, exp;
  BN_set_bit(r.v, 1024);
  BN_mod_inverse(inv.v, n_, r.v, ctx.ctx);
  BN_sub(factor.v, r.v, inv.v);  // -N^-1 mod R
  montgomeryFix_ = BN_new();
  BN_set_word(two.v, 2);
  BN_set_word(exp.v, 1024UL * 65536UL);
  BN_mod_exp(montgomeryFix_, two.v, exp.v, n_, ctx.ctx);

  modulus_ = toBytes(n_);
  std::string f = toBytes(factor.v);
  record_ = modulus_ + f + Sha1::of(modulus_) + Sha1::of(f);
}

RsaKeyPair::~RsaKeyPair() {
  BN_free(montgomeryFix_);
  BN_free(n_);
  EVP_PKEY_free(key_);
}

std::unique_ptr<RsaKeyPair> RsaKeyPair::generate() {
  EVP_PKEY* k = EVP_RSA_gen(1024);
  if (!k) throw ProtocolError("RSA key generation failed");
  return std::unique_ptr<RsaKeyPair>(new RsaKeyPair(k));
}

std::unique_ptr<RsaKeyPair> RsaKeyPair::load(const std::string& pemPath) {
  FILE* f = std::fopen(pemPath.c_str(), "rb");
  if (!f) throw ProtocolError("cannot open " + pemPath);
  EVP_PKEY* k = PEM_read_PrivateKey(f, nullptr, nullptr, nullptr);
  std::fclose(f);
  if (!k) throw ProtocolError("unreadable key file " + pemPath);
  return std::unique_ptr<RsaKeyPair>(new RsaKeyPair(k));
}

void RsaKeyPair::save(const std::string& pemPath) const {
  std::string tmp = pemPath + ".tmp";
  mode_t old = umask(077);
  FILE* f = std::fopen(tmp.c_str(), "wb");
  umask(old);
  if (!f) throw ProtocolError("cannot write " + tmp);
  bool ok = PEM_write_PrivateKey(f, key_, nullptr, nullptr, 0, nullptr, nullptr) == 1;
  ok = (std::fclose(f) == 0) && ok;
  if (!ok || std::rename(tmp.c_str(), pemPath.c_str()) != 0) {
    std::remove(tmp.c_str());
    throw ProtocolError("cannot write " + pemPath);
  }
}

std::optional<std::string> RsaKeyPair::recover(const std::string& z) const {
  if (z.size() != BYTES) return std::nullopt;
  BnCtx ctx;
  Bn zb, y;
  BN_bin2bn(reinterpret_cast<const unsigned char*>(z.data()), static_cast<int>(z.size()), zb.v);
  if (BN_cmp(zb.v, n_) >= 0) return std::nullopt;
  // z * R^65536 = x^65537 mod N, an ordinary RSA ciphertext.
  BN_mod_mul(y.v, zb.v, montgomeryFix_, n_, ctx.ctx);
  std::string c = toBytes(y.v);

  EVP_PKEY_CTX* pctx = EVP_PKEY_CTX_new(key_, nullptr);
  if (!pctx) return std::nullopt;
  std::string out(BYTES, '\0');
  size_t outLen = out.size();
  bool ok = EVP_PKEY_decrypt_init(pctx) == 1 && EVP_PKEY_CTX_set_rsa_padding(pctx, RSA_NO_PADDING) == 1 &&
            EVP_PKEY_decrypt(pctx, reinterpret_cast<unsigned char*>(&out[0]), &outLen,
                             reinterpret_cast<const unsigned char*>(c.data()), c.size()) == 1;
  EVP_PKEY_CTX_free(pctx);
  if (!ok) return std::nullopt;
  if (outLen < BYTES) out.insert(0, BYTES - outLen, '\0');
  out.resize(BYTES);
  return out;
}

}  // namespace vesk
