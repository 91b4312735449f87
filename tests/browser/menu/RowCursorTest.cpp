// The selection and scrolled window that the menus share.
#include <gtest/gtest.h>

#include "browser/menu/RowCursor.h"

namespace {

RowCursor rows(const char* pattern, bool showLabelAbove = false) {
  // 's' a selectable row, '-' one that is not.
  RowCursor c(showLabelAbove);
  for (const char* p = pattern; *p; ++p) c.addRow(*p == 's');
  return c;
}

TEST(RowCursor, MovingWrapsOverTheSelectableRowsOnly) {
  RowCursor c = rows("-s-ss-");
  EXPECT_EQ(c.selected(), 1) << "the first selectable row";
  c.move(1);
  EXPECT_EQ(c.selected(), 3);
  c.move(1);
  c.move(1);
  EXPECT_EQ(c.selected(), 1) << "past the end to the top";
  c.move(-1);
  EXPECT_EQ(c.selected(), 4);
  c.select(5);
  EXPECT_EQ(c.selected(), 1) << "the next selectable row, wrapping";
  c.select(99);
  EXPECT_EQ(c.selected(), 1);
  RowCursor none = rows("--");
  EXPECT_EQ(none.selected(), -1);
  none.select(0);
  none.move(1);
  EXPECT_EQ(none.selected(), -1);
}

TEST(RowCursor, TheSelectedRowStaysInViewAndPagesStayInTheList) {
  RowCursor c = rows("ssssssssss");
  c.setVisible(4);
  c.select(6);
  EXPECT_EQ(c.first(), 3);
  c.move(-1);
  c.move(-1);
  c.move(-1);
  c.move(-1);
  EXPECT_EQ(c.first(), 2);
  EXPECT_TRUE(c.page(1));
  EXPECT_EQ(c.first(), 6);
  EXPECT_FALSE(c.page(1)) << "the last screenful";
  EXPECT_TRUE(c.page(-1));
  EXPECT_TRUE(c.page(-1));
  EXPECT_EQ(c.first(), 0);
  c.setVisible(20);
  EXPECT_EQ(c.first(), 0) << "everything fits";
}

TEST(RowCursor, AHeadingComesIntoViewWithTheFirstRowOfItsGroup) {
  for (bool above : {false, true}) {
    RowCursor c = rows("-sss-sss", above);
    c.setVisible(3);
    c.select(7);
    c.select(5);
    EXPECT_EQ(c.first(), above ? 4 : 5) << above;
  }
}

}  // namespace
