#include <gtest/gtest.h>
#include <unistd.h>

#include <functional>
#include <string>

#include "tests/vwt/net/LoopbackListener.h"
#include "tests/vwt/net/TestHttpServer.h"
#include "vwt/lang/Exception.h"
#include "vwt/lang/Resource.h"
#include "vwt/lang/System.h"
#include "vwt/net/Socket.h"
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
      {-2505,
       [&] {
         char b[4];
         s.read(b, 0, 4);
       }},
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

// A peer that accepts and then says nothing: reads end at the idle limit or
// at the deadline with the time-out code, and bytes within the limits arrive.
TEST(SocketTest, ReadsEndAtTheIdleLimitOrTheDeadline) {
  int port;
  int listener = listenOnLoopback(4, &port);
  struct Case {
    const char* what;
    int idleMs;
    int64_t deadlineFromNow;
  } cases[] = {{"idle", 50, 0}, {"deadline", 0, 50}, {"deadline passed", 5000, -1}};
  for (const Case& c : cases) {
    Socket s(u"127.0.0.1"_s, port);
    int peer = accept(listener, nullptr, nullptr);
    ASSERT_GE(peer, 0);
    ASSERT_EQ(1, send(peer, "a", 1, 0));
    s.setReadLimits(c.idleMs,
                    c.deadlineFromNow > 0 ? System::currentTimeMillisBoot() + c.deadlineFromNow : 0);
    if (c.deadlineFromNow >= 0) {
      EXPECT_EQ('a', s.read()) << c.what;
    } else {
      s.setReadLimits(c.idleMs, System::currentTimeMillisBoot() - 1);
    }
    char buf[4];
    try {
      s.read(buf, 0, 4);
      ADD_FAILURE() << c.what;
    } catch (const Exception& e) {
      EXPECT_EQ(10060u, e.getCode()) << c.what;
      EXPECT_TRUE(e.getRawMessage().equals(Resource::getString(-2506))) << c.what;
    }
    close(peer);
  }
  close(listener);
}
