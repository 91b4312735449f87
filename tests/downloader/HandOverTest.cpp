// Downloads handed to a download program that runs already: the browser's short message joins the
// running program's queue, and a second program started anyway ends at once with 1.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <string>

#include "tests/downloader/DownloaderRun.h"
#include "tests/vwt/TestText.h"
#include "vwt/lang/System.h"
#include "vwt/platform/Paths.h"
#include "vwt/ui/Application.h"
#include "vwt/ui/Window.h"

namespace {

using downloadertest::header;
using downloadertest::pattern;
using downloadertest::ProgramFolder;
using downloadertest::readFile;
using downloadertest::response;
using downloadertest::Server;

// The bytes the browser sends: each field in double quotes, separated by TAB, as UTF-16
// (little-endian) with its terminating NUL.
std::string browserMessage(const std::u16string& url, const std::u16string& referer,
                           const std::u16string& cookie) {
  std::u16string text = u"\"" + url + u"\"\t\"" + referer + u"\"\t\"" + cookie + u"\"";
  std::string bytes;
  for (char16_t c : text) {
    bytes += static_cast<char>(c & 0xFF);
    bytes += static_cast<char>(c >> 8);
  }
  bytes += std::string(2, '\0');
  return bytes;
}

std::u16string units(const std::string& ascii) { return std::u16string(ascii.begin(), ascii.end()); }

// Sends as the browser does, from this process, to the program of folder.
int sendAsTheBrowser(const ProgramFolder& folder, const std::string& bytes) {
  setenv("XDG_RUNTIME_DIR", (folder.dir / "runtime").c_str(), 1);
  Window sender;
  int result = sender.sendShortMessage(u"DOWNLOADER"_s, bytes.data(), static_cast<int>(bytes.size()));
  unsetenv("XDG_RUNTIME_DIR");
  return result;
}

Server::Route held(const std::string& body) {
  Server::Route r;
  r.answer = response(body);
  r.hold = true;
  r.heldAfter = r.answer.size() / 2;
  return r;
}

TEST(HandOver, ItemOfTheBrowsersMessageJoinsTheRunningQueueAndASecondStartEndsWithOne) {
  Server server;
  std::string first = pattern(40000), second = "second file";
  server.route("/first.zip", held(first));
  server.route("/second.txt", response(second));
  server.route("/third.txt", response("third file"));
  ProgramFolder folder;
  std::string answers =
      "answer 1 " + folder.home() + "/first\nanswer 2\nanswer 1 " + folder.home() + "/second\nanswer 2\n";
  pid_t running = folder.start({"/D", server.url("/first.zip")}, answers);
  ASSERT_GT(running, 0);
  ASSERT_TRUE(server.waitUntilHolding());

  EXPECT_EQ(0, sendAsTheBrowser(folder, browserMessage(units(server.url("/second.txt")),
                                                       u"http://127.0.0.1/list.html", u"id=7; lang=en")));
  EXPECT_EQ(1, folder.run({"/D", server.url("/third.txt")}, ""));

  server.release();
  EXPECT_EQ(0, ProgramFolder::wait(running));
  EXPECT_TRUE(first == readFile(folder.home() + "/first.zip"));
  EXPECT_EQ(second, readFile(folder.home() + "/second.txt"));
  std::vector<std::string> requests = server.requests();
  ASSERT_EQ(2u, requests.size());
  EXPECT_EQ(0u, requests[1].find("GET /second.txt "));
  EXPECT_EQ("http://127.0.0.1/list.html", header(requests[1], "Referer"));
  EXPECT_EQ("id=7; lang=en", header(requests[1], "Cookie"));
}

// The environment of this process for a scope: the program the browser launches inherits it.
class EnvironmentFor {
 public:
  explicit EnvironmentFor(const std::vector<std::string>& lines) {
    for (const std::string& line : lines) {
      std::string name = line.substr(0, line.find('='));
      const char* old = getenv(name.c_str());
      saved_.push_back({name, old ? old : "", old != nullptr});
      setenv(name.c_str(), line.substr(name.size() + 1).c_str(), 1);
    }
  }
  ~EnvironmentFor() {
    for (const Saved& s : saved_) {
      if (s.had)
        setenv(s.name.c_str(), s.value.c_str(), 1);
      else
        unsetenv(s.name.c_str());
    }
  }

 private:
  struct Saved {
    std::string name, value;
    bool had;
  };
  std::vector<Saved> saved_;
};

TEST(HandOver, BrowsersLaunchCarriesTheItemsFieldsToTheNewProgram) {
  Server server;
  server.route("/doc.pdf", response("document"));
  ProgramFolder folder;
  // A run that goes wrong still ends.
  std::string script = folder.dir / "launched.txt";
  std::ofstream(script) << "answer 1 " << folder.home() << "/doc\nanswer 2\nwait 30000\nquit\n";
  {
    EnvironmentFor environment(folder.environment(script));
    vwt::platform::setProgramDirectory(folder.program());
    Application browser;
    // The browser's line: each field in quotes, separated by TAB.
    std::string line =
        "\"" + server.url("/doc.pdf") + "\"\t\"http://127.0.0.1/a page.html\"\t\"id=7; lang=en\"";
    browser.launch(Application::LAUNCH_DOWNLOADER_ITEM, wide(line));
    vwt::platform::setProgramDirectory(std::string());
  }
  for (int i = 0; i < 600 && !std::filesystem::exists(folder.home() + "/doc.pdf"); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_EQ("document", readFile(folder.home() + "/doc.pdf"));
  ASSERT_EQ(1u, server.requests().size());
  EXPECT_EQ("http://127.0.0.1/a page.html", header(server.requests()[0], "Referer"));
  EXPECT_EQ("id=7; lang=en", header(server.requests()[0], "Cookie"));
  // The program ends by itself with its queue empty; until then it turns down a message that is no item.
  for (int i = 0; i < 600 && sendAsTheBrowser(folder, "x") != -1; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_EQ(-1, sendAsTheBrowser(folder, "x"));
}

TEST(HandOver, RunningUpdateTakesNoDownloadsFromTheBrowser) {
  Server server;
  std::string update = pattern(20000);
  server.route("/setup.bin", held(update));
  server.route("/other.txt", response("other"));
  ProgramFolder folder;
  folder.writeTool("xdg-open", "exit 0\n");
  pid_t running = folder.start({"/U", server.url("/setup.bin")}, "answer 0\n");
  ASSERT_GT(running, 0);
  ASSERT_TRUE(server.waitUntilHolding());

  // The browser hears that the program is busy.
  EXPECT_EQ(1, sendAsTheBrowser(folder, browserMessage(units(server.url("/other.txt")), u"", u"")));

  server.release();
  EXPECT_EQ(0, ProgramFolder::wait(running));
  EXPECT_EQ(1u, server.requests().size());
}

}  // namespace
