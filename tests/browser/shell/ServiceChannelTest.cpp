// The service channel end to end against the reference service on loopback.
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
#include "browser/service/CipherManager.h"
#include "browser/service/QueryBuilder.h"
#include "browser/shell/PageDump.h"
#include "browser/shell/SessionCore.h"
#include "service/RenderService.h"
#include "tests/browser/LoopbackService.h"
#include "tests/vwt/ScratchDirectory.h"
#include "tests/vwt/TestText.h"
#include "vwt/lang/Resource.h"
#include "vwt/lang/System.h"
#include "vwt/lang/VectorV.h"
#include "vwt/net/DialupManager.h"

namespace {

using loopback::readFile;
using loopback::sourceDir;

class ServiceChannelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    vesk::ServiceConfig config = loopback::serviceConfig();
    service_.reset(new vesk::RenderService(config));
    port_ = service_->start();
    program_.write("res/message.txt", readFile(sourceDir() + "/res/message.txt"));
    writeIni("");
  }
  void TearDown() override {
    core_.reset();
    service_->stop();
  }
  void writeIni(const std::string& extra) {
    program_.write("system.ini",
                   "service.host=127.0.0.1\nservice.port=" + std::to_string(port_) + "\n" + extra);
    System::unloadProperties();
  }
  SessionCore& core() {
    if (!core_) core_.reset(new SessionCore());
    return *core_;
  }
  void restart() { core_.reset(); }
  // Loads url (home page when empty) and waits for the worker.
  bool load(const String& url, const String& origin = String(), int options = 0,
            const String& post = String()) {
    core().startPageRequest(url, origin, String(), true, post, String(), options);
    core().waitForWorker(20000);
    return core().getWorker()->getResult() == 0;
  }
  std::vector<std::string> log() { return service_->state().log.lines(); }
  void clearLog() { service_->state().log.clear(); }
  int count(const std::string& prefix) {
    int n = 0;
    for (const std::string& l : log()) n += l.compare(0, prefix.size(), prefix) == 0;
    return n;
  }
  std::string lastQuery(const std::string& prefix) {
    std::string found;
    for (const std::string& l : log())
      if (l.compare(0, prefix.size(), prefix) == 0) found = l;
    return found;
  }
  void control(const std::string& path) {
    httplib::Client c("127.0.0.1", port_);
    auto r = c.Get(("/control/" + path).c_str());
    ASSERT_TRUE(r && r->status == 200);
  }
  std::vector<std::string> messageTexts() {
    std::vector<std::string> out;
    for (const SessionCore::Message& m : core().getMessages())
      out.push_back(narrow(m.title) + "|" + narrow(m.text));
    return out;
  }

  ScratchProgram program_;
  std::unique_ptr<vesk::RenderService> service_;
  int port_ = 0;
  std::unique_ptr<SessionCore> core_;
};

TEST_F(ServiceChannelTest, FreshStartFetchesTheKeyExchangesAndLoadsTheHomePage) {
  ASSERT_EQ(1, core().startSession(true));
  ASSERT_TRUE(load(String()));
  std::vector<std::string> lines = log();
  ASSERT_EQ(3u, lines.size());
  EXPECT_EQ("R - c=R", lines[0]);
  EXPECT_EQ(0u, lines[1].find("KEYX 1001 status=0"));
  // The home page: only c=H, then the common tail from ib on, in order.
  std::string expected = "H 1001 c=H&ib=1001&ft=0&bt=0&id=";
  EXPECT_EQ(0u, lines[2].find(expected)) << lines[2];
  std::string tail = "&wd=236&si=7&lq=1&ap=QKWM&lid=" + std::to_string(Resource::getLanguageID()) +
                     "&fl=1&f&css&al&fa=10&fb=3&fh=13&fw=12&vn=5208";
  EXPECT_NE(std::string::npos, lines[2].find(tail)) << lines[2];
  EXPECT_EQ(lines[2].size(), lines[2].find(tail) + tail.size());
  EXPECT_EQ(1, core().getHistorySize());
  EXPECT_EQ("Vesk portal", narrow(core().getCurrentPage()->title));
  EXPECT_EQ(1001, core().getSetting(0));
  CipherManager stored(&core().getStore());
  EXPECT_TRUE(stored.isSessionKeyValid());
  EXPECT_TRUE(stored.isServerKeyValid());
}

TEST_F(ServiceChannelTest, RestartWithAStoredKeyExchangesOnceWithoutFetchingTheKey) {
  ASSERT_EQ(1, core().startSession(true));
  std::vector<char> key = core().getCipherManager().getSessionKey();
  restart();
  clearLog();
  ASSERT_EQ(1, core().startSession(true));
  EXPECT_EQ(0, count("R "));
  EXPECT_EQ(1, count("KEYX "));
  EXPECT_EQ(key, core().getCipherManager().getSessionKey());
  ASSERT_TRUE(load(u"http://demo.local/"_s));
}

TEST_F(ServiceChannelTest, AnExpiredStoredKeyIsReplacedAndSaved) {
  ASSERT_EQ(1, core().startSession(true));
  std::vector<char> key = core().getCipherManager().getSessionKey();
  {
    RecordStore& store = core().getStore();
    AutoPtr<Vector<Object*>> record(store.readRecord(RecordStore::KEYS, u"RRRRRRR"_s));
    ASSERT_EQ(7, record->size());
    VectorV<char>* expiry = static_cast<VectorV<char>*>(record->elementAt(6));
    for (int i = 0; i < 4; ++i) expiry->setElementAt(i == 3 ? 1 : 0, i);
    store.writeRecord(RecordStore::KEYS, *record, u"RRRRRRR"_s);
  }
  restart();
  ASSERT_EQ(1, core().startSession(true));
  EXPECT_NE(key, core().getCipherManager().getSessionKey());
  CipherManager stored(&core().getStore());
  EXPECT_TRUE(stored.isSessionKeyValid());
  EXPECT_EQ(core().getCipherManager().getSessionKey(), stored.getSessionKey());
  ASSERT_TRUE(load(String()));
}

TEST_F(ServiceChannelTest, LinkFormPostAndOptionBitsSendTheirRowsInOrder) {
  ASSERT_EQ(1, core().startSession(true));
  ASSERT_TRUE(load(String()));
  clearLog();
  ASSERT_TRUE(load(u"http://demo.local/demo/all-items"_s, u"http://demo.local/"_s));
  std::string link = lastQuery("H ");
  EXPECT_EQ(0u,
            link.find("H 1001 c=H&u=http%3A%2F%2Fdemo.local%2Fdemo%2Fall-items&o=http%3A%2F%2Fdemo.local%2F"
                      "&ib=1001&ft=1&bt=0&id="))
      << link;
  // all-items set a session and a persistent cookie; a form post sends both.
  ASSERT_TRUE(load(u"http://demo.local/demo/index"_s, u"http://demo.local/demo/all-items"_s, 0, u"q=a b"_s));
  std::string post = lastQuery("H ");
  size_t p = post.find("&p=q%3Da+b");
  size_t co = post.find("&co=");
  ASSERT_NE(std::string::npos, p) << post;
  ASSERT_NE(std::string::npos, co) << post;
  EXPECT_LT(p, co);
  EXPECT_NE(std::string::npos, post.find("visit%3D1")) << post;
  EXPECT_NE(std::string::npos, post.find("pref%3Da+b")) << post;
  // Every option bit, each at its place.
  ASSERT_TRUE(load(u"http://demo.local/"_s, String(), 0x02 | 0x04 | 0x08 | 0x10 | 0x20));
  std::string opts = lastQuery("H ");
  size_t roff = opts.find("&roff&rl=1&au=");
  size_t gg = opts.find("&gg=1&ib=");
  size_t st = opts.find("&st=1&asid=&vn=5208");
  EXPECT_NE(std::string::npos, roff) << opts;
  EXPECT_NE(std::string::npos, gg) << opts;
  EXPECT_NE(std::string::npos, st) << opts;
  EXPECT_LT(roff, gg);
}

TEST_F(ServiceChannelTest, ImagesSpanningBlocksAndEmbeddedFilesArriveAndAreKept) {
  ASSERT_EQ(1, core().startSession(true));
  ASSERT_TRUE(load(u"http://demo.local/demo/images"_s));
  EXPECT_EQ(3, count("I 1001 c=I&r="));
  EXPECT_EQ(1, count("F 1001 c=F&r="));
  SharedPtr<Page> page = core().getCurrentPage();
  ASSERT_TRUE(page->images);
  ASSERT_EQ(2, page->images->size());
  EXPECT_EQ(40000, page->images->elementAt(0)->size());
  EXPECT_EQ(43, page->images->elementAt(1)->size());
  EXPECT_EQ(0, memcmp(page->images->elementAt(1)->data(), "GIF89a", 6));
  EXPECT_EQ(40043, core().getImageTable().receivedBytes);
  EXPECT_GT(page->dataLength, 0);  // the compressed page as received
  std::string dir = narrow(core().getDataDirectory());
  EXPECT_EQ("0123456789", readFile(dir + "clip.swf"));
  EXPECT_EQ("abc", readFile(dir + "clip.swf.param"));
}

TEST_F(ServiceChannelTest, ABadMagicReKeysAndResends) {
  ASSERT_EQ(1, core().startSession(true));
  clearLog();
  control("next?do=bad-magic");
  ASSERT_TRUE(load(u"http://demo.local/"_s));
  std::vector<std::string> lines = log();
  ASSERT_EQ(3u, lines.size());
  EXPECT_EQ(0u, lines[0].find("H 1001"));
  EXPECT_EQ(0u, lines[1].find("KEYX 1001 status=0"));
  EXPECT_EQ(0u, lines[2].find("H 1001"));
  EXPECT_EQ("Vesk demo site", narrow(core().getCurrentPage()->title));
  EXPECT_TRUE(core().getMessages().empty());
}

TEST_F(ServiceChannelTest, AnHttp404ShowsTheErrorThenRecovers) {
  ASSERT_EQ(1, core().startSession(true));
  clearLog();
  control("next?do=http-404");
  ASSERT_TRUE(load(u"http://demo.local/"_s));
  std::vector<std::string> texts = messageTexts();
  ASSERT_FALSE(texts.empty());
  EXPECT_EQ(0u, texts[0].find(narrow(Resource::getString(10002)) + "|" + narrow(Resource::getString(11005)) +
                              "404 "))
      << texts[0];
  EXPECT_EQ(2, count("H 1001"));
  EXPECT_EQ("Vesk demo site", narrow(core().getCurrentPage()->title));
}

TEST_F(ServiceChannelTest, ASeventhPostIsRefusedWithoutAConnection) {
  Background worker(&core(), Background::KEY_FETCH);
  QueryBuilder q(&core());
  for (int i = 0; i < 6; ++i) EXPECT_EQ(0, worker.postRequest(Background::TYPE_KEY_FETCH, q.buildKeyQuery()));
  EXPECT_EQ(-1, worker.postRequest(Background::TYPE_KEY_FETCH, q.buildKeyQuery()));
  EXPECT_EQ(6, count("R - c=R"));
}

TEST_F(ServiceChannelTest, AnUploadOfOneFullChunkSendsAnEmptyChunkAfterIt) {
  ASSERT_EQ(1, core().startSession(true));
  clearLog();
  core().addPendingUpload(std::vector<char>(Background::CHUNK_BYTES, 'x'));
  ASSERT_TRUE(load(u"http://demo.local/"_s));
  std::vector<std::string> lines = log();
  ASSERT_EQ(3u, lines.size());
  EXPECT_NE(std::string::npos, lines[0].find("part=0 chunk=0 bytes=80896")) << lines[0];
  EXPECT_EQ("UPLOAD 1001 close", lines[1]);
  int id = core().getWorker()->getUploadId();
  EXPECT_NE(std::string::npos, lines[0].find("id=" + std::to_string(id)));
  EXPECT_NE(std::string::npos, lines[2].find("&fs=" + std::to_string(id) + "&ac=1&ib=")) << lines[2];
}

TEST_F(ServiceChannelTest, CancellingDuringConnectReadsNoResponse) {
  ASSERT_EQ(1, core().startSession(true));
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
  core().startPageRequest(u"http://demo.local/"_s);
  for (int i = 0; i < 300 && !asked; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  ASSERT_TRUE(asked);
  core().cancel();
  EXPECT_TRUE(core().waitForWorker(5000));
  EXPECT_EQ(-1, core().getWorker()->getResult());
  EXPECT_TRUE(core().getMessages().empty());
  EXPECT_EQ(0, core().getHistorySize());
  release = true;
  slow.stop();
  serving.join();
}

// A service that lies about its image blocks: the worker stops once the
// announced image data is in, instead of asking for blocks without end.
TEST_F(ServiceChannelTest, AnOverstatedBlockCountStopsWhenTheImagesAreIn) {
  ASSERT_EQ(1, core().startSession(true));
  control("next?do=overstate-blocks&n=2147483647");
  ASSERT_TRUE(load(u"http://demo.local/demo/images"_s));
  EXPECT_EQ(3, count("I 1001 c=I&r="));
  EXPECT_EQ(40043, core().getImageTable().receivedBytes);
  ASSERT_TRUE(core().getCurrentPage()->images);
  EXPECT_EQ(43, core().getCurrentPage()->images->elementAt(1)->size());
}

TEST(ImageBlockLimit, IsTheAnnouncedImageBytesUpToAFixedCeiling) {
  struct Case {
    std::vector<int> sizes;
    int want;
  } cases[] = {{{}, 0}, {{0}, 0}, {{10, 5}, 15}, {{4095}, 4095}, {{1 << 20}, Background::MAX_IMAGE_BLOCKS}};
  for (const Case& c : cases) {
    ImageTable table;
    table.offsets.addElement(0);
    int sum = 0;
    for (int s : c.sizes) table.offsets.addElement(sum += s);
    EXPECT_EQ(c.want, Background::imageBlockLimit(table)) << sum;
  }
}

TEST_F(ServiceChannelTest, AnEmbeddedFileShorterThanDeclaredIsReportedAndRemoved) {
  ASSERT_EQ(1, core().startSession(true));
  std::string dir = narrow(core().getDataDirectory());
  control("next?do=overstate-file&n=2147483647");
  ASSERT_TRUE(load(u"http://demo.local/demo/images"_s));
  std::vector<std::string> texts = messageTexts();
  ASSERT_EQ(1u, texts.size());
  EXPECT_NE(std::string::npos, texts[0].find(narrow(Resource::getString(11017, u"2147483647"_s))))
      << texts[0];
  EXPECT_FALSE(std::ifstream(dir + "clip.swf.temp").good());
  EXPECT_FALSE(std::ifstream(dir + "clip.swf").good());
  EXPECT_FALSE(std::ifstream(dir + "clip.swf.param").good());
}

// A stand-in service that answers every POST with a stalled or dripping body.
class StallingService {
 public:
  // dripMs: one byte every dripMs; 0: the header, then nothing.
  explicit StallingService(int dripMs) {
    server_.Post(".*", [this, dripMs](const httplib::Request&, httplib::Response& res) {
      ++requests_;
      res.set_content_provider(1 << 20, "application/octet-stream",
                               [this, dripMs](size_t, size_t, httplib::DataSink& sink) {
                                 for (int i = 0; i < 100 && !stopping_; ++i) {
                                   std::this_thread::sleep_for(std::chrono::milliseconds(10));
                                   if (dripMs > 0 && (i + 1) * 10 % dripMs == 0) return sink.write("x", 1);
                                 }
                                 return !stopping_ && sink.is_writable();
                               });
    });
    port_ = server_.bind_to_any_port("127.0.0.1");
    thread_ = std::thread([this] { server_.listen_after_bind(); });
    while (!server_.is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  ~StallingService() {
    stopping_ = true;
    server_.stop();
    thread_.join();
  }
  int port() const { return port_; }
  int requests() const { return requests_; }

 private:
  httplib::Server server_;
  std::thread thread_;
  std::atomic<bool> stopping_{false};
  std::atomic<int> requests_{0};
  int port_ = 0;
};

// A stalled or dripping answer costs one attempt of the retry budget each
// time, so the worker gives up after its six POSTs instead of waiting forever.
TEST_F(ServiceChannelTest, StalledAndDrippingAnswersEndInTheRetryBudget) {
  struct Case {
    const char* what;
    int dripMs;
    const char* properties;
  } cases[] = {{"stalled", 0, "service.timeout.idle=300\n"},
               {"dripping", 100, "service.timeout.idle=5000\nservice.timeout.request=400\n"}};
  for (const Case& c : cases) {
    restart();
    writeIni(c.properties);
    ASSERT_EQ(1, core().startSession(true)) << c.what;
    StallingService stalling(c.dripMs);
    System::setProperty(u"service.port"_s, String(stalling.port()));
    core().startPageRequest(u"http://demo.local/"_s);
    ASSERT_TRUE(core().waitForWorker(30000)) << c.what;
    EXPECT_EQ(-1, core().getWorker()->getResult()) << c.what;
    EXPECT_GE(stalling.requests(), 2) << c.what;                       // a time-out is retried ...
    EXPECT_LE(stalling.requests(), +Background::MAX_POSTS) << c.what;  // ... within the budget
    EXPECT_EQ(0, core().getHistorySize()) << c.what;
  }
}

TEST_F(ServiceChannelTest, CancellingADrippingAnswerEndsTheWorker) {
  ASSERT_EQ(1, core().startSession(true));
  StallingService stalling(100);
  System::setProperty(u"service.port"_s, String(stalling.port()));
  core().startPageRequest(u"http://demo.local/"_s);
  for (int i = 0; i < 300 && stalling.requests() == 0; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  ASSERT_EQ(1, stalling.requests());
  core().cancel();
  EXPECT_TRUE(core().waitForWorker(5000));
  EXPECT_EQ(-1, core().getWorker()->getResult());
  EXPECT_TRUE(core().getMessages().empty());
}

// Cancellation from the interface thread races the worker opening and
// closing its connections; the sanitizer build catches a close that misses
// the worker's lock.
TEST_F(ServiceChannelTest, RepeatedCancellationWhileConnectionsOpenAndClose) {
  ASSERT_EQ(1, core().startSession(true));
  for (int i = 0; i < 40; ++i) {
    core().startPageRequest(u"http://demo.local/demo/images"_s);
    std::this_thread::sleep_for(std::chrono::microseconds(250 * (i % 9)));
    core().cancel();
    ASSERT_TRUE(core().waitForWorker(5000)) << i;
  }
  ASSERT_TRUE(load(u"http://demo.local/"_s));
  EXPECT_EQ("Vesk demo site", narrow(core().getCurrentPage()->title));
}

TEST_F(ServiceChannelTest, ACommandWithoutConnectionKeepsTheSessionClosed) {
  writeIni("dialup.status=33\n");
  EXPECT_EQ(0, core().startSession(true));
  EXPECT_TRUE(log().empty());
  EXPECT_EQ("STATUS_CONNECTION_FAILED", narrow(core().getDialupManager().getStatusName()));
}

// The dump of each fixture page against its checked-in golden file.
TEST_F(ServiceChannelTest, FixturePagesDumpAsTheirGoldenFiles) {
  ASSERT_EQ(1, core().startSession(true));
  for (const char* name : {"index", "demo/all-items", "demo/images", "demo/notice"}) {
    ASSERT_TRUE(load(String((std::string("http://demo.local/") + name).c_str()))) << name;
    std::string dumped = PageDump::dump(*core().getCurrentPage(), core());
    std::string file = std::string(name);
    for (char& c : file)
      if (c == '/') c = '-';
    std::string golden = sourceDir() + "/tests/browser/golden/" + file + ".dump";
    if (getenv("VESK_WRITE_GOLDEN")) std::ofstream(golden, std::ios::binary) << dumped;
    EXPECT_EQ(readFile(golden), dumped) << name;
  }
}

}  // namespace
