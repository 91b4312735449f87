#include "vwt/net/Socket.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "tests/vwt/net/TestHttpServer.h"
#include "vwt/lang/Exception.h"
#include "vwt/lang/Resource.h"
#include "vwt/net/SocketInputStream.h"
#include "vwt/net/SocketOutputStream.h"

TEST(SocketTest, StreamsCarryBytesBothWaysUntilThePeerCloses) {
  TestHttpServer server("reply");
  Socket s(u"127.0.0.1"_s, server.port());
  EXPECT_TRUE(s.toString().equals(u"Socket"));
  SocketOutputStream* out = s.getOutputStream();
  EXPECT_EQ(out, s.getOutputStream());
  out->write("GET / HTTP/1.1\r\n", 0, 16);
  out->write('\r');
  out->write('\n');
  out->flush();

  SocketInputStream* in = s.getInputStream();
  std::string got;
  int b = in->read();
  ASSERT_EQ('r', b);
  got += static_cast<char>(b);
  char buf[16];
  int n;
  while ((n = in->read(buf, 2, 10)) > 0) got.append(buf + 2, n);
  EXPECT_EQ(-1, n);
  EXPECT_EQ(-1, in->read());
  EXPECT_EQ("reply", got);
  EXPECT_EQ(0, s.available());
  EXPECT_EQ("GET / HTTP/1.1\r\n\r\n", server.requests().at(0).header);
}

TEST(SocketTest, UseAfterCloseFailsWithNotASocket) {
  TestHttpServer server("");
  Socket s(u"127.0.0.1"_s, server.port());
  s.close();
  s.close();
  struct Op {
    int id;
    std::function<void()> call;
  } ops[] = {
      {-2504, [&] { s.read(); }},
      {-2505, [&] { char b[4]; s.read(b, 0, 4); }},
      {-2502, [&] { s.write('x'); }},
      {-2503, [&] { s.available(); }},
  };
  for (const Op& op : ops) {
    try {
      op.call();
      ADD_FAILURE() << op.id;
    } catch (const Exception& e) {
      EXPECT_EQ(10038u, e.getCode()) << op.id;
      EXPECT_TRUE(e.getRawMessage().equals(Resource::getString(op.id))) << op.id;
    }
  }
  s.flush();  // ignored
}
