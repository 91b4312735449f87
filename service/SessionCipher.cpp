#include "service/SessionCipher.h"

#include <openssl/evp.h>

#include <memory>

#include "service/ProtocolError.h"

namespace vesk {

namespace {

constexpr size_t BLOCK = 16;

struct CtxFree {
  void operator()(EVP_CIPHER_CTX* c) const { EVP_CIPHER_CTX_free(c); }
};

}  // namespace

SessionCipher::SessionCipher(const std::string& key, const std::string& iv) : key_(key), iv_(iv) {
  if (key_.size() != 32 || iv_.size() != BLOCK) throw ProtocolError("bad session key or IV size");
}

std::string SessionCipher::run(const std::string& in, bool encrypting) const {
  std::unique_ptr<EVP_CIPHER_CTX, CtxFree> ctx(EVP_CIPHER_CTX_new());
  if (!ctx) throw ProtocolError("cipher context");
  const auto* k = reinterpret_cast<const unsigned char*>(key_.data());
  const auto* v = reinterpret_cast<const unsigned char*>(iv_.data());
  if (EVP_CipherInit_ex(ctx.get(), EVP_aes_256_cbc(), nullptr, k, v, encrypting ? 1 : 0) != 1)
    throw ProtocolError("cipher init");
  EVP_CIPHER_CTX_set_padding(ctx.get(), 0);
  std::string out(in.size() + BLOCK, '\0');
  int n = 0, tail = 0;
  auto* o = reinterpret_cast<unsigned char*>(&out[0]);
  if (EVP_CipherUpdate(ctx.get(), o, &n, reinterpret_cast<const unsigned char*>(in.data()),
                       static_cast<int>(in.size())) != 1 ||
      EVP_CipherFinal_ex(ctx.get(), o + n, &tail) != 1)
    throw ProtocolError("cipher failed");
  out.resize(static_cast<size_t>(n + tail));
  return out;
}

std::string SessionCipher::encryptBlocks(const std::string& plain) const {
  if (plain.size() % BLOCK != 0) throw ProtocolError("not whole blocks");
  return run(plain, true);
}

std::string SessionCipher::encrypt(const std::string& plain) const {
  std::string padded = plain;
  padded.push_back('\xFF');
  padded.append((BLOCK - padded.size() % BLOCK) % BLOCK, '\0');
  return run(padded, true);
}

std::string SessionCipher::decrypt(const std::string& cipher) const {
  if (cipher.empty() || cipher.size() % BLOCK != 0) throw ProtocolError("ciphertext is not whole blocks");
  std::string plain = run(cipher, false);
  size_t last = plain.size() - BLOCK;
  for (size_t i = BLOCK; i-- > 0;) {
    unsigned char c = static_cast<unsigned char>(plain[last + i]);
    if (c == 0) continue;
    if (c == 0xFF) plain.resize(last + i);
    return plain;
  }
  plain.resize(last);  // an all-zero last block carries nothing
  return plain;
}

}  // namespace vesk
