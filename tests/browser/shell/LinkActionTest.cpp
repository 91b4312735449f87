// What following a link does.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "browser/shell/LinkAction.h"
#include "browser/shell/LinkHost.h"
#include "tests/vwt/TestText.h"

namespace {

class FakeHost : public LinkHost {
 public:
  String pageUrl() override { return page; }
  String frameUrl() override { return frame; }
  String serviceRoot() override { return u"http://svc:6111"_s; }
  int windowOptions() override { return options; }
  String userId() override { return u"u42"_s; }
  String identityText() override { return u"WM_abc"_s; }
  bool isSamePageLink(const String& url) override { return url.startsWith(u"#"_s); }

  String page = u"http://h/dir/page.jsp?q=1"_s;
  String frame;
  int options = 0;
};

LinkAction follow(FakeHost& host, const char* url, int linkFlags = 0, int callerFlags = 0,
                  LinkAction::MapPoint point = LinkAction::MapPoint()) {
  return LinkAction::decide(wide(url), linkFlags, callerFlags, point, &host);
}

TEST(LinkAction, SchemesBeforeAnyRequest) {
  FakeHost host;
  struct {
    const char* url;
    LinkAction::Kind kind;
  } cases[] = {
      {"ftp://files/a.zip", LinkAction::NOT_SUPPORTED}, {"javascript:void(0)", LinkAction::NOT_SUPPORTED},
      {"javascript:back", LinkAction::NOT_SUPPORTED},  // only the service's spelling goes back
      {"JavaScript:back", LinkAction::HISTORY_BACK},    {"JavaScript:back()", LinkAction::HISTORY_BACK},
      {"tel:+81312345678", LinkAction::NOTHING},        {"mailto:a@b.c", LinkAction::OPEN_OUTSIDE},
  };
  for (const auto& c : cases) {
    // Outside links too: the scheme decides first.
    for (int linkFlags : {0, LinkAction::LINK_OUTSIDE}) {
      LinkAction a = follow(host, c.url, linkFlags);
      EXPECT_EQ(a.kind, c.kind) << c.url;
    }
  }
  LinkAction unsupported = follow(host, "ftp://files/a.zip");
  EXPECT_EQ(unsupported.messageId, 10014);
  EXPECT_EQ(narrow(unsupported.url), "ftp://files/a.zip");
}

TEST(LinkAction, MailGoesToTheServicesMailPage) {
  FakeHost host;
  EXPECT_EQ(narrow(follow(host, "mailto:a.b@c.example").url),
            "http://svc:6111/portal/mailto.jsp?cv=nb&mt=a.b%40c.example");
}

TEST(LinkAction, NormalLinkOpensWithReferrerBaseAndFlags) {
  FakeHost host;
  LinkAction a = follow(host, "next.jsp", 0, 0x40);
  EXPECT_EQ(a.kind, LinkAction::OPEN);
  EXPECT_EQ(narrow(a.url), "next.jsp");
  EXPECT_EQ(narrow(a.referrer), "http://h/dir/page.jsp?q=1");
  EXPECT_EQ(narrow(a.base), "http://h/dir/page.jsp?q=1");
  EXPECT_EQ(a.flags, 0x40);  // the caller's bits pass unchanged

  host.frame = u"http://h/frame.jsp"_s;
  a = follow(host, "next.jsp", LinkAction::LINK_BIT1);
  EXPECT_EQ(narrow(a.referrer), "http://h/frame.jsp");
  EXPECT_EQ(narrow(a.base), "http://h/dir/page.jsp?q=1");
  EXPECT_EQ(a.flags, LinkAction::OPEN_LINK_BIT1);
}

TEST(LinkAction, NewWindowOnlyWhenTheLinkAndTheSettingsBothAskForIt) {
  struct {
    int linkFlags;
    int options;
    int flags;
  } cases[] = {
      {LinkAction::LINK_NEW_WINDOW, 0x10, LinkAction::OPEN_NEW_WINDOW},
      {LinkAction::LINK_NEW_WINDOW, 0x0F, 0},
      {0, 0x10, 0},
      {LinkAction::LINK_NEW_WINDOW | LinkAction::LINK_BIT1, 0xFF,
       LinkAction::OPEN_NEW_WINDOW | LinkAction::OPEN_LINK_BIT1},
  };
  for (const auto& c : cases) {
    FakeHost host;
    host.options = c.options;
    EXPECT_EQ(follow(host, "x.jsp", c.linkFlags).flags, c.flags) << c.linkFlags << " " << c.options;
  }
}

TEST(LinkAction, SamePageFragmentJumpsUnlessTheCallerInsistsOnARequest) {
  FakeHost host;
  EXPECT_EQ(follow(host, "#part").kind, LinkAction::JUMP);
  EXPECT_EQ(follow(host, "#part", 0, 2).kind, LinkAction::JUMP);
  LinkAction forced = follow(host, "#part", 0, 1);
  EXPECT_EQ(forced.kind, LinkAction::OPEN);
  EXPECT_EQ(forced.flags, 1);
}

TEST(LinkAction, ImageMapAppendsThePointWithinTheImage) {
  FakeHost host;
  LinkAction::MapPoint point;
  point.on = true;
  point.x = 17;
  point.y = 0;
  EXPECT_EQ(narrow(follow(host, "map.jsp", 0, 0, point).url), "map.jsp?17,0");
  point.on = false;
  EXPECT_EQ(narrow(follow(host, "map.jsp", 0, 0, point).url), "map.jsp");
}

TEST(LinkAction, OutsideLinksResolveAndGoThroughTheGatewayWithBit3) {
  FakeHost host;
  host.page = u"http://h/dir/page.jsp;x?s=JSESSIONID%3Dz9KOCAB"_s;
  LinkAction plain = follow(host, "doc.pdf", LinkAction::LINK_OUTSIDE);
  EXPECT_EQ(plain.kind, LinkAction::OPEN_OUTSIDE);
  EXPECT_EQ(narrow(plain.url), "http://h/dir/doc.pdf");

  LinkAction gated = follow(host, "http://o.example/a?JSESSIONID%3Dz9KOCAB",
                            LinkAction::LINK_OUTSIDE | LinkAction::LINK_GATEWAY);
  EXPECT_EQ(gated.kind, LinkAction::OPEN_OUTSIDE);
  std::string hash = std::to_string(String(u"WM_abc"_s).hashCode());
  EXPECT_EQ(narrow(gated.url), "http://svc:6111/iemgateway.jsp;jsessionid=z9KOCAB?user=u42&hc=" + hash +
                                   "&addr=http%3A%2F%2Fo.example%2Fa%3FJSESSIONID%253Dz9KOCAB");

  LinkAction noSession = follow(host, "/b", LinkAction::LINK_OUTSIDE | LinkAction::LINK_GATEWAY);
  EXPECT_EQ(narrow(noSession.url),
            "http://svc:6111/iemgateway.jsp?user=u42&hc=" + hash + "&addr=http%3A%2F%2Fh%2Fb");
}

TEST(LinkAction, MessagesOfLinksAndDownloadsHaveTexts) {
  const char* root = std::getenv("VWT_TEST_SOURCE_DIR");
  ASSERT_NE(root, nullptr);
  std::ifstream file(std::string(root) + "/res/message.txt");
  std::stringstream text;
  text << file.rdbuf();
  for (int id : {10014, 10023, 10064, 10065})
    EXPECT_NE(text.str().find("\n" + std::to_string(id) + "="), std::string::npos) << id;
}

}  // namespace
