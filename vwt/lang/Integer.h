#pragma once

#include "vwt/lang/String.h"

// A boxed signed 32-bit value, with decimal and hexadecimal text helpers.
class Integer : public Object {
 public:
  explicit Integer(int value) : value_(value) {}

  int intValue() const { return value_; }
  String toString() const override { return String(value_); }
  bool equals(const Object& other) const override;

  String toHexString(int width) const { return toHexString(value_, width); }
  String toHexStringUpper(int width) const { return toHexStringUpper(value_, width); }

  static String toString(int v) { return String(v); }
  // Decimal, padded with zeros to width digits.
  static String toString(int v, int width);
  // Hexadecimal padded with zeros to width (0-9) digits.
  static String toHexString(int v, int width);
  static String toHexStringUpper(int v, int width);

  // Optional blanks and sign, then decimal digits up to the first other
  // unit; 0 when nothing parses. Out-of-range values saturate.
  static int parseInt(const String& s);
  // def when s is empty or does not start with a digit, '-', '+' or '.'.
  static int parseInt(const String& s, int def);
  // Hexadecimal digits after an optional '-'; def when there are none.
  static int parseHexInt(const String& s, int def);
  // The value of a hexadecimal digit (0-9, a-f, A-F), or -1 for any other unit.
  static int hexDigit(char16_t c);

 private:
  int value_;
};
