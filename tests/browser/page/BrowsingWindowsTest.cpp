#include <gtest/gtest.h>

#include <string>

#include "browser/page/BrowsingWindows.h"
#include "browser/store/RecordStore.h"
#include "browser/store/SettingsDefaults.h"
#include "tests/vwt/ScratchDirectory.h"
#include "tests/vwt/TestText.h"

namespace {

SharedPtr<Page> page(const char* url) {
  SharedPtr<Page> p(new Page());
  p->url = String(url);
  return p;
}

std::string urlAt(const BrowsingWindows& windows, int i, int w = -1) {
  SharedPtr<Page> p = windows.getPage(i, w);
  return p ? narrow(p->url) : "-";
}

}  // namespace

TEST(BrowsingWindows, StartsWithOneEmptyCurrentWindow) {
  BrowsingWindows windows(500);
  EXPECT_EQ(1, windows.getCount());
  EXPECT_EQ(0, windows.getCurrent());
  EXPECT_EQ(-1, windows.getPosition());
  EXPECT_EQ(500, windows.getCreated());
  EXPECT_FALSE(windows.getCurrentEntry());
}

TEST(BrowsingWindows, ANewPageAfterGoingBackDropsTheEntriesAhead) {
  BrowsingWindows windows(0);
  windows.enterPage(page("a"), true);
  windows.enterPage(page("b"), true);
  windows.enterPage(page("c"), true);
  windows.setPosition(0);
  windows.enterPage(page("d"), true);
  EXPECT_EQ(2, windows.getHistorySize());
  EXPECT_EQ(1, windows.getPosition());
  EXPECT_EQ("d", urlAt(windows, 1));
  // A reload replaces the entry on screen.
  windows.enterPage(page("d2"), false);
  EXPECT_EQ(2, windows.getHistorySize());
  EXPECT_EQ("d2", narrow(windows.getCurrentEntry()->url));
}

// The 17th window replaces the oldest, which need not be the current one
// nor the first; of equal ages the first in the list goes.
TEST(BrowsingWindows, TheSeventeenthWindowReplacesTheOldest) {
  struct Case {
    int oldest;  // the window made first; -1: all of one age
    int current;
    int replaced;
  } cases[] = {{0, 15, 0}, {5, 5, 5}, {9, 0, 9}, {-1, 3, 0}};
  for (const Case& c : cases) {
    auto age = [&](int w) { return c.oldest < 0 ? 7 : (w == c.oldest ? 10 : 1000 + w); };
    BrowsingWindows windows(age(0));
    for (int w = 1; w < BrowsingWindows::MAX_WINDOWS; ++w) EXPECT_EQ(w, windows.openWindow(age(w)));
    windows.setCurrent(c.current);
    windows.enterPage(page("kept"), true);
    EXPECT_EQ(c.replaced, windows.openWindow(5000)) << c.oldest;
    EXPECT_EQ(16, windows.getCount());
    EXPECT_EQ(c.replaced, windows.getCurrent());
    EXPECT_EQ(-1, windows.getPosition());
    EXPECT_EQ(5000, windows.getCreated());
    if (c.current != c.replaced) {
      EXPECT_EQ("kept", urlAt(windows, 0, c.current)) << c.oldest;
    }
  }
}

TEST(BrowsingWindows, ClosingMovesTheCurrentIndexAsTheListShrinks) {
  struct Case {
    int count, current, closed;
    bool changed;
    int after;
  } cases[] = {
      {1, 0, 0, false, 0},  // the only window stays
      {3, 2, 0, false, 1},  // one before the current
      {3, 0, 2, false, 0},  // one after it
      {3, 1, 1, true, 1},   // the current one: the next takes its place
      {3, 2, 2, true, 1},   // the current last one: the last becomes current
      {3, 1, 7, false, 1},  // no such window
  };
  for (const Case& c : cases) {
    BrowsingWindows windows(0);
    for (int w = 1; w < c.count; ++w) windows.openWindow(w);
    windows.setCurrent(c.current);
    EXPECT_EQ(c.changed, windows.closeWindow(c.closed)) << c.closed;
    EXPECT_EQ(c.after, windows.getCurrent()) << c.closed;
    EXPECT_EQ(c.count == 1 || c.closed >= c.count ? c.count : c.count - 1, windows.getCount());
  }
}

TEST(BrowsingWindows, EvictionOrderIsOtherWindowsFirst) {
  BrowsingWindows windows(0);
  windows.enterPage(page("a1"), true);
  windows.openWindow(1);
  windows.enterPage(page("b1"), true);
  windows.enterPage(page("b2"), true);
  windows.openWindow(2);
  windows.enterPage(page("c1"), true);
  windows.setCurrent(1);
  std::string order;
  for (const SharedPtr<Page>& p : windows.pagesByEviction()) order += narrow(p->url) + " ";
  EXPECT_EQ("a1 c1 b1 b2 ", order);
}

TEST(BrowsingWindows, SavedListComesBackWithUrlsAndAges) {
  ScratchProgram program;
  RecordStore store(nullptr, SettingsDefaults());
  store.open();
  BrowsingWindows empty(0);
  EXPECT_FALSE(empty.restore(store));

  BrowsingWindows windows(100);
  windows.enterPage(page("http://a/1"), true);
  windows.enterPage(page("http://a/2"), true);
  windows.setPosition(0);
  windows.openWindow(200);
  windows.openWindow(300);
  windows.enterPage(page("http://c/"), true);
  windows.setCurrent(1);
  windows.save(store);

  BrowsingWindows back(0);
  ASSERT_TRUE(back.restore(store));
  ASSERT_EQ(3, back.getCount());
  EXPECT_EQ(1, back.getCurrent());
  EXPECT_EQ("http://a/1", urlAt(back, 0, 0));
  EXPECT_EQ(0, back.getPosition(0));
  EXPECT_EQ(-1, back.getPosition(1));
  EXPECT_EQ("http://c/", urlAt(back, 0, 2));
  EXPECT_EQ(200, back.getCreated(1));
  EXPECT_EQ(300, back.getCreated(2));
  EXPECT_EQ(0, back.getPage(0, 0)->dataLength);  // shown again by asking for it

  store.removeRecord(RecordStore::WINDOWS);
  BrowsingWindows none(0);
  EXPECT_FALSE(none.restore(store));
  EXPECT_EQ(1, none.getCount());
}
