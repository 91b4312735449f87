#include <fstream>
#include <sstream>

#include "EnvelopeDecoder.h"
#include "ServiceHarness.h"
#include "WireReader.h"

namespace vesktest {
namespace {

using GatewayTest = ServiceHarness;

TEST_F(GatewayTest, MalformedRequestsGetCleanErrors) {
  connect();
  std::string uid = std::to_string(client_->userId());
  struct Case {
    std::string contentType, body;
    int status;
  } cases[] = {
      {"text/plain", "c=R", 415},
      {"", "", 415},
      {"application/x-www-form-urlencoded", "c=Q", 400},
      {"vesk-cryptreq", client_->encrypt("c=H"), 400},
      {"vesk-cryptreq12x", client_->encrypt("c=H"), 400},
      {"vesk-cryptreq99999999999", client_->encrypt("c=H"), 400},
      {"vesk-cryptreq" + uid, "", 400},
      {"vesk-cryptreq" + uid, std::string(33, 'a'), 400},
      {"vesk-cryptreq" + uid, client_->encrypt("c=Z&x=1"), 400},
  };
  for (const auto& c : cases) {
    auto r = client_->post(c.contentType, c.body);
    EXPECT_EQ(r.status, c.status) << "'" << c.contentType << "' " << c.body.size();
  }
}

TEST_F(GatewayTest, UnknownSessionsAndUndecryptableRequestsMakeTheHandsetRekey) {
  connect();
  std::string uid = std::to_string(client_->userId());
  const std::pair<std::string, std::string> cases[] = {
      {"vesk-cryptreq31337", client_->encrypt("c=H")},   // no session for that user
      {"vesk-cryptreq" + uid, std::string(32, '\x5A')},  // decrypts to noise
  };
  for (const auto& c : cases) {
    auto r = client_->post(c.first, c.second);
    EXPECT_EQ(r.status, 200);
    ASSERT_EQ(r.body.size(), 16u);
    EXPECT_NE(WireReader(client_->decrypt(r.body) + std::string(4, '\0')).i32(), HandsetClient::MAGIC);
  }
}

TEST_F(GatewayTest, ScriptedAnswersApplyToTheNextPageOnly) {
  connect();
  std::string q = "c=H&ib=" + std::to_string(client_->userId()) + "&bt=0&fl=1";
  ASSERT_EQ(client_->control("next?do=bad-magic").status, 200);
  ASSERT_EQ(client_->control("next?do=http-404").status, 200);
  ASSERT_EQ(client_->control("next?do=version&v=5301").status, 200);
  ASSERT_EQ(client_->control("next?do=download&url=http%3A%2F%2Fx%2Ff.zip&message=f.zip").status, 200);
  ASSERT_EQ(client_->control("next?do=command&status=10001&message=Update&argument=http%3A%2F%2Fu").status,
            200);

  auto bad = client_->query(q);
  EXPECT_EQ(bad.status, 200);
  EXPECT_NE(WireReader(bad.body).i32(), HandsetClient::MAGIC);
  EXPECT_EQ(client_->query(q).status, 404);
  EXPECT_EQ(decodeEnvelope(client_->page(q)).version, 5301);
  auto dl = decodeEnvelope(client_->page(q));
  EXPECT_EQ(dl.status, 32000);
  EXPECT_EQ(dl.message, "f.zip");
  EXPECT_EQ(dl.argument, "http://x/f.zip");
  auto cmd = decodeEnvelope(client_->page(q));
  EXPECT_EQ(cmd.status, 10001);
  EXPECT_EQ(cmd.argument, "http://u");
  auto normal = decodeEnvelope(client_->page(q));
  EXPECT_EQ(normal.version, 5208);
  EXPECT_EQ(normal.status, 0);

  const char* refused[] = {"next?do=nothing", "next?do=version", "next?do=download",
                           "auth?realm=r",    "uploads",         "no-such-action"};
  for (const char* r : refused) EXPECT_GE(client_->control(r).status, 400) << r;
}

TEST_F(GatewayTest, AuthenticationIsChallengedUntilCredentialsArrive) {
  connect();
  ASSERT_EQ(client_->control("auth?realm=members&user=alice&password=secret&prompt=Members").status, 200);
  std::string base = "c=H&u=http%3A%2F%2Fh%2Fdemo%2Fnotice&bt=0&fl=1";
  const std::pair<std::string, int> cases[] = {
      {base, 30000},
      {base + "&aid=alice&apw=wrong&at=Basic", 30000},
      {base + "&aid=alice&apw=secret&at=Basic", 20500},
  };
  for (const auto& c : cases) {
    auto e = decodeEnvelope(client_->page(c.first));
    EXPECT_EQ(e.status, c.second) << c.first;
    if (c.second == 30000) {
      EXPECT_EQ(e.message, "Basic,Members");
      EXPECT_EQ(e.argument, "members");
    }
  }
  ASSERT_EQ(client_->control("auth?off=1").status, 200);
  EXPECT_EQ(decodeEnvelope(client_->page(base)).status, 20500);
}

TEST_F(GatewayTest, RequestLogKeepsTheQueryValuesInTheOrderReceived) {
  connect();
  std::string uid = std::to_string(client_->userId());
  std::string q = "c=H&u=http%3A%2F%2Fh%2F&o=http%3A%2F%2Fr%2F&ib=" + uid + "&ft=1&bt=0&fl=1&f&css&vn=5208";
  client_->page(q);
  client_->query("c=I&r=1&b=0&pg=1&tc");
  auto log = client_->control("log").body;
  std::vector<std::string> lines;
  std::istringstream in(log);
  for (std::string l; std::getline(in, l);) lines.push_back(l);
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0], "R - c=R");
  EXPECT_EQ(lines[1].compare(0, 5 + uid.size(), "KEYX " + uid), 0);
  EXPECT_EQ(lines[2], "H " + uid + " " + q);
  EXPECT_EQ(lines[3], "I " + uid + " c=I&r=1&b=0&pg=1&tc");
  // the same lines go to the log file
  std::ifstream file(dir_ + "/requests.log");
  std::stringstream ss;
  ss << file.rdbuf();
  EXPECT_EQ(ss.str(), log);
  ASSERT_EQ(client_->control("log?clear=1").status, 200);
  EXPECT_EQ(client_->control("log").body, "");
}

struct NoControlTest : ServiceHarness {
  void configure(vesk::ServiceConfig& c) override { c.control = false; }
};

TEST_F(NoControlTest, ControlEndpointCanBeSwitchedOff) {
  EXPECT_EQ(client_->control("log").status, 404);
  EXPECT_EQ(client_->control("rotate-key").status, 404);
}

}  // namespace
}  // namespace vesktest
