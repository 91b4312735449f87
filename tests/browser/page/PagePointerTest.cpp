// The pointer and the view: clamps and centring in layout mode, link stops and line scrolling in
// reflow mode, paging and zoom.
#include <gtest/gtest.h>

#include "browser/page/PagePointer.h"

namespace {

// A 240 x 320 view over a 1000 x 3000 page; both fonts 12 high.
ViewGeometry geometry(int pageWidth = 1000, int pageHeight = 3000) {
  ViewGeometry g;
  g.viewWidth = 240;
  g.viewHeight = 320;
  g.pageWidth = pageWidth;
  g.pageHeight = pageHeight;
  g.pageLineHeight = 12;
  g.interfaceLineHeight = 12;
  return g;
}

int64_t at(int x, int y) { return static_cast<int64_t>(y) * 240 + x; }

struct Where {
  int x, y, scrollX, scrollY;
  bool operator==(const Where& o) const {
    return x == o.x && y == o.y && scrollX == o.scrollX && scrollY == o.scrollY;
  }
};

std::ostream& operator<<(std::ostream& out, const Where& w) {
  return out << "(" << w.x << "," << w.y << " view " << w.scrollX << "," << w.scrollY << ")";
}

Where where(const PagePointer& p) { return {p.x(), p.y(), p.scrollX(), p.scrollY()}; }

}  // namespace

TEST(PagePointer, StaysOnThePageAndTheViewKeepsItInTheMiddle) {
  struct Case {
    int startX, startY, dx, dy, pageWidth, pageHeight;
    Where want;
  } cases[] = {
      {120, 160, -500, -500, 1000, 3000, {0, 0, 0, 0}},
      {120, 160, 5000, 5000, 1000, 3000, {992, 2984, 760, 2680}},  // width - 8; height - 12 - 4
      {120, 160, 380, 840, 1000, 3000, {500, 1000, 380, 840}},
      {120, 160, 10, -2, 1000, 3000, {130, 158, 10, 0}},
      // A page smaller than the view: the pointer stays on it and the view at 0.
      {50, 50, 100, 100, 100, 60, {92, 44, 0, 0}},
      {5, 5, -10, -10, 4, 4, {0, 0, 0, 0}},
  };
  for (const Case& c : cases) {
    PagePointer p;
    p.setPointer(c.startX, c.startY);
    p.move(c.dx, c.dy, geometry(c.pageWidth, c.pageHeight));
    EXPECT_EQ(where(p), c.want) << c.dx << "," << c.dy;
  }
}

TEST(PagePointer, ANewPageStartsInTheMiddleOfTheView) {
  PagePointer p;
  p.setPointer(900, 900);
  p.reset(geometry());
  EXPECT_EQ(where(p), (Where{120, 160, 0, 0}));
}

TEST(PagePointer, ReflowScrollingTakesThePointerAlongToTheLinksInView) {
  PagePointer::Positions links = {at(10, 20), at(30, 200), at(5, 400), at(50, 600), at(7, 900)};
  ViewGeometry g = geometry(240, 2000);
  PagePointer p;
  p.setPointer(10, 20);
  // Down past the pointer: the last link above the band's bottom (300 + 320 - 16 = 604).
  EXPECT_TRUE(p.scrollReflow(300, g, links));
  EXPECT_EQ(where(p), (Where{50, 600, 0, 300}));
  // Up until the pointer is below the view: the first link from the top + 12 - 6.
  EXPECT_TRUE(p.scrollReflow(-250, g, links));
  EXPECT_EQ(where(p), (Where{30, 200, 0, 50}));
  // Never sideways, never past the ends.
  EXPECT_TRUE(p.scrollReflow(-500, g, links));
  EXPECT_FALSE(p.scrollReflow(-1, g, links));
  EXPECT_EQ(p.scrollY(), 0);
  EXPECT_TRUE(p.scrollReflow(5000, g, links));
  EXPECT_EQ(p.scrollY(), 2000 - 320);
}

TEST(PagePointer, ReflowStepsGoLinkToLinkThenByLines) {
  PagePointer::Positions links = {at(10, 10), at(30, 200), at(5, 290), at(50, 600)};
  ViewGeometry g = geometry(240, 2000);
  PagePointer p;
  p.setPointer(10, 10);
  struct Step {
    int direction, n;
    Where want;
  } steps[] = {
      {1, 1, {30, 200, 0, 0}},
      {1, 2, {5, 290, 0, 0}},
      // The next link is out of view (the band ends at 304): a line (12 + 3) of scrolling instead.
      {1, 3, {5, 290, 0, 15}},
      {-1, 4, {30, 200, 0, 15}},
      // The previous link lies above the view: scroll up first, then go there.
      {-1, 5, {30, 200, 0, 0}},
      {-1, 6, {10, 10, 0, 0}},
      // From the 21st step on: a line per tick, the pointer on the view's last link going down...
      {1, 21, {5, 290, 0, 15}},
      // ...past 30 the line grows by 5 a tick: 15 + 25...
      {1, 35, {5, 290, 0, 55}},
      // ...and on the view's first link going up.
      {-1, 21, {30, 200, 0, 40}},
  };
  for (const Step& s : steps) {
    p.reflowStep(s.direction, s.n, g, links);
    EXPECT_EQ(where(p), s.want) << "step " << s.n << " direction " << s.direction;
  }
}

TEST(PagePointer, PagingMovesAViewLessALine) {
  // Layout mode: the pointer moves 320 - 12 - 4 = 304 and the view follows it.
  PagePointer p;
  p.reset(geometry());
  p.page(1, false, geometry(), {});
  EXPECT_EQ(where(p), (Where{120, 464, 0, 304}));
  p.page(-1, false, geometry(), {});
  p.page(-1, false, geometry(), {});
  EXPECT_EQ(where(p), (Where{120, 0, 0, 0}));
  // Reflow mode: the view moves; down puts the pointer on the first link of the new view, up on its
  // last one.
  PagePointer::Positions links = {at(10, 20), at(30, 310), at(5, 500), at(50, 700)};
  ViewGeometry g = geometry(240, 2000);
  PagePointer r;
  r.setPointer(10, 20);
  r.page(1, true, g, links);
  EXPECT_EQ(where(r), (Where{30, 310, 0, 304}));
  r.page(1, true, g, links);
  EXPECT_EQ(where(r), (Where{50, 700, 0, 608}));
  r.page(-1, true, g, links);
  EXPECT_EQ(where(r), (Where{5, 500, 0, 304}));
}

TEST(PagePointer, ZoomKeepsThePointersPlaceOnThePage) {
  PagePointer p;
  p.setPointer(200, 300);
  p.rescale(100, 150);
  EXPECT_EQ(p.x(), 300);
  EXPECT_EQ(p.y(), 450);
  p.rescale(0, 100);  // nonsense leaves it
  EXPECT_EQ(p.x(), 300);
}
