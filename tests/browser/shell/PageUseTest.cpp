// Using pages in the browser's real window, headless, with scripted input against the reference
// service on loopback: links followed by keys, by a tap and by their hints, a form filled in and
// sent, a link that asks for a window of its own, and the single-column view switched on and off.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "browser/page/LinkHints.h"
#include "browser/page/Page.h"
#include "browser/page/PageInteraction.h"
#include "browser/page/PageRenderer.h"
#include "browser/page/ReflowLayout.h"
#include "browser/shell/MainCanvas.h"
#include "browser/shell/SessionCore.h"
#include "browser/store/RecordStore.h"
#include "browser/store/SettingsDefaults.h"
#include "tests/browser/BrowserWindowTest.h"
#include "tests/browser/LoopbackService.h"
#include "tests/vwt/GoldenPicture.h"
#include "tests/vwt/TestText.h"

namespace {

const char DEMO_SITE[] = "demo.site";
const char OWN_SITE[] = "own.site";
// Settings entry 13, bit 4: links that ask for a window of their own get one.
const int WINDOW_OPTIONS = 13, NEW_WINDOWS = 0x10;

class PageUseTest : public BrowserWindowTest {
 protected:
  void configure(vesk::ServiceConfig& config) override {
    config.sites.emplace_back(DEMO_SITE, loopback::sourceDir() + "/service/sites/demo");
    std::string own = program_.dir / "site";
    program_.dir.write("site/index.html",
                       "<html><head><title>Own</title></head><body><p>Start</p>"
                       "<p><a href=\"apart.html\" target=\"_blank\">apart</a></p></body></html>");
    program_.dir.write(
        "site/apart.html",
        "<html><head><title>Apart</title></head><body><p>In a window of its own</p></body></html>");
    config.sites.emplace_back(OWN_SITE, own);
  }
  // The page queries the service received, their "u=" values decoded enough to search.
  std::vector<std::string> queries() { return pageQueries(); }
  bool anyQueryHas(const std::string& part) {
    for (const std::string& q : pageQueries())
      if (q.find(part) != std::string::npos) return true;
    return false;
  }
  std::string shownUrl(MainCanvas* canvas) {
    return canvas->shownPage() ? narrow(canvas->shownPage()->url) : "";
  }
};

TEST_F(PageUseTest, ALinkIsFollowedByKeysAndAnotherByItsHint) {
  std::string hints = shot("hints.png");
  // From the middle of the portal, short key taps move the pointer a line each onto the first
  // link; select follows it. Back returns without a request; "f" labels the links in reading
  // order and the fourth label, "f" again, follows the fourth.
  std::string script = "idle\n";
  for (int i = 0; i < 6; ++i) script += "key up\n";
  for (int i = 0; i < 6; ++i) script += "key left\n";
  script += "key select\nidle\nkey backspace\nidle\ntype f\nidle\nshot " + hints + "\ntype f\nidle\nquit\n";
  MainCanvas* canvas = open(script);
  app_->run();
  std::vector<std::string> q = queries();
  ASSERT_EQ(q.size(), 3u) << "the portal, the link by keys and the link by its hint";
  EXPECT_NE(q[1].find("demo.site"), std::string::npos) << q[1];
  EXPECT_NE(q[2].find("images"), std::string::npos) << q[2];
  EXPECT_NE(shownUrl(canvas).find("images"), std::string::npos);
  EXPECT_FALSE(canvas->getLinkHints()->active()) << "a chosen hint leaves the labels";
  EXPECT_TRUE(golden::matches(hints, "browser-link-hints.png"));
}

TEST_F(PageUseTest, AFormIsFilledInAndTheServiceReceivesItsFields) {
  // The name through the text entry, a checkbox and a radio by taps, then the page's end by a held
  // key and the send button by a tap.
  MainCanvas* canvas = open(
      "idle\ntap 95 41\nidle\ntype Lee\nkey soft1\nidle\ntap 87 87\ntap 118 105\nidle\n"
      "key down down\nwait 2000\nkey down up\nidle\ntap 25 182\nidle\nquit\n",
      "http://demo.site/form.html");
  app_->run();
  std::vector<std::string> q = queries();
  ASSERT_EQ(q.size(), 2u);
  const std::string& sent = q[1];
  EXPECT_NE(sent.find("form-result.html"), std::string::npos) << sent;
  // The fields as the form holds them after the changes, URL-encoded twice (once as the post data,
  // once as a query value).
  for (const char* field :
       {"session%3Ddemo-42", "name%3DLee%26", "news%3Dyes", "offers%3Dyes", "size%3Dl%26", "colour%3Dg",
        "toppings%3DOlives", "message%3DHello%250D%250Afrom%2Bthe%2Bhandset"})
    EXPECT_NE(sent.find(field), std::string::npos) << field << " in " << sent;
  EXPECT_EQ(sent.find("size%3Dm"), std::string::npos) << "one radio of a group is sent";
  EXPECT_NE(shownUrl(canvas).find("form-result"), std::string::npos);
}

TEST_F(PageUseTest, ALinkAskingForAWindowOfItsOwnOpensOneWhenTheSettingsAllow) {
  {
    RecordStore store(nullptr, SettingsDefaults());
    store.open();
    store.loadSettings();
    store.setSetting(WINDOW_OPTIONS, NEW_WINDOWS);
  }
  MainCanvas* canvas = open("idle\ntype f\ntype a\nidle\nquit\n", "http://own.site/index.html");
  app_->run();
  ASSERT_TRUE(anyQueryHas("apart.html"));
  BrowsingWindows& windows = canvas->getSession().getWindows();
  EXPECT_EQ(windows.getCount(), 2);
  EXPECT_EQ(windows.getCurrent(), 1);
  EXPECT_NE(shownUrl(canvas).find("apart.html"), std::string::npos);
  EXPECT_NE(narrow(windows.getPage(0, 0)->url).find("index.html"), std::string::npos)
      << "the first window keeps its page";
}

TEST_F(PageUseTest, TheSingleColumnViewIsSwitchedOnAndOffAndKeepsToItThroughTheHistory) {
  std::string on = shot("reflow.png"), off = shot("layout.png");
  // Key 2 is the view switch among the default shortcuts.
  MainCanvas* canvas = open("idle\nkey 2\nidle\nshot " + on + "\nkey 2\nidle\nshot " + off + "\nquit\n",
                            "http://demo.site/article.html");
  app_->run();
  EXPECT_TRUE(golden::matches(on, "browser-reflow-article-240.png"));
  EXPECT_TRUE(golden::matches(off, "browser-layout-article-240.png"));
  EXPECT_EQ(canvas->getSession().getFlags() & PageRenderer::FLAG_REFLOW, 0);
  EXPECT_EQ(canvas->getSession().reflowLayout(), nullptr);
}

TEST_F(PageUseTest, APageOpenedInTheSingleColumnViewIsLaidOutSoAndBackShowsTheLastOneSo) {
  std::string shown = shot("reflow-long.png");
  MainCanvas* canvas =
      open("idle\nkey 2\nidle\ntype f\ntype a\nidle\nshot " + shown + "\nkey soft1\nidle\nquit\n",
           "http://demo.site/");
  app_->run();
  ASSERT_EQ(queries().size(), 2u) << "the front page and its first link; back asks nothing";
  EXPECT_NE(canvas->getSession().getFlags() & PageRenderer::FLAG_REFLOW, 0);
  EXPECT_NE(canvas->getSession().reflowLayout(), nullptr) << "the page shown again is laid out in one column";
  EXPECT_NE(shownUrl(canvas).find("demo.site/"), std::string::npos);
  EXPECT_TRUE(golden::matches(shown, "browser-reflow-article-followed-240.png"));
}

}  // namespace
