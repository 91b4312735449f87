#include <gtest/gtest.h>

#include "tests/vwt/TestText.h"
#include "vwt/lang/Exception.h"
#include "vwt/lang/Resource.h"
#include "vwt/net/URL.h"

TEST(URLTest, Parsing) {
  struct Case {
    const char16_t* address;
    const char* protocol;
    const char* host;
    int port;
    const char* directory;
    const char* file;
    const char* fileName;
    const char* query;
    const char* reference;
    const char* string;
  } cases[] = {
      {u"http://host", "http", "host", 80, "/", "/", "", "", "", "http://host/"},
      {u"https://h:8443/a/b/c.jsp;sid=1?x=1#top", "https", "h", 8443, "/a/b/", "/a/b/c.jsp;sid=1?x=1#top",
       "c.jsp", "?x=1#top", "", "https://h/a/b/c.jsp;sid=1?x=1#top"},
      {u"http://h/p#frag?q=1", "http", "h", 80, "/", "/p?q=1", "p", "?q=1", "#frag", "http://h/p#frag?q=1"},
      {u"http://h:8080/x", "http", "h", 8080, "/", "/x", "x", "", "", "http://h/x"},
      {u"HTTP://h/", "unknown", "h", 0, "/", "/", "", "", "", "unknown://h/"},
      {u"http://h:12ab/", "http", "h", 12, "/", "/", "", "", "", "http://h/"},
      {u"http://h?q", "http", "h?q", 80, "/", "/", "", "", "", "http://h?q/"},
      {u"no address", "unknown", "", 0, "/", "/", "", "", "", "unknown:///"},
      {u"mailto:x@y", "unknown", "", 0, "/", "/", "", "", "", "unknown:///"},
  };
  for (const Case& k : cases) {
    URL u{String(k.address, false)};
    SCOPED_TRACE(narrow(String(k.address, false)));
    EXPECT_EQ(k.protocol, narrow(u.getProtocol()));
    EXPECT_EQ(k.host, narrow(u.getHost()));
    EXPECT_EQ(k.port, u.getPort());
    EXPECT_EQ(k.directory, narrow(u.getDirectory()));
    EXPECT_EQ(k.file, narrow(u.getFile()));
    EXPECT_EQ(k.fileName, narrow(u.getFileName()));
    EXPECT_EQ(k.query, narrow(u.getQuery()));
    EXPECT_EQ(k.reference, narrow(u.getReference()));
    EXPECT_EQ(k.string, narrow(u.toString()));
  }
}

TEST(URLTest, PathAndDefaultPortAndCopy) {
  URL u(u"https://h/a/b.html?x"_s);
  EXPECT_EQ("/a/b.html", narrow(u.getPath()));
  EXPECT_EQ(443, u.getDefaultPort());
  URL copy(u);
  URL assigned;
  EXPECT_EQ(0, assigned.getPort());
  EXPECT_EQ("unknown", narrow(assigned.getProtocol()));
  assigned = copy;
  EXPECT_TRUE(assigned.toString().equals(u.toString()));
  EXPECT_EQ(URL::HTTPS, assigned.getProtocolType());
}

TEST(URLTest, ColonTooCloseToTheEndThrows2600WithTheAddress) {
  for (const char16_t* address : {u"http://", u"http:/", u"h:", u"http:/x"}) {
    String s(address, false);
    try {
      URL u(s);
      ADD_FAILURE() << narrow(s);
    } catch (const Exception& e) {
      EXPECT_TRUE(e.getRawMessage().equals(Resource::getString(-2600, s))) << narrow(s);
      EXPECT_GE(e.getRawMessage().indexOf(s), 0) << narrow(s);
    }
  }
  EXPECT_NO_THROW(URL(u"http://h"_s));
}
