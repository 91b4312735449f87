#include <gtest/gtest.h>

#include <memory>

#include "vwt/lang/AutoPtr.h"
#include "vwt/platform/PixelRegion.h"
#include "vwt/ui/Region.h"

namespace {

TEST(RegionTest, RectanglesAndCombinations) {
  struct Case {
    Region::COMBINE_MODE mode;
    bool in1, in6, in12;
  } cases[] = {{Region::RGN_AND, false, true, false},
               {Region::RGN_OR, true, true, true},
               {Region::RGN_XOR, true, false, true},
               {Region::RGN_DIFF, true, false, false},
               {Region::RGN_COPY, false, true, true}};
  for (const Case& c : cases) {
    AutoPtr<Region> a(Region::createRectRgn(0, 0, 10, 10));
    AutoPtr<Region> b(Region::createRectRgn(15, 15, 5, 5));  // corners the wrong way round
    a->combineRgn(b.get(), c.mode);
    EXPECT_EQ(a->getHandle()->contains(1, 1), c.in1) << c.mode;
    EXPECT_EQ(a->getHandle()->contains(6, 6), c.in6) << c.mode;
    EXPECT_EQ(a->getHandle()->contains(12, 12), c.in12) << c.mode;
  }
  AutoPtr<Region> r(Region::createRectRgn(0, 0, 4, 4));
  EXPECT_FALSE(r->getHandle()->contains(4, 0));  // right and bottom are outside
  r->combineRgn(nullptr, Region::RGN_AND);       // nothing
  EXPECT_TRUE(r->getHandle()->contains(3, 3));
}

TEST(RegionTest, AWindowTakesTheArea) {
  AutoPtr<Region> r(Region::createRectRgn(0, 0, 4, 4));
  std::unique_ptr<vwt::platform::PixelRegion> taken(r->releaseHandle());
  ASSERT_NE(taken, nullptr);
  EXPECT_EQ(r->getHandle(), nullptr);
  AutoPtr<Region> other(Region::createRectRgn(0, 0, 1, 1));
  other->combineRgn(r.get(), Region::RGN_OR);  // a released region combines as nothing
  EXPECT_FALSE(other->getHandle()->contains(2, 2));
}

}  // namespace
