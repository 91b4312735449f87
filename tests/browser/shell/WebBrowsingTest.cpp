// The browser's session against the reference service that fetches real pages: a site folder with
// its sidecar files and an origin on 127.0.0.1, what the handset shows (the page dump), the cookies
// it keeps and sends back, a Basic challenge answered with stored credentials, failures.
#include <gtest/gtest.h>
#include <httplib.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>

#include "browser/service/Background.h"
#include "browser/shell/PageDump.h"
#include "browser/shell/SessionCore.h"
#include "browser/store/RecordStore.h"
#include "service/RenderService.h"
#include "tests/browser/LoopbackService.h"
#include "tests/vwt/ScratchDirectory.h"
#include "tests/vwt/TestText.h"
#include "vwt/lang/System.h"
#include "vwt/lang/Vector.h"

namespace {

using loopback::readFile;
using loopback::sourceDir;

namespace fs = std::filesystem;

void writeFile(const std::string& path, const std::string& text) {
  fs::create_directories(fs::path(path).parent_path());
  std::ofstream(path, std::ios::binary) << text;
}

class WebBrowsingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/vesk-browse-test-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    dir_ = tmpl;
    std::string site = dir_ + "/site";
    writeFile(site + "/index.html",
              "<html><head><title>Front</title></head><body><p>Front page</p>"
              "<p><a href=\"cookies.html\">cookies</a></p></body></html>");
    writeFile(site + "/cookies.html",
              "<html><head><title>Cookies</title></head><body><p>set</p></body></html>");
    writeFile(site + "/cookies.html.headers", "Set-Cookie: flavour=vanilla; Path=/; Max-Age=3600\n");
    writeFile(site + "/private/.auth", "realm=Members\nuser=guest:demo\n");
    writeFile(site + "/private/index.html",
              "<html><head><title>Members</title></head><body><p>in</p></body></html>");
    // "日本語" in Shift_JIS, named by the page's meta element
    writeFile(
        site + "/japanese.html",
        "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=Shift_JIS\">"
        "<title>\x93\xfa\x96\x7b\x8c\xea</title></head><body><p>\x93\xfa\x96\x7b\x8c\xea</p></body></html>");

    origin_.Get("/check", [this](const httplib::Request& q, httplib::Response& r) {
      std::lock_guard<std::mutex> lock(mutex_);
      originCookies_ = q.get_header_value("Cookie");
      r.set_content("<html><head><title>Checked</title></head><body><p>ok</p></body></html>", "text/html");
    });
    origin_.Get("/set", [](const httplib::Request&, httplib::Response& r) {
      r.set_header("Set-Cookie", "token=abc; Path=/");
      r.set_content("<html><head><title>Set</title></head><body><p>set</p></body></html>", "text/html");
    });
    originPort_ = origin_.bind_to_any_port("127.0.0.1");
    originThread_ = std::thread([this] { origin_.listen_after_bind(); });
    while (!origin_.is_running()) std::this_thread::yield();

    vesk::ServiceConfig config = loopback::serviceConfig();
    config.fetchNetwork = true;
    config.fetchTimeoutMs = 1500;
    config.portalHost = "portal.test";
    config.sites.emplace_back("demo.site", site);
    config.sites.emplace_back("shipped.site", sourceDir() + "/service/sites/demo");
    service_.reset(new vesk::RenderService(config));
    port_ = service_->start();
    program_.write("res/message.txt", readFile(sourceDir() + "/res/message.txt"));
    program_.write("system.ini", "service.host=127.0.0.1\nservice.port=" + std::to_string(port_) + "\n");
    System::unloadProperties();
    core_.reset(new SessionCore());
    ASSERT_EQ(1, core_->startSession(true));
  }
  void TearDown() override {
    core_.reset();
    service_->stop();
    origin_.stop();
    originThread_.join();
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }
  bool load(const std::string& url) {
    core_->clearMessages();
    core_->startPageRequest(String(url.c_str()));
    core_->waitForWorker(20000);
    return core_->getWorker()->getResult() == 0;
  }
  std::string dump() { return PageDump::dump(*core_->getCurrentPage(), *core_); }
  std::string title() { return narrow(core_->getCurrentPage()->title); }
  std::string origin(const std::string& path) {
    return "http://127.0.0.1:" + std::to_string(originPort_) + path;
  }
  std::string lastQuery() {
    std::string found;
    for (const std::string& l : service_->state().log.lines())
      if (l.compare(0, 2, "H ") == 0) found = l;
    return found;
  }

  std::string dir_;
  httplib::Server origin_;
  std::thread originThread_;
  int originPort_ = 0;
  std::mutex mutex_;
  std::string originCookies_;
  ScratchProgram program_;
  std::unique_ptr<vesk::RenderService> service_;
  int port_ = 0;
  std::unique_ptr<SessionCore> core_;
};

TEST_F(WebBrowsingTest, ASiteFolderPageIsLaidOutAndItsCookiesAreKeptAndSentBack) {
  ASSERT_TRUE(load("http://demo.site/"));
  EXPECT_EQ(title(), "Front");
  std::string front = dump();
  EXPECT_NE(front.find("url \"http://demo.site/\""), std::string::npos) << front;
  EXPECT_NE(front.find("Front page"), std::string::npos) << front;
  ASSERT_TRUE(load("http://demo.site/cookies.html"));
  EXPECT_NE(dump().find("cookies \"flavour=vanilla\""), std::string::npos) << dump();
  ASSERT_TRUE(load("http://demo.site/index.html"));
  EXPECT_NE(lastQuery().find("&co=flavour%3Dvanilla"), std::string::npos) << lastQuery();
}

TEST_F(WebBrowsingTest, CookiesAnOriginSetsReachItAgain) {
  ASSERT_TRUE(load(origin("/set")));
  ASSERT_TRUE(load(origin("/check")));
  EXPECT_EQ(title(), "Checked");
  std::lock_guard<std::mutex> lock(mutex_);
  EXPECT_EQ(originCookies_, "token=abc");
}

TEST_F(WebBrowsingTest, ABasicChallengeOpensTheDialogAndStoredCredentialsOpenThePage) {
  load("http://demo.site/private/");
  bool asked = false;
  for (const SessionCore::Message& m : core_->getMessages())
    asked = asked || (narrow(m.title) == "auth" && narrow(m.text).find("Members") != std::string::npos);
  EXPECT_TRUE(asked);
  {
    // What the dialog stores: the page's folder, the user name and the password.
    Vector<Object*> row(true);
    row.addElement(new String("http://demo.site/private"));
    row.addElement(new String("guest"));
    row.addElement(new String("demo"));
    core_->getStore().writeRecord(RecordStore::CREDENTIALS, row, u"S"_s);
  }
  ASSERT_TRUE(load("http://demo.site/private/"));
  EXPECT_EQ(title(), "Members");
  EXPECT_NE(lastQuery().find("&aid=guest&apw=demo"), std::string::npos) << lastQuery();
}

TEST_F(WebBrowsingTest, AShiftJisPageArrivesAsUnicodeText) {
  ASSERT_TRUE(load("http://demo.site/japanese.html"));
  EXPECT_EQ(core_->getCurrentPage()->title, String(u"\u65E5\u672C\u8A9E", false));
  EXPECT_NE(dump().find("\\u65E5\\u672C\\u8A9E"), std::string::npos) << dump();
}

TEST_F(WebBrowsingTest, AnOriginThatNeverAnswersGivesAnErrorPageAndTheNextPageStillLoads) {
  int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ASSERT_EQ(0, bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a));
  ASSERT_EQ(0, listen(fd, 4));
  socklen_t len = sizeof a;
  getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
  bool loaded = load("http://127.0.0.1:" + std::to_string(ntohs(a.sin_port)) + "/");
  close(fd);
  ASSERT_TRUE(loaded);
  EXPECT_EQ(title(), "Page not available");
  EXPECT_NE(dump().find("did not answer in time"), std::string::npos) << dump();
  ASSERT_TRUE(load("http://demo.site/"));
  EXPECT_EQ(title(), "Front");
}

TEST_F(WebBrowsingTest, TheShippedDemoSiteLoadsPageByPage) {
  if (!fs::exists(sourceDir() + "/service/sites/demo/index.html")) GTEST_SKIP() << "no demonstration site";
  for (const char* page : {"", "article.html", "form.html", "frames.html", "japanese.html", "cookies.html"}) {
    if (*page && !fs::exists(sourceDir() + "/service/sites/demo/" + page)) continue;
    ASSERT_TRUE(load(std::string("http://shipped.site/") + page)) << page;
    EXPECT_NE(title(), "Page not available") << page;
    EXPECT_GT(core_->getCurrentPage()->mainCount(), 0) << page;
  }
}

}  // namespace
