// The page's scroll bars: shown along the axes where the page is larger than the view, above the
// status line, with the view's place in the page.
#include <gtest/gtest.h>

#include "browser/shell/PageScrollBars.h"
#include "tests/vwt/ui/WidgetScreen.h"
#include "vwt/ui/ScrollBar.h"

namespace {

class PageScrollBarsTest : public WidgetScreen {};

TEST_F(PageScrollBarsTest, EachBarShowsWhereThePageIsLargerThanTheView) {
  open();
  PageScrollBars bars(frame);
  const int T = PageScrollBars::THICKNESS;
  struct Case {
    const char* what;
    int pageWidth, pageHeight, covered, scrollX, scrollY;
    bool vertical, horizontal;
  } cases[] = {
      {"fits", 240, 268, 0, 0, 0, false, false},
      {"taller", 240, 1000, 0, 0, 300, true, false},
      {"as high as the view, the status line over its end", 240, 268, 20, 0, 0, false, false},
      {"wider", 600, 268, 0, 120, 0, false, true},
      {"both", 600, 1000, 20, 50, 400, true, true},
  };
  for (const Case& c : cases) {
    PageScrollBars::View v;
    v.width = 240;
    v.height = 268;
    v.coveredBottom = c.covered;
    v.pageWidth = c.pageWidth;
    v.pageHeight = c.pageHeight;
    v.scrollX = c.scrollX;
    v.scrollY = c.scrollY;
    bars.update(v);
    EXPECT_EQ(bars.verticalShown(), c.vertical) << c.what;
    EXPECT_EQ(bars.horizontalShown(), c.horizontal) << c.what;
    int uncovered = 268 - c.covered;
    if (c.vertical) {
      ScrollBar* b = bars.vertical();
      EXPECT_EQ(b->getTotal(), c.pageHeight) << c.what;
      EXPECT_EQ(b->getVisible(), 268) << c.what;
      EXPECT_EQ(b->getPosition(), c.scrollY) << c.what;
      EXPECT_EQ(b->getWidth(), T) << c.what;
      // The horizontal bar keeps the corner free.
      EXPECT_EQ(b->getHeight(), uncovered - (c.horizontal ? T : 0)) << c.what;
    }
    if (c.horizontal) {
      ScrollBar* b = bars.horizontal();
      EXPECT_EQ(b->getTotal(), c.pageWidth) << c.what;
      EXPECT_EQ(b->getPosition(), c.scrollX) << c.what;
      EXPECT_EQ(b->getHeight(), T) << c.what;
      EXPECT_EQ(b->getWidth(), 240 - (c.vertical ? T : 0)) << c.what;
    }
  }
  bars.hide();
  EXPECT_FALSE(bars.verticalShown());
  EXPECT_FALSE(bars.horizontalShown());
  // The same view again after hiding shows the bars again.
  PageScrollBars::View v;
  v.width = 240;
  v.height = 268;
  v.pageWidth = 600;
  v.pageHeight = 1000;
  bars.update(v);
  EXPECT_TRUE(bars.verticalShown());
  EXPECT_TRUE(bars.horizontalShown());
}

}  // namespace
