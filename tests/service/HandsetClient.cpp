#include "HandsetClient.h"

#include <gtest/gtest.h>
#include <httplib.h>
#include <openssl/bn.h>
#include <openssl/evp.h>
#include <openssl/rand.h>
#include <openssl/sha.h>
#include <zlib.h>

#include <stdexcept>

#include "WireReader.h"

namespace vesktest {

namespace {

std::string sha1(const std::string& s) {
  unsigned char md[SHA_DIGEST_LENGTH];
  SHA1(reinterpret_cast<const unsigned char*>(s.data()), s.size(), md);
  return std::string(reinterpret_cast<char*>(md), sizeof md);
}

std::string aes(const std::string& key, const std::string& iv, const std::string& in, bool enc) {
  EVP_CIPHER_CTX* ctx = EVP_CIPHER_CTX_new();
  EVP_CipherInit_ex(ctx, EVP_aes_256_cbc(), nullptr, reinterpret_cast<const unsigned char*>(key.data()),
                    reinterpret_cast<const unsigned char*>(iv.data()), enc ? 1 : 0);
  EVP_CIPHER_CTX_set_padding(ctx, 0);
  std::string out(in.size() + 16, '\0');
  int n = 0, t = 0;
  EVP_CipherUpdate(ctx, reinterpret_cast<unsigned char*>(&out[0]), &n,
                   reinterpret_cast<const unsigned char*>(in.data()), static_cast<int>(in.size()));
  EVP_CipherFinal_ex(ctx, reinterpret_cast<unsigned char*>(&out[0]) + n, &t);
  EVP_CIPHER_CTX_free(ctx);
  out.resize(static_cast<size_t>(n + t));
  return out;
}

std::string be32(int32_t v) {
  uint32_t u = static_cast<uint32_t>(v);
  return std::string{static_cast<char>(u >> 24), static_cast<char>(u >> 16), static_cast<char>(u >> 8),
                     static_cast<char>(u)};
}

}  // namespace

HandsetClient::HandsetClient(int port) : http_(new httplib::Client("127.0.0.1", port)) {}
HandsetClient::~HandsetClient() = default;

HandsetClient::Reply HandsetClient::post(const std::string& ct, const std::string& body,
                                         const std::string& path) {
  auto res = http_->Post(path.c_str(), body, ct.c_str());
  if (!res) throw std::runtime_error("no answer from the service");
  return {res->status, res->body};
}

HandsetClient::Reply HandsetClient::control(const std::string& pq) {
  auto res = http_->Get(("/control/" + pq).c_str());
  if (!res) throw std::runtime_error("no answer from the service");
  return {res->status, res->body};
}

std::string HandsetClient::fetchPublicKey() {
  Reply r = post("application/x-www-form-urlencoded", "c=R");
  EXPECT_EQ(r.status, 200);
  EXPECT_EQ(r.body.size(), 296u);
  if (r.body.size() != 296) return std::string();
  EXPECT_EQ(sha1(r.body.substr(0, 128)), r.body.substr(256, 20));
  EXPECT_EQ(sha1(r.body.substr(128, 128)), r.body.substr(276, 20));
  return r.body;
}

std::string HandsetClient::montgomeryEncrypt(const std::string& record, const std::string& block) {
  BN_CTX* ctx = BN_CTX_new();
  BIGNUM *n = BN_new(), *x = BN_new(), *y = BN_new(), *r = BN_new(), *rinv = BN_new(), *e = BN_new(),
         *t = BN_new();
  BN_bin2bn(reinterpret_cast<const unsigned char*>(record.data()), 128, n);
  BN_bin2bn(reinterpret_cast<const unsigned char*>(block.data()), static_cast<int>(block.size()), x);
  BN_set_word(e, 65537);
  BN_mod_exp(y, x, e, n, ctx);  // x^65537
  BN_set_bit(r, 1024);
  BN_mod(r, r, n, ctx);
  BN_mod_inverse(rinv, r, n, ctx);
  BN_set_word(e, 65536);
  BN_mod_exp(t, rinv, e, n, ctx);  // R^-65536
  BN_mod_mul(y, y, t, n, ctx);
  std::string out(128, '\0');
  BN_bn2binpad(y, reinterpret_cast<unsigned char*>(&out[0]), 128);
  for (BIGNUM* b : {n, x, y, r, rinv, e, t}) BN_free(b);
  BN_CTX_free(ctx);
  return out;
}

int HandsetClient::exchangeKeys(const std::string& record, int32_t userId, std::string* answer) {
  std::string key(32, '\0'), iv(16, '\0');
  RAND_bytes(reinterpret_cast<unsigned char*>(&key[0]), 32);
  RAND_bytes(reinterpret_cast<unsigned char*>(&iv[0]), 16);
  std::string block(128, '\0');
  block.replace(4, 32, key);
  block.replace(36, 20, sha1(key));
  block.replace(56, 16, iv);
  block.replace(72, 4, be32(userId));
  block.replace(76, 11, "TESTHANDSET");
  block.replace(107, 4, "QKWM");
  Reply r = post("vesk-keyexchange", montgomeryEncrypt(record, block));
  if (answer) *answer = r.body;
  if (r.status != 200 || r.body.empty()) return -1;
  int status = static_cast<unsigned char>(r.body[0]);
  if (status != 0) return status;
  if (r.body.size() != 17) return -2;
  WireReader w(aes(key, iv, r.body.substr(1, 16), false));
  if (w.i32() != MAGIC) return 2;
  userId_ = w.i32();
  key_ = key;
  iv_ = iv;
  return 0;
}

std::string HandsetClient::encrypt(const std::string& plain) const {
  std::string p = plain;
  if (p.size() % 16) {
    p.push_back('\xFF');
    p.append((16 - p.size() % 16) % 16, '\0');
  }
  return aes(key_, iv_, p, true);
}

std::string HandsetClient::decrypt(const std::string& cipher) const {
  if (cipher.empty() || cipher.size() % 16) throw std::runtime_error("answer is not whole blocks");
  std::string p = aes(key_, iv_, cipher, false);
  size_t last = p.size() - 16;
  for (size_t i = 16; i-- > 0;) {
    unsigned char c = static_cast<unsigned char>(p[last + i]);
    if (c == 0) continue;
    if (c == 0xFF) p.resize(last + i);
    return p;
  }
  p.resize(last);
  return p;
}

std::string HandsetClient::inflate(const std::string& z) {
  z_stream s{};
  inflateInit(&s);
  s.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(z.data()));
  s.avail_in = static_cast<uInt>(z.size());
  std::string out;
  char buf[16384];
  int rc = Z_OK;
  while (rc == Z_OK) {
    s.next_out = reinterpret_cast<Bytef*>(buf);
    s.avail_out = sizeof buf;
    rc = ::inflate(&s, Z_NO_FLUSH);
    out.append(buf, sizeof buf - s.avail_out);
  }
  inflateEnd(&s);
  if (rc != Z_STREAM_END) throw std::runtime_error("bad zlib stream");
  return out;
}

HandsetClient::Reply HandsetClient::query(const std::string& q) {
  Reply r = post("vesk-cryptreq" + std::to_string(userId_), encrypt(q));
  if (r.status == 200) r.body = decrypt(r.body);
  return r;
}

std::string HandsetClient::page(const std::string& q) {
  Reply r = query(q);
  EXPECT_EQ(r.status, 200);
  WireReader w(r.body);
  EXPECT_EQ(w.i32(), MAGIC);
  w.i32();  // ignored by the handset
  return inflate(w.rest());
}

}  // namespace vesktest
