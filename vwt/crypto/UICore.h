#pragma once

#include <cstdint>

#include "vwt/lang/Object.h"

// An unsigned big integer of a fixed number of 64-bit limbs, most significant
// limb first. A number either owns its limbs or is a view into the limbs of
// another number (the upper or lower half of a double-width product); a view
// must not outlive the number it looks into.
class UICore : public Object {
 public:
  // Zero, with (bits + 63) / 64 limbs.
  explicit UICore(int bits);
  // The big-endian bytes as a number of the given width: left-padded with
  // zeros when short; when longer than the width, only the low-order bytes
  // count.
  UICore(const char* bytes, int length, int bits);
  // A view of limbCount limbs of base starting at firstLimb (counted from
  // base's most significant limb).
  UICore(UICore& base, int firstLimb, int limbCount);
  // Deep copy: the copy owns its limbs, also when other is a view.
  UICore(const UICore& other);
  // Copies the value, truncated or zero-extended to this width.
  UICore& operator=(const UICore& other);
  ~UICore() override;

  int getLimbCount() const { return limbCount_; }
  bool ownsLimbs() const { return ownsLimbs_; }
  // The limbs of this number, most significant first.
  uint64_t* limbs() { return limbs_ + firstLimb_; }
  const uint64_t* limbs() const { return limbs_ + firstLimb_; }

  // The value from big-endian bytes, as the byte constructor reads them.
  void setBytes(const char* bytes, int length);
  // getLimbCount() * 8 big-endian bytes.
  void toBytes(char* out) const;
  void setZero();

  // -1, 0 or 1; numbers of different widths compare by value.
  int compare(const UICore& other) const;
  // this -= other (same width), modulo 2^(64 * limbs); returns the borrow.
  bool subtract(const UICore& other);

 private:
  int limbCount_;
  uint64_t* limbs_;  // owned when ownsLimbs_
  bool ownsLimbs_;
  int firstLimb_;  // index of this number's first limb in limbs_
};
