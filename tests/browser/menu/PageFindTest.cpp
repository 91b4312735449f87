#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "browser/menu/PageFind.h"
#include "browser/menu/PageText.h"
#include "browser/page/ReflowLayout.h"
#include "browser/page/RenderItem.h"
#include "tests/browser/ReflowSessionFixture.h"
#include "tests/browser/page/FormPageBuilder.h"
#include "tests/browser/page/LoadedPage.h"

namespace {

typedef std::pair<int, int> Place;  // item, offset

// Text runs one under the other, 12 px high.
struct TextPage {
  explicit TextPage(std::initializer_list<const char16_t*> texts) {
    for (const char16_t* t : texts) {
      RenderItem* it = b.item(RenderItem::TEXT, 10, 4 + 14 * b.page.items->size(), 100, 12);
      it->text = String(t, false);
    }
  }
  FormPageBuilder b;
};

Place place(const PageFind& f) { return Place(f.foundItem(), f.foundOffset()); }

TEST(PageFind, ForwardAndBackwardThroughEveryMatchThenRound) {
  TextPage p({u"Apple pie", u"no fruit", u"APPLE and apple"});
  PageFind f;
  struct Step {
    bool forward;
    PageFind::Outcome outcome;
    Place at;
  } steps[] = {
      {true, PageFind::FOUND, {0, 0}},     {true, PageFind::FOUND, {2, 0}},
      {true, PageFind::FOUND, {2, 10}},    {true, PageFind::WRAPPED, {0, 0}},
      {false, PageFind::WRAPPED, {2, 10}}, {false, PageFind::FOUND, {2, 0}},
      {false, PageFind::FOUND, {0, 0}},
  };
  for (const Step& s : steps) {
    EXPECT_EQ(s.outcome, f.find(&p.b.page, nullptr, u"apple"_s, s.forward));
    EXPECT_EQ(s.at, place(f));
  }
}

TEST(PageFind, HighlightIsTheFoundRun) {
  TextPage p({u"one", u"two"});
  PageFind f;
  ASSERT_EQ(PageFind::FOUND, f.find(&p.b.page, nullptr, u"TWO"_s, true));
  ASSERT_EQ(1u, f.highlight().size());
  const CommandHost::Area& a = f.highlight()[0];
  EXPECT_EQ(10, a.x);
  EXPECT_EQ(18, a.y);
  EXPECT_EQ(100, a.width);
  EXPECT_EQ(12, a.height);
}

TEST(PageFind, NothingToFind) {
  TextPage p({u"one", u"two"});
  FormPageBuilder empty;
  PageFind f;
  struct Case {
    const Page* page;
    const char16_t* text;
  } cases[] = {{&p.b.page, u"three"}, {&p.b.page, u""}, {&empty.page, u"one"}, {nullptr, u"one"}};
  for (const Case& c : cases) {
    EXPECT_EQ(PageFind::NONE, f.find(c.page, nullptr, String(c.text, false), true));
    EXPECT_TRUE(f.highlight().empty());
    EXPECT_EQ(-1, f.foundItem());
  }
  // Backward from nothing found starts at the end.
  EXPECT_EQ(PageFind::FOUND, f.find(&p.b.page, nullptr, u"o"_s, false));
  EXPECT_EQ(Place(1, 2), place(f));
}

TEST(PageFind, AnotherTextOrPageStartsAgain) {
  TextPage p({u"ab", u"ab ab"});
  TextPage q({u"xx ab"});
  PageFind f;
  f.find(&p.b.page, nullptr, u"ab"_s, true);
  f.find(&p.b.page, nullptr, u"ab"_s, true);
  EXPECT_EQ(Place(1, 0), place(f));
  EXPECT_EQ(PageFind::FOUND, f.find(&p.b.page, nullptr, u"b"_s, true));
  EXPECT_EQ(Place(0, 1), place(f));
  EXPECT_EQ(PageFind::FOUND, f.find(&q.b.page, nullptr, u"b"_s, true));
  EXPECT_EQ(Place(0, 4), place(f));
  f.reset();
  EXPECT_TRUE(f.highlight().empty());
  EXPECT_EQ(PageFind::FOUND, f.find(&q.b.page, nullptr, u"x"_s, true));
  EXPECT_EQ(Place(0, 0), place(f));
}

TEST(PageFind, ServedPageVisitsEachMatchInOrder) {
  LoadedPage loaded("http://demo.site/index.html");
  Page* page = loaded.page.get();
  std::vector<RenderItem*> items = PageText::textItems(page, nullptr);
  int expected = 0;
  for (RenderItem* item : items) {
    String lower = item->text.toLowerCase();
    for (int at = lower.indexOf(u"page"_s); at >= 0; at = lower.indexOf(u"page"_s, at + 1)) ++expected;
  }
  ASSERT_GE(expected, 3);

  PageFind f;
  std::vector<Place> forward;
  while (f.find(page, nullptr, u"Page"_s, true) == PageFind::FOUND) {
    forward.push_back(place(f));
    ASSERT_LE(forward.size(), static_cast<size_t>(expected));
  }
  EXPECT_EQ(static_cast<size_t>(expected), forward.size());
  for (size_t i = 1; i < forward.size(); ++i) EXPECT_LT(forward[i - 1], forward[i]);
  EXPECT_EQ(forward.front(), place(f));  // went round to the first

  f.reset();
  std::vector<Place> backward;
  while (f.find(page, nullptr, u"PAGE"_s, false) == PageFind::FOUND) backward.push_back(place(f));
  EXPECT_EQ(std::vector<Place>(forward.rbegin(), forward.rend()), backward);
}

}  // namespace

namespace {

class PageFindReflow : public ReflowSessionFixture {};

TEST_F(PageFindReflow, FindsInTheReflowedLinesAndHighlightsThere) {
  ASSERT_EQ(1, core_->startSession(true));
  core_->setReflowMode(true);
  ASSERT_TRUE(request("http://shipped.site/index.html"));
  SharedPtr<Page> page = core_->getCurrentPage();
  std::lock_guard<std::mutex> held(core_->pageLock());
  ReflowLayout* layout = core_->reflowLayout();
  ASSERT_NE(nullptr, layout);
  PageFind f;
  ASSERT_EQ(PageFind::FOUND, f.find(page.get(), layout, u"long page"_s, true));
  RenderItem* found = PageText::textItems(page.get(), layout)[f.foundItem()];
  EXPECT_GE(found->text.toLowerCase().indexOf(u"long page"_s), 0);
  ASSERT_EQ(1u, f.highlight().size());
  const CommandHost::Area& a = f.highlight()[0];
  EXPECT_EQ(found->y, a.y);
  EXPECT_LE(a.x + a.width, layout->pageWidth());
  EXPECT_LT(a.y, layout->pageHeight());
  // The same search in layout view is another search: it starts again.
  EXPECT_EQ(PageFind::FOUND, f.find(page.get(), nullptr, u"long page"_s, false));
}

}  // namespace
