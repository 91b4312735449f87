#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "downloader/DownloadTransfer.h"
#include "downloader/ResumeRecord.h"
#include "downloader/TransferListener.h"
#include "tests/downloader/FileServer.h"
#include "tests/vwt/ScratchDirectory.h"
#include "tests/vwt/TestText.h"
#include "tests/vwt/net/TestTlsServer.h"
#include "vwt/lang/Exception.h"
#include "vwt/lang/Resource.h"

namespace {

// Records what a transfer reports.
class RecordingListener : public TransferListener {
 public:
  void headersArrived(const String& suggestedName, int64_t totalLength) override {
    ++headerCalls;
    name = narrow(suggestedName);
    total = totalLength;
  }
  void progressed(int64_t received) override {
    if (received < last) backwards = true;
    ++progressCalls;
    last = received;
  }

  int headerCalls = 0;
  std::string name;
  int64_t total = -2;
  int progressCalls = 0;
  int64_t last = 0;
  bool backwards = false;
};

// The first n bytes of the pattern file, as a download cut short would leave them.
void writePartial(const std::string& path, int64_t n, int variant = 0) {
  std::string bytes(static_cast<size_t>(n), '\0');
  FileServer::pattern(0, bytes.size(), variant, &bytes[0]);
  FILE* f = fopen(path.c_str(), "wb");
  fwrite(bytes.data(), 1, bytes.size(), f);
  fclose(f);
}

void writeRecord(const std::string& path, const std::string& url, const char16_t* etag, int64_t total) {
  ResumeRecord record;
  record.url = wide(url);
  record.etag = String(etag, false);
  record.totalLength = total;
  record.save(wide(path));
}

int64_t sizeOf(const std::string& path) { return static_cast<int64_t>(std::filesystem::file_size(path)); }

}  // namespace

TEST(DownloadTransferTest, LargeFileArrivesWholeWithProgress) {
  const int64_t size = 100LL << 20;
  FileServer::Options o;
  o.size = size;
  o.contentDisposition = "attachment; filename=\"big file.bin\"";
  FileServer server(o);
  ScratchDirectory dir;
  RecordingListener listener;
  DownloadTransfer transfer(wide(server.url()), u""_s, u""_s, wide(dir / "data"));
  transfer.setListener(&listener);

  ASSERT_EQ(DownloadTransfer::DONE, transfer.run());
  EXPECT_EQ(1, listener.headerCalls);
  EXPECT_EQ("big file.bin", listener.name);
  EXPECT_EQ(size, listener.total);
  EXPECT_GE(listener.progressCalls, static_cast<int>(size / 4096));
  EXPECT_EQ(size, listener.last);
  EXPECT_FALSE(listener.backwards);
  EXPECT_EQ(size, transfer.getReceived());
  EXPECT_EQ(size, transfer.getTotalLength());
  EXPECT_EQ(200, transfer.getStatusCode());
  EXPECT_EQ("big file.bin", narrow(transfer.getSuggestedName()));
  EXPECT_EQ(FileServer::patternDigest(size), FileServer::fileDigest(dir / "data"));
  EXPECT_FALSE(dir.exists("data.resume")) << "a finished file keeps no record";
}

TEST(DownloadTransferTest, SendsAgentRefererAndCookieEvenWhenEmpty) {
  struct Case {
    const char16_t* referer;
    const char16_t* cookie;
    const char* refererSent;
    const char* cookieSent;
  };
  const Case cases[] = {
      {u"", u"", "", ""},
      {u"http://h/page.html", u"a=1; b=2", "http://h/page.html", "a=1; b=2"},
  };
  for (const Case& c : cases) {
    FileServer::Options o;
    o.size = 10;
    FileServer server(o);
    ScratchDirectory dir;
    DownloadTransfer transfer(wide(server.url("/f?x=1")), String(c.referer, false), String(c.cookie, false),
                              wide(dir / "data"));
    ASSERT_EQ(DownloadTransfer::DONE, transfer.run());
    std::vector<std::string> requests = server.requests();
    ASSERT_EQ(1u, requests.size());
    const std::string& r = requests[0];
    EXPECT_EQ("GET /f?x=1 HTTP/1.1", FileServer::requestLine(r));
    EXPECT_EQ("WindowsMobile", FileServer::headerOf(r, "User-Agent"));
    EXPECT_TRUE(FileServer::hasHeader(r, "Referer")) << r;
    EXPECT_TRUE(FileServer::hasHeader(r, "Cookie")) << r;
    EXPECT_EQ(c.refererSent, FileServer::headerOf(r, "Referer"));
    EXPECT_EQ(c.cookieSent, FileServer::headerOf(r, "Cookie"));
    EXPECT_FALSE(FileServer::hasHeader(r, "Range")) << "nothing to resume";
  }
}

TEST(DownloadTransferTest, BodyEndsAtItsLengthOrAtTheEndOfTheStream) {
  struct Case {
    const char* what;
    int64_t size;
    bool contentLength;
    bool chunked;
    int64_t total;                // as reported
    const char* lengthText = "";  // a Content-Length value of its own
  };
  const Case cases[] = {
      {"length", 300000, true, false, 300000},
      {"no length", 300000, false, false, -1},
      {"chunked", 300001, false, true, -1},
      {"empty", 0, true, false, 0},
      {"empty chunked", 0, false, true, -1},
      {"negative length", 300000, true, false, -1, "-5"},
      {"length not a number", 300000, true, false, -1, "12ab"},
      {"length past 64 bits", 300000, true, false, -1, "99999999999999999999999"},
  };
  for (const Case& c : cases) {
    FileServer::Options o;
    o.size = c.size;
    o.contentLength = c.contentLength;
    o.chunked = c.chunked;
    o.lengthText = c.lengthText;
    o.pieceBytes = 1000;  // chunks and sends that never line up with the reads
    FileServer server(o);
    ScratchDirectory dir;
    RecordingListener listener;
    DownloadTransfer transfer(wide(server.url()), u""_s, u""_s, wide(dir / "data"));
    transfer.setListener(&listener);
    ASSERT_EQ(DownloadTransfer::DONE, transfer.run()) << c.what;
    EXPECT_EQ(c.total, listener.total) << c.what;
    EXPECT_EQ(c.total, transfer.getTotalLength()) << c.what;
    EXPECT_EQ(c.size, transfer.getReceived()) << c.what;
    EXPECT_EQ(c.size, sizeOf(dir / "data")) << c.what;
    EXPECT_EQ(FileServer::patternDigest(c.size), FileServer::fileDigest(dir / "data")) << c.what;
    EXPECT_EQ("", listener.name) << c.what;
  }
}

TEST(DownloadTransferTest, DroppedConnectionResumesFromTheRightByteOrStartsOver) {
  struct Case {
    const char* what;
    bool ranges;  // the server honours Range
    bool chunked;
    const char* etag;
    const char* lastModified;
    const char* ifRange;  // expected on the second request, "" for no Range at all
  };
  const int64_t size = 3000000, drop = 1234567;
  const Case cases[] = {
      {"etag", true, false, "\"v1\"", "", "\"v1\""},
      {"last modified", true, false, "", "Wed, 21 Oct 2015 07:28:00 GMT", "Wed, 21 Oct 2015 07:28:00 GMT"},
      {"weak etag falls back to the date", true, false, "W/\"v1\"", "Wed, 21 Oct 2015 07:28:00 GMT",
       "Wed, 21 Oct 2015 07:28:00 GMT"},
      {"chunked", true, true, "\"v1\"", "", "\"v1\""},
      {"server ignores Range", false, false, "\"v1\"", "", "\"v1\""},
      {"no validator: no resume", true, false, "", "", ""},
  };
  for (const Case& c : cases) {
    FileServer::Options o;
    o.size = size;
    o.ranges = c.ranges;
    o.chunked = c.chunked;
    o.etag = c.etag;
    o.lastModified = c.lastModified;
    o.dropAfter = drop;
    FileServer server(o);
    ScratchDirectory dir;
    RecordingListener listener;
    DownloadTransfer transfer(wide(server.url()), u""_s, u""_s, wide(dir / "data"));
    transfer.setListener(&listener);
    ASSERT_EQ(DownloadTransfer::DONE, transfer.run()) << c.what;

    std::vector<std::string> requests = server.requests();
    ASSERT_EQ(2u, requests.size()) << c.what;
    if (*c.ifRange) {
      std::string range = FileServer::headerOf(requests[1], "Range");
      if (c.chunked) {
        // The chunk cut short fails its read: the file ends before the last read's bytes.
        ASSERT_EQ(0u, range.find("bytes=")) << range;
        int64_t from = std::stoll(range.substr(6));
        EXPECT_LE(from, drop);
        EXPECT_GT(from, drop - 4096);
      } else {
        EXPECT_EQ("bytes=" + std::to_string(drop) + "-", range) << c.what;
      }
      EXPECT_EQ(c.ifRange, FileServer::headerOf(requests[1], "If-Range")) << c.what;
    } else {
      EXPECT_FALSE(FileServer::hasHeader(requests[1], "Range")) << c.what;
    }
    EXPECT_EQ(1, listener.headerCalls) << c.what;
    EXPECT_EQ(size, listener.last) << c.what;
    EXPECT_EQ(size, sizeOf(dir / "data")) << c.what;
    EXPECT_EQ(FileServer::patternDigest(size), FileServer::fileDigest(dir / "data")) << c.what;
    EXPECT_FALSE(dir.exists("data.resume")) << c.what;
  }
}

TEST(DownloadTransferTest, RetriesRunOutOnAServerThatKeepsDropping) {
  FileServer::Options o;
  o.size = 100000;
  o.dropAfter = 1000;
  o.drops = 100;
  FileServer server(o);
  ScratchDirectory dir;
  DownloadTransfer transfer(wide(server.url()), u""_s, u""_s, wide(dir / "data"));
  transfer.setRetries(2);
  EXPECT_THROW(transfer.run(), Exception);
  std::vector<std::string> requests = server.requests();
  ASSERT_EQ(3u, requests.size());
  EXPECT_EQ("bytes=2000-", FileServer::headerOf(requests[2], "Range"));
  // What arrived stays, with its record, for a later run.
  EXPECT_EQ(3000, sizeOf(dir / "data"));
  EXPECT_TRUE(dir.exists("data.resume"));
}

TEST(DownloadTransferTest, LaterRunResumesAPartialFileWithItsRecord) {
  struct Case {
    const char* what;
    const char16_t* recordEtag;  // of the partial file
    std::string recordUrl;       // "" for the URL downloaded
    const char* serverEtag;
    int serverVariant;          // the file on the server now
    int64_t contentRangeShift;  // a server that answers with another part
    bool resumes;               // the request carries Range
    int requests;
  };
  const int64_t size = 2000000, partial = 777777;
  const Case cases[] = {
      {"same file", u"\"v1\"", "", "\"v1\"", 0, 0, true, 1},
      {"changed file", u"\"v1\"", "", "\"v2\"", 1, 0, true, 1},
      {"record of another address", u"\"v1\"", "http://127.0.0.1:1/other", "\"v1\"", 0, 0, false, 1},
      {"record without validator", u"", "", "\"v1\"", 0, 0, false, 1},
      {"part at the wrong byte", u"\"v1\"", "", "\"v1\"", 0, 1, true, 2},
  };
  for (const Case& c : cases) {
    FileServer::Options o;
    o.size = size;
    o.etag = c.serverEtag;
    o.variant = c.serverVariant;
    o.contentRangeShift = c.contentRangeShift;
    FileServer server(o);
    ScratchDirectory dir;
    writePartial(dir / "data", partial);
    writeRecord(dir / "data", c.recordUrl.empty() ? server.url() : c.recordUrl, c.recordEtag, size);

    RecordingListener listener;
    DownloadTransfer transfer(wide(server.url()), u""_s, u""_s, wide(dir / "data"));
    transfer.setListener(&listener);
    ASSERT_EQ(DownloadTransfer::DONE, transfer.run()) << c.what;

    std::vector<std::string> requests = server.requests();
    ASSERT_EQ(static_cast<size_t>(c.requests), requests.size()) << c.what;
    EXPECT_EQ(c.resumes, FileServer::hasHeader(requests[0], "Range")) << c.what;
    if (c.resumes) {
      EXPECT_EQ("bytes=" + std::to_string(partial) + "-", FileServer::headerOf(requests[0], "Range"));
      EXPECT_EQ("\"v1\"", FileServer::headerOf(requests[0], "If-Range")) << c.what;
    }
    if (c.requests > 1) {
      EXPECT_FALSE(FileServer::hasHeader(requests[1], "Range")) << c.what;
    }
    EXPECT_EQ(size, listener.total) << c.what;
    EXPECT_EQ(size, listener.last) << c.what;
    EXPECT_EQ(FileServer::patternDigest(size, c.serverVariant), FileServer::fileDigest(dir / "data"))
        << c.what;
    EXPECT_FALSE(dir.exists("data.resume")) << c.what;
  }
}

TEST(DownloadTransferTest, HostileSuggestedNamesAreCleaned) {
  struct Case {
    const char* disposition;
    const char* name;
  };
  const Case cases[] = {
      {"attachment; filename=\"../../x\"", "x"},
      {"attachment; filename=\"/etc/passwd\"", "passwd"},
      {"attachment; filename=\"a\x01"
       "b\"",
       "ab"},
      {"attachment; filename=..\\..\\x", "x"},
      {"attachment; filename=\"..\"", ""},
  };
  for (const Case& c : cases) {
    FileServer::Options o;
    o.size = 100;
    o.contentDisposition = c.disposition;
    FileServer server(o);
    ScratchDirectory dir;
    RecordingListener listener;
    DownloadTransfer transfer(wide(server.url()), u""_s, u""_s, wide(dir / "data"));
    transfer.setListener(&listener);
    ASSERT_EQ(DownloadTransfer::DONE, transfer.run()) << c.disposition;
    EXPECT_EQ(c.name, listener.name) << c.disposition;
    EXPECT_EQ(c.name, narrow(transfer.getSuggestedName())) << c.disposition;
    // The body goes to the path given, nowhere else.
    int files = 0;
    for (auto& e : std::filesystem::directory_iterator(dir.path())) files += e.path().filename() == "data";
    EXPECT_EQ(1, files);
  }
}

TEST(DownloadTransferTest, FollowsRedirectsRelativeAndAbsolute) {
  FileServer::Options o;
  o.size = 5000;
  FileServer server(o);
  server.addRedirect("/start", 302, "next/hop");                 // relative to /
  server.addRedirect("/next/hop", 301, "/abs#part");             // rooted
  server.addRedirect("/abs", 307, server.url("/file.bin?v=2"));  // absolute
  server.addRedirect("/loop", 302, "/loop");
  server.addRedirect("/nowhere", 303, "");
  ScratchDirectory dir;

  DownloadTransfer transfer(wide(server.url("/start")), u""_s, u"c=1"_s, wide(dir / "data"));
  ASSERT_EQ(DownloadTransfer::DONE, transfer.run());
  std::vector<std::string> requests = server.requests();
  ASSERT_EQ(4u, requests.size());
  EXPECT_EQ("GET /next/hop HTTP/1.1", FileServer::requestLine(requests[1]));
  EXPECT_EQ("GET /abs HTTP/1.1", FileServer::requestLine(requests[2]));
  EXPECT_EQ("GET /file.bin?v=2 HTTP/1.1", FileServer::requestLine(requests[3]));
  EXPECT_EQ("c=1", FileServer::headerOf(requests[3], "Cookie")) << "same host keeps the cookie";
  EXPECT_EQ(FileServer::patternDigest(5000), FileServer::fileDigest(dir / "data"));

  const char* failing[] = {"/loop", "/nowhere"};
  for (const char* path : failing) {
    DownloadTransfer bad(wide(server.url(path)), u""_s, u""_s, wide(dir / "bad"));
    EXPECT_THROW(bad.run(), Exception) << path;
  }
  // The first request and five redirects, then it gives up.
  size_t loops = 0;
  for (const std::string& r : server.requests()) loops += FileServer::requestLine(r) == "GET /loop HTTP/1.1";
  EXPECT_EQ(6u, loops);
}

TEST(DownloadTransferTest, ErrorStatusGivesCodeAndReason) {
  FileServer server;
  server.addStatus("/missing", 404, "Not Found");
  server.addStatus("/broken", 500, "Internal Server Error");
  struct Case {
    const char* path;
    int code;
    const char* reason;
  };
  const Case cases[] = {{"/missing", 404, "Not Found"}, {"/broken", 500, "Internal Server Error"}};
  for (const Case& c : cases) {
    ScratchDirectory dir;
    RecordingListener listener;
    DownloadTransfer transfer(wide(server.url(c.path)), u""_s, u""_s, wide(dir / "data"));
    transfer.setListener(&listener);
    EXPECT_EQ(DownloadTransfer::HTTP_ERROR, transfer.run()) << c.path;
    EXPECT_EQ(c.code, transfer.getStatusCode());
    EXPECT_EQ(c.reason, narrow(transfer.getReasonPhrase()));
    EXPECT_EQ(0, listener.headerCalls) << "an error page is not the file";
    EXPECT_FALSE(dir.exists("data"));
  }
}

TEST(DownloadTransferTest, CancelFromAnotherThreadStopsASlowBody) {
  FileServer::Options o;
  o.size = 10 << 20;
  o.pieceBytes = 1024;
  o.pauseMicros = 20000;  // minutes for the whole file
  FileServer server(o);
  ScratchDirectory dir;

  struct Canceller : RecordingListener {
    DownloadTransfer* transfer = nullptr;
    std::thread thread;
    void progressed(int64_t received) override {
      RecordingListener::progressed(received);
      if (!thread.joinable()) thread = std::thread([this] { transfer->cancel(); });
    }
  } listener;
  DownloadTransfer transfer(wide(server.url()), u""_s, u""_s, wide(dir / "data"));
  listener.transfer = &transfer;
  transfer.setListener(&listener);

  EXPECT_EQ(DownloadTransfer::CANCELLED, transfer.run());
  listener.thread.join();
  EXPECT_LT(transfer.getReceived(), o.size);
  EXPECT_EQ(1u, server.requests().size()) << "a cancelled transfer is not retried";
  // The partial file and its record stay for a later resume.
  EXPECT_TRUE(dir.exists("data"));
  EXPECT_TRUE(dir.exists("data.resume"));

  // Cancelled before it starts: nothing is asked.
  DownloadTransfer early(wide(server.url()), u""_s, u""_s, wide(dir / "early"));
  early.cancel();
  EXPECT_EQ(DownloadTransfer::CANCELLED, early.run());
  EXPECT_EQ(1u, server.requests().size());
}

TEST(DownloadTransferTest, RefusedConnectionAndBadAddressThrow) {
  ScratchDirectory dir;
  const std::string addresses[] = {
      "http://127.0.0.1:" + std::to_string(FileServer::closedPort()) + "/f",
      "ftp://127.0.0.1/f",
  };
  for (const std::string& address : addresses) {
    DownloadTransfer transfer(wide(address), u""_s, u""_s, wide(dir / "data"));
    EXPECT_THROW(transfer.run(), Exception) << address;
    EXPECT_FALSE(dir.exists("data")) << address;
  }
}

namespace {

// Downloads a file over https from a test server whose authority is trusted
// (or not) through SSL_CERT_FILE; the exit code says what went wrong. Meant
// for a process of its own, so that the trust store it sets reaches no
// other test and no trust store read earlier reaches it.
int httpsDownload(bool trusted) {
  const int64_t size = 300000;
  std::string body(static_cast<size_t>(size), '\0');
  FileServer::pattern(0, body.size(), 0, &body[0]);
  // The test authority is trusted; an untrusted server has an authority of its own.
  TestTlsServer server("HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(size) +
                           "\r\nContent-Disposition: attachment; filename=\"secure.bin\"\r\n\r\n" + body,
                       "127.0.0.1", trusted);
  ScratchDirectory dir;
  TestTlsServer("").writeAuthority(dir / "authority.pem");
  std::filesystem::create_directories(dir / "no-authorities");
  setenv("SSL_CERT_FILE", (dir / "authority.pem").c_str(), 1);
  setenv("SSL_CERT_DIR", (dir / "no-authorities").c_str(), 1);

  DownloadTransfer transfer(wide(server.base() + "/secure.bin"), u""_s, u""_s, wide(dir / "data"));
  try {
    if (transfer.run() != DownloadTransfer::DONE) return 2;
  } catch (const Exception& e) {
    String untrusted =
        Resource::getString(-2508, u"127.0.0.1"_s, u"unable to get local issuer certificate"_s);
    if (!trusted && e.getRawMessage().equals(untrusted)) return 0;
    fprintf(stderr, "%s\n", narrow(e.getRawMessage()).c_str());
    return 3;
  }
  if (!trusted) return 4;
  if (FileServer::fileDigest(dir / "data") != FileServer::bytesDigest(body)) return 5;
  if (narrow(transfer.getSuggestedName()) != "secure.bin") return 6;
  return 0;
}

}  // namespace

TEST(DownloadTransferTest, HttpsDownloadTrustsOnlyItsAuthority) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  for (bool trusted : {true, false})
    EXPECT_EXIT(std::exit(httpsDownload(trusted)), testing::ExitedWithCode(0), "") << trusted;
}
