// The browser's URL arithmetic.
#include <gtest/gtest.h>

#include "browser/shell/UrlResolver.h"
#include "tests/vwt/TestText.h"

namespace {

struct Case {
  const char* base;
  const char* relative;
  const char* expected;
};

const Case kResolve[] = {
    // A name goes to the base's directory; the query is dropped.
    {"http://h/dir/sub/page.jsp?a=1&b=2", "next.jsp", "http://h/dir/sub/next.jsp"},
    // Leading "./" pairs go, however many; "../" stays as it is.
    {"http://h/dir/page.jsp", "./next.jsp", "http://h/dir/next.jsp"},
    {"http://h/dir/page.jsp", "././././next.jsp", "http://h/dir/next.jsp"},
    {"http://h/dir/page.jsp", "../up.jsp", "http://h/dir/../up.jsp"},
    {"http://h/dir/page.jsp", "./../up.jsp", "http://h/dir/../up.jsp"},
    {"http://h/dir/page.jsp", "a/./b.jsp", "http://h/dir/a/./b.jsp"},
    // A fragment keeps the file and replaces the base's fragment.
    {"http://h/dir/page.jsp#top", "#end", "http://h/dir/page.jsp#end"},
    {"http://h/dir/page.jsp?q=1", "#end", "http://h/dir/page.jsp#end"},
    // From the host's root, also when the base has no path.
    {"http://h", "/x", "http://h/x"},
    {"http://h:8080/dir/page.jsp", "/x?y=1", "http://h:8080/x?y=1"},
    {"http://h", "x", "http://h/x"},
    // Web addresses as they are.
    {"http://h/dir/page.jsp", "http://other/a", "http://other/a"},
    {"http://h/dir/page.jsp", "https://other/a", "https://other/a"},
    // Nothing to resolve, or no base to resolve against: the base without its query.
    {"http://h/dir/page.jsp?q=1", "", "http://h/dir/page.jsp"},
    {"cmd:G?x", "next.jsp", "cmd:G"},
    {"", "next.jsp", ""},
};

TEST(UrlResolver, ResolvesRelativeNamesAsTheBrowserDoes) {
  for (const Case& c : kResolve)
    EXPECT_EQ(narrow(UrlResolver::resolve(wide(c.base), wide(c.relative))), c.expected)
        << c.base << " + " << c.relative;
}

TEST(UrlResolver, QueryOnlyAddressReplacesTheBasesQuery) {
  const Case cases[] = {
      {"http://h/p.jsp?a=1", "?b=2", "http://h/p.jsp?b=2"},
      {"http://h/p.jsp", "?b=2", "http://h/p.jsp?b=2"},
      {"?a=1", "?b=2", "?a=1?b=2"},  // a "?" at the very start is no query of the base
      {"http://h/p.jsp?a=1", "http://x/y", "http://x/y"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(narrow(UrlResolver::joinQuery(wide(c.relative), wide(c.base))), c.expected) << c.relative;
}

TEST(UrlResolver, SessionPartRunsFromTheKeyToTheEndOfKocab) {
  EXPECT_EQ(narrow(UrlResolver::sessionPart(u"http://h/a?s=JSESSIONID%3Dab12KOCAB&x=1"_s)),
            ";jsessionid=ab12KOCAB");
  EXPECT_EQ(narrow(UrlResolver::sessionPart(u"http://h/a?s=jsessionid%3dAb12kocab"_s)),
            ";jsessionid=Ab12kocab");
  EXPECT_EQ(narrow(UrlResolver::sessionPart(u"JSESSIONID%3Dab12KOCAB"_s)), "");  // at position 0
  EXPECT_EQ(narrow(UrlResolver::sessionPart(u"http://h/a?s=JSESSIONID%3Dab12"_s)), "");
  EXPECT_EQ(narrow(UrlResolver::sessionPart(u"http://h/KOCAB?s=JSESSIONID%3Dab"_s)), "");
}

TEST(UrlResolver, CommandAddressesMapThroughTheLetterMenuText) {
  // 'G' + 44 is 's', 'W' + 44 is 0x83.
  String menu(u"sSearch: search.example.com/find,\u0083Weather: weather.example.com,", false);
  EXPECT_EQ(narrow(UrlResolver::commandCookieUrl(u"cmd:Gcats"_s, menu)), "http://search.example.com/find");
  EXPECT_EQ(narrow(UrlResolver::commandCookieUrl(u"cmd:Wtokyo"_s, menu)), "http://weather.example.com");
  EXPECT_EQ(narrow(UrlResolver::commandCookieUrl(u"cmd:Kx"_s, menu)), "cmd:Kx");  // not named
  EXPECT_EQ(narrow(UrlResolver::commandCookieUrl(u"cmd:"_s, menu)), "cmd:");
  EXPECT_EQ(narrow(UrlResolver::commandCookieUrl(u"http://h/"_s, menu)), "http://h/");
  EXPECT_EQ(narrow(UrlResolver::commandCookieUrl(u"cmd:Gx"_s, u"s no colon"_s)), "cmd:Gx");
  EXPECT_EQ(narrow(UrlResolver::commandCookieUrl(u"cmd:Gx"_s, u"sX: last.example"_s)), "http://last.example");
}

TEST(UrlResolver, InternalAddressesAreTheServiceHostAndItsSubHosts) {
  struct {
    const char* url;
    bool internal;
  } cases[] = {
      {"http://svc.example/br/wm", true},   {"https://SVC.example:6111/x", true},
      {"http://doc.svc.example/a", true},   {"http://m.svc.example?x", true},
      {"http://svc.example.evil/a", false}, {"http://other/svc.example", false},
      {"http://xsvc.example/", false},      {"svc.example/a", false},
  };
  for (const auto& c : cases)
    EXPECT_EQ(UrlResolver::isInternal(wide(c.url), u"svc.example"_s), c.internal) << c.url;
  EXPECT_FALSE(UrlResolver::isInternal(u"http://svc.example/"_s, String()));
}

TEST(UrlResolver, SecureHostAndOutsideAddress) {
  EXPECT_EQ(narrow(UrlResolver::secureHost(u"https://bank.example/login"_s)), "bank.example");
  EXPECT_EQ(narrow(UrlResolver::secureHost(u"https://bank.example:443"_s)), "bank.example:443");
  EXPECT_EQ(narrow(UrlResolver::secureHost(u"http://bank.example/"_s)), "");
  EXPECT_EQ(narrow(UrlResolver::outsideUrl(u"doc.pdf"_s, u"http://h/a/b.jsp"_s)), "http://h/a/doc.pdf");
  EXPECT_EQ(narrow(UrlResolver::outsideUrl(u"https://o/"_s, u"http://h/a/"_s)), "https://o/");
  EXPECT_EQ(narrow(UrlResolver::outsideUrl(u"doc.pdf"_s, String())), "doc.pdf");
}

}  // namespace
