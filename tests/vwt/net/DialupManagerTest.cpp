#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "tests/vwt/ScratchDirectory.h"
#include "tests/vwt/TestText.h"
#include "vwt/lang/System.h"
#include "vwt/net/DialupManager.h"

namespace {

class Recording : public DialupManager {
 public:
  unsigned long onConnected() override {
    ++connected;
    return DialupManager::onConnected();
  }
  unsigned long onConnectingError() override {
    ++errors;
    return 1;
  }
  unsigned long onDisconnected() override {
    ++disconnected;
    return DialupManager::onDisconnected();
  }
  unsigned long onThreadEnd() override {
    ++ended;
    return 0;
  }
  std::atomic<int> connected{0}, errors{0}, disconnected{0}, ended{0};
};

bool waitFor(const std::atomic<int>& v, int n) {
  for (int i = 0; i < 300 && v < n; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  return v >= n;
}

TEST(DialupManager, StatusNames) {
  DialupManager m;
  EXPECT_EQ("STATUS_UNKNOWN", narrow(m.getStatusName()));
  EXPECT_EQ("STATUS_CONNECTED", narrow(DialupManager::getStatusName(16)));
  EXPECT_EQ("STATUS_NO_PATH_WITH_PROPERTY", narrow(DialupManager::getStatusName(44)));
  EXPECT_EQ("STATUS_WAITING_CONNECTION_ABORT", narrow(DialupManager::getStatusName(129)));
  EXPECT_EQ("99", narrow(DialupManager::getStatusName(99)));
}

TEST(DialupManager, ConnectsAtOnceAndHangsUp) {
  ScratchProgram program;
  program.write("system.ini", "");
  Recording m;
  EXPECT_TRUE(m.isAvailable(u"http://127.0.0.1/", false));
  EXPECT_FALSE(m.attemptConnect(u"", false));  // nothing to map: no thread
  EXPECT_EQ(0, m.ended);
  ASSERT_TRUE(m.attemptConnect(u"http://127.0.0.1/", false));
  ASSERT_TRUE(waitFor(m.connected, 1));
  EXPECT_EQ(16u, m.getStatus());
  EXPECT_FALSE(m.isProxyRequired());
  EXPECT_TRUE(m.getProxyServer().isNull());
  ASSERT_TRUE(m.attemptConnect(nullptr, false));  // the kept path; the first thread stops
  EXPECT_EQ(1, m.ended);
  ASSERT_TRUE(waitFor(m.connected, 2));
  m.hangupConnection();
  EXPECT_EQ(2, m.ended);
  EXPECT_TRUE(m.GetCache());
}

TEST(DialupManager, ConfiguredStatusesTakeTheFailurePaths) {
  ScratchProgram program;
  struct Case {
    const char* value;
    int errors, disconnected;
    bool cache;
  } cases[] = {{"33", 1, 0, false}, {"32", 0, 1, true}, {"refuse", 1, 0, false}};
  for (const Case& c : cases) {
    program.write("system.ini", std::string("dialup.status=") + c.value + "\n");
    System::unloadProperties();
    Recording m;
    ASSERT_TRUE(m.attemptConnect(u"http://127.0.0.1/", false));
    ASSERT_TRUE(waitFor(m.ended, 1)) << c.value;  // the thread ends by itself
    EXPECT_EQ(c.errors, m.errors) << c.value;
    EXPECT_EQ(c.disconnected, m.disconnected) << c.value;
    EXPECT_EQ(c.cache, m.GetCache()) << c.value;
    EXPECT_EQ(0, m.connected);
  }
}

}  // namespace
