// Following links and opening addresses over a real session against the reference service on
// loopback: what each kind of link does, which requests go out, and the hand-over of downloads.
#include <gtest/gtest.h>

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "browser/page/ReflowHost.h"
#include "browser/page/RenderItem.h"
#include "browser/service/Background.h"
#include "browser/service/CipherManager.h"
#include "browser/shell/DownloadHandOver.h"
#include "browser/shell/LinkFollower.h"
#include "browser/shell/SessionCore.h"
#include "browser/shell/SessionDialogs.h"
#include "browser/shell/SessionView.h"
#include "service/RenderService.h"
#include "tests/browser/LoopbackService.h"
#include "tests/vwt/ScratchDirectory.h"
#include "tests/vwt/TestText.h"
#include "vwt/lang/Exception.h"
#include "vwt/lang/Phone.h"
#include "vwt/lang/System.h"
#include "vwt/net/URLEncoder.h"
#include "vwt/ui/Application.h"

namespace {

using loopback::readFile;
using loopback::sourceDir;

const char LINKS_URL[] = "http://demo.local/dir/links?q=1";

// Notes the status texts as they are set and says yes to the download question.
class Window : public SessionView, public SessionDialogs {
 public:
  void requestRepaint() override {}
  void statusTextChanged() override {
    std::lock_guard<std::mutex> g(lock);
    statuses.push_back(narrow(core->getStatusText()));
  }
  void pageShown() override {}
  void launchDownload(const String& url, const String&, const String&) override {
    std::lock_guard<std::mutex> g(lock);
    downloads.push_back(narrow(url));
  }
  void showInformation(const String&, const String&) override {}
  bool askYesNo(const String&, const String&) override { return true; }
  void askCredentials(const String&, const String&, const String&) override {}
  bool sawStatus(const std::string& text) {
    std::lock_guard<std::mutex> g(lock);
    for (const std::string& s : statuses)
      if (s == text) return true;
    return false;
  }
  SessionCore* core = nullptr;
  std::mutex lock;
  std::vector<std::string> statuses, downloads;
};

class LinkFollowerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string fixtures = program_.dir / "fixtures";
    program_.dir.write("fixtures/a.page", "page title=\"Page A\" width=236 height=100\n");
    program_.dir.write("fixtures/b.page", "page title=\"Page B\" width=236 height=100\n");
    // A link over words and an image map, an area, an anchor; the second link lies in a frame.
    program_.dir.write("fixtures/dir/links.page",
                       std::string("page title=\"Links\" url=\"") + LINKS_URL +
                           "\" width=236 height=800\n"
                           "item TEXT id=words x=2 y=2 w=100 h=14 text=\"words\"\n"
                           "item IMAGE id=map x=20 y=100 w=240 h=40 image=0 flags=0x10\n"
                           "item ANCHOR x=7 y=450 name=\"Section2\" flags=0\n"
                           "struct LINK text=\"http://demo.local/b\" refs=words,map flags=0\n"
                           "struct AREA shape=1 x=0 y=200 w=50 h=50 text=\"http://demo.local/area\" "
                           "name=\"spot\" ref=map\n"
                           "struct LINK text=\"inner.html\" refs=words flags=0\n"
                           "frame name=\"\" value=4\n"
                           "frame name=\"http://demo.local/framed/f.html\" value=5\n"
                           "image hex=47494638396101000100800000000000ffffff21f90401000000002c000000000100"
                           "01000002024401003b\n");
    program_.dir.write("fixtures/dl.page",
                       "page title=\"Download\" width=236 height=100\n"
                       "command status=32000 message=\"file.zip\" argument=\"http://demo.local/file.zip\"\n");
    vesk::ServiceConfig config = loopback::serviceConfig();
    config.fixtureDir = fixtures;
    service_.reset(new vesk::RenderService(config));
    port_ = service_->start();
    program_.write("res/message.txt", readFile(sourceDir() + "/res/message.txt"));
    writeIni("");
  }
  void TearDown() override {
    follower_.reset();
    core_.reset();
    service_->stop();
  }
  void writeIni(const std::string& extra) {
    program_.write("system.ini",
                   "service.host=127.0.0.1\nservice.port=" + std::to_string(port_) + "\n" + extra);
    System::unloadProperties();
  }
  // A session with the links page on screen after page A.
  void start() {
    core_.reset(new SessionCore());
    window_.core = core_.get();
    core_->setView(&window_);
    core_->setDialogs(&window_);
    LinkFollower::Actions actions;
    actions.showPoint = [this](int x, int y) {
      points_.push_back(std::to_string(x) + "," + std::to_string(y));
    };
    actions.openOutside = [this](const String& url) { outside_.push_back(narrow(url)); };
    follower_.reset(new LinkFollower(core_.get(), actions));
    ASSERT_EQ(1, core_->startSession(true));
    ASSERT_TRUE(load("http://demo.local/a"));
    ASSERT_TRUE(load(LINKS_URL));
    service_->state().log.clear();
  }
  bool load(const std::string& url) {
    core_->startPageRequest(String(url.c_str()));
    core_->waitForWorker(20000);
    return core_->getWorker()->getResult() == 0;
  }
  void waitForWorker() { ASSERT_TRUE(core_->waitForWorker(20000)); }
  std::vector<std::string> pageRequests() {
    waitForWorker();
    std::vector<std::string> out;
    for (const std::string& l : service_->state().log.lines())
      if (l.compare(0, 2, "H ") == 0) out.push_back(l);
    return out;
  }
  int count(const std::string& prefix) {
    int n = 0;
    for (const std::string& l : service_->state().log.lines()) n += l.compare(0, prefix.size(), prefix) == 0;
    return n;
  }
  // Structure item i of the page on screen, given url and flags.
  RenderItem* structureItem(int i, const char* url = nullptr, int flags = -1) {
    SharedPtr<Page> page = core_->getCurrentPage();
    std::lock_guard<std::mutex> g(core_->pageLock());
    RenderItem* item = page->structure->elementAt(i);
    if (url) item->text = String(url);
    if (flags >= 0) item->flags = flags;
    return item;
  }
  std::vector<std::string> messages() {
    std::vector<std::string> out;
    for (const SessionCore::Message& m : core_->getMessages()) out.push_back(narrow(m.text));
    return out;
  }
  std::string root() { return "http://127.0.0.1:" + std::to_string(port_); }

  ScratchProgram program_;
  std::unique_ptr<vesk::RenderService> service_;
  int port_ = 0;
  Window window_;
  std::unique_ptr<SessionCore> core_;
  std::unique_ptr<LinkFollower> follower_;
  std::vector<std::string> points_, outside_;
};

std::string encoded(const std::string& text) { return narrow(URLEncoder::encode(String(text.c_str()))); }

struct FollowCase {
  const char* name;
  int item;  // structure index: 0 the link over the image map, 1 the area, 2 the framed link
  const char* url;
  int linkFlags;
  int pointerX, pointerY, zoom, callerFlags;
  // What is expected: a message, an outside address, a point shown, a request's "u=" and "o=" (encoded
  // here), or going back to page A. Empty: none.
  std::string message, outside, point, requestUrl, referrer;
  bool back;
};

TEST_F(LinkFollowerTest, EachKindOfLinkDoesWhatItSays) {
  start();
  std::string gateway = "/iemgateway.jsp?user=1001&hc=" + std::to_string(Phone::getProperty(0).hashCode()) +
                        "&addr=" + encoded("http://demo.local/dir/other.html");
  const FollowCase cases[] = {
      // First, while the page before is page A.
      {"back", 0, "JavaScript:back", 0, 0, 0, 100, 0, "", "", "", "", "", true},
      {"ftp", 0, "ftp://files.example/x", 0, 0, 0, 100, 0, "Not supported: ftp://files.example/x", "", "", "",
       "", false},
      {"javascript", 0, "javascript:alert(1)", 0, 0, 0, 100, 0, "Not supported: javascript:alert(1)", "", "",
       "", "", false},
      {"lower-case back", 0, "javascript:back", 0, 0, 0, 100, 0, "Not supported: javascript:back", "", "", "",
       "", false},
      {"tel", 0, "tel:+123", 0, 0, 0, 100, 0, "", "", "", "", "", false},
      {"mailto", 0, "mailto:me@example.org", 0, 0, 0, 100, 0, "",
       root() + "/portal/mailto.jsp?cv=nb&mt=me%40example.org", "", "", "", false},
      {"outside", 0, "other.html", 1, 0, 0, 100, 0, "", "http://demo.local/dir/other.html", "", "", "",
       false},
      {"gateway", 0, "other.html", 1 | 8, 0, 0, 100, 0, "", root() + gateway, "", "", "", false},
      {"fragment only", 0, "#section2", 0, 0, 0, 150, 0, "", "", "10,675", "", "", false},
      {"own address and fragment", 0, "http://demo.local/dir/links?q=1#SECTION2", 0, 0, 0, 100, 0, "", "",
       "7,450", "", "", false},
      {"plain", 0, "http://demo.local/b", 0, 4, 4, 100, 0, "", "", "", encoded("http://demo.local/b"),
       encoded(LINKS_URL), false},
      {"image map", 0, "http://demo.local/map", 0, 2 * 23, 2 * 104, 200, 0, "", "", "",
       encoded("http://demo.local/map?3,4"), encoded(LINKS_URL), false},
      {"query only", 0, "?q=2", 0, 0, 0, 100, 0, "", "", "", encoded("http://demo.local/dir/links?q=2"),
       encoded(LINKS_URL), false},
      {"area", 1, nullptr, -1, 5, 205, 100, 0, "", "", "", encoded("http://demo.local/area"),
       encoded(LINKS_URL), false},
      {"framed link", 2, nullptr, -1, 4, 4, 100, 0, "", "", "", encoded("inner.html"),
       encoded("http://demo.local/framed/f.html"), false},
      // Caller flag 1 (a new window) always asks.
      {"fragment asked for with caller flag 1", 0, "#section2", 0, 0, 0, 100, 1, "", "", "",
       encoded("#section2"), encoded(LINKS_URL), false},
  };
  for (const FollowCase& c : cases) {
    SCOPED_TRACE(c.name);
    if (narrow(core_->getCurrentPageUrl()) != LINKS_URL) {
      ASSERT_TRUE(load(LINKS_URL));
    }
    service_->state().log.clear();
    core_->clearMessages();
    points_.clear();
    outside_.clear();
    follower_->follow(structureItem(c.item, c.url, c.linkFlags), c.pointerX, c.pointerY, c.zoom,
                      c.callerFlags);
    std::vector<std::string> requests = pageRequests();
    EXPECT_EQ(c.message.empty() ? std::vector<std::string>() : std::vector<std::string>{c.message},
              messages());
    EXPECT_EQ(c.outside.empty() ? std::vector<std::string>() : std::vector<std::string>{c.outside}, outside_);
    EXPECT_EQ(c.point.empty() ? std::vector<std::string>() : std::vector<std::string>{c.point}, points_);
    if (c.requestUrl.empty()) {
      EXPECT_TRUE(requests.empty()) << requests.front();
    } else {
      ASSERT_EQ(1u, requests.size());
      std::string expected = "c=H&u=" + c.requestUrl + "&o=" + c.referrer + "&bu=" + encoded(LINKS_URL) + "&";
      EXPECT_NE(std::string::npos, requests[0].find(expected)) << requests[0];
    }
    if (c.back) {
      EXPECT_EQ("Page A", narrow(core_->getCurrentPage()->title));
    }
  }
}

// Measures for the single-column view: a 120 px wide view.
class NarrowView : public ReflowHost {
 public:
  int pageLineHeight() override { return 12; }
  int pageCharWidth(char16_t) override { return 6; }
  int pageFaceType() override { return 0; }
  int interfaceLineHeight() override { return 12; }
  int canvasFlags() override { return SessionCore::FLAG_REFLOW; }
  int pageBackground() override { return 0xFFFFFF; }
  int viewWidth() override { return 120; }
  int viewHeight() override { return 320; }
  int zoom() override { return 100; }
  void setPageExtent(int, int) override {}
};

TEST_F(LinkFollowerTest, InReflowTheImageMapPointIsInTheImagesOwnPixels) {
  start();
  NarrowView view;
  core_->setReflowHost(&view);
  core_->setReflowMode(true);
  RenderItem* link = structureItem(0, "http://demo.local/map");
  int x, y, width, height;
  {
    std::lock_guard<std::mutex> g(core_->pageLock());
    RenderItem* image = dynamic_cast<RenderItem*>(link->refs->elementAt(1));
    ASSERT_TRUE(image && image->refs && image->refs->size() == 1);
    RenderItem* shown = dynamic_cast<RenderItem*>(image->refs->elementAt(0));
    x = shown->x;
    y = shown->y;
    width = shown->width;
    height = shown->height;
  }
  ASSERT_GT(width, 0);
  ASSERT_GT(height, 0);
  ASSERT_LT(width, 240) << "the copy is narrower than the image";
  // A point on the copy is the point scaled to the image (240 x 40).
  follower_->follow(link, x + width / 2, y + height / 2, 100, 0);
  std::string expected = "http://demo.local/map?" + std::to_string(width / 2 * 240 / width) + "," +
                         std::to_string(height / 2 * 40 / height);
  std::vector<std::string> requests = pageRequests();
  ASSERT_EQ(1u, requests.size());
  EXPECT_NE(std::string::npos, requests[0].find("u=" + encoded(expected) + "&")) << requests[0];
  core_->setReflowMode(false);
}

TEST_F(LinkFollowerTest, AnItemNoLongerOnScreenIsIgnored) {
  start();
  RenderItem* link = structureItem(0);
  ASSERT_TRUE(load("http://demo.local/b"));
  service_->state().log.clear();
  follower_->follow(link, 4, 4, 100, 0);
  EXPECT_TRUE(pageRequests().empty());
}

TEST_F(LinkFollowerTest, ANewWindowOnlyWhenTheSettingAllowsIt) {
  start();
  follower_->follow(structureItem(0, "http://demo.local/b", 4), 4, 4, 100, 0);
  waitForWorker();
  EXPECT_EQ(1, core_->getWindows().getCount());
  core_->setSetting(13, core_->getSetting(13) | 0x10);
  core_->saveSettings();
  ASSERT_TRUE(load(LINKS_URL));
  follower_->follow(structureItem(0, "http://demo.local/b", 4), 4, 4, 100, 0);
  waitForWorker();
  EXPECT_EQ(2, core_->getWindows().getCount());
  EXPECT_EQ(1, core_->getHistorySize());
  EXPECT_EQ("Page B", narrow(core_->getCurrentPage()->title));
}

TEST_F(LinkFollowerTest, TheStatisticsMarkGoesOnceAfterTwelveHours) {
  start();
  int64_t t0 = System::currentTimeMillis();
  int64_t now = t0;
  follower_->setClock([&now] { return now; });
  core_->setLastStatsTime(t0);
  auto marked = [this](const std::string& url) {
    follower_->open(String(url.c_str()), String(), String(), String(), String(), 0);
    std::vector<std::string> requests = pageRequests();
    return !requests.empty() && requests.back().find("&st=1") != std::string::npos;
  };
  now = t0 + LinkFollower::MARK_INTERVAL_MS;
  EXPECT_FALSE(marked("http://demo.local/a"));
  now = t0 + LinkFollower::MARK_INTERVAL_MS + 1;
  EXPECT_TRUE(marked("http://demo.local/b"));
  EXPECT_FALSE(marked("http://demo.local/a"));
}

TEST_F(LinkFollowerTest, OpeningShowsTheAddressOrTheServiceNameAndReloadsInPlace) {
  start();
  follower_->open(u"http://demo.local/b"_s, String(), String(), String(), String(), 0);
  waitForWorker();
  EXPECT_TRUE(window_.sawStatus("Opening http://demo.local/b"));
  EXPECT_EQ(3, core_->getHistorySize());
  // The address equal to the base is the page again, in place of its entry.
  service_->state().log.clear();
  follower_->open(u"http://demo.local/b"_s, String(), u"http://demo.local/b"_s, String(), String(), 4);
  std::vector<std::string> requests = pageRequests();
  ASSERT_EQ(1u, requests.size());
  EXPECT_NE(std::string::npos, requests[0].find("&rl=1")) << requests[0];
  EXPECT_EQ(3, core_->getHistorySize());
  // The service's own pages are named by the service.
  follower_->open(u"http://127.0.0.1/portal/indexQK.jsp"_s, String(), String(), u"x=1"_s, String(), 0);
  requests = pageRequests();
  EXPECT_TRUE(window_.sawStatus("Opening vesk"));
  ASSERT_EQ(2u, requests.size());
  EXPECT_NE(std::string::npos, requests[1].find("&p=x%3D1")) << requests[1];
}

TEST_F(LinkFollowerTest, ANewSecureHostGetsANewSessionKey) {
  start();
  std::vector<char> key = core_->getCipherManager().getSessionKey();
  follower_->open(u"https://secure.example/login"_s, String(LINKS_URL), String(), String(), String(), 0);
  waitForWorker();
  EXPECT_EQ(1, count("KEYX "));
  EXPECT_NE(key, core_->getCipherManager().getSessionKey());
  EXPECT_EQ("secure.example", narrow(follower_->secureHost()));
  EXPECT_EQ(core_->getCipherManager().getSessionKey(), CipherManager(&core_->getStore()).getSessionKey())
      << "kept for the next start";
  key = core_->getCipherManager().getSessionKey();
  // The same host, or a secure page reached from a secure page, keeps the key.
  follower_->open(u"https://secure.example/next"_s, String(LINKS_URL), String(), String(), String(), 0);
  waitForWorker();
  follower_->open(u"https://other.example/"_s, u"https://secure.example/next"_s, String(), String(), String(),
                  0);
  waitForWorker();
  EXPECT_EQ(1, count("KEYX "));
  EXPECT_EQ(key, core_->getCipherManager().getSessionKey());
  EXPECT_EQ(3, count("H "));
}

TEST_F(LinkFollowerTest, TheDesktopBrowserThatCannotStartSaysSo) {
  start();
  ASSERT_EQ(nullptr, Application::getCurrentApp());
  LinkFollower::desktopBrowser(core_.get())(u"http://a.example/"_s);
  EXPECT_EQ(std::vector<std::string>{"This kind of program cannot be started."}, messages());
}

TEST_F(LinkFollowerTest, WithoutAConnectionNothingIsAskedAndTheStatusIsCleared) {
  start();
  core_.reset();
  writeIni("dialup.status=33\n");
  core_.reset(new SessionCore());
  window_.core = core_.get();
  core_->setView(&window_);
  follower_.reset(new LinkFollower(core_.get(), LinkFollower::Actions()));
  core_->setStatusText(u"old"_s);
  service_->state().log.clear();
  follower_->open(u"http://demo.local/b"_s, String(), String(), String(), String(), 0);
  EXPECT_TRUE(core_->getStatusText().isNull());
  EXPECT_TRUE(pageRequests().empty());
}

TEST_F(LinkFollowerTest, TheServicesDownloadsGoThroughTheHandOver) {
  start();
  struct Step {
    int answer;  // of send; 2: send throws
    std::string message;
    bool launched;
  };
  const Step steps[] = {
      {0, "", false},
      {1, "The downloader is busy; try again when it has finished.", false},
      {-1, "", true},
      {2, "The download could not be handed to the downloader.", false},
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(s.answer);
    std::vector<std::string> sent, launched;
    DownloadHandOver::Channel channel;
    channel.send = [&](const String& windowClass, const char* data, int length) {
      if (s.answer == 2) throw Exception(u"gone"_s);
      sent.push_back(narrow(windowClass) + " " + std::to_string(length) + " " + std::string(1, data[2]));
      return s.answer;
    };
    channel.launch = [&](const String& line) { launched.push_back(narrow(line)); };
    core_->setDownloadChannel(channel);
    core_->clearMessages();
    ASSERT_TRUE(load(LINKS_URL));
    load("http://demo.local/dl");
    EXPECT_EQ(s.message.empty() ? std::vector<std::string>() : std::vector<std::string>{s.message},
              messages());
    std::string line = "\"http://demo.local/file.zip\"\t\"" + std::string(LINKS_URL) + "\"\t\"\"";
    std::string message = "DOWNLOADER " + std::to_string(2 * (line.size() + 1)) + " h";
    EXPECT_EQ(s.answer == 2 ? std::vector<std::string>() : std::vector<std::string>{message}, sent);
    EXPECT_EQ(s.launched ? std::vector<std::string>{line} : std::vector<std::string>(), launched);
  }
  // Without a channel the view hears of it.
  core_->setDownloadChannel(DownloadHandOver::Channel());
  load("http://demo.local/dl");
  EXPECT_EQ(std::vector<std::string>{"http://demo.local/file.zip"}, window_.downloads);
}

}  // namespace
