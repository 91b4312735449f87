// The fetcher against origins the tests run on 127.0.0.1: redirects, cookies, credentials,
// character sets, time-outs and size limits.
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "OriginServer.h"
#include "service/fetch/WebFetcher.h"

namespace vesktest {
namespace {

using vesk::FetchFailure;
using vesk::FetchOutcome;
using vesk::PageRequest;

const char* const NIHONGO_SJIS = "\x93\xfa\x96\x7b\x8c\xea";
const char* const NIHONGO_EUC = "\xc6\xfc\xcb\xdc\xb8\xec";
const char* const NIHONGO = "\xe6\x97\xa5\xe6\x9c\xac\xe8\xaa\x9e";

class WebFetcherTest : public ::testing::Test {
 protected:
  void SetUp() override {
    auto& s = origin_.server();
    s.Get("/page", [this](const httplib::Request& q, httplib::Response& r) {
      origin_.remember(q);
      r.set_content("<html><body>page</body></html>", "text/html");
    });
    s.Get(R"(/hop/(\d+))", [](const httplib::Request& q, httplib::Response& r) {
      int n = std::stoi(q.matches[1]);
      if (n == 0)
        r.set_content("<p>end of hops</p>", "text/html");
      else
        r.set_redirect("/hop/" + std::to_string(n - 1), n % 2 ? 302 : 301);
    });
    s.Get("/loop", [](const httplib::Request&, httplib::Response& r) { r.set_redirect("/loop"); });
    s.Get("/set", [this](const httplib::Request& q, httplib::Response& r) {
      origin_.remember(q);
      r.set_header("Set-Cookie", "session=abc; Path=/");
      r.headers.emplace("Set-Cookie", "pref=blue; Max-Age=3600; Domain=127.0.0.1; HttpOnly");
      r.headers.emplace("Set-Cookie", "gone=x; Max-Age=0");
      r.set_content("<p>set</p>", "text/html");
    });
    s.Get("/login", [](const httplib::Request&, httplib::Response& r) {
      r.set_header("Set-Cookie", "ticket=42; Path=/");
      r.set_redirect("/page", 303);
    });
    s.Post("/form", [this](const httplib::Request& q, httplib::Response& r) {
      origin_.remember(q);
      r.set_redirect("/page", 302);
    });
    s.Get("/form", [this](const httplib::Request& q, httplib::Response& r) {
      origin_.remember(q);
      r.set_content("<p>searched</p>", "text/html");
    });
    s.Get("/secret", [](const httplib::Request& q, httplib::Response& r) {
      if (q.get_header_value("Authorization") == "Basic Z3Vlc3Q6cGFzcw==") {  // guest:pass
        r.set_content("<p>inside</p>", "text/html");
        return;
      }
      r.status = 401;
      r.set_header("WWW-Authenticate", "Basic realm=\"Members only\"");
      r.set_content("<p>no</p>", "text/html");
    });
    s.Get("/sjis-header", [](const httplib::Request&, httplib::Response& r) {
      r.set_content(std::string("<p>") + NIHONGO_SJIS + "</p>", "text/html; charset=Shift_JIS");
    });
    s.Get("/sjis-meta", [](const httplib::Request&, httplib::Response& r) {
      r.set_content(std::string("<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; "
                                "charset=shift_jis\"></head><body>") +
                        NIHONGO_SJIS + "</body></html>",
                    "text/html");
    });
    s.Get("/euc-meta", [](const httplib::Request&, httplib::Response& r) {
      r.set_content(std::string("<meta charset=\"EUC-JP\"><p>") + NIHONGO_EUC + "</p>", "text/html");
    });
    s.Get("/latin1", [](const httplib::Request&, httplib::Response& r) {
      r.set_content("<p>caf\xe9 \x80</p>", "text/html; charset=ISO-8859-1");
    });
    s.Get("/guess", [](const httplib::Request&, httplib::Response& r) {
      r.set_content("<p>caf\xe9</p>", "text/html");
    });
    s.Get("/big", [](const httplib::Request&, httplib::Response& r) {
      r.set_content(std::string(100000, 'x'), "text/plain");
    });
    s.Get("/big-chunked", [](const httplib::Request&, httplib::Response& r) {
      r.set_chunked_content_provider("text/plain", [](size_t offset, httplib::DataSink& sink) {
        if (offset >= 100000) {
          sink.done();
          return true;
        }
        std::string part(10000, 'y');
        return sink.write(part.data(), part.size());
      });
    });
    s.Get("/away", [this](const httplib::Request&, httplib::Response& r) {
      r.set_redirect("http://localhost:" + std::to_string(origin_.port()) + "/page");
    });
    s.Post("/echo", [this](const httplib::Request& q, httplib::Response& r) {
      origin_.remember(q);
      r.set_content("<p>ok</p>", "text/html");
    });
    s.Get("/missing", [](const httplib::Request&, httplib::Response& r) {
      r.status = 500;
      r.set_content("<p>broken</p>", "text/html");
    });
    origin_.start();
  }

  vesk::WebFetcher fetcher(int timeoutMs = 5000, size_t pageBytes = 50000) {
    vesk::FetchLimits limits;
    limits.connectTimeoutMs = timeoutMs;
    limits.totalTimeoutMs = timeoutMs;
    limits.maxRedirects = 5;
    limits.pageBytes = pageBytes;
    return vesk::WebFetcher(limits, {}, true);
  }
  FetchOutcome get(const std::string& path) {
    PageRequest r;
    r.url = origin_.url(path);
    return fetcher().fetch(r);
  }

  OriginServer origin_;
};

TEST_F(WebFetcherTest, RedirectsAreFollowedUpToTheLimitAndALoopIsAnError) {
  struct Case {
    std::string path;
    FetchFailure failure;
    std::string finalPath;
  } cases[] = {
      {"/hop/0", FetchFailure::NONE, "/hop/0"},
      {"/hop/5", FetchFailure::NONE, "/hop/0"},
      {"/hop/6", FetchFailure::REDIRECT_LOOP, "/hop/1"},
      {"/loop", FetchFailure::REDIRECT_LOOP, "/loop"},
  };
  for (const Case& c : cases) {
    FetchOutcome o = get(c.path);
    EXPECT_EQ(o.failure, c.failure) << c.path << ": " << o.error;
    EXPECT_EQ(o.url, origin_.url(c.finalPath)) << c.path;
    if (c.failure == FetchFailure::NONE) {
      EXPECT_EQ(o.status, 200);
      EXPECT_EQ(o.body, "<p>end of hops</p>");
    }
  }
}

TEST_F(WebFetcherTest, TheHandsetsCookiesReachTheOriginAndSetCookieComesBack) {
  PageRequest r;
  r.url = origin_.url("/set");
  r.cookieHeader = "visit=1; theme=dark";
  FetchOutcome o = fetcher().fetch(r);
  ASSERT_EQ(o.failure, FetchFailure::NONE) << o.error;
  EXPECT_EQ(origin_.last().get_header_value("Cookie"), "visit=1; theme=dark");
  ASSERT_EQ(o.cookies.size(), 3u);
  EXPECT_EQ(o.cookies[0].name, "session");
  EXPECT_EQ(o.cookies[0].value, "abc");
  EXPECT_EQ(o.cookies[0].domain, "127.0.0.1");
  EXPECT_EQ(o.cookies[0].path, "/");
  EXPECT_EQ(o.cookies[0].lifetime, 0);
  EXPECT_EQ(o.cookies[1].name, "pref");
  EXPECT_EQ(o.cookies[1].lifetime, 3600);
  EXPECT_EQ(o.cookies[1].flags, 0x2);
  EXPECT_EQ(o.cookies[2].name, "gone");
  EXPECT_LT(o.cookies[2].lifetime, 0);
}

TEST_F(WebFetcherTest, ACookieSetOnTheWayIsSentToTheNextHopAndReturned) {
  PageRequest r;
  r.url = origin_.url("/login");
  r.cookieHeader = "visit=1";
  FetchOutcome o = fetcher().fetch(r);
  ASSERT_EQ(o.failure, FetchFailure::NONE) << o.error;
  EXPECT_EQ(o.url, origin_.url("/page"));
  EXPECT_EQ(origin_.last().get_header_value("Cookie"), "visit=1; ticket=42");
  ASSERT_EQ(o.cookies.size(), 1u);
  EXPECT_EQ(o.cookies[0].name, "ticket");
}

TEST_F(WebFetcherTest, TheHandsetsCookiesAndCredentialsStayWithTheOriginItAskedFor) {
  PageRequest r;
  r.url = origin_.url("/away");
  r.cookieHeader = "visit=1";
  r.user = "guest";
  r.password = "pass";
  FetchOutcome o = fetcher().fetch(r);
  ASSERT_EQ(o.failure, FetchFailure::NONE) << o.error;
  EXPECT_FALSE(origin_.last().has_header("Cookie"));
  EXPECT_FALSE(origin_.last().has_header("Authorization"));
}

TEST_F(WebFetcherTest, ABasicChallengeNamesItsRealmAndTheCredentialsOpenThePage) {
  FetchOutcome challenged = get("/secret");
  EXPECT_EQ(challenged.failure, FetchFailure::NONE);
  EXPECT_EQ(challenged.status, 401);
  EXPECT_TRUE(challenged.authRequired);
  EXPECT_EQ(challenged.realm, "Members only");

  PageRequest r;
  r.url = origin_.url("/secret");
  r.user = "guest";
  r.password = "wrong";
  EXPECT_TRUE(fetcher().fetch(r).authRequired);
  r.password = "pass";
  FetchOutcome opened = fetcher().fetch(r);
  EXPECT_FALSE(opened.authRequired);
  EXPECT_EQ(opened.status, 200);
  EXPECT_EQ(opened.body, "<p>inside</p>");
}

TEST_F(WebFetcherTest, FormsArePostedAsBrowsersDoOrSentAsTheQueryOfAGet) {
  PageRequest post;
  post.url = origin_.url("/form?keep=1");
  post.post = true;
  post.postData = "q=a+b&lang=%E6%97%A5";
  FetchOutcome o = fetcher().fetch(post);
  ASSERT_EQ(o.failure, FetchFailure::NONE) << o.error;
  EXPECT_EQ(o.url, origin_.url("/page"));  // 302 after a POST continues as a GET
  PageRequest get = post;
  get.formGet = true;
  o = fetcher().fetch(get);
  ASSERT_EQ(o.failure, FetchFailure::NONE) << o.error;
  EXPECT_EQ(o.url, origin_.url("/form?q=a+b&lang=%E6%97%A5"));
  httplib::Request seen = origin_.last();
  EXPECT_EQ(seen.method, "GET");
  EXPECT_EQ(seen.get_param_value("q"), "a b");
  EXPECT_FALSE(seen.has_param("keep"));
}

TEST_F(WebFetcherTest, APostCarriesTheFormBody) {
  PageRequest post;
  post.url = origin_.url("/echo");
  post.post = true;
  post.postData = "q=a+b&lang=%E6%97%A5";
  ASSERT_EQ(fetcher().fetch(post).failure, FetchFailure::NONE);
  httplib::Request seen = origin_.last();
  EXPECT_EQ(seen.method, "POST");
  EXPECT_EQ(seen.get_header_value("Content-Type"), "application/x-www-form-urlencoded");
  EXPECT_EQ(seen.body, "q=a+b&lang=%E6%97%A5");
}

TEST_F(WebFetcherTest, TextArrivesInUtf8FromItsCharacterSet) {
  struct Case {
    std::string path, charset, text;
  } cases[] = {
      {"/sjis-header", "shift_jis", std::string("<p>") + NIHONGO + "</p>"},
      {"/sjis-meta", "shift_jis", NIHONGO},
      {"/euc-meta", "euc-jp", NIHONGO},
      {"/latin1", "iso-8859-1", "<p>caf\xc3\xa9 \xe2\x82\xac</p>"},  // read as windows-1252
      {"/guess", "windows-1252", "<p>caf\xc3\xa9</p>"},
      {"/page", "utf-8", "<html><body>page</body></html>"},
  };
  for (const Case& c : cases) {
    FetchOutcome o = get(c.path);
    ASSERT_EQ(o.failure, FetchFailure::NONE) << c.path;
    EXPECT_EQ(o.charset, c.charset) << c.path;
    EXPECT_NE(o.body.find(c.text), std::string::npos) << c.path << ": " << o.body;
    EXPECT_EQ(o.contentType, "text/html") << c.path;
  }
}

TEST_F(WebFetcherTest, FailuresAreNamedAndBounded) {
  SilentOrigin silent;
  struct Case {
    std::string url;
    FetchFailure failure;
  } cases[] = {
      {silent.url("/"), FetchFailure::TIMED_OUT},
      {"http://127.0.0.1:" + std::to_string(closedPort()) + "/", FetchFailure::CONNECTION_FAILED},
      {"https://127.0.0.1:" + std::to_string(origin_.port()) + "/page", FetchFailure::TLS},
      {origin_.url("/big"), FetchFailure::TOO_LARGE},
      {origin_.url("/big-chunked"), FetchFailure::TOO_LARGE},
      {origin_.url("/missing"), FetchFailure::BAD_STATUS},
      {origin_.url("/nothing-here"), FetchFailure::NOT_FOUND},
      {"ftp://127.0.0.1/x", FetchFailure::BAD_URL},
      {"not a url", FetchFailure::BAD_URL},
  };
  for (const Case& c : cases) {
    PageRequest r;
    r.url = c.url;
    FetchOutcome o = fetcher(800).fetch(r);
    EXPECT_EQ(o.failure, c.failure) << c.url << ": " << o.error;
    EXPECT_FALSE(vesk::WebFetcher::describe(o.failure).empty());
  }
  // the origin still answers after all that
  EXPECT_EQ(get("/page").failure, FetchFailure::NONE);
}

TEST_F(WebFetcherTest, WithoutNetworkOnlySitesAnswer) {
  vesk::WebFetcher offline(vesk::FetchLimits(), {}, false);
  PageRequest r;
  r.url = origin_.url("/page");
  EXPECT_EQ(offline.fetch(r).failure, FetchFailure::UNKNOWN_HOST);
}

}  // namespace
}  // namespace vesktest
