#include "vwt/crypto/AES256.h"

#include <cstring>

#include "vwt/lang/Exception.h"
#include "vwt/lang/Resource.h"

namespace {

// The tables every AES256 copies into itself, worked out at compile time
// from the field arithmetic of GF(2^8) with the polynomial 0x11B.
struct Tables {
  uint8_t sbox[256];
  uint8_t invSbox[256];
  uint32_t te[4][256];
  uint32_t td[4][256];
  uint32_t rcon[10];
};

constexpr uint8_t xtime(uint8_t x) { return static_cast<uint8_t>((x << 1) ^ ((x & 0x80) ? 0x1B : 0)); }

constexpr uint8_t gmul(uint8_t a, uint8_t b) {
  uint8_t r = 0;
  for (int i = 0; i < 8; ++i) {
    if (b & 1) r ^= a;
    a = xtime(a);
    b >>= 1;
  }
  return r;
}

constexpr uint32_t ror8(uint32_t w) { return (w >> 8) | (w << 24); }

constexpr uint32_t word(uint8_t a, uint8_t b, uint8_t c, uint8_t d) {
  return (uint32_t(a) << 24) | (uint32_t(b) << 16) | (uint32_t(c) << 8) | d;
}

constexpr Tables makeTables() {
  Tables t{};
  // Powers of the generator 3 give the multiplicative inverses.
  uint8_t exp[256] = {};
  uint8_t log[256] = {};
  uint8_t x = 1;
  for (int i = 0; i < 255; ++i) {
    exp[i] = x;
    log[x] = static_cast<uint8_t>(i);
    x = static_cast<uint8_t>(x ^ xtime(x));
  }
  for (int i = 0; i < 256; ++i) {
    uint8_t inv = i == 0 ? 0 : exp[(255 - log[i]) % 255];
    uint8_t s = inv;
    uint8_t r = inv;
    for (int k = 0; k < 4; ++k) {
      r = static_cast<uint8_t>((r << 1) | (r >> 7));
      s ^= r;
    }
    s ^= 0x63;
    t.sbox[i] = s;
    t.invSbox[s] = static_cast<uint8_t>(i);
  }
  for (int i = 0; i < 256; ++i) {
    uint8_t s = t.sbox[i];
    uint32_t e = word(gmul(s, 2), s, s, gmul(s, 3));
    uint8_t v = t.invSbox[i];
    uint32_t d = word(gmul(v, 14), gmul(v, 9), gmul(v, 13), gmul(v, 11));
    for (int k = 0; k < 4; ++k) {
      t.te[k][i] = e;
      t.td[k][i] = d;
      e = ror8(e);
      d = ror8(d);
    }
  }
  uint8_t rc = 1;
  for (int i = 0; i < 10; ++i) {
    t.rcon[i] = uint32_t(rc) << 24;
    rc = xtime(rc);
  }
  return t;
}

constexpr Tables TABLES = makeTables();

inline uint32_t load32(const uint8_t* p) {
  return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3];
}

inline void store32(uint8_t* p, uint32_t v) {
  p[0] = static_cast<uint8_t>(v >> 24);
  p[1] = static_cast<uint8_t>(v >> 16);
  p[2] = static_cast<uint8_t>(v >> 8);
  p[3] = static_cast<uint8_t>(v);
}

inline const uint8_t* bytes(const char* p) { return reinterpret_cast<const uint8_t*>(p); }
inline uint8_t* bytes(char* p) { return reinterpret_cast<uint8_t*>(p); }

// Volatile stores, so the compiler cannot drop the wipe of memory about to
// be freed.
void wipe(void* p, size_t n) {
  volatile uint8_t* v = static_cast<volatile uint8_t*>(p);
  while (n--) *v++ = 0;
}

}  // namespace

AES256::AES256() : iv_(), chain_(), encryptionSchedule_(nullptr), decryptionSchedule_(nullptr) {
  memcpy(sbox_, TABLES.sbox, sizeof sbox_);
  memcpy(invSbox_, TABLES.invSbox, sizeof invSbox_);
  memcpy(te_, TABLES.te, sizeof te_);
  memcpy(td_, TABLES.td, sizeof td_);
  memcpy(rcon_, TABLES.rcon, sizeof rcon_);
}

AES256::AES256(const AES256& other)
    : Object(other), encryptionSchedule_(nullptr), decryptionSchedule_(nullptr) {
  copyFrom(other);
}

AES256& AES256::operator=(const AES256& other) {
  if (this != &other) copyFrom(other);
  return *this;
}

AES256::~AES256() { finalize(); }

void AES256::copyFrom(const AES256& other) {
  finalize();
  memcpy(iv_, other.iv_, sizeof iv_);
  memcpy(chain_, other.chain_, sizeof chain_);
  memcpy(sbox_, other.sbox_, sizeof sbox_);
  memcpy(invSbox_, other.invSbox_, sizeof invSbox_);
  memcpy(te_, other.te_, sizeof te_);
  memcpy(td_, other.td_, sizeof td_);
  memcpy(rcon_, other.rcon_, sizeof rcon_);
  if (other.encryptionSchedule_) {
    encryptionSchedule_ = new uint32_t[SCHEDULE_WORDS];
    memcpy(encryptionSchedule_, other.encryptionSchedule_, SCHEDULE_WORDS * sizeof(uint32_t));
  }
  if (other.decryptionSchedule_) {
    decryptionSchedule_ = new uint32_t[SCHEDULE_WORDS];
    memcpy(decryptionSchedule_, other.decryptionSchedule_, SCHEDULE_WORDS * sizeof(uint32_t));
  }
}

void AES256::finalize() {
  if (encryptionSchedule_) {
    wipe(encryptionSchedule_, SCHEDULE_WORDS * sizeof(uint32_t));
    delete[] encryptionSchedule_;
    encryptionSchedule_ = nullptr;
  }
  if (decryptionSchedule_) {
    wipe(decryptionSchedule_, SCHEDULE_WORDS * sizeof(uint32_t));
    delete[] decryptionSchedule_;
    decryptionSchedule_ = nullptr;
  }
}

void AES256::makeKey(const char* key, int mode) {
  finalize();
  if (!(mode & (ENCRYPT_KEY | DECRYPT_KEY))) return;
  uint32_t* w = encryptionSchedule_ = new uint32_t[SCHEDULE_WORDS];
  const uint8_t* k = bytes(key);
  for (int i = 0; i < 8; ++i) w[i] = load32(k + 4 * i);
  for (int i = 8; i < SCHEDULE_WORDS; ++i) {
    uint32_t t = w[i - 1];
    if (i % 8 == 0) {
      t = (t << 8) | (t >> 24);
      t = word(sbox_[t >> 24], sbox_[(t >> 16) & 0xFF], sbox_[(t >> 8) & 0xFF], sbox_[t & 0xFF]) ^
          rcon_[i / 8 - 1];
    } else if (i % 8 == 4) {
      t = word(sbox_[t >> 24], sbox_[(t >> 16) & 0xFF], sbox_[(t >> 8) & 0xFF], sbox_[t & 0xFF]);
    }
    w[i] = w[i - 8] ^ t;
  }
  if (!(mode & DECRYPT_KEY)) return;
  // The equivalent inverse cipher: round keys in reverse order, the inner
  // ones run through InvMixColumns.
  uint32_t* d = decryptionSchedule_ = new uint32_t[SCHEDULE_WORDS];
  for (int r = 0; r <= 14; ++r) {
    for (int c = 0; c < 4; ++c) {
      uint32_t v = w[4 * (14 - r) + c];
      if (r != 0 && r != 14)
        v = td_[0][sbox_[v >> 24]] ^ td_[1][sbox_[(v >> 16) & 0xFF]] ^ td_[2][sbox_[(v >> 8) & 0xFF]] ^
            td_[3][sbox_[v & 0xFF]];
      d[4 * r + c] = v;
    }
  }
}

void AES256::setIV(const char* iv16) { memcpy(iv_, iv16, BLOCK_SIZE); }

void AES256::initStep() { memcpy(chain_, iv_, BLOCK_SIZE); }

const uint32_t* AES256::encryptionKey() const {
  if (!encryptionSchedule_) throw Exception(Resource::getString(-2901));
  return encryptionSchedule_;
}

const uint32_t* AES256::decryptionKey() const {
  if (!decryptionSchedule_) throw Exception(Resource::getString(-2901));
  return decryptionSchedule_;
}

void AES256::encryptBlock(uint32_t s[4]) const {
  const uint32_t* rk = encryptionSchedule_;
  const uint32_t* T0 = te_[0];
  const uint32_t* T1 = te_[1];
  const uint32_t* T2 = te_[2];
  const uint32_t* T3 = te_[3];
  uint32_t s0 = s[0] ^ rk[0], s1 = s[1] ^ rk[1], s2 = s[2] ^ rk[2], s3 = s[3] ^ rk[3];
  uint32_t t0, t1, t2, t3;
#define VWT_AES_EROUND(o0, o1, o2, o3, i0, i1, i2, i3, k)                                       \
  o0 = T0[i0 >> 24] ^ T1[(i1 >> 16) & 0xFF] ^ T2[(i2 >> 8) & 0xFF] ^ T3[i3 & 0xFF] ^ rk[k];     \
  o1 = T0[i1 >> 24] ^ T1[(i2 >> 16) & 0xFF] ^ T2[(i3 >> 8) & 0xFF] ^ T3[i0 & 0xFF] ^ rk[k + 1]; \
  o2 = T0[i2 >> 24] ^ T1[(i3 >> 16) & 0xFF] ^ T2[(i0 >> 8) & 0xFF] ^ T3[i1 & 0xFF] ^ rk[k + 2]; \
  o3 = T0[i3 >> 24] ^ T1[(i0 >> 16) & 0xFF] ^ T2[(i1 >> 8) & 0xFF] ^ T3[i2 & 0xFF] ^ rk[k + 3];
  VWT_AES_EROUND(t0, t1, t2, t3, s0, s1, s2, s3, 4)
  VWT_AES_EROUND(s0, s1, s2, s3, t0, t1, t2, t3, 8)
  VWT_AES_EROUND(t0, t1, t2, t3, s0, s1, s2, s3, 12)
  VWT_AES_EROUND(s0, s1, s2, s3, t0, t1, t2, t3, 16)
  VWT_AES_EROUND(t0, t1, t2, t3, s0, s1, s2, s3, 20)
  VWT_AES_EROUND(s0, s1, s2, s3, t0, t1, t2, t3, 24)
  VWT_AES_EROUND(t0, t1, t2, t3, s0, s1, s2, s3, 28)
  VWT_AES_EROUND(s0, s1, s2, s3, t0, t1, t2, t3, 32)
  VWT_AES_EROUND(t0, t1, t2, t3, s0, s1, s2, s3, 36)
  VWT_AES_EROUND(s0, s1, s2, s3, t0, t1, t2, t3, 40)
  VWT_AES_EROUND(t0, t1, t2, t3, s0, s1, s2, s3, 44)
  VWT_AES_EROUND(s0, s1, s2, s3, t0, t1, t2, t3, 48)
  VWT_AES_EROUND(t0, t1, t2, t3, s0, s1, s2, s3, 52)
#undef VWT_AES_EROUND
  const uint8_t* S = sbox_;
  s[0] = word(S[t0 >> 24], S[(t1 >> 16) & 0xFF], S[(t2 >> 8) & 0xFF], S[t3 & 0xFF]) ^ rk[56];
  s[1] = word(S[t1 >> 24], S[(t2 >> 16) & 0xFF], S[(t3 >> 8) & 0xFF], S[t0 & 0xFF]) ^ rk[57];
  s[2] = word(S[t2 >> 24], S[(t3 >> 16) & 0xFF], S[(t0 >> 8) & 0xFF], S[t1 & 0xFF]) ^ rk[58];
  s[3] = word(S[t3 >> 24], S[(t0 >> 16) & 0xFF], S[(t1 >> 8) & 0xFF], S[t2 & 0xFF]) ^ rk[59];
}

void AES256::decryptBlock(uint32_t s[4]) const {
  const uint32_t* rk = decryptionSchedule_;
  const uint32_t* T0 = td_[0];
  const uint32_t* T1 = td_[1];
  const uint32_t* T2 = td_[2];
  const uint32_t* T3 = td_[3];
  uint32_t s0 = s[0] ^ rk[0], s1 = s[1] ^ rk[1], s2 = s[2] ^ rk[2], s3 = s[3] ^ rk[3];
  uint32_t t0, t1, t2, t3;
#define VWT_AES_DROUND(o0, o1, o2, o3, i0, i1, i2, i3, k)                                       \
  o0 = T0[i0 >> 24] ^ T1[(i3 >> 16) & 0xFF] ^ T2[(i2 >> 8) & 0xFF] ^ T3[i1 & 0xFF] ^ rk[k];     \
  o1 = T0[i1 >> 24] ^ T1[(i0 >> 16) & 0xFF] ^ T2[(i3 >> 8) & 0xFF] ^ T3[i2 & 0xFF] ^ rk[k + 1]; \
  o2 = T0[i2 >> 24] ^ T1[(i1 >> 16) & 0xFF] ^ T2[(i0 >> 8) & 0xFF] ^ T3[i3 & 0xFF] ^ rk[k + 2]; \
  o3 = T0[i3 >> 24] ^ T1[(i2 >> 16) & 0xFF] ^ T2[(i1 >> 8) & 0xFF] ^ T3[i0 & 0xFF] ^ rk[k + 3];
  VWT_AES_DROUND(t0, t1, t2, t3, s0, s1, s2, s3, 4)
  VWT_AES_DROUND(s0, s1, s2, s3, t0, t1, t2, t3, 8)
  VWT_AES_DROUND(t0, t1, t2, t3, s0, s1, s2, s3, 12)
  VWT_AES_DROUND(s0, s1, s2, s3, t0, t1, t2, t3, 16)
  VWT_AES_DROUND(t0, t1, t2, t3, s0, s1, s2, s3, 20)
  VWT_AES_DROUND(s0, s1, s2, s3, t0, t1, t2, t3, 24)
  VWT_AES_DROUND(t0, t1, t2, t3, s0, s1, s2, s3, 28)
  VWT_AES_DROUND(s0, s1, s2, s3, t0, t1, t2, t3, 32)
  VWT_AES_DROUND(t0, t1, t2, t3, s0, s1, s2, s3, 36)
  VWT_AES_DROUND(s0, s1, s2, s3, t0, t1, t2, t3, 40)
  VWT_AES_DROUND(t0, t1, t2, t3, s0, s1, s2, s3, 44)
  VWT_AES_DROUND(s0, s1, s2, s3, t0, t1, t2, t3, 48)
  VWT_AES_DROUND(t0, t1, t2, t3, s0, s1, s2, s3, 52)
#undef VWT_AES_DROUND
  const uint8_t* S = invSbox_;
  s[0] = word(S[t0 >> 24], S[(t3 >> 16) & 0xFF], S[(t2 >> 8) & 0xFF], S[t1 & 0xFF]) ^ rk[56];
  s[1] = word(S[t1 >> 24], S[(t0 >> 16) & 0xFF], S[(t3 >> 8) & 0xFF], S[t2 & 0xFF]) ^ rk[57];
  s[2] = word(S[t2 >> 24], S[(t1 >> 16) & 0xFF], S[(t0 >> 8) & 0xFF], S[t3 & 0xFF]) ^ rk[58];
  s[3] = word(S[t3 >> 24], S[(t2 >> 16) & 0xFF], S[(t1 >> 8) & 0xFF], S[t0 & 0xFF]) ^ rk[59];
}

void AES256::stepEncrypt(const char* in16, char* out16) {
  encryptionKey();
  const uint8_t* in = bytes(in16);
  uint32_t s[4];
  for (int i = 0; i < 4; ++i) s[i] = load32(in + 4 * i) ^ load32(chain_ + 4 * i);
  encryptBlock(s);
  for (int i = 0; i < 4; ++i) {
    store32(chain_ + 4 * i, s[i]);
    store32(bytes(out16) + 4 * i, s[i]);
  }
}

void AES256::stepDecrypt(const char* in16, char* out16) {
  decryptionKey();
  const uint8_t* in = bytes(in16);
  uint32_t c[4], s[4];
  for (int i = 0; i < 4; ++i) s[i] = c[i] = load32(in + 4 * i);
  decryptBlock(s);
  for (int i = 0; i < 4; ++i) {
    store32(bytes(out16) + 4 * i, s[i] ^ load32(chain_ + 4 * i));
    store32(chain_ + 4 * i, c[i]);
  }
}

int AES256::encrypt(const char* in, int length, char* out) const {
  encryptionKey();
  if (length <= 0) return 0;
  const uint8_t* src = bytes(in);
  uint8_t* dst = bytes(out);
  uint32_t p0 = load32(iv_), p1 = load32(iv_ + 4), p2 = load32(iv_ + 8), p3 = load32(iv_ + 12);
  int full = length / BLOCK_SIZE;
  for (int b = 0; b < full; ++b, src += BLOCK_SIZE, dst += BLOCK_SIZE) {
    uint32_t s[4] = {load32(src) ^ p0, load32(src + 4) ^ p1, load32(src + 8) ^ p2, load32(src + 12) ^ p3};
    encryptBlock(s);
    p0 = s[0], p1 = s[1], p2 = s[2], p3 = s[3];
    store32(dst, p0);
    store32(dst + 4, p1);
    store32(dst + 8, p2);
    store32(dst + 12, p3);
  }
  int rest = length % BLOCK_SIZE;
  if (rest == 0) return length;
  uint8_t block[BLOCK_SIZE];
  memset(block, 0xFF, sizeof block);
  memcpy(block, src, rest);
  uint32_t s[4] = {load32(block) ^ p0, load32(block + 4) ^ p1, load32(block + 8) ^ p2,
                   load32(block + 12) ^ p3};
  encryptBlock(s);
  for (int i = 0; i < 4; ++i) store32(dst + 4 * i, s[i]);
  return (full + 1) * BLOCK_SIZE;
}

int AES256::decrypt(const char* in, int length, char* out) const {
  decryptionKey();
  if (length <= 0) return 0;
  const uint8_t* src = bytes(in);
  uint8_t* dst = bytes(out);
  uint32_t p0 = load32(iv_), p1 = load32(iv_ + 4), p2 = load32(iv_ + 8), p3 = load32(iv_ + 12);
  int full = length / BLOCK_SIZE;
  for (int b = 0; b < full; ++b, src += BLOCK_SIZE, dst += BLOCK_SIZE) {
    uint32_t c0 = load32(src), c1 = load32(src + 4), c2 = load32(src + 8), c3 = load32(src + 12);
    uint32_t s[4] = {c0, c1, c2, c3};
    decryptBlock(s);
    store32(dst, s[0] ^ p0);
    store32(dst + 4, s[1] ^ p1);
    store32(dst + 8, s[2] ^ p2);
    store32(dst + 12, s[3] ^ p3);
    p0 = c0, p1 = c1, p2 = c2, p3 = c3;
  }
  return full * BLOCK_SIZE;
}
