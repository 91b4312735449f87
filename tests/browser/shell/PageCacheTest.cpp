// Pages, windows and the page cache against the reference service on
// loopback: history from the kept descriptions without requests, fragment
// jumps, images decoded as their blocks arrive within the page's image
// memory, freeing kept pages under memory pressure, and the credential
// dialog's answer.
#include <gtest/gtest.h>
#include <httplib.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "browser/service/Background.h"
#include "browser/shell/SessionCore.h"
#include "browser/shell/SessionDialogs.h"
#include "browser/shell/SessionView.h"
#include "browser/store/RecordStore.h"
#include "service/RenderService.h"
#include "tests/browser/LoopbackService.h"
#include "tests/vwt/ScratchDirectory.h"
#include "tests/vwt/TestText.h"
#include "vwt/lang/Resource.h"
#include "vwt/lang/System.h"
#include "vwt/ui/Application.h"
#include "vwt/ui/Image.h"

namespace {

using loopback::readFile;
using loopback::sourceDir;

const int LOGO_COST = 64 * 32 * 3;
const int MAP_COST = 200 * 100 * 3;

// Answers the credential dialog as a user would, and counts what the
// window heard.
class ScriptedWindow : public SessionView, public SessionDialogs {
 public:
  void requestRepaint() override { ++repaints; }
  void statusTextChanged() override {}
  void pageShown() override { ++shown; }
  void showInformation(const String&, const String&) override {}
  bool askYesNo(const String&, const String&) override { return false; }
  void launchProgram(int type, const String& argument) override {
    launches.push_back(std::to_string(type) + " " + narrow(argument));
  }
  void terminate() override { ++terminations; }
  void askCredentials(const String& prompt, const String& user, const String&) override {
    prompts.push_back(narrow(prompt) + "|" + narrow(user));
    core->answerCredentials(confirm, String(typedUser.c_str()), String(typedPassword.c_str()));
  }
  SessionCore* core = nullptr;
  bool confirm = true;
  std::string typedUser, typedPassword;
  std::vector<std::string> prompts, launches;
  std::atomic<int> repaints{0}, shown{0}, terminations{0};
};

class PageCacheTest : public ::testing::Test {
 protected:
  void SetUp() override {
    app_.initialize(Application::INIT_IMAGING);
    std::string fixtures = program_.dir / "fixtures";
    for (const char* picture : {"logo.png", "map.png", "photo.png"})
      program_.dir.write(std::string("fixtures/") + picture,
                         readFile(sourceDir() + "/service/sites/demo/" + picture));
    program_.dir.write("fixtures/a.page",
                       "page title=\"Page A\" width=236 height=600\n"
                       "item TEXT x=2 y=2 w=100 h=14 text=\"a\"\n"
                       "item ANCHOR x=7 y=450 name=\"Section2\" flags=0\n");
    program_.dir.write("fixtures/b.page", "page title=\"Page B\" width=236 height=100\n");
    // logo and map fit the memory, the photo would pass it; the logo spans blocks.
    program_.dir.write(
        "fixtures/pics.page",
        "page title=\"Pictures\" width=236 height=300 memory=" + std::to_string(LOGO_COST + MAP_COST) +
            "\n"
            "item IMAGE x=0 y=0 w=64 h=32 image=0\n"
            "item IMAGE x=0 y=40 w=200 h=100 image=1\n"
            "item IMAGE x=0 y=150 w=100 h=60 image=2\n"
            "item IMAGE x=0 y=220 w=10 h=10 image=3\n"
            "image file=logo.png transparent=0xFF00FF\nimage file=map.png\nimage file=photo.png\n"
            "image hex=89504e470d0a1a0a0000000d4948445200\n");
    vesk::ServiceConfig config;
    config.host = "127.0.0.1";
    config.port = 0;
    config.fixtureDir = fixtures;
    config.imageBlockBytes = 1000;
    config.sites.emplace_back("shipped.site", sourceDir() + "/service/sites/demo");
    service_.reset(new vesk::RenderService(config));
    port_ = service_->start();
    program_.write("res/message.txt", readFile(sourceDir() + "/res/message.txt"));
    program_.write("system.ini", "service.host=127.0.0.1\nservice.port=" + std::to_string(port_) + "\n");
    System::unloadProperties();
    core_.reset(new SessionCore());
    window_.core = core_.get();
    core_->setView(&window_);
    core_->setDialogs(&window_);
    ASSERT_EQ(1, core_->startSession(true));
  }
  void TearDown() override {
    core_.reset();
    service_->stop();
  }
  bool load(const std::string& url) {
    core_->startPageRequest(String(url.c_str()));
    core_->waitForWorker(20000);
    return core_->getWorker()->getResult() == 0;
  }
  void waitForWorker() { ASSERT_TRUE(core_->waitForWorker(20000)); }
  int count(const std::string& prefix) {
    int n = 0;
    for (const std::string& l : service_->state().log.lines()) n += l.compare(0, prefix.size(), prefix) == 0;
    return n;
  }
  std::string lastQuery(const std::string& prefix) {
    std::string found;
    for (const std::string& l : service_->state().log.lines())
      if (l.compare(0, prefix.size(), prefix) == 0) found = l;
    return found;
  }
  std::string title() { return narrow(core_->getCurrentPage()->title); }
  int imageWidth(int index) {
    std::lock_guard<std::mutex> g(core_->pageLock());
    Image* image = core_->pageImage(index);
    return image ? image->getWidth() : -1;
  }

  ScratchProgram program_;
  Application app_;
  std::unique_ptr<vesk::RenderService> service_;
  int port_ = 0;
  ScriptedWindow window_;
  std::unique_ptr<SessionCore> core_;
};

TEST_F(PageCacheTest, BackAndForwardShowKeptPagesWithoutARequest) {
  ASSERT_TRUE(load("http://demo.local/a"));
  ASSERT_TRUE(load("http://demo.local/b"));
  int requests = count("H ");
  struct Step {
    int offset;
    const char* title;
    int position;
  } steps[] = {{-1, "Page A", 0}, {-1, "Page A", 0}, {+1, "Page B", 1},
               {+1, "Page B", 1}, {0, "Page B", 1},  {-1, "Page A", 0}};
  for (const Step& s : steps) {
    core_->historyStep(s.offset);
    EXPECT_EQ(s.title, title()) << s.offset;
    EXPECT_EQ(s.position, core_->getWindows().getPosition()) << s.offset;
    EXPECT_EQ(2, core_->getHistorySize());
  }
  EXPECT_EQ(requests, count("H "));
  // The page shown again has its items back; the one left has none.
  EXPECT_EQ(2, core_->getCurrentPage()->mainCount());
  EXPECT_EQ(0, core_->getWindows().getPage(1)->mainCount());
  EXPECT_GT(window_.shown, 2);
}

// The commands of an answer are acted on when it arrives, not again when
// its kept copy is shown.
TEST_F(PageCacheTest, AKeptPageDoesNotRepeatItsCommands) {
  httplib::Client control("127.0.0.1", port_);
  ASSERT_TRUE(control.Get("/control/next?do=command&status=10000&message=Update&argument=http://u.local/"));
  ASSERT_TRUE(load("http://demo.local/a"));
  ASSERT_TRUE(load("http://demo.local/b"));
  ASSERT_EQ(1u, window_.launches.size());
  EXPECT_EQ("2 http://u.local/", window_.launches[0]);
  size_t messages = core_->getMessages().size();
  int setting = core_->getSetting(1);
  core_->setSetting(1, setting + 5);
  core_->historyStep(-1);
  EXPECT_EQ("Page A", title());
  EXPECT_EQ(1u, window_.launches.size());
  EXPECT_EQ(1, window_.terminations);
  EXPECT_EQ(messages, core_->getMessages().size());
  EXPECT_EQ(setting + 5, core_->getSetting(1));
}

TEST_F(PageCacheTest, AHistoryStepCancelsTheRequestThatRuns) {
  ASSERT_TRUE(load("http://demo.local/a"));
  ASSERT_TRUE(load("http://demo.local/b"));
  httplib::Server slow;
  std::atomic<bool> release(false), asked(false);
  slow.Post(".*", [&](const httplib::Request&, httplib::Response& res) {
    asked = true;
    for (int i = 0; i < 300 && !release; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    res.set_content("never read", "text/plain");
  });
  int slowPort = slow.bind_to_any_port("127.0.0.1");
  std::thread serving([&] { slow.listen_after_bind(); });
  System::setProperty(u"service.port"_s, String(slowPort));
  struct Case {
    int offset;
    const char* title;
  } cases[] = {{+1, "Page B"}, {-1, "Page A"}};
  for (const Case& c : cases) {
    asked = false;
    core_->startPageRequest(u"http://demo.local/c"_s);
    for (int i = 0; i < 300 && !asked; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ASSERT_TRUE(asked);
    // Forward at the end only stops the request; back stops it and goes back.
    core_->historyStep(c.offset);
    EXPECT_FALSE(core_->getWorker()->isAlive()) << c.offset;
    EXPECT_EQ(c.title, title()) << c.offset;
    EXPECT_EQ(2, core_->getHistorySize());
  }
  release = true;
  slow.stop();
  serving.join();
}

TEST_F(PageCacheTest, AFragmentOfThePageOnScreenJumpsWithoutARequest) {
  ASSERT_TRUE(load("http://demo.local/a"));
  int requests = count("H ");
  String url = core_->getCurrentPageUrl();
  ASSERT_TRUE(core_->isSamePageLink(url + u"#SECTION2"));
  int x = -1;
  EXPECT_EQ(450, core_->findAnchor(url + u"#section2", &x));
  EXPECT_EQ(7, x);
  EXPECT_EQ(450, core_->findAnchor(u"Section2"_s));
  EXPECT_EQ(-1, core_->findAnchor(u"#nowhere"_s));
  EXPECT_EQ(requests, count("H "));
}

TEST_F(PageCacheTest, TheSamePageTestNeedsAFragmentOfThisPage) {
  ASSERT_TRUE(load("http://demo.local/a"));
  ASSERT_EQ("http://demo.local/a", narrow(core_->getCurrentPageUrl()));
  struct Case {
    const char* link;
    const char* frame;
    bool same;
  } cases[] = {
      {"#top", "", true},
      {"http://demo.local/a#x", "", true},
      {"a#x", "", true},  // resolved against the page
      {"/a#x", "", true},
      {"http://demo.local/a", "", false},  // no fragment: a request
      {"http://demo.local/b#x", "", false},
      {"http://demo.local/a#veskBrowserPage-2", "", false},
      {"http://f.local/in#x", "http://f.local/in#old", true},  // the link's frame
      {"http://demo.local/a#x", "http://f.local/in", false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(c.same, core_->isSamePageLink(String(c.link), String(c.frame))) << c.link << " " << c.frame;
}

TEST_F(PageCacheTest, ImagesDecodeOnceWithinTheImageMemory) {
  ASSERT_TRUE(load("http://demo.local/pics"));
  // The logo spans several 1000-byte blocks and counts once.
  EXPECT_GT(count("I "), 5);
  EXPECT_EQ(LOGO_COST + MAP_COST, core_->getImageTable().decodedBytes);
  EXPECT_EQ(64, imageWidth(0));
  EXPECT_EQ(200, imageWidth(1));
  // The photo would pass the limit: dropped with its bytes.
  EXPECT_EQ(-1, imageWidth(2));
  SharedPtr<Page> page = core_->getCurrentPage();
  ASSERT_TRUE(page->images);
  EXPECT_EQ(0, page->images->elementAt(2)->size());
  // Bytes that do not decode leave the slot empty and are kept.
  EXPECT_EQ(-1, imageWidth(3));
  EXPECT_EQ(17, page->images->elementAt(3)->size());
  EXPECT_EQ(-1, imageWidth(4));
}

// With the transparent-colour switch each image record starts with its
// colour, which the decoded image takes.
TEST_F(PageCacheTest, ImagesWithATransparentColourTakeIt) {
  core_->setTransparentColor(true);
  ASSERT_TRUE(load("http://demo.local/pics"));
  EXPECT_NE(std::string::npos, lastQuery("I ").find("&tc")) << lastQuery("I ");
  std::lock_guard<std::mutex> g(core_->pageLock());
  ASSERT_TRUE(core_->pageImage(0));
  EXPECT_EQ(64, core_->pageImage(0)->getWidth());
  EXPECT_EQ(0xFF00FF, core_->pageImage(0)->getTransparentColor() & 0xFFFFFF);
  ASSERT_TRUE(core_->pageImage(1));
  EXPECT_FALSE(core_->pageImage(2));
}

TEST_F(PageCacheTest, AKeptPageGetsItsImagesBackFromItsBytes) {
  ASSERT_TRUE(load("http://demo.local/pics"));
  ASSERT_TRUE(load("http://demo.local/b"));
  EXPECT_EQ(-1, imageWidth(0));
  int images = count("I ");
  core_->historyStep(-1);
  EXPECT_EQ("Pictures", title());
  EXPECT_EQ(64, imageWidth(0));
  EXPECT_EQ(200, imageWidth(1));
  EXPECT_EQ(-1, imageWidth(2));
  EXPECT_EQ(LOGO_COST + MAP_COST, core_->getImageTable().decodedBytes);
  EXPECT_EQ(images, count("I "));
}

TEST_F(PageCacheTest, FreeingMemoryTakesOtherWindowsFirstAndNeverThePageOnScreen) {
  ASSERT_TRUE(load("http://demo.local/a"));
  ASSERT_TRUE(load("http://demo.local/pics"));
  core_->openInNewWindow(u"http://demo.local/b"_s);
  waitForWorker();
  ASSERT_TRUE(load("http://demo.local/a"));
  BrowsingWindows& windows = core_->getWindows();
  ASSERT_EQ(2, windows.getCount());
  SharedPtr<Page> first = windows.getPage(0, 0), second = windows.getPage(1, 0);
  SharedPtr<Page> third = windows.getPage(0, 1), onScreen = core_->getCurrentPage();
  ASSERT_TRUE(second->images);
  auto kept = [](const SharedPtr<Page>& p) { return p->data.get() != nullptr; };

  // Free memory grows with every page given back; two are enough.
  int freed = 0;
  core_->setFreeMemorySource([&] {
    freed = !kept(first) + !kept(second) + !kept(third);
    return static_cast<int64_t>(freed) * 1000;
  });
  EXPECT_TRUE(core_->ensureFreeMemory(0));
  EXPECT_TRUE(kept(first));
  EXPECT_TRUE(core_->ensureFreeMemory(2000));
  EXPECT_FALSE(kept(first));
  EXPECT_FALSE(kept(second));
  EXPECT_FALSE(second->images);
  EXPECT_TRUE(kept(third));
  // More than there is: everything but the page on screen goes.
  EXPECT_FALSE(core_->ensureFreeMemory(1 << 30));
  EXPECT_FALSE(kept(third));
  EXPECT_TRUE(kept(onScreen));
  // A page given back is asked for again when shown.
  int requests = count("H ");
  core_->historyStep(-1);
  waitForWorker();
  EXPECT_EQ(requests + 1, count("H "));
  EXPECT_EQ("Page B", title());
  EXPECT_EQ(2, core_->getHistorySize());
}

TEST_F(PageCacheTest, AShownPageIsRecordedAsVisited) {
  ASSERT_TRUE(load("http://demo.local/a"));
  core_->recordVisit(u"Dec 10"_s);
  ASSERT_TRUE(load("http://demo.local/b"));
  core_->recordVisit(u"Dec 10"_s);
  AutoPtr<Vector<Object*>> rows(core_->getStore().readRecord(RecordStore::VISITED, u"S"_s));
  ASSERT_EQ(6, rows->size());
  EXPECT_EQ("Page B", narrow(*static_cast<String*>(rows->elementAt(2))));
  EXPECT_EQ("I1,http://demo.local/a", narrow(*static_cast<String*>(rows->elementAt(5))));
}

TEST_F(PageCacheTest, ClosingTheCurrentWindowShowsTheNextOnesPage) {
  ASSERT_TRUE(load("http://demo.local/a"));
  core_->openInNewWindow(u"http://demo.local/b"_s);
  waitForWorker();
  EXPECT_EQ("Page B", title());
  int requests = count("H ");
  core_->closeWindow(1);
  EXPECT_EQ(1, core_->getWindows().getCount());
  EXPECT_EQ("Page A", title());
  core_->closeWindow(0);
  EXPECT_EQ(1, core_->getWindows().getCount());
  EXPECT_EQ(requests, count("H "));
}

TEST_F(PageCacheTest, ConfirmedCredentialsAreSentAgainAndOpenThePage) {
  window_.typedUser = "guest";
  window_.typedPassword = "demo";
  ASSERT_TRUE(load("http://shipped.site/private/"));
  ASSERT_EQ(1u, window_.prompts.size());
  EXPECT_NE(std::string::npos, window_.prompts[0].find("Members")) << window_.prompts[0];
  EXPECT_EQ("Members only", title());
  EXPECT_NE(std::string::npos, lastQuery("H ").find("&aid=guest&apw=demo&at=Basic")) << lastQuery("H ");
  EXPECT_EQ(SessionCore::DIALOG_CONFIRMED, core_->getDialogState());
  EXPECT_EQ(1, core_->getHistorySize());
  // Kept for the address: the next visit asks no more.
  ASSERT_TRUE(load("http://shipped.site/private/index.html"));
  EXPECT_EQ(1u, window_.prompts.size());
}

// A challenge named by a realm rather than by the page's address: the pair
// is kept for the page asked for.
TEST_F(PageCacheTest, CredentialsForARealmGoToThePageAskedFor) {
  httplib::Client control("127.0.0.1", port_);
  ASSERT_TRUE(control.Get("/control/auth?realm=Club&user=u&password=p%3Aq"));
  window_.typedUser = "u";
  window_.typedPassword = "p:q";
  ASSERT_TRUE(load("http://demo.local/a"));
  ASSERT_EQ(1u, window_.prompts.size());
  EXPECT_EQ("Page A", title());
  ASSERT_TRUE(load("http://demo.local/b"));
  EXPECT_EQ("Page B", title());
  EXPECT_EQ(1u, window_.prompts.size());
}

TEST_F(PageCacheTest, CancelledCredentialsAreSentAsCancelledOnce) {
  window_.confirm = false;
  EXPECT_FALSE(load("http://shipped.site/private/"));
  ASSERT_EQ(1u, window_.prompts.size());
  EXPECT_EQ(SessionCore::DIALOG_CANCELLED, core_->getDialogState());
  EXPECT_EQ(0, core_->getHistorySize());
  load("http://shipped.site/private/");
  EXPECT_NE(std::string::npos, lastQuery("H ").find("&aid=&apw=&at=&aca=0")) << lastQuery("H ");
}

}  // namespace
