// Reflow mode in the session core: the layout made during the parse, switched on over the page on
// screen and off again, made anew for a kept page shown again, and anchors found in it.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "browser/page/PageFonts.h"
#include "browser/page/ReflowLayout.h"
#include "browser/service/Background.h"
#include "browser/shell/CanvasReflowHost.h"
#include "browser/shell/SessionCore.h"
#include "service/RenderService.h"
#include "tests/browser/ReflowSessionFixture.h"
#include "tests/vwt/ScratchDirectory.h"
#include "tests/vwt/TestText.h"
#include "vwt/lang/System.h"

namespace {

using loopback::sourceDir;

const int VIEW_WIDTH = 240;

// The number of page items of type that have items derived from them.
int linkedItems(Page* page, int type) {
  int n = 0;
  for (int i = 0; i < page->mainCount(); ++i) {
    RenderItem* item = page->items->elementAt(i);
    if (item->type == type && item->refs && item->refs->size() > 0) ++n;
  }
  return n;
}

class ReflowSessionTest : public ReflowSessionFixture {
 protected:
  void SetUp() override {
    ReflowSessionFixture::SetUp();
    ASSERT_EQ(1, core_->startSession(true));
  }
  bool load(const std::string& url) { return request(url); }
  bool reflowFlag() { return (core_->getFlags() & SessionCore::FLAG_REFLOW) != 0; }
  std::string layoutText() {
    std::lock_guard<std::mutex> held(core_->pageLock());
    ReflowLayout* layout = core_->reflowLayout();
    return layout ? narrow(layout->text()) : std::string();
  }
};

TEST_F(ReflowSessionTest, SwitchedOnOverThePageOnScreenAndOffAgain) {
  ASSERT_TRUE(load("http://shipped.site/article.html"));
  SharedPtr<Page> page = core_->getCurrentPage();
  EXPECT_FALSE(reflowFlag());
  EXPECT_EQ(nullptr, core_->reflowLayout());
  EXPECT_EQ(0, linkedItems(page.get(), RenderItem::TEXT));

  core_->setReflowMode(true);
  EXPECT_TRUE(reflowFlag());
  ASSERT_NE(nullptr, core_->reflowLayout());
  EXPECT_NE(std::string::npos, layoutText().find("Spring in the hills"));
  EXPECT_GT(linkedItems(page.get(), RenderItem::TEXT), 5);
  EXPECT_EQ(2, linkedItems(page.get(), RenderItem::IMAGE) + linkedItems(page.get(), RenderItem::IMAGE_ALT));
  // The canvas hears of the re-flowed extent: the view's width.
  EXPECT_EQ(VIEW_WIDTH, extentWidth_);
  EXPECT_EQ(core_->reflowLayout()->pageHeight(), extentHeight_);
  EXPECT_EQ(extentHeight_, page->carriedValue);

  core_->setReflowMode(false);
  EXPECT_FALSE(reflowFlag());
  EXPECT_EQ(nullptr, core_->reflowLayout());
  EXPECT_EQ(0, linkedItems(page.get(), RenderItem::TEXT));
  EXPECT_EQ(0, linkedItems(page.get(), RenderItem::IMAGE));

  // Switched on twice: the page's items are linked with the second layout's items only.
  core_->setReflowMode(true);
  core_->setReflowMode(true);
  ReflowLayout* layout = core_->reflowLayout();
  ASSERT_NE(nullptr, layout);
  int runs = 0, links = 0;
  for (int i = 0; i < layout->lines().size(); ++i)
    for (int k = 0; k < layout->lines().elementAt(i)->size(); ++k)
      if (layout->lines().elementAt(i)->elementAt(k)->type == RenderItem::TEXT) ++runs;
  for (int i = 0; i < page->mainCount(); ++i) {
    RenderItem* item = page->items->elementAt(i);
    if (item->type == RenderItem::TEXT && item->refs) links += item->refs->size();
  }
  EXPECT_EQ(runs, links);
}

TEST_F(ReflowSessionTest, APageParsedInReflowModeGetsItsLayout) {
  core_->setReflowMode(true);
  // No page yet: nothing to lay out.
  EXPECT_EQ(nullptr, core_->reflowLayout());
  ASSERT_TRUE(load("http://demo.local/demo/all-items"));
  SharedPtr<Page> page = core_->getCurrentPage();
  ASSERT_NE(nullptr, core_->reflowLayout());
  EXPECT_NE(std::string::npos, layoutText().find("Hello"));
  // The controls are derived with their page item as source.
  const Vector<RenderItem*>& loose = core_->reflowLayout()->looseItems();
  int controls = 0;
  for (int i = 0; i < loose.size(); ++i) {
    RenderItem* item = loose.elementAt(i);
    if (item->type < RenderItem::BUTTON || item->type > RenderItem::TEXT_AREA) continue;
    ++controls;
    ASSERT_NE(nullptr, item->source);
    EXPECT_EQ(item->source, item->refs->elementAt(0));
    EXPECT_EQ(item->type, item->source->type);
  }
  EXPECT_EQ(8, controls);
  // Link text is marked once the structure list is there.
  EXPECT_EQ(0x0000FF, page->items->elementAt(0)->color2);

  // Reflow off while the next page is parsed: it comes without a layout.
  ASSERT_TRUE(load("http://shipped.site/article.html"));
  ASSERT_NE(nullptr, core_->reflowLayout());
  core_->setReflowMode(false);
  ASSERT_TRUE(load("http://shipped.site/japanese.html"));
  EXPECT_EQ(nullptr, core_->reflowLayout());
  EXPECT_EQ(0, linkedItems(core_->getCurrentPage().get(), RenderItem::TEXT));
}

TEST_F(ReflowSessionTest, WithoutAReflowHostThereIsNoLayout) {
  core_->setReflowHost(nullptr);
  core_->setReflowMode(true);
  EXPECT_TRUE(reflowFlag());
  EXPECT_FALSE(core_->isReflowMode());
  ASSERT_TRUE(load("http://shipped.site/article.html"));
  EXPECT_EQ(nullptr, core_->reflowLayout());
  EXPECT_EQ(0, linkedItems(core_->getCurrentPage().get(), RenderItem::TEXT));
}

TEST_F(ReflowSessionTest, HistoryStepsLayTheKeptPageOutAgain) {
  core_->setReflowMode(true);
  ASSERT_TRUE(load("http://shipped.site/article.html"));
  ASSERT_TRUE(load("http://shipped.site/japanese.html"));
  EXPECT_NE(std::string::npos, layoutText().find("(English)"));
  SharedPtr<Page> article = core_->getWindows().getPage(0);
  ASSERT_TRUE(article);
  // A page that is left gives up its lists and its layout.
  EXPECT_EQ(nullptr, article->reflowLayout.get());

  core_->historyStep(-1);
  ASSERT_EQ(article.get(), core_->getCurrentPage().get());
  ASSERT_NE(nullptr, core_->reflowLayout());
  EXPECT_EQ(0u, layoutText().find("Spring in the hills\n"));
  // The derived items refer to the items of the page as shown.
  ReflowLayout* layout = core_->reflowLayout();
  RenderItem* first = layout->lines().elementAt(0)->elementAt(0);
  RenderItem* parent = static_cast<RenderItem*>(first->refs->elementAt(0));
  EXPECT_LE(0, article->items->indexOf(parent));

  // Forward with reflow switched off: the page comes back in its layout.
  core_->setReflowMode(false);
  core_->historyStep(1);
  EXPECT_EQ(nullptr, core_->reflowLayout());
  EXPECT_EQ(0, linkedItems(core_->getCurrentPage().get(), RenderItem::TEXT));
}

TEST_F(ReflowSessionTest, AnchorsAreFoundInTheLayout) {
  ASSERT_TRUE(load("http://shipped.site/long.html"));
  int x = -1;
  int pageY = core_->findAnchor(u"long.html#S3"_s, &x);
  ASSERT_GT(pageY, 0);
  core_->setReflowMode(true);
  int reflowY = core_->findAnchor(u"#s3"_s, &x);
  ASSERT_GT(reflowY, 0);
  EXPECT_EQ(0, x);
  EXPECT_NE(pageY, reflowY);
  // The anchor is on the line that shows the section's heading.
  ReflowLayout* layout = core_->reflowLayout();
  int line = (reflowY + layout->lineHeight() / 2) / layout->lineHeight();
  ASSERT_LT(line, layout->lines().size());
  std::string shown;
  ReflowLayout::Line* l = layout->lines().elementAt(line);
  for (int k = 0; k < l->size(); ++k)
    if (l->elementAt(k)->type == RenderItem::TEXT) shown += narrow(l->elementAt(k)->text);
  EXPECT_EQ("Section 3", shown);
  EXPECT_EQ(-1, core_->findAnchor(u"#nowhere"_s));
  // The anchor on the first line is at the top, not "none".
  EXPECT_EQ(0, core_->findAnchor(u"#top"_s));
  core_->setReflowMode(false);
  EXPECT_EQ(pageY, core_->findAnchor(u"#s3"_s));
}

}  // namespace
