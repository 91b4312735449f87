// Pages that are no fixture, through the whole service: fetched from an origin on 127.0.0.1 or
// from a site folder, laid out, and answered with their cookies, challenges and failures.
#include <filesystem>
#include <fstream>

#include "EnvelopeDecoder.h"
#include "OriginServer.h"
#include "ServiceHarness.h"
#include "service/CommandLine.h"
#include "service/QueryString.h"
#include "service/fetch/WebPageBuilder.h"

namespace vesktest {
namespace {

std::string tail(int32_t uid) {
  return "&ib=" + std::to_string(uid) +
         "&ft=0&bt=0&id=TEST&wd=236&si=7&lq=1&ap=QKWM&lid=1033&fl=1&f&css&fa=10&fb=3&fh=14&fw=12&vn=5208";
}

class WebPagesTest : public ServiceHarness {
 protected:
  void SetUp() override {
    auto& s = origin_.server();
    s.Get("/start", [](const httplib::Request&, httplib::Response& r) { r.set_redirect("/page"); });
    s.Get("/page", [this](const httplib::Request& q, httplib::Response& r) {
      origin_.remember(q);
      r.set_header("Set-Cookie", "seen=yes; Path=/; Max-Age=600");
      r.set_content(
          "<html><head><title>Origin page</title></head><body><p>Hello</p>"
          "<form action=\"/search\"><input name=q></form>"
          "<form action=\"/post\" method=\"POST\"><input name=q></form></body></html>",
          "text/html");
    });
    s.Get("/search", [this](const httplib::Request& q, httplib::Response& r) {
      origin_.remember(q);
      r.set_content("<p>results</p>", "text/html");
    });
    s.Post("/post", [this](const httplib::Request& q, httplib::Response& r) {
      origin_.remember(q);
      r.set_content("<p>posted</p>", "text/html");
    });
    s.Get("/secret", [](const httplib::Request& q, httplib::Response& r) {
      if (q.get_header_value("Authorization") == "Basic Z3Vlc3Q6cGFzcw==") {  // guest:pass
        r.set_content("<p>inside</p>", "text/html");
        return;
      }
      r.status = 401;
      r.set_header("WWW-Authenticate", "Basic realm=\"Members only\"");
    });
    s.Get("/big", [](const httplib::Request&, httplib::Response& r) {
      r.set_content(std::string(300000, 'x'), "text/html");
    });
    s.Get("/pictures", [this](const httplib::Request&, httplib::Response& r) {
      r.set_content(
          "<html><head><title>Pictures</title></head><body><p>two pictures</p>"
          "<img src=\"/pic.gif\" width=8 height=8><img src=\"" +
              silent_.url("/never.gif") + "\" width=8 height=8></body></html>",
          "text/html");
    });
    s.Get("/pic.gif", [this](const httplib::Request& q, httplib::Response& r) {
      origin_.remember(q);
      r.set_content("GIF89a", "image/gif");
    });
    s.Get("/file.zip", [](const httplib::Request&, httplib::Response& r) {
      r.set_content("PK\x03\x04", "application/zip");
    });
    origin_.start();
    ServiceHarness::SetUp();
  }
  void configure(vesk::ServiceConfig& c) override {
    c.fetchNetwork = true;
    c.fetchTimeoutMs = 1500;
    c.pageBytes = 200000;
    std::string site = dir_ + "/site";
    write(site + "/index.html", "<html><body><p>Site front</p></body></html>");
    write(site + "/shop/cart.html", "<p>cart</p>");
    write(site + "/shop/cart.html.headers", "Set-Cookie: cart=3; Path=/shop\n");
    write(dir_ + "/secret.html", "<p>outside</p>");
    c.sites.emplace_back("demo.site", site);
  }
  static void write(const std::string& path, const std::string& text) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << text;
  }
  DecodedEnvelope load(const std::string& url, const std::string& extra = "") {
    return decodeEnvelope(
        client_->page("c=H&u=" + vesk::QueryString::encode(url) + extra + tail(client_->userId())));
  }

  OriginServer origin_;
  SilentOrigin silent_;
};

TEST_F(WebPagesTest, APageComesAfterItsRedirectsWithTheHandsetsCookiesAndSetsItsOwn) {
  connect();
  DecodedEnvelope e = load(origin_.url("/start"), "&co=" + vesk::QueryString::encode("visit=1; theme=dark"));
  EXPECT_EQ(e.status, 0);
  EXPECT_EQ(e.url, origin_.url("/page"));
  EXPECT_EQ(origin_.last().get_header_value("Cookie"), "visit=1; theme=dark");
  ASSERT_EQ(e.cookieGroups.size(), 1u);
  ASSERT_EQ(e.cookieGroups[0].size(), 1u);
  const DecodedCookie& c = e.cookieGroups[0][0];
  EXPECT_EQ(c.domain, "127.0.0.1");
  EXPECT_EQ(c.path, "/");
  EXPECT_EQ(c.name, "seen");
  EXPECT_EQ(c.value, "yes");
  EXPECT_EQ(c.lifetime, 600);
}

TEST_F(WebPagesTest, APagesResourcesGetItsCookiesAndOneThatNeverArrivesIsLeftOut) {
  connect();
  DecodedEnvelope e = load(origin_.url("/pictures"), "&co=" + vesk::QueryString::encode("visit=1"));
  EXPECT_EQ(e.status, 0);
  EXPECT_EQ(e.url, origin_.url("/pictures"));
  EXPECT_NE(e.title, "Page not available");
  EXPECT_EQ(origin_.last().path, "/pic.gif");
  EXPECT_EQ(origin_.last().get_header_value("Cookie"), "visit=1");
  EXPECT_EQ(origin_.last().get_header_value("Referer"), origin_.url("/pictures"));
  EXPECT_EQ(load("http://portal.test/portal/indexQK.jsp").title, "Vesk portal");
}

TEST_F(WebPagesTest, FormsAreSentWithTheMethodOfTheirPage) {
  connect();
  load(origin_.url("/page"));
  DecodedEnvelope get = load(origin_.url("/search"), "&o=" + vesk::QueryString::encode(origin_.url("/page")) +
                                                         "&p=" + vesk::QueryString::encode("q=a+b"));
  EXPECT_EQ(get.url, origin_.url("/search?q=a+b"));
  EXPECT_EQ(origin_.last().method, "GET");
  EXPECT_EQ(origin_.last().get_param_value("q"), "a b");
  EXPECT_EQ(origin_.last().get_header_value("Referer"), origin_.url("/page"));
  DecodedEnvelope post = load(origin_.url("/post"), "&p=" + vesk::QueryString::encode("q=c+d"));
  EXPECT_EQ(post.url, origin_.url("/post"));
  EXPECT_EQ(origin_.last().method, "POST");
  EXPECT_EQ(origin_.last().body, "q=c+d");
}

TEST_F(WebPagesTest, ABasicChallengeAsksTheHandsetForCredentials) {
  connect();
  DecodedEnvelope challenged = load(origin_.url("/secret"));
  EXPECT_EQ(challenged.status, 30000);
  EXPECT_EQ(challenged.message, "Basic,Members only");
  EXPECT_EQ(challenged.argument, origin_.url("/secret"));
  DecodedEnvelope wrong = load(origin_.url("/secret"), "&aid=guest&apw=nope&at=");
  EXPECT_EQ(wrong.status, 30000);
  DecodedEnvelope opened = load(origin_.url("/secret"), "&aid=guest&apw=pass&at=");
  EXPECT_EQ(opened.status, 0);
  EXPECT_EQ(opened.url, origin_.url("/secret"));
}

TEST_F(WebPagesTest, FailuresGiveAPageThatSaysWhyAndTheServiceAnswersTheNextRequest) {
  connect();
  SilentOrigin silent;
  struct Case {
    std::string url;
    int32_t status;
    std::string title;
  } cases[] = {
      {silent.url("/"), 0, "Page not available"},
      {"http://127.0.0.1:" + std::to_string(closedPort()) + "/", 0, "Page not available"},
      {origin_.url("/big"), 0, "Page not available"},
      {origin_.url("/missing"), 0, "Page not available"},
      {"http://demo.site/../secret.html", 0, "Page not available"},
      {"http://demo.site/%2e%2e/secret.html", 0, "Page not available"},
      {origin_.url("/file.zip"), 32000, "Page not available"},
  };
  for (const Case& c : cases) {
    DecodedEnvelope e = load(c.url);
    EXPECT_EQ(e.status, c.status) << c.url;
    EXPECT_EQ(e.title, c.title) << c.url;
    EXPECT_FALSE(e.items.empty()) << c.url;
    DecodedEnvelope next = load("http://portal.test/portal/indexQK.jsp");
    EXPECT_EQ(next.title, "Vesk portal") << "after " << c.url;
  }
  DecodedEnvelope zip = load(origin_.url("/file.zip"));
  EXPECT_EQ(zip.message, "file.zip");
  EXPECT_EQ(zip.argument, origin_.url("/file.zip"));
}

TEST_F(WebPagesTest, SiteFoldersAnswerWithoutNetworkAndThePortalListsThem) {
  connect();
  DecodedEnvelope front = load("http://demo.site");
  EXPECT_EQ(front.status, 0);
  EXPECT_EQ(front.url, "http://demo.site/");
  EXPECT_NE(front.title, "Page not available");
  DecodedEnvelope cart = load("http://demo.site/shop/cart.html");
  ASSERT_EQ(cart.cookieGroups.size(), 1u);
  EXPECT_EQ(cart.cookieGroups[0][0].domain, "demo.site");
  EXPECT_EQ(cart.cookieGroups[0][0].path, "/shop");
  DecodedEnvelope portal = load("http://portal.test/portal/indexQK.jsp");
  bool listed = false;
  for (const auto& s : portal.structure) listed = listed || s.text == "http://demo.site/";
  EXPECT_TRUE(listed);
}

TEST_F(WebPagesTest, FixturesAnswerOnlyForThePortalHostWhenTheServiceFetches) {
  connect();
  EXPECT_EQ(load("http://portal.test/demo/notice").status, 20500);
  DecodedEnvelope fetched = load(origin_.url("/demo/notice"));
  EXPECT_EQ(fetched.status, 0);
  EXPECT_EQ(fetched.title, "Page not available");
}

TEST(WebPageBuilderTest, TheHandsetsMetricsComeFromTheQueryWithinBounds) {
  std::string table(851, 'G');
  struct Case {
    std::string query;
    int width, ascent, descent, lineHeight, wide;
    bool table;
  } cases[] = {
      {"c=H", 236, 11, 3, 14, 12, false},
      {"c=H&wd=316&fa=12&fb=4&fh=16&fw=14&cw=" + table, 316, 12, 4, 16, 14, true},
      {"c=H&wd=0&fa=-1&fb=999&fh=x&fw=&cw=ABC", 236, 11, 3, 14, 12, false},
  };
  for (const Case& c : cases) {
    vesk::ClientMetrics m = vesk::WebPageBuilder::metricsFrom(vesk::QueryString(c.query), 1000);
    EXPECT_EQ(m.width, c.width) << c.query;
    EXPECT_EQ(m.ascent, c.ascent) << c.query;
    EXPECT_EQ(m.descent, c.descent) << c.query;
    EXPECT_EQ(m.lineHeight, c.lineHeight) << c.query;
    EXPECT_EQ(m.wideWidth, c.wide) << c.query;
    EXPECT_EQ(m.widthTable.empty(), !c.table) << c.query;
    EXPECT_EQ(m.imageMemoryLimit, 1000);
  }
}

TEST(WebPageBuilderTest, TheCommandLineNamesSitesAndSwitchesTheNetworkOff) {
  struct Case {
    std::vector<std::string> args;
    bool ok, network;
    size_t sites;
    int timeoutMs;
  } cases[] = {
      {{}, true, true, 0, 20000},
      {{"--site", "demo.site=/srv/demo", "--site", "b=/x", "--offline", "--fetch-timeout", "5"},
       true,
       false,
       2,
       5000},
      {{"--site", "demo.site"}, false, true, 0, 0},
      {{"--site", "=dir"}, false, true, 0, 0},
      {{"--site", "a/b=dir"}, false, true, 0, 0},
      {{"--fetch-timeout", "0"}, false, true, 0, 0},
  };
  for (const Case& c : cases) {
    vesk::ServiceConfig config;
    std::string error;
    bool help = false;
    ASSERT_EQ(vesk::CommandLine::parse(c.args, config, error, help), c.ok) << error;
    if (!c.ok) continue;
    EXPECT_EQ(config.fetchNetwork, c.network);
    EXPECT_EQ(config.sites.size(), c.sites);
    EXPECT_EQ(config.fetchTimeoutMs, c.timeoutMs);
  }
}

}  // namespace
}  // namespace vesktest
