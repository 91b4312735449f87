#include "downloader/SizeText.h"

namespace {

const int64_t KILO = 1024;
const int64_t MEGA = KILO * KILO;
const int64_t GIGA = MEGA * KILO;

// Whole units, '.', two digits of hundredths (truncated), the unit letter.
String withHundredths(int64_t n, int64_t unit, char16_t letter) {
  int64_t hundredths = (n % unit) * 100 / unit;
  String text = String(n / unit) + u'.';
  if (hundredths < 10) text = text + u'0';
  return (text + hundredths) + letter;
}

}  // namespace

String SizeText::format(int64_t n) {
  if (n <= 1023) return String(n) + u'B';
  if (n < MEGA) return withHundredths(n, KILO, u'K');
  if (n < GIGA) return withHundredths(n, MEGA, u'M');
  return String(n / GIGA) + u".0G"_s;
}
