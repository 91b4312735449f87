#include <gtest/gtest.h>

#include "browser/page/ImageMapPoint.h"
#include "browser/page/PointerFeedback.h"
#include "browser/page/RenderItem.h"
#include "tests/vwt/TestText.h"
#include "vwt/lang/Vector.h"

namespace {

RenderItem* item(int type, int x, int y, int w, int h, int flags = 0) {
  RenderItem* it = new RenderItem();
  it->type = type;
  it->x = x;
  it->y = y;
  it->width = w;
  it->height = h;
  it->flags = flags;
  return it;
}

// A link over a 200 x 100 map picture at (10, 20), shown in reflow as a half-size copy at (0, 50), and
// over a plain picture beside it. The refs lists do not own their items: the fixture does.
class ImageMapPointTest : public ::testing::Test {
 protected:
  ImageMapPointTest()
      : link(item(RenderItem::LINK, 0, 0, 0, 0)),
        map(item(RenderItem::IMAGE, 10, 20, 200, 100, ImageMapPoint::IMAGE_MAP)),
        shown(item(RenderItem::IMAGE, 0, 50, 100, 50)),
        plain(item(RenderItem::IMAGE, 220, 20, 50, 50)) {
    link->text = u"http://demo.local/map"_s;
    link->refs = new Vector<Object*>(false);
    link->refs->addElement(plain);
    link->refs->addElement(map);
    map->refs = new Vector<Object*>(false);
    map->refs->addElement(shown);
  }
  ~ImageMapPointTest() override {
    delete link;
    delete map;
    delete shown;
    delete plain;
  }
  RenderItem* link;
  RenderItem* map;
  RenderItem* shown;
  RenderItem* plain;
};

TEST_F(ImageMapPointTest, ThePointIsInThePicturesOwnPixelsAtEveryZoomAndInReflow) {
  struct Case {
    int px, py, zoom;
    bool reflow;
    bool on;
    int x, y;
  } cases[] = {
      {15, 25, 100, false, true, 5, 5},       // near the corner
      {209, 119, 100, false, true, 199, 99},  // the last pixel
      {210, 25, 100, false, false, 0, 0},     // one past the right edge
      {30, 60, 200, false, true, 5, 10},      // zoomed in: pointer pixels are halved
      {250, 30, 100, false, false, 0, 0},     // the plain picture is no map
      {50, 75, 100, true, true, 100, 50},     // reflow: the copy's middle is the picture's middle
      {15, 25, 100, true, false, 0, 0},       // reflow: the original place no longer counts
  };
  for (const Case& c : cases) {
    int x = -1, y = -1;
    bool on = ImageMapPoint::find(link, c.px, c.py, c.zoom, c.reflow, &x, &y);
    EXPECT_EQ(on, c.on) << c.px << "," << c.py << " zoom " << c.zoom << " reflow " << c.reflow;
    if (on && c.on) {
      EXPECT_EQ(x, c.x) << c.px << "," << c.py;
      EXPECT_EQ(y, c.y) << c.px << "," << c.py;
    }
  }
}

TEST_F(ImageMapPointTest, TheStatusLineShowsThePointInBothViews) {
  EXPECT_EQ(narrow(PointerFeedback::statusText(link, 15, 25, 100, false)), " http://demo.local/map?5,5");
  EXPECT_EQ(narrow(PointerFeedback::statusText(link, 50, 75, 100, true)), " http://demo.local/map?100,50");
  EXPECT_EQ(narrow(PointerFeedback::statusText(link, 250, 30, 100, false)), " http://demo.local/map");
}

TEST_F(ImageMapPointTest, NoLinkOrNoZoomFindsNothing) {
  int x = 0, y = 0;
  EXPECT_FALSE(ImageMapPoint::find(nullptr, 15, 25, 100, false, &x, &y));
  EXPECT_FALSE(ImageMapPoint::find(link, 15, 25, 0, false, &x, &y));
}

}  // namespace
