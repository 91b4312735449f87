// The font list, the three fonts and what is measured on the base font.
#include <gtest/gtest.h>

#include "browser/page/PageFonts.h"
#include "tests/vwt/ScratchDirectory.h"
#include "tests/vwt/TestText.h"
#include "vwt/lang/System.h"

namespace {

TEST(PageFontsTest, FixedFontsFollowTheSettingIndexes) {
  ScratchProgram program;
  PageFonts fonts;
  fonts.setUp(false, 3, 0, 1);
  ASSERT_EQ(PageFonts::FIXED_FONT_COUNT, fonts.fontCount());
  // The fixed list is 0x400, 0x100, 0x200, 0x300: 12, 16, 20 and 24 pixels.
  EXPECT_EQ(24, fonts.pageFont()->getHeight());
  EXPECT_EQ(12, fonts.interfaceFont()->getHeight());
  EXPECT_EQ(16, fonts.baseFont()->getHeight());
  EXPECT_EQ(100 * 24 / 16, fonts.baseZoom());
  // Settings out of range take the nearest font.
  fonts.setUp(false, 9, -4, 2);
  EXPECT_EQ(24, fonts.pageFont()->getHeight());
  EXPECT_EQ(12, fonts.interfaceFont()->getHeight());
}

TEST(PageFontsTest, ScalableFontsComeFromTheSizeListOrFallBackToFixed) {
  struct Case {
    const char* property;
    std::vector<int> heights;
  } cases[] = {
      {"font.size.list=10,14, 18\n", {10, 14, 18}},
      {"font.size.list=10,0,999,abc,-3,14\n", {10, 14}},  // sizes no handset has are left out
      {"font.size.list=\n", {12, 16, 20, 24}},
      {"", {12, 16, 20, 24}},
  };
  for (const Case& c : cases) {
    ScratchProgram program;
    program.write("system.ini", c.property);
    System::unloadProperties();
    PageFonts fonts;
    fonts.setUp(true, 0, 0, 0);
    ASSERT_EQ(static_cast<int>(c.heights.size()), fonts.fontCount()) << c.property;
    for (int i = 0; i < fonts.fontCount(); ++i)
      EXPECT_EQ(c.heights[i], fonts.fontAt(i)->getHeight()) << c.property;
  }
}

TEST(PageFontsTest, TheWidthTableHasOneLetterPerCharacter) {
  String table = PageFonts::charWidthTable([](char16_t c) {
    if (c == u'A') return 7;
    if (c == u'B') return 64;
    if (c == u'C') return -1;
    return 12;
  });
  ASSERT_EQ(PageFonts::CHAR_WIDTH_COUNT, table.length());
  EXPECT_EQ(u'H', table.charAt(0x41 - 0x20));
  EXPECT_EQ(u'_', table.charAt(0x42 - 0x20));
  EXPECT_EQ(u'A', table.charAt(0x43 - 0x20));
  EXPECT_EQ(u'M', table.charAt(0));
}

TEST(PageFontsTest, TheBaseFontIsMeasured) {
  ScratchProgram program;
  PageFonts fonts;
  fonts.setUp(false, 0, 2, 0);
  FontMetrics m = fonts.metrics();
  vwt::Font* base = fonts.baseFont();
  EXPECT_EQ(base->getAscent(), m.ascent);
  EXPECT_EQ(base->getDescent(), m.descent);
  EXPECT_EQ(20, m.lineHeight);  // the interface font's
  EXPECT_EQ(base->charWidth(u'\u6F22'), m.wideCharWidth);
  EXPECT_GT(m.wideCharWidth, 0);
  ASSERT_EQ(PageFonts::CHAR_WIDTH_COUNT, m.charWidths.length());
  EXPECT_EQ(u"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_"[base->charWidth(u'A')],
            m.charWidths.charAt(0x41 - 0x20));
  // "h" sits on its baseline: the offset is small and positive.
  EXPECT_GE(fonts.textOffset(), 0);
  EXPECT_LE(fonts.textOffset(), 3);
  EXPECT_EQ(1, PageFonts::offsetFromInk(20, 19));
  EXPECT_EQ(3, PageFonts::offsetFromInk(20, 16));
  EXPECT_EQ(0, PageFonts::offsetFromInk(20, 22));
}

}  // namespace
