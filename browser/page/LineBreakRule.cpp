#include "browser/page/LineBreakRule.h"

namespace {

bool isDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

// ASCII characters a line may end with even when a word follows.
bool endsPhrase(char16_t p) {
  switch (p) {
    case u' ':
    case u'!':
    case u'"':
    case u'%':
    case u'&':
    case u')':
    case u'*':
    case u'+':
    case u',':
    case u'-':
    case u'.':
    case u'/':
    case u':':
    case u';':
    case u'<':
    case u'=':
    case u'>':
    case u'?':
    case u'\\':
    case u']':
    case u'^':
    case u'_':
    case u'`':
    case u'|':
    case u'}':
    case u'~':
      return true;
    default:
      return false;
  }
}

}  // namespace

bool LineBreakRule::allowsBreak(char16_t p2, char16_t p, char16_t n) {
  if (p >= 128) return true;
  // A comma between digits is a thousands separator.
  if (p == u',' && isDigit(p2) && isDigit(n)) return false;
  bool wordFollows = n != u' ' && n >= 1 && n <= 127;
  return !(wordFollows && !endsPhrase(p));
}

int LineBreakRule::findBreak(const String& text, int from, int to) {
  const int length = text.length();
  if (from < 0) from = 0;
  if (to > length) to = length;
  for (int b = to; b > from; --b) {
    char16_t p = text.charAt(b - 1);
    char16_t p2 = b >= 2 ? text.charAt(b - 2) : 0;
    char16_t n = b < length ? text.charAt(b) : 0;
    if (allowsBreak(p2, p, n)) return b;
  }
  return -1;
}
