#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "browser/page/Page.h"
#include "browser/page/SharedPtr.h"
#include "browser/page/Stack.h"

namespace {

// Counts destructions so ownership mistakes show.
struct Counted {
  explicit Counted(int* deaths) : deaths(deaths) {}
  ~Counted() { ++*deaths; }
  int* deaths;
};

}  // namespace

TEST(Page, InitialValues) {
  Page p;
  EXPECT_TRUE(p.url.isNull());
  EXPECT_EQ(p.backgroundColor, 0xFFFFFF);
  EXPECT_EQ(p.pageFlags, 1);
  EXPECT_EQ(p.zoom, 100);
  EXPECT_EQ(p.dataLength, 0);
  EXPECT_FALSE(p.items);
  EXPECT_EQ(p.mainCount(), 0);
  EXPECT_EQ(p.resolveReference(0), nullptr);
}

TEST(SharedPtr, CountsReferencesAndDestroysWithTheLast) {
  int deaths = 0;
  {
    SharedPtr<Counted> a(new Counted(&deaths));
    EXPECT_EQ(a.getCount(), 1);
    SharedPtr<Counted> b = a;
    EXPECT_EQ(a.getCount(), 2);
    Counted* same = a.get();
    b = same;  // the pointer it already holds: nothing happens
    EXPECT_EQ(b.getCount(), 2);
    b = b;
    EXPECT_EQ(b.getCount(), 2);
    a.release();
    EXPECT_FALSE(a);
    EXPECT_EQ(deaths, 0);
    EXPECT_EQ(b.getCount(), 1);
    b = new Counted(&deaths);  // releases the first, which dies
    EXPECT_EQ(deaths, 1);
  }
  EXPECT_EQ(deaths, 2);
}

TEST(SharedPtr, CopiesDroppedOnTwoThreads) {
  int deaths = 0;
  SharedPtr<Counted> shared(new Counted(&deaths));
  std::thread worker([shared] {
    for (int i = 0; i < 20000; ++i) {
      SharedPtr<Counted> copy = shared;
      copy.release();
    }
  });
  for (int i = 0; i < 20000; ++i) {
    SharedPtr<Counted> copy;
    copy = shared;
  }
  worker.join();
  EXPECT_EQ(shared.getCount(), 1);
  EXPECT_EQ(deaths, 0);
}

TEST(Stack, DestroysItsEntriesAndReleasesThePages) {
  int deaths = 0;
  SharedPtr<Counted> kept(new Counted(&deaths));
  {
    Stack<SharedPtr<Counted>*> history;
    history.addElement(new SharedPtr<Counted>(kept));
    history.addElement(new SharedPtr<Counted>(new Counted(&deaths)));
    EXPECT_EQ(kept.getCount(), 2);
  }
  EXPECT_EQ(deaths, 1);  // only the page nobody else held
  EXPECT_EQ(kept.getCount(), 1);
}

TEST(RenderItem, ValueListsAndChild) {
  RenderItem item;
  EXPECT_FALSE(item.lists);
  item.ensureLists(2);
  EXPECT_EQ(item.lists->size(), 2);
  item.ensureLists(1);
  EXPECT_EQ(item.lists->size(), 2);
  item.getList(1)->addElement(new String(u"v"_s));
  item.setList(1, new RenderItem::ValueList(true));
  EXPECT_EQ(item.getList(1)->size(), 0);
  EXPECT_EQ(item.getList(5), nullptr);
  item.setChild(new RenderItem());
  item.setChild(new RenderItem());  // the old child is destroyed
  item.addIndexRef(4);
  EXPECT_TRUE(item.isIndexRef(0));
  EXPECT_FALSE(item.isIndexRef(1));
}
