#include <gtest/gtest.h>

#include "service/html/TextMetrics.h"

namespace vesktest {

using vesk::ClientMetrics;
using vesk::TextMetrics;

namespace {

// A table where every character has the width of its position in the alphabet given.
std::string uniformTable(char ascii, char other) {
  std::string t(TextMetrics::TABLE_LENGTH, other);
  for (int i = 0; i < 0x7F - 0x20; ++i) t[i] = ascii;
  return t;
}

}  // namespace

TEST(TextMetricsTest, WidthsComeFromTheClientsTable) {
  ClientMetrics m;
  m.widthTable = uniformTable('F', 'K');  // ASCII 5, the other table ranges 10
  m.wideWidth = 13;
  TextMetrics t(m);
  struct Case {
    const char* text;
    int want;
  } cases[] = {
      {"abc", 15},
      {"a b", 15},
      {"\xE3\x81\x82", 10},  // U+3042 hiragana: in the table
      {"\xE6\xBC\xA2", 13},  // U+6F22 ideograph: the wide width
      {"\xC3\xA9", 5},       // U+00E9: outside the table, the ASCII average
      {"\xEF\xBD\xB1", 10},  // U+FF71 half-width katakana: in the table
      {"", 0},
  };
  for (const Case& c : cases) EXPECT_EQ(t.textWidth(c.text, t.baseSize(), false), c.want) << c.text;
  EXPECT_EQ(t.textWidth("abc", t.baseSize(), true), 16) << "bold is drawn again one pixel to the right";
  EXPECT_EQ(t.textWidth("   ", t.baseSize(), true), 15) << "spaces alone gain nothing from bold";
}

TEST(TextMetricsTest, SizesScaleFromTheBaseFont) {
  ClientMetrics m;
  m.ascent = 12;
  m.descent = 4;
  m.lineHeight = 18;
  m.widthTable = uniformTable('H', 'Q');  // 7
  TextMetrics t(m);
  EXPECT_EQ(t.baseSize(), 16);
  EXPECT_EQ(t.ascent(16), 12);
  EXPECT_EQ(t.lineHeight(16), 18) << "the line is at least the client's line height";
  EXPECT_EQ(t.ascent(32), 24);
  EXPECT_EQ(t.textWidth("ab", 32, false), 28);
  EXPECT_EQ(t.textWidth("ab", 8, false), 7);
}

TEST(TextMetricsTest, ABadTableFallsBackToTheDefault) {
  for (const char* table : {"", "short", "!!!"}) {
    ClientMetrics m;
    m.widthTable = table;
    TextMetrics t(m);
    EXPECT_GT(t.textWidth("abc", t.baseSize(), false), 0);
  }
  ClientMetrics bad;
  bad.widthTable = std::string(TextMetrics::TABLE_LENGTH, '*');
  ClientMetrics none;
  EXPECT_EQ(TextMetrics(bad).textWidth("Hello", 14, false), TextMetrics(none).textWidth("Hello", 14, false));
  EXPECT_EQ(TextMetrics::defaultTable().size(), static_cast<size_t>(TextMetrics::TABLE_LENGTH));
}

TEST(TextMetricsTest, BrokenUtf8IsMeasuredNotTrusted) {
  TextMetrics t{ClientMetrics()};
  for (const char* s : {"\xFF", "\xE3\x81", "\xC3", "\xF0\x9F\x98"}) {
    EXPECT_GE(t.textWidth(s, t.baseSize(), false), 0);
  }
}

}  // namespace vesktest
