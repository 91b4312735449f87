#include "vwt/crypto/MessageDigest.h"

#include <cstring>
#include <mutex>

#include "vwt/lang/Exception.h"
#include "vwt/lang/HashFunc.h"
#include "vwt/lang/Hashtable.h"
#include "vwt/lang/Resource.h"

namespace {

std::mutex registryMutex;
// Made on first use and never freed: the instances live until the end.
Hashtable<String, MessageDigest*>* registry = nullptr;

inline uint32_t load32(const unsigned char* p) {
  return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3];
}

}  // namespace

MessageDigest* MessageDigest::getInstance(const String& algorithm) {
  if (!algorithm.equals(u"SHA-1")) throw Exception(String(u"NoSuchAlgorithm", false));
  std::lock_guard<std::mutex> guard(registryMutex);
  if (!registry) registry = new Hashtable<String, MessageDigest*>();
  MessageDigest* md = registry->get(algorithm, nullptr);
  if (!md) {
    md = new MessageDigest();
    registry->put(algorithm, md);
  }
  return md;
}

MessageDigest::MessageDigest() { reset(); }

void MessageDigest::reset() {
  h_[0] = 0x67452301u;
  h_[1] = 0xEFCDAB89u;
  h_[2] = 0x98BADCFEu;
  h_[3] = 0x10325476u;
  h_[4] = 0xC3D2E1F0u;
}

void MessageDigest::run(const char* data, int64_t offset, int64_t length) {
  if (offset < 0 || length < 0 || (length > 0 && !data)) throw Exception(Resource::getString(-305));
  reset();
  const unsigned char* p = reinterpret_cast<const unsigned char*>(data) + (length > 0 ? offset : 0);
  size_t blocks = static_cast<size_t>(length / 64);
  if (blocks) doDigestBlock(p, blocks);
  digestBlock(p + blocks * 64, static_cast<int>(length % 64), static_cast<uint64_t>(length));
}

void MessageDigest::digest(const char* data, int64_t offset, int64_t length, char* out) {
  run(data, offset, length);
  for (int i = 0; i < 5; ++i) {
    out[4 * i] = static_cast<char>(h_[i] >> 24);
    out[4 * i + 1] = static_cast<char>(h_[i] >> 16);
    out[4 * i + 2] = static_cast<char>(h_[i] >> 8);
    out[4 * i + 3] = static_cast<char>(h_[i]);
  }
}

void MessageDigest::digest(const char* data, int64_t offset, int64_t length, int** out) {
  run(data, offset, length);
  for (int i = 0; i < 5; ++i) (*out)[i] = static_cast<int>(h_[i]);
}

void MessageDigest::digestBlock(const unsigned char* tail, int tailLength, uint64_t total) {
  // 0x80, zeros and the 64-bit bit count: one block, or two when fewer than
  // nine bytes are left in the first.
  unsigned char last[128];
  memset(last, 0, sizeof last);
  if (tailLength) memcpy(last, tail, tailLength);
  last[tailLength] = 0x80;
  int size = tailLength < 56 ? 64 : 128;
  uint64_t bits = total * 8;
  for (int i = 0; i < 8; ++i) last[size - 1 - i] = static_cast<unsigned char>(bits >> (8 * i));
  doDigestBlock(last, static_cast<size_t>(size / 64));
}

// One step, with the schedule kept as a rolling window of 16 words.
#define VWT_SHA1_W(t) \
  (w[(t)&15] = S(w[((t) + 13) & 15] ^ w[((t) + 8) & 15] ^ w[((t) + 2) & 15] ^ w[(t)&15], 1))
#define VWT_SHA1_STEP(a, b, c, d, e, f, k, x) \
  e += S(a, 5) + (f) + (k) + (x);             \
  b = S(b, 30);
#define VWT_SHA1_CH(b, c, d) ((((c) ^ (d)) & (b)) ^ (d))
#define VWT_SHA1_PARITY(b, c, d) ((b) ^ (c) ^ (d))
#define VWT_SHA1_MAJ(b, c, d) (((b) & (c)) | (((b) | (c)) & (d)))
#define VWT_SHA1_FIVE(t, F5, k, W)                       \
  VWT_SHA1_STEP(a, b, c, d, e, F5(b, c, d), k, W(t))     \
  VWT_SHA1_STEP(e, a, b, c, d, F5(a, b, c), k, W(t + 1)) \
  VWT_SHA1_STEP(d, e, a, b, c, F5(e, a, b), k, W(t + 2)) \
  VWT_SHA1_STEP(c, d, e, a, b, F5(d, e, a), k, W(t + 3)) \
  VWT_SHA1_STEP(b, c, d, e, a, F5(c, d, e), k, W(t + 4))
#define VWT_SHA1_W0(t) (w[t] = load32(block + 4 * (t)))

void MessageDigest::doDigestBlock(const unsigned char* block, size_t blocks) {
  uint32_t h0 = h_[0], h1 = h_[1], h2 = h_[2], h3 = h_[3], h4 = h_[4];
  for (; blocks; --blocks, block += 64) {
    uint32_t w[16];
    uint32_t a = h0, b = h1, c = h2, d = h3, e = h4;
    const uint32_t k0 = 0x5A827999u, k1 = 0x6ED9EBA1u, k2 = 0x8F1BBCDCu, k3 = 0xCA62C1D6u;
    VWT_SHA1_FIVE(0, VWT_SHA1_CH, k0, VWT_SHA1_W0)
    VWT_SHA1_FIVE(5, VWT_SHA1_CH, k0, VWT_SHA1_W0)
    VWT_SHA1_FIVE(10, VWT_SHA1_CH, k0, VWT_SHA1_W0)
    VWT_SHA1_STEP(a, b, c, d, e, VWT_SHA1_CH(b, c, d), k0, VWT_SHA1_W0(15))
    VWT_SHA1_STEP(e, a, b, c, d, VWT_SHA1_CH(a, b, c), k0, VWT_SHA1_W(16))
    VWT_SHA1_STEP(d, e, a, b, c, VWT_SHA1_CH(e, a, b), k0, VWT_SHA1_W(17))
    VWT_SHA1_STEP(c, d, e, a, b, VWT_SHA1_CH(d, e, a), k0, VWT_SHA1_W(18))
    VWT_SHA1_STEP(b, c, d, e, a, VWT_SHA1_CH(c, d, e), k0, VWT_SHA1_W(19))
    VWT_SHA1_FIVE(20, VWT_SHA1_PARITY, k1, VWT_SHA1_W)
    VWT_SHA1_FIVE(25, VWT_SHA1_PARITY, k1, VWT_SHA1_W)
    VWT_SHA1_FIVE(30, VWT_SHA1_PARITY, k1, VWT_SHA1_W)
    VWT_SHA1_FIVE(35, VWT_SHA1_PARITY, k1, VWT_SHA1_W)
    VWT_SHA1_FIVE(40, VWT_SHA1_MAJ, k2, VWT_SHA1_W)
    VWT_SHA1_FIVE(45, VWT_SHA1_MAJ, k2, VWT_SHA1_W)
    VWT_SHA1_FIVE(50, VWT_SHA1_MAJ, k2, VWT_SHA1_W)
    VWT_SHA1_FIVE(55, VWT_SHA1_MAJ, k2, VWT_SHA1_W)
    VWT_SHA1_FIVE(60, VWT_SHA1_PARITY, k3, VWT_SHA1_W)
    VWT_SHA1_FIVE(65, VWT_SHA1_PARITY, k3, VWT_SHA1_W)
    VWT_SHA1_FIVE(70, VWT_SHA1_PARITY, k3, VWT_SHA1_W)
    VWT_SHA1_FIVE(75, VWT_SHA1_PARITY, k3, VWT_SHA1_W)
    h0 += a;
    h1 += b;
    h2 += c;
    h3 += d;
    h4 += e;
  }
  h_[0] = h0;
  h_[1] = h1;
  h_[2] = h2;
  h_[3] = h3;
  h_[4] = h4;
}
