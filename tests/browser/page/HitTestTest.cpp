// The link, control or map area under a point, by type, zoom and view mode.
#include <gtest/gtest.h>

#include <vector>

#include "browser/page/HitTest.h"
#include "browser/page/ReflowHost.h"
#include "browser/page/ReflowLayout.h"
#include "tests/browser/page/FormPageBuilder.h"

namespace {

struct PointCase {
  int x, y, zoom;
  bool hit;
};

// An item at (10, 20) of 30 x 10 page pixels.
const PointCase RECTANGLE_CASES[] = {
    {10, 20, 100, true},  {39, 29, 100, true},  {40, 20, 100, false}, {10, 30, 100, false},
    {9, 25, 100, false},  {5, 10, 50, true},    {19, 14, 50, true},   {20, 10, 50, false},
    {15, 30, 150, true},  {59, 44, 150, true},  {60, 30, 150, false}, {15, 45, 150, false},
    {14, 30, 150, false}, {40, 25, 100, false},
};

TEST(HitTestTest, LinkControlAndRectangleAreaFollowTheZoom) {
  for (int type : {RenderItem::LINK, RenderItem::CONTROL, RenderItem::AREA}) {
    FormPageBuilder b;
    RenderItem* target;
    if (type == RenderItem::AREA) {
      target = b.structure(RenderItem::AREA, {});
      target->color = HitTest::SHAPE_RECTANGLE;
      target->x = 10, target->y = 20, target->width = 30, target->height = 10;
    } else {
      target = b.structure(
          type, {b.item(type == RenderItem::LINK ? RenderItem::TEXT : RenderItem::BUTTON, 10, 20, 30, 10)});
    }
    for (const PointCase& c : RECTANGLE_CASES)
      EXPECT_EQ(c.hit ? target : nullptr, HitTest::at(b.page, c.x, c.y, c.zoom, false))
          << "type " << type << " at " << c.x << "," << c.y << " zoom " << c.zoom;
  }
}

TEST(HitTestTest, CircleAreaHoldsThePointsNoFartherThanItsRadius) {
  FormPageBuilder b;
  RenderItem* area = b.structure(RenderItem::AREA, {});
  area->color = HitTest::SHAPE_CIRCLE;
  area->x = 100, area->y = 100, area->width = 10;  // the radius
  const PointCase cases[] = {
      {100, 100, 100, true},  {110, 100, 100, true}, {111, 100, 100, false}, {108, 106, 100, true},
      {108, 107, 100, false}, {92, 94, 100, true},   {90, 90, 100, false},   {50, 45, 50, true},
      {54, 54, 50, false},    {150, 135, 150, true}, {150, 134, 150, false},
  };
  for (const PointCase& c : cases)
    EXPECT_EQ(c.hit ? area : nullptr, HitTest::at(b.page, c.x, c.y, c.zoom, false))
        << c.x << "," << c.y << " zoom " << c.zoom;
  // Map areas are pictures of the layout: reflow has none.
  EXPECT_EQ(nullptr, HitTest::at(b.page, 100, 100, 100, true));
}

TEST(HitTestTest, PolygonTestsItsBoundsAndOtherShapesNeverHit) {
  FormPageBuilder b;
  RenderItem* odd = b.structure(RenderItem::AREA, {});
  odd->color = 4;
  odd->x = 0, odd->y = 0, odd->width = 50, odd->height = 50;
  RenderItem* polygon = b.structure(RenderItem::AREA, {});
  polygon->color = HitTest::SHAPE_POLYGON;
  polygon->x = 0, polygon->y = 0, polygon->width = 50, polygon->height = 50;
  EXPECT_EQ(polygon, HitTest::at(b.page, 49, 49, 100, false));
  EXPECT_EQ(nullptr, HitTest::at(b.page, 50, 10, 100, false));
}

TEST(HitTestTest, TheFirstInListOrderWinsAndALinkHitsThroughAnyPart) {
  FormPageBuilder b;
  RenderItem* text = b.item(RenderItem::TEXT, 0, 0, 100, 20);
  RenderItem* picture = b.item(RenderItem::IMAGE, 0, 100, 40, 40);
  RenderItem* first = b.link({text, picture});
  RenderItem* second = b.link({b.item(RenderItem::TEXT, 50, 0, 100, 20)});
  EXPECT_EQ(first, HitTest::at(b.page, 60, 10, 100, false));
  EXPECT_EQ(first, HitTest::at(b.page, 20, 120, 100, false));
  EXPECT_EQ(second, HitTest::at(b.page, 120, 10, 100, false));
  EXPECT_EQ(nullptr, HitTest::at(b.page, 60, 60, 100, false));
}

TEST(HitTestTest, BoxedIndexesAndEmptyReferencesAreSkipped) {
  FormPageBuilder b;
  RenderItem* text = b.item(RenderItem::TEXT, 0, 0, 10, 10);
  RenderItem* link = b.link({nullptr});
  link->addIndexRef(7);
  link->refs->addElement(text);
  RenderItem* boxedControl = b.structure(RenderItem::CONTROL, {});
  boxedControl->addIndexRef(3);
  b.structure(RenderItem::CONTROL, {});  // no references at all
  RenderItem* bare = new RenderItem();   // no refs vector
  bare->type = RenderItem::LINK;
  b.page.structure->addElement(bare);
  b.page.structure->addElement(nullptr);
  EXPECT_EQ(link, HitTest::at(b.page, 5, 5, 100, false));
  EXPECT_EQ(nullptr, HitTest::at(b.page, 50, 50, 100, false));
  EXPECT_EQ(nullptr, HitTest::at(b.page, 50, 50, 100, true));
  std::vector<int> rects;
  HitTest::outline(boxedControl, 100, false, &rects);
  HitTest::outline(bare, 100, true, &rects);
  HitTest::outline(nullptr, 100, false, &rects);
  EXPECT_TRUE(rects.empty());

  Page empty;  // no lists at all
  EXPECT_EQ(nullptr, HitTest::at(empty, 0, 0, 100, false));
}

TEST(HitTestTest, ReflowHitsTheDerivedItemsAsTheyStandAndRemembersTheDerivedControl) {
  FormPageBuilder b;
  RenderItem* text = b.item(RenderItem::TEXT, 300, 300, 50, 10);
  RenderItem* link = b.link({text});
  b.derived(text, 0, 40, 60, 15);
  b.derived(text, 0, 55, 20, 15);  // the text went on to the next line
  RenderItem* select = b.item(RenderItem::SELECT, 300, 400, 80, 20);
  RenderItem* control = b.control(select, nullptr);
  b.derived(select, 0, 100, 80, 20);
  RenderItem* second = b.derived(select, 100, 100, 80, 20);
  for (int zoom : {50, 100, 150}) {
    EXPECT_EQ(link, HitTest::at(b.page, 59, 40, zoom, true));
    EXPECT_EQ(link, HitTest::at(b.page, 10, 60, zoom, true));
    EXPECT_EQ(nullptr, HitTest::at(b.page, 30, 60, zoom, true));
    // The page's own places count only in the layout.
    EXPECT_EQ(nullptr, HitTest::at(b.page, 310, 305, zoom, true));
    control->source = nullptr;
    EXPECT_EQ(control, HitTest::at(b.page, 150, 110, zoom, true));
    EXPECT_EQ(second, control->source);
  }
  EXPECT_EQ(link, HitTest::at(b.page, 310, 305, 100, false));
  EXPECT_EQ(control, HitTest::at(b.page, 310, 405, 100, false));
}

TEST(HitTestTest, OutlinesAreTheZoomedRectanglesOrTheDerivedOnes) {
  FormPageBuilder b;
  RenderItem* a = b.item(RenderItem::TEXT, 10, 20, 30, 10);
  RenderItem* c = b.item(RenderItem::IMAGE, 100, 0, 20, 20);
  RenderItem* link = b.link({a, c});
  b.derived(a, 0, 40, 60, 15);
  RenderItem* field = b.item(RenderItem::TEXT_FIELD, 10, 60, 80, 16);
  RenderItem* control = b.control(field, nullptr);
  b.derived(field, 5, 200, 70, 16);
  RenderItem* circle = b.structure(RenderItem::AREA, {});
  circle->color = HitTest::SHAPE_CIRCLE;
  circle->x = 100, circle->y = 100, circle->width = 10;

  std::vector<int> rects;
  HitTest::outline(link, 150, false, &rects);
  EXPECT_EQ((std::vector<int>{15, 30, 45, 15, 150, 0, 30, 30}), rects);
  rects.clear();
  HitTest::outline(link, 150, true, &rects);
  EXPECT_EQ((std::vector<int>{0, 40, 60, 15}), rects);
  rects.clear();
  HitTest::outline(control, 50, false, &rects);
  HitTest::outline(control, 50, true, &rects);
  EXPECT_EQ((std::vector<int>{5, 30, 40, 8, 5, 200, 70, 16}), rects);
  rects.clear();
  HitTest::outline(circle, 50, false, &rects);
  EXPECT_EQ((std::vector<int>{45, 45, 11, 11}), rects);
  rects.clear();
  HitTest::outline(circle, 100, true, &rects);
  EXPECT_TRUE(rects.empty());
}

// Ten pixels a character, a 12-pixel font, a narrow view.
class NarrowView : public ReflowHost {
 public:
  int pageLineHeight() override { return 12; }
  int pageCharWidth(char16_t) override { return 10; }
  int pageFaceType() override { return 0; }
  int interfaceLineHeight() override { return 12; }
  int canvasFlags() override { return 0; }
  int pageBackground() override { return 0xFFFFFF; }
  int viewWidth() override { return 120; }
  int viewHeight() override { return 320; }
  int zoom() override { return 150; }
  void setPageExtent(int, int) override {}
};

TEST(HitTestTest, TheReflowLayoutsOwnDerivedItemsAreHitWhereTheyWerePlaced) {
  FormPageBuilder b;
  RenderItem* text = b.item(RenderItem::TEXT, 400, 10, 300, 12);
  text->text = u"a link over two lines"_s;
  delete text->refs;  // as parsed: a text run has no references
  text->refs = nullptr;
  RenderItem* link = b.link({text});
  RenderItem* select = b.item(RenderItem::SELECT, 400, 40, 60, 16);
  RenderItem* control = b.control(select, nullptr);
  NarrowView view;
  ReflowLayout layout(&view);
  layout.build(&b.page);

  std::vector<int> rects;
  HitTest::outline(link, 150, true, &rects);
  ASSERT_GE(rects.size(), 8u);  // wrapped: one derived run a line
  for (size_t i = 0; i < rects.size(); i += 4)
    EXPECT_EQ(link,
              HitTest::at(b.page, rects[i] + rects[i + 2] / 2, rects[i + 1] + rects[i + 3] / 2, 150, true));
  rects.clear();
  HitTest::outline(control, 150, true, &rects);
  ASSERT_EQ(4u, rects.size());
  EXPECT_EQ(90, rects[2]);  // zoomed once, by the layout
  control->source = nullptr;
  EXPECT_EQ(control, HitTest::at(b.page, rects[0] + 1, rects[1] + 1, 150, true));
  ASSERT_NE(nullptr, control->source);
  EXPECT_EQ(select, control->source->source);
  EXPECT_EQ(rects[1], control->source->y);
}

}  // namespace
