#include <gtest/gtest.h>

#include "browser/menu/PageText.h"
#include "browser/page/ReflowLayout.h"
#include "browser/page/RenderItem.h"
#include "tests/browser/ReflowSessionFixture.h"
#include "tests/browser/menu/FakeCommandHost.h"
#include "tests/browser/page/FormPageBuilder.h"

namespace {

RenderItem* run(FormPageBuilder& b, const char16_t* text, int x, int y, int w, int type = RenderItem::TEXT) {
  RenderItem* it = b.item(type, x, y, w, 12);
  it->text = String(text, false);
  return it;
}

TEST(PageText, LayoutViewJoinsRunsOfARowAndBreaksBetweenRows) {
  FormPageBuilder b;
  run(b, u"Hello", 0, 0, 30);
  run(b, u"world", 34, 0, 30);  // a gap: a space
  run(b, u"!", 64, 1, 4);       // touching, a pixel lower: same row, no space
  run(b, u"Next", 0, 14, 30);   // below: a new line
  run(b, u"ignored", 0, 30, 30, RenderItem::BUTTON);
  run(b, u"", 0, 30, 30);  // empty runs add nothing
  run(b, u"Left", 60, 30, 20);
  run(b, u"back", 10, 30, 20);  // back to the left: a new line
  EXPECT_EQ("Hello world!\nNext\nLeft\nback\n", ascii(PageText::of(&b.page, nullptr)));
  EXPECT_EQ(6u, PageText::textItems(&b.page, nullptr).size());
}

TEST(PageText, NoPageNoText) {
  FormPageBuilder empty;
  EXPECT_EQ(0, PageText::of(nullptr, nullptr).length());
  EXPECT_EQ(0, PageText::of(&empty.page, nullptr).length());
}

class PageTextReflow : public ReflowSessionFixture {};

TEST_F(PageTextReflow, ReflowViewTakesTheLinesTexts) {
  ASSERT_EQ(1, core_->startSession(true));
  core_->setReflowMode(true);
  ASSERT_TRUE(request("http://shipped.site/index.html"));
  SharedPtr<Page> page = core_->getCurrentPage();
  std::lock_guard<std::mutex> held(core_->pageLock());
  ReflowLayout* layout = core_->reflowLayout();
  ASSERT_NE(nullptr, layout);
  String text = PageText::of(page.get(), layout);
  EXPECT_TRUE(text.equals(layout->text()));
  EXPECT_EQ(layout->lines().size(), [&] {
    int n = 0;
    for (int i = 0; i < text.length(); ++i) n += text.charAt(i) == u'\n';
    return n;
  }());
  EXPECT_GE(text.indexOf(u"Demonstration site"_s), 0);
  // The runs in the lines, in order.
  std::vector<RenderItem*> items = PageText::textItems(page.get(), layout);
  ASSERT_FALSE(items.empty());
  int at = 0;
  for (RenderItem* item : items) {
    at = text.indexOf(item->text, at);
    ASSERT_GE(at, 0) << ascii(item->text);
    at += item->text.length();
  }
}

}  // namespace
