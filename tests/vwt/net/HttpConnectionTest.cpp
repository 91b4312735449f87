#include <gtest/gtest.h>

#include <string>

#include "tests/vwt/TestText.h"
#include "tests/vwt/net/TestHttpServer.h"
#include "vwt/io/Connector.h"
#include "vwt/io/DataInputStream.h"
#include "vwt/io/InputStream.h"
#include "vwt/io/OutputStream.h"
#include "vwt/lang/AutoPtr.h"
#include "vwt/lang/Exception.h"
#include "vwt/lang/Resource.h"
#include "vwt/net/HttpConnection.h"

namespace {

HttpConnection* openHttp(const std::string& url) {
  return static_cast<HttpConnection*>(Connector::open(wide(url), Connector::READ_WRITE));
}

// Everything the body stream gives, read in blocks of `block` bytes.
std::string readBody(InputStream* in, int block = 4096) {
  std::string body;
  std::string buf(block, '\0');
  int n;
  while ((n = in->read(&buf[0], 0, block)) > 0) body.append(buf.data(), n);
  EXPECT_EQ(-1, n);
  return body;
}

int messageIdOf(const Exception& e, std::initializer_list<int> ids) {
  for (int id : ids)
    if (e.getRawMessage().equals(Resource::getString(id))) return id;
  return 0;
}

}  // namespace

TEST(HttpConnectionTest, GetSendsRequestLineHostWithPortAndAgentWithoutSpaces) {
  TestHttpServer server("HTTP/1.1 200 OK\r\nContent-Length:2\r\n\r\nok");
  AutoPtr<HttpConnection> c(openHttp(server.base() + "/a?b=1"));
  EXPECT_EQ(200, c->getResponseCode());
  EXPECT_EQ("ok", readBody(c->openInputStream()));
  c->close();

  auto requests = server.requests();
  ASSERT_EQ(1u, requests.size());
  const std::string& h = requests[0].header;
  EXPECT_EQ(0u, h.find("GET /a?b=1 HTTP/1.1\r\n")) << h;
  EXPECT_NE(std::string::npos, h.find("\r\nHost:127.0.0.1:" + std::to_string(server.port()) + "\r\n")) << h;
  EXPECT_NE(std::string::npos, h.find("\r\nUser-Agent:veskToolKit\r\n")) << h;
  EXPECT_EQ(std::string::npos, h.find("Content-Length")) << "a GET has no body";
  EXPECT_TRUE(requests[0].body.empty());
}

TEST(HttpConnectionTest, ReferenceAndQueryFollowThePathAndLaterHeaderValuesReplace) {
  TestHttpServer server("HTTP/1.1 204 No Content\r\n\r\n");
  AutoPtr<HttpConnection> c(openHttp(server.base() + "/d/f.cgi#r?q=1"));
  c->setUserAgent(u"agent/1"_s);
  c->setRequestProperty(u"X-Test"_s, u"one"_s);
  c->setRequestProperty(u"X-Test"_s, u"two"_s);
  c->connect();
  EXPECT_EQ(204, c->getResponseCode());
  std::string h = server.requests().at(0).header;
  EXPECT_EQ(0u, h.find("GET /d/f.cgi#r?q=1 HTTP/1.1\r\n")) << h;
  EXPECT_NE(std::string::npos, h.find("\r\nUser-Agent:agent/1\r\n")) << h;
  EXPECT_NE(std::string::npos, h.find("\r\nX-Test:two\r\n")) << h;
  EXPECT_EQ(std::string::npos, h.find("X-Test:one")) << h;
}

TEST(HttpConnectionTest, PostSendsContentLengthAndExactBody) {
  TestHttpServer server("HTTP/1.1 200 OK\r\n\r\n");
  AutoPtr<HttpConnection> c(openHttp(server.base() + "/br/wm"));
  c->setRequestMethod(u"POST"_s);
  c->setRequestProperty(u"Content-Type"_s, u"vesk-cryptreq"_s);
  OutputStream* body = c->openOutputStream();
  body->write("0123456789", 0, 10);
  EXPECT_EQ(200, c->getResponseCode());

  auto r = server.requests().at(0);
  EXPECT_EQ(0u, r.header.find("POST /br/wm HTTP/1.1\r\n")) << r.header;
  EXPECT_NE(std::string::npos, r.header.find("\r\nContent-Length:10\r\n")) << r.header;
  EXPECT_NE(std::string::npos, r.header.find("\r\nContent-Type:vesk-cryptreq\r\n")) << r.header;
  EXPECT_EQ("0123456789", r.body);
}

TEST(HttpConnectionTest, StatusLines) {
  struct Case {
    const char* line;
    int code;
    const char* message;
  } cases[] = {
      {"HTTP/1.1 404 Not Found", 404, "Not Found"},
      {"HTTP/1.1 200", 200, ""},
      {"HTTP/1.0 302 Found elsewhere", 302, "Found elsewhere"},
      {"HTTP/1.1 abc", 0, ""},
      {"garbage", 0, ""},
      {"", 0, ""},
  };
  for (const Case& k : cases) {
    TestHttpServer server(std::string(k.line) + "\r\nX:1\r\n\r\nbody");
    AutoPtr<HttpConnection> c(openHttp(server.base() + "/"));
    EXPECT_EQ(k.code, c->getResponseCode()) << k.line;
    EXPECT_EQ(k.message, narrow(c->getResponseMessage())) << k.line;
    EXPECT_EQ("body", readBody(c->openInputStream())) << k.line;
  }
}

TEST(HttpConnectionTest, HeaderLinesAreTrimmedSplitAtFirstColonAndLookedUpExactly) {
  TestHttpServer server(
      "HTTP/1.1 200 OK\r\nX:  a b \r\nLocation: http://h:8/p\r\nno colon here\r\n"
      "Dup: 1\r\nDup: 2\r\nEmpty:\r\n\r\nrest");
  AutoPtr<HttpConnection> c(openHttp(server.base() + "/"));
  c->connect();
  EXPECT_TRUE(c->getHeaderField(u"X"_s).equals(u"a b"));
  EXPECT_TRUE(c->getHeaderField(u"Location"_s).equals(u"http://h:8/p"));
  EXPECT_TRUE(c->getHeaderField(u"Dup"_s).equals(u"2"));
  EXPECT_TRUE(c->getHeaderField(u"Empty"_s).isNull());
  EXPECT_TRUE(c->getHeaderField(u"location"_s).isNull()) << "names are exact";
  EXPECT_TRUE(c->getHeaderFieldIgnoreCase(u"location"_s).equals(u"http://h:8/p"));
  EXPECT_TRUE(c->getHeaderFieldIgnoreCase(u"LOCATION"_s).equals(u"http://h:8/p"));
  EXPECT_TRUE(c->getHeaderFieldIgnoreCase(u"Missing"_s).isNull());
  EXPECT_TRUE(c->getHeaderField(u"Missing"_s).isNull());
  EXPECT_EQ(7, c->getHeaderFieldInt(u"Missing"_s, 7));
  EXPECT_EQ("rest", readBody(c->openInputStream()));
}

TEST(HttpConnectionTest, ChunkedBodyWithExtensionIsDecoded) {
  TestHttpServer server(
      "HTTP/1.1 200 OK\r\nTransfer-Encoding: Chunked\r\n\r\n"
      "5;ext=1\r\nhello\r\n6\r\n world\r\n0\r\nTrailer: x\r\n\r\n");
  AutoPtr<HttpConnection> c(openHttp(server.base() + "/"));
  InputStream* in = c->openInputStream();
  EXPECT_EQ("hello world", readBody(in, 3));
  EXPECT_EQ(-1, in->read());
}

TEST(HttpConnectionTest, AChunkedBodyIsDecodedWhateverTheCaseOfTheFieldName) {
  TestHttpServer server("HTTP/1.1 200 OK\r\ntransfer-encoding: chunked\r\n\r\n5\r\nhello\r\n0\r\n\r\n");
  AutoPtr<HttpConnection> c(openHttp(server.base() + "/"));
  EXPECT_EQ("hello", readBody(c->openInputStream()));
  EXPECT_TRUE(c->isChunked());
}

TEST(HttpConnectionTest, UnchunkedBodyEndsWhenTheServerCloses) {
  std::string big(100000, 'x');
  TestHttpServer server("HTTP/1.1 200 OK\r\nContent-Length: 3\r\n\r\n" + big);
  AutoPtr<HttpConnection> c(openHttp(server.base() + "/"));
  EXPECT_EQ(-1, c->getHeaderFieldInt(u"Content-Length"_s, -1)) << "nothing read yet";
  c->connect();
  EXPECT_EQ(3, c->getHeaderFieldInt(u"Content-Length"_s, -1));
  EXPECT_EQ(big, readBody(c->openInputStream(), 1000)) << "the header's length does not cut the body";
}

TEST(HttpConnectionTest, HeaderCutShortByCloseEndsTheResponse) {
  TestHttpServer server("HTTP/1.1 500 Broken\r\nX: y");
  AutoPtr<HttpConnection> c(openHttp(server.base() + "/"));
  EXPECT_EQ(500, c->getResponseCode());
  EXPECT_TRUE(c->getHeaderField(u"X"_s).equals(u"y"));
  EXPECT_EQ(-1, c->openInputStream()->read());
}

TEST(HttpConnectionTest, DataInputStreamOverBodyLeavesTheBodyToTheConnection) {
  TestHttpServer server(std::string("HTTP/1.1 200 OK\r\n\r\n\x66\xDE\xCD\xEC", 23));
  AutoPtr<HttpConnection> c(openHttp(server.base() + "/"));
  AutoPtr<DataInputStream> in(c->openDataInputStream());
  EXPECT_EQ(0x66DECDEC, in->readInt());
  in.reset();
  c->close();  // the body stream is still the connection's to close
}

TEST(HttpConnectionTest, OutputStreamOnGetAndAfterTheBody) {
  TestHttpServer server("HTTP/1.1 200 OK\r\n\r\n");
  AutoPtr<HttpConnection> get(openHttp(server.base() + "/"));
  try {
    get->openOutputStream();
    FAIL() << "a GET has no body";
  } catch (const Exception& e) {
    EXPECT_EQ(-2401, messageIdOf(e, {-2400, -2401}));
  }

  AutoPtr<HttpConnection> post(openHttp(server.base() + "/"));
  post->setRequestMethod(u"POST"_s);
  post->openOutputStream()->write('x');
  post->connect();
  try {
    post->openOutputStream();
    FAIL() << "the body has gone";
  } catch (const Exception& e) {
    EXPECT_EQ(-2400, messageIdOf(e, {-2400, -2401}));
  }
  EXPECT_EQ("x", server.requests().at(0).body);
}

TEST(HttpConnectionTest, RefusedConnectionNamesHostAndPortWithCode10061) {
  int port = TestHttpServer::closedPort();
  AutoPtr<HttpConnection> c(openHttp("http://127.0.0.1:" + std::to_string(port) + "/x"));
  try {
    c->connect();
    FAIL() << "nothing listens there";
  } catch (const Exception& e) {
    EXPECT_EQ(10061u, e.getCode());
    String expected = Resource::getString(-2501, u"127.0.0.1"_s, String(port));
    EXPECT_FALSE(expected.isNull());
    EXPECT_TRUE(e.getRawMessage().equals(expected));
    EXPECT_GE(e.getRawMessage().indexOf(String(port)), 0);
  }
}

TEST(HttpConnectionTest, AConnectionAbortedBeforeItsSocketExistsSendsNothing) {
  // As when another thread gives up while the connection is still being made.
  TestHttpServer server("HTTP/1.1 200 OK\r\nContent-Length: 1\r\n\r\nx");
  AutoPtr<HttpConnection> c(openHttp(server.base() + "/x"));
  c->abort();
  try {
    c->connect();
    FAIL() << "an abandoned connection is not made";
  } catch (const Exception& e) {
    EXPECT_EQ(10004u, e.getCode());
  }
  EXPECT_TRUE(server.requests().empty());
}

TEST(HttpConnectionTest, UnknownHostFailsWithHostNotFound) {
  // An empty label is refused by the resolver itself, without a query.
  AutoPtr<HttpConnection> c(openHttp("http://no-such-host..invalid:81/"));
  try {
    c->getResponseCode();
    FAIL();
  } catch (const Exception& e) {
    EXPECT_EQ(11001u, e.getCode());
    EXPECT_TRUE(e.getRawMessage().equals(Resource::getString(-2501, u"no-such-host..invalid"_s, u"81"_s)));
  }
}

TEST(HttpConnectionTest, EndlessHeaderIsCutOffWith2402) {
  std::string header = "HTTP/1.1 200 OK\r\n";
  for (int i = 0; header.size() < 70 * 1024; ++i)
    header += "X-" + std::to_string(i) + ": " + std::string(100, 'v') + "\r\n";
  TestHttpServer server(header + "\r\nbody");
  AutoPtr<HttpConnection> c(openHttp(server.base() + "/"));
  try {
    c->connect();
    FAIL() << "the header is too long";
  } catch (const Exception& e) {
    EXPECT_TRUE(e.getRawMessage().equals(Resource::getString(-2402, u"65536"_s)));
  }
}

// The header is read in blocks; the body must still get exactly the bytes after the blank line, whether the
// whole response came in one piece (body bytes in the header's block) or in many small parts.
TEST(HttpConnectionTest, BodyGetsExactlyTheBytesAfterTheHeaderHoweverTheResponseArrives) {
  std::string large;
  for (int i = 0; large.size() < 10000; ++i) large += std::to_string(i) + ",";
  std::string binary("\r\n\r\n\0\xFF\n", 7);
  struct Case {
    const char* name;
    std::string response;
    std::string body;
    int code;
  } cases[] = {
      {"content length", "HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\nhello", "hello", 200},
      {"ends with the connection", "HTTP/1.1 201 Made\r\nX: 1\r\n\r\n" + binary, binary, 201},
      {"large body", "HTTP/1.1 200 OK\r\n\r\n" + large, large, 200},
      {"chunked",
       "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n4\r\nabcd\r\n3;x=y\r\nefg\r\n0\r\n\r\n",
       "abcdefg", 200},
      {"chunked large",
       "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n2710\r\n" + large.substr(0, 10000) +
           "\r\n0\r\n\r\n",
       large.substr(0, 10000), 200},
      {"empty body", "HTTP/1.1 204 No Content\r\n\r\n", "", 204},
      {"bare line feeds", "HTTP/1.1 200 OK\nA: b\n\nrest", "rest", 200},
  };
  // 0: the whole response in one send (header and body pipelined in one block).
  for (size_t piece : {0, 1, 7}) {
    for (const Case& k : cases) {
      // A byte-by-byte large body would take long; its header split is what matters.
      if (piece == 1 && k.body.size() > 100) continue;
      SCOPED_TRACE(std::string(k.name) + ", pieces of " + std::to_string(piece));
      for (int block : {1, 3, 4096, 20000}) {
        TestHttpServer server(k.response, piece);
        AutoPtr<HttpConnection> c(openHttp(server.base() + "/"));
        EXPECT_EQ(k.code, c->getResponseCode());
        EXPECT_EQ(k.body, readBody(c->openInputStream(), block)) << "blocks of " << block;
      }
    }
  }
}

TEST(HttpConnectionTest, HeaderFieldsAndBodyOfAResponseSplitIntoSingleBytes) {
  TestHttpServer server("HTTP/1.1 200 Fine\r\nContent-Type: x/y\r\nContent-Length: 4\r\n\r\n\x12\x34\x56\x78",
                        1);
  AutoPtr<HttpConnection> c(openHttp(server.base() + "/"));
  EXPECT_EQ(200, c->getResponseCode());
  EXPECT_TRUE(c->getResponseMessage().equals(u"Fine"));
  EXPECT_TRUE(c->getHeaderField(u"Content-Type"_s).equals(u"x/y"));
  AutoPtr<DataInputStream> in(c->openDataInputStream());
  EXPECT_EQ(0x12345678, in->readInt());
  EXPECT_EQ(-1, in->read());
}
