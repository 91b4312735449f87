// Finding the link under a tap and the scroll limits of the basic page navigation.
#include <gtest/gtest.h>

#include "browser/page/Page.h"
#include "browser/page/RenderItem.h"
#include "browser/shell/BasicNavigation.h"
#include "tests/vwt/TestText.h"

namespace {

RenderItem* item(int type, int x, int y, int w, int h) {
  RenderItem* it = new RenderItem();
  it->type = type;
  it->x = x;
  it->y = y;
  it->width = w;
  it->height = h;
  return it;
}

// Two text runs of one link, an overlapping run of a second link, and a form that is no link.
void fill(Page& page) {
  page.replaceItemLists();
  page.items->addElement(item(RenderItem::TEXT, 10, 10, 50, 14));   // 0
  page.items->addElement(item(RenderItem::TEXT, 10, 24, 30, 14));   // 1
  page.items->addElement(item(RenderItem::TEXT, 40, 24, 40, 14));   // 2, over the end of 1
  page.items->addElement(item(RenderItem::BUTTON, 0, 60, 40, 18));  // 3
  RenderItem* first = item(RenderItem::LINK, 0, 0, 0, 0);
  first->text = u"http://a/"_s;
  first->addIndexRef(0);
  first->addIndexRef(1);
  RenderItem* second = item(RenderItem::LINK, 0, 0, 0, 0);
  second->text = u"http://b/"_s;
  second->addIndexRef(2);
  second->refs->addElement(page.items->elementAt(2));  // a resolved reference counts as well
  RenderItem* form = item(RenderItem::FORM, 0, 0, 0, 0);
  form->text = u"http://form/"_s;
  form->addIndexRef(3);
  second->addIndexRef(99);  // an index that resolves to nothing
  page.structure->addElement(first);
  page.structure->addElement(second);
  page.structure->addElement(form);
}

TEST(BasicNavigation, TheLinkUnderAPagePoint) {
  Page page;
  fill(page);
  struct Case {
    int x, y;
    const char* url;
  } cases[] = {
      {10, 10, "http://a/"},                    // top left corner of a run
      {59, 23, "http://a/"},                    // bottom right corner
      {60, 10, nullptr},                        // one past the right edge
      {20, 30, "http://a/"},                    // the link's second run
      {45, 30, "http://b/"},                    // two links overlap: the later one
      {79, 37, "http://b/"}, {5, 65, nullptr},  // a form control is no link
      {200, 200, nullptr},
  };
  for (const Case& c : cases) {
    RenderItem* link = BasicNavigation::linkAt(page, c.x, c.y);
    SCOPED_TRACE(std::to_string(c.x) + "," + std::to_string(c.y));
    if (!c.url) {
      EXPECT_EQ(link, nullptr);
    } else {
      ASSERT_NE(link, nullptr);
      EXPECT_EQ(narrow(link->text), c.url);
    }
  }
  Page empty;
  EXPECT_EQ(BasicNavigation::linkAt(empty, 10, 10), nullptr);
}

TEST(BasicNavigation, ScrollLimitsFollowTheZoomedPage) {
  struct Case {
    int page, view, zoom, limit;
  } cases[] = {
      {420, 268, 100, 152}, {239, 240, 100, 0}, {420, 268, 200, 572}, {420, 268, 50, 0}, {0, 268, 100, 0}};
  for (const Case& c : cases) EXPECT_EQ(BasicNavigation::scrollLimit(c.page, c.view, c.zoom), c.limit);
}

}  // namespace
