// The reflow layout's view of the canvas: the page font's measures and the canvas's sources.
#include <gtest/gtest.h>

#include "browser/page/PageFonts.h"
#include "browser/shell/CanvasReflowHost.h"
#include "tests/vwt/ScratchDirectory.h"
#include "vwt/ui/Font.h"

namespace {

TEST(CanvasReflowHostTest, MeasuresWithThePageFontAndAsksTheSources) {
  ScratchProgram program;
  PageFonts fonts;
  fonts.setUp(false, 2, 0, 2);
  int flags = 0x40040, extentW = 0, extentH = 0;
  CanvasReflowHost::Sources sources;
  sources.flags = [&flags] { return flags; };
  sources.view = [] {
    CanvasReflowHost::View v;
    v.width = 480;
    v.height = 640;
    v.zoom = 150;
    return v;
  };
  sources.background = [] { return 0x336699; };
  sources.extent = [&](int w, int h) {
    extentW = w;
    extentH = h;
  };
  CanvasReflowHost host(&fonts, sources);
  vwt::Font* page = fonts.pageFont();
  ASSERT_NE(nullptr, page);
  EXPECT_EQ(page->getHeight(), host.pageLineHeight());
  EXPECT_EQ(fonts.interfaceFont()->getHeight(), host.interfaceLineHeight());
  EXPECT_EQ(page->getFaceType(), host.pageFaceType());
  for (char16_t c : {u'a', u'W', u' ', u'\u3042', u'\uFF71'}) {
    EXPECT_EQ(page->charWidth(c), host.pageCharWidth(c)) << static_cast<int>(c);
    EXPECT_EQ(page->charWidth(c), host.pageCharWidth(c)) << "measured once, kept";
  }
  EXPECT_EQ(0x40040, host.canvasFlags());
  flags = 0;
  EXPECT_EQ(0, host.canvasFlags());
  EXPECT_EQ(480, host.viewWidth());
  EXPECT_EQ(640, host.viewHeight());
  EXPECT_EQ(150, host.zoom());
  EXPECT_EQ(0x336699, host.pageBackground());
  host.setPageExtent(480, 1234);
  EXPECT_EQ(480, extentW);
  EXPECT_EQ(1234, extentH);

  // Another page font: its own widths.
  fonts.setUp(false, 0, 0, 0);
  EXPECT_EQ(fonts.pageFont()->charWidth(u'W'), host.pageCharWidth(u'W'));
}

TEST(CanvasReflowHostTest, WithoutFontsOrSources) {
  PageFonts fonts;
  CanvasReflowHost host(&fonts, CanvasReflowHost::Sources());
  EXPECT_EQ(0, host.pageLineHeight());
  EXPECT_EQ(0, host.pageCharWidth(u'a'));
  EXPECT_EQ(0, host.pageFaceType());
  EXPECT_EQ(0, host.interfaceLineHeight());
  EXPECT_EQ(0, host.canvasFlags());
  EXPECT_EQ(0xFFFFFF, host.pageBackground());
  EXPECT_EQ(0, host.viewWidth());
  EXPECT_EQ(100, host.zoom());
  host.setPageExtent(1, 2);
}

}  // namespace
