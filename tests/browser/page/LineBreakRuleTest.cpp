// Where text may be broken into lines.
#include <gtest/gtest.h>

#include "browser/page/LineBreakRule.h"

namespace {

TEST(LineBreakRuleTest, BreakPlacesBetweenCharacters) {
  struct Case {
    char16_t p2, p, n;
    bool allowed;
  } cases[] = {
      {u'a', u' ', u'b', true},       // after a space
      {u'b', u'a', u' ', true},       // before a space
      {u'a', u'b', u'c', false},      // inside a word
      {u'a', u',', u'b', true},       // words joined by a comma
      {u'1', u',', u'0', false},      // a thousands separator
      {u'a', u',', u'0', true},       // a comma after a word
      {u'1', u',', u'a', true},       // a comma before a word
      {u'a', u'-', u'b', true},       // after a hyphen
      {u'a', u'/', u'b', true},       // after a slash
      {u'a', u'(', u'b', false},      // not after an opening bracket
      {u'a', u'1', u'2', false},      // inside a number
      {u'a', u'\u65E5', u'b', true},  // after a Japanese character
      {u'a', u'b', u'\u65E5', true},  // before one
      {u'\u65E5', u'\u672C', u'\u8A9E', true},
      {u'a', u'b', 0, true},  // at the end of the text
  };
  for (const Case& c : cases)
    EXPECT_EQ(c.allowed, LineBreakRule::allowsBreak(c.p2, c.p, c.n))
        << static_cast<int>(c.p2) << " " << static_cast<int>(c.p) << " " << static_cast<int>(c.n);
}

TEST(LineBreakRuleTest, TheLastBreakPlaceInARange) {
  struct Case {
    const char16_t* text;
    int from, to, want;
  } cases[] = {
      {u"hello world", 0, 8, 6},  // after the space
      {u"abc,def", 0, 6, 4},      // after the comma
      {u"ab 1,000", 0, 7, 3},     // before the number, not inside it
      {u"1,000,000", 0, 8, -1},   // none
      {u"\u65E5\u672C\u8A9E", 0, 2, 2},
      {u"abcdef", 0, 5, -1},
      {u"ab cde", 3, 5, -1},  // only inside the range
      {u"ab", -5, 99, 2},     // a range past the text is cut to it
      {u"", 0, 0, -1},
  };
  for (const Case& c : cases)
    EXPECT_EQ(c.want, LineBreakRule::findBreak(String(c.text, false), c.from, c.to)) << c.from << " " << c.to;
}

}  // namespace
