// Pages of the reference service drawn re-flowed at two view widths, against their golden pictures:
// the all-items fixture and the demonstration site's article, long and Japanese pages. Also the
// band: a view scrolled down, and one moved there in steps, show what the whole page shows there;
// a picture wider than the view is scaled to fit.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "browser/page/PageFonts.h"
#include "browser/page/PageRenderer.h"
#include "browser/page/ReflowLayout.h"
#include "browser/service/Background.h"
#include "browser/shell/CanvasReflowHost.h"
#include "browser/shell/SessionCore.h"
#include "service/RenderService.h"
#include "tests/browser/LoopbackService.h"
#include "tests/browser/ReflowSessionFixture.h"
#include "tests/browser/page/RendererTestHost.h"
#include "tests/vwt/GoldenPicture.h"
#include "tests/vwt/ScratchDirectory.h"
#include "vwt/lang/System.h"

namespace {

using loopback::sourceDir;

const char* const GOLDEN_FOLDER = "tests/browser/golden/pictures/";
// Long pages are drawn down to here: the rest is more of the same.
const int MAX_SHOT_HEIGHT = 1600;

class ReflowRendererTest : public ReflowSessionFixture {
 protected:
  void SetUp() override {
    ReflowSessionFixture::SetUp();
    renderHost_.loadIconStrip(sourceDir() + "/res/icon.gif");
    renderHost_.flags = PageRenderer::FLAG_REFLOW;
  }
  void TearDown() override {
    renderHost_.page = nullptr;
    renderHost_.layout = nullptr;
    ReflowSessionFixture::TearDown();
  }
  bool load(const std::string& url) {
    if (!request(url)) return false;
    page_ = core_->getCurrentPage();
    renderHost_.page = page_.get();
    renderHost_.layout = core_->reflowLayout();
    renderHost_.decodePageImages();
    return renderHost_.layout != nullptr;
  }
  // A renderer of the view size scrolled to y, its buffer brought up to date.
  std::unique_ptr<PageRenderer> draw(int width, int height, int y) {
    std::unique_ptr<PageRenderer> renderer(new PageRenderer(&renderHost_, &fonts_));
    renderer->setZoom(100);
    renderer->setViewSize(width, height);
    renderer->scrollTo(0, y);
    renderer->updateBuffer();
    return renderer;
  }

  RendererTestHost renderHost_;
  SharedPtr<Page> page_;
};

TEST_F(ReflowRendererTest, PagesDrawReflowedAsTheirGoldenPictures) {
  ASSERT_EQ(1, core_->startSession(true));
  core_->setReflowMode(true);
  const struct {
    const char* url;
    const char* shot;
  } pages[] = {
      {"http://demo.local/demo/all-items", "all-items"},
      {"http://shipped.site/article.html", "article"},
      {"http://shipped.site/long.html", "long"},
      {"http://shipped.site/japanese.html", "japanese"},
  };
  for (int width : {240, 480}) {
    viewWidth_ = width;
    core_->setOffscreenWidth(width);
    for (const auto& p : pages) {
      ASSERT_TRUE(load(p.url)) << p.url;
      ReflowLayout* layout = renderHost_.layout;
      EXPECT_EQ(width, layout->pageWidth()) << p.url;
      EXPECT_GT(layout->lines().size(), 1) << p.url;
      // Nothing passes the view's right edge.
      for (int i = 0; i < layout->lines().size(); ++i)
        for (int k = 0; k < layout->lines().elementAt(i)->size(); ++k) {
          RenderItem* item = layout->lines().elementAt(i)->elementAt(k);
          EXPECT_LE(item->x + item->width, width - 3) << p.url << " line " << i;
        }
      for (int i = 0; i < layout->looseItems().size(); ++i) {
        RenderItem* item = layout->looseItems().elementAt(i);
        EXPECT_LE(item->x + item->width, width - 3) << p.url << " picture " << i;
      }
      int height = std::min(layout->pageHeight(), MAX_SHOT_HEIGHT);
      std::unique_ptr<PageRenderer> renderer = draw(width, height, 0);
      std::string shotName = std::string("reflow-") + p.shot + "-" + std::to_string(width) + ".png";
      std::string shot = program_.dir / shotName;
      ASSERT_TRUE(rendertest::writePng(renderer->buffer(), shot));
      EXPECT_TRUE(golden::matches(shot, shotName, GOLDEN_FOLDER)) << p.url << " at " << width;
    }
  }
}

TEST_F(ReflowRendererTest, APictureWiderThanTheViewIsScaledToIt) {
  ASSERT_EQ(1, core_->startSession(true));
  core_->setReflowMode(true);
  viewWidth_ = 120;
  ASSERT_TRUE(load("http://shipped.site/article.html"));
  // The 200 x 125 photograph on a 120-pixel view: 117 wide, its height in proportion.
  RenderItem* photo = nullptr;
  for (int i = 0; i < renderHost_.layout->looseItems().size(); ++i) {
    RenderItem* item = renderHost_.layout->looseItems().elementAt(i);
    if (item->width > 100) photo = item;
  }
  ASSERT_NE(nullptr, photo);
  EXPECT_EQ(117, photo->width);
  EXPECT_EQ(125 * 117 / 200, photo->height);
  std::unique_ptr<PageRenderer> renderer = draw(viewWidth_, VIEW_HEIGHT, 0);
  std::string shot = program_.dir / "reflow-article-120.png";
  ASSERT_TRUE(rendertest::writePng(renderer->buffer(), shot));
  EXPECT_TRUE(golden::matches(shot, "reflow-article-120.png", GOLDEN_FOLDER));
}

TEST_F(ReflowRendererTest, ScrolledViewShowsThePartOfTheWholePage) {
  ASSERT_EQ(1, core_->startSession(true));
  core_->setReflowMode(true);
  ASSERT_TRUE(load("http://shipped.site/long.html"));
  int lineHeight = renderHost_.layout->lineHeight();
  int whole = std::min(renderHost_.layout->pageHeight(), MAX_SHOT_HEIGHT);
  ASSERT_GT(whole, 3 * VIEW_HEIGHT);
  std::unique_ptr<PageRenderer> page = draw(viewWidth_, whole, 0);
  // Scroll positions on a line's top, inside a line and past a picture.
  for (int y : {lineHeight * 7, lineHeight * 11 + lineHeight / 2, whole - VIEW_HEIGHT - 1}) {
    std::unique_ptr<PageRenderer> view = draw(viewWidth_, VIEW_HEIGHT, y);
    // The same view moved there from the top in steps, drawing only the strips that come in.
    std::unique_ptr<PageRenderer> stepped = draw(viewWidth_, VIEW_HEIGHT, 0);
    for (int at = 0; at < y;) {
      at = std::min(at + 37, y);
      stepped->scrollTo(0, at);
      stepped->updateBuffer();
    }
    int differing = 0, steppedDiffering = 0;
    for (int row = 0; row < VIEW_HEIGHT; ++row)
      for (int col = 0; col < viewWidth_; ++col) {
        int want = rendertest::pixel(page->buffer(), col, y + row);
        if (rendertest::pixel(view->buffer(), col, row) != want) ++differing;
        if (rendertest::pixel(stepped->buffer(), col, row) != want) ++steppedDiffering;
      }
    EXPECT_EQ(0, differing) << "scrolled to " << y;
    EXPECT_EQ(0, steppedDiffering) << "stepped to " << y;
  }
}

TEST_F(ReflowRendererTest, PageColoursOnlyWithTheirFlag) {
  ASSERT_EQ(1, core_->startSession(true));
  core_->setReflowMode(true);
  ASSERT_TRUE(load("http://demo.local/demo/all-items"));
  // The fixture's background is 0xF0F0F0; re-flowed pages are white unless page colours are asked for.
  std::unique_ptr<PageRenderer> plain = draw(viewWidth_, VIEW_HEIGHT, 0);
  EXPECT_EQ(0xFFFFFF, rendertest::pixel(plain->buffer(), viewWidth_ - 1, VIEW_HEIGHT - 1));
  renderHost_.flags |= PageRenderer::FLAG_REFLOW_COLOURS;
  std::unique_ptr<PageRenderer> coloured = draw(viewWidth_, VIEW_HEIGHT, 0);
  EXPECT_EQ(0xF0F0F0, rendertest::pixel(coloured->buffer(), viewWidth_ - 1, VIEW_HEIGHT - 1));
  // Without a layout nothing of the page is drawn.
  renderHost_.layout = nullptr;
  renderHost_.flags = PageRenderer::FLAG_REFLOW;
  std::unique_ptr<PageRenderer> empty = draw(viewWidth_, VIEW_HEIGHT, 0);
  for (int row = 0; row < VIEW_HEIGHT; row += 7)
    for (int col = 0; col < viewWidth_; col += 5)
      ASSERT_EQ(0xFFFFFF, rendertest::pixel(empty->buffer(), col, row)) << col << "," << row;
}

}  // namespace
