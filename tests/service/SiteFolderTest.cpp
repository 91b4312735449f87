// Local site folders: pages by path, folders' index pages, paths that try to leave the folder,
// and the sidecar files (headers, basic authentication).
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "service/fetch/SiteFolder.h"
#include "service/fetch/WebFetcher.h"

namespace vesktest {
namespace {

namespace fs = std::filesystem;
using vesk::FetchFailure;

class SiteFolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/vesk-site-test-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    dir_ = tmpl;
    root_ = dir_ + "/site";
    write("index.html", "<p>home</p>");
    write("style.css", "p{}");
    write("news/index.html", "<p>news</p>");
    write("news/a b.html", "<p>spaced</p>");
    write("shop/cart.html", "<p>cart</p>");
    write("shop/cart.html.headers",
          "# the cart remembers the visitor\nSet-Cookie: cart=3; Path=/shop\nContent-Type: text/html; "
          "charset=shift_jis\nX-Demo: yes\n");
    write("old.html", "");
    write("old.html.headers", "Status: 302\nLocation: /news/\n");
    write("members/.auth", "realm=Members\nuser=guest:secret\n");
    write("members/index.html", "<p>members</p>");
    write("members/deep/page.html", "<p>deep</p>");
    write("../outside.html", "<p>outside</p>");
    fs::create_symlink(dir_ + "/outside.html", root_ + "/link.html");
    fs::create_symlink(dir_, root_ + "/up");
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }
  void write(const std::string& rel, const std::string& text) {
    fs::path p = root_ + "/" + rel;
    fs::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary) << text;
  }
  vesk::HopResponse serve(const std::string& path, const std::string& authorization = std::string()) {
    vesk::HopRequest r;
    r.url = "http://demo.site" + path;
    r.maxBytes = 1 << 20;
    if (!authorization.empty()) r.headers.emplace_back("authorization", authorization);
    return vesk::SiteFolder("demo.site", root_).serve(r);
  }

  std::string dir_, root_;
};

TEST_F(SiteFolderTest, PagesFoldersAndTypesArePathsInTheFolder) {
  struct Case {
    std::string path;
    int status;
    std::string body, type;
  } cases[] = {
      {"/", 200, "<p>home</p>", "text/html"},      {"/index.html?x=1#top", 200, "<p>home</p>", "text/html"},
      {"/news/", 200, "<p>news</p>", "text/html"}, {"/news/a%20b.html", 200, "<p>spaced</p>", "text/html"},
      {"/style.css", 200, "p{}", "text/css"},      {"/nothing.html", 404, "", ""},
  };
  for (const Case& c : cases) {
    vesk::HopResponse r = serve(c.path);
    EXPECT_EQ(r.status, c.status) << c.path;
    if (c.status == 200) {
      EXPECT_EQ(r.body, c.body) << c.path;
      EXPECT_EQ(r.header("content-type"), c.type) << c.path;
    }
  }
  vesk::HopResponse folder = serve("/news?page=2");
  EXPECT_EQ(folder.status, 301);
  EXPECT_EQ(folder.header("location"), "/news/?page=2");
}

TEST_F(SiteFolderTest, PathsThatTryToLeaveTheFolderOrReachSidecarsAreNotFound) {
  for (const char* path :
       {"/../outside.html", "/%2e%2e/outside.html", "/news/%2E%2E/%2E%2E/outside.html", "/link.html",
        "/up/outside.html", "/index.html%00.png", "/news%5c..%5c..%5coutside.html", "/members/.auth",
        "/shop/cart.html.headers", "/.hidden"}) {
    vesk::HopResponse r = serve(path);
    EXPECT_EQ(r.status, 404) << path;
    EXPECT_EQ(r.body.find("outside"), std::string::npos) << path;
  }
}

TEST_F(SiteFolderTest, HeaderSidecarsAddHeadersAndSetTheStatus) {
  vesk::HopResponse cart = serve("/shop/cart.html");
  EXPECT_EQ(cart.status, 200);
  EXPECT_EQ(cart.header("set-cookie"), "cart=3; Path=/shop");
  EXPECT_EQ(cart.header("content-type"), "text/html; charset=shift_jis");
  EXPECT_EQ(cart.header("x-demo"), "yes");
  vesk::HopResponse old = serve("/old.html");
  EXPECT_EQ(old.status, 302);
  EXPECT_EQ(old.header("location"), "/news/");
}

TEST_F(SiteFolderTest, AnAuthFileGuardsItsFolderAndEverythingBelow) {
  struct Case {
    std::string path, authorization;
    int status;
  } cases[] = {
      {"/members/", "", 401},
      {"/members/deep/page.html", "", 401},
      {"/members/deep/page.html", "Basic Z3Vlc3Q6d3Jvbmc=", 401},  // guest:wrong
      {"/members/deep/page.html", "Basic Z3Vlc3Q6c2VjcmV0", 200},  // guest:secret
      {"/members/", "basic Z3Vlc3Q6c2VjcmV0", 200},
      {"/members/", "Basic !!!!", 401},
      {"/news/", "", 200},
  };
  for (const Case& c : cases) {
    vesk::HopResponse r = serve(c.path, c.authorization);
    EXPECT_EQ(r.status, c.status) << c.path << " " << c.authorization;
    if (c.status == 401) {
      EXPECT_EQ(r.header("www-authenticate"), "Basic realm=\"Members\"");
    }
  }
}

TEST_F(SiteFolderTest, TheFetcherServesSitesWithoutNetworkAndFollowsTheirRedirects) {
  vesk::FetchLimits limits;
  vesk::WebFetcher fetcher(limits, {vesk::SiteFolder("Demo.Site", root_)}, false);
  vesk::PageRequest r;
  r.url = "http://demo.site/old.html";
  vesk::FetchOutcome o = fetcher.fetch(r);
  EXPECT_EQ(o.failure, FetchFailure::NONE) << o.error;
  EXPECT_EQ(o.url, "http://demo.site/news/");
  EXPECT_EQ(o.body, "<p>news</p>");

  r.url = "http://demo.site/shop/cart.html";
  o = fetcher.fetch(r);
  ASSERT_EQ(o.cookies.size(), 1u);
  EXPECT_EQ(o.cookies[0].domain, "demo.site");
  EXPECT_EQ(o.cookies[0].path, "/shop");
  EXPECT_EQ(o.charset, "shift_jis");

  r.url = "http://demo.site/members/";
  o = fetcher.fetch(r);
  EXPECT_TRUE(o.authRequired);
  EXPECT_EQ(o.realm, "Members");
  r.user = "guest";
  r.password = "secret";
  o = fetcher.fetch(r);
  EXPECT_FALSE(o.authRequired);
  EXPECT_EQ(o.body, "<p>members</p>");

  r.url = "http://demo.site/index.html";
  r.maxBytes = 4;
  EXPECT_EQ(fetcher.fetch(r).failure, FetchFailure::TOO_LARGE);
}

}  // namespace
}  // namespace vesktest
