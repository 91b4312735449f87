#include "vwt/crypto/UICore.h"

#include <cstring>

namespace {
int limbsFor(int bits) { return bits > 0 ? (bits + 63) / 64 : 1; }
}  // namespace

UICore::UICore(int bits)
    : limbCount_(limbsFor(bits)), limbs_(new uint64_t[limbCount_]()), ownsLimbs_(true), firstLimb_(0) {}

UICore::UICore(const char* bytes, int length, int bits) : UICore(bits) { setBytes(bytes, length); }

UICore::UICore(UICore& base, int firstLimb, int limbCount)
    : limbCount_(limbCount), limbs_(base.limbs_), ownsLimbs_(false), firstLimb_(base.firstLimb_ + firstLimb) {
  if (firstLimb < 0 || limbCount < 1 || firstLimb + limbCount > base.limbCount_) {
    // Out of range: fall back to an owned zero rather than look outside base.
    limbCount_ = limbCount > 0 ? limbCount : 1;
    limbs_ = new uint64_t[limbCount_]();
    ownsLimbs_ = true;
    firstLimb_ = 0;
  }
}

UICore::UICore(const UICore& other)
    : Object(other),
      limbCount_(other.limbCount_),
      limbs_(new uint64_t[limbCount_]),
      ownsLimbs_(true),
      firstLimb_(0) {
  memcpy(limbs_, other.limbs(), limbCount_ * sizeof(uint64_t));
}

UICore& UICore::operator=(const UICore& other) {
  if (this == &other) return *this;
  uint64_t* dst = limbs();
  const uint64_t* src = other.limbs();
  int n = limbCount_ < other.limbCount_ ? limbCount_ : other.limbCount_;
  // Aligned at the least significant end; memmove since a view may overlap.
  memmove(dst + (limbCount_ - n), src + (other.limbCount_ - n), n * sizeof(uint64_t));
  memset(dst, 0, (limbCount_ - n) * sizeof(uint64_t));
  return *this;
}

UICore::~UICore() {
  if (ownsLimbs_) delete[] limbs_;
}

void UICore::setZero() { memset(limbs(), 0, limbCount_ * sizeof(uint64_t)); }

void UICore::setBytes(const char* bytes, int length) {
  setZero();
  if (!bytes || length <= 0) return;
  const int width = limbCount_ * 8;
  if (length > width) {
    bytes += length - width;
    length = width;
  }
  uint64_t* l = limbs();
  // Byte i of the padded big-endian image lands in limb i / 8.
  const unsigned char* b = reinterpret_cast<const unsigned char*>(bytes);
  for (int i = 0, pos = width - length; i < length; ++i, ++pos)
    l[pos / 8] |= static_cast<uint64_t>(b[i]) << (8 * (7 - pos % 8));
}

void UICore::toBytes(char* out) const {
  const uint64_t* l = limbs();
  for (int i = 0; i < limbCount_; ++i) {
    uint64_t v = l[i];
    for (int k = 0; k < 8; ++k) out[8 * i + k] = static_cast<char>(v >> (8 * (7 - k)));
  }
}

int UICore::compare(const UICore& other) const {
  const uint64_t* a = limbs();
  const uint64_t* b = other.limbs();
  int na = limbCount_, nb = other.limbCount_;
  // Extra high limbs of the wider number decide when they are not zero.
  for (; na > nb; --na, ++a)
    if (*a) return 1;
  for (; nb > na; --nb, ++b)
    if (*b) return -1;
  for (int i = 0; i < na; ++i)
    if (a[i] != b[i]) return a[i] < b[i] ? -1 : 1;
  return 0;
}

bool UICore::subtract(const UICore& other) {
  uint64_t* a = limbs();
  const uint64_t* b = other.limbs();
  int n = limbCount_ < other.limbCount_ ? limbCount_ : other.limbCount_;
  int offA = limbCount_ - n, offB = other.limbCount_ - n;
  uint64_t borrow = 0;
  for (int i = n - 1; i >= 0; --i) {
    uint64_t x = a[offA + i], y = b[offB + i];
    uint64_t d = x - y - borrow;
    borrow = (x < y) || (x - y < borrow) ? 1 : 0;
    a[offA + i] = d;
  }
  for (int i = offA - 1; i >= 0 && borrow; --i) borrow = a[i]-- == 0 ? 1 : 0;
  return borrow != 0;
}
