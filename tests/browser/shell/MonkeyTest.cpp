// Random input through the browser's real window (headless, scripted input) over the fixture pages
// and the demonstration site, served by the reference service in this process on loopback. The run
// must end normally at its closing `quit`, within a bound: a watchdog ends the process with the
// seed and the script when it does not. The same seed gives the same script again.
//
//   MONKEY_SEED=N      the seed (1)             MONKEY_EVENTS=N   random events (200)
//   MONKEY_SCRIPT=F    replays the script F     MONKEY_KEEP=DIR   keeps the script in DIR
//   MONKEY_TIMEOUT=S   the watchdog's bound in seconds (120)
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <cctype>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <fstream>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "browser/page/Page.h"
#include "browser/shell/MainCanvas.h"
#include "browser/shell/VeskBrowser.h"
#include "service/RenderService.h"
#include "tests/browser/LoopbackService.h"
#include "tests/browser/MonkeyScript.h"
#include "tests/vwt/ScratchDirectory.h"
#include "tests/vwt/TestText.h"
#include "vwt/platform/Processes.h"

namespace {

using loopback::readFile;
using loopback::sourceDir;

const char DEMO_SITE[] = "demo.site";

int setting(const char* name, int fallback) {
  const char* v = getenv(name);
  return v && *v ? atoi(v) : fallback;
}

std::string percentDecoded(const std::string& s) {
  std::string out;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '%' && i + 2 < s.size() && isxdigit(static_cast<unsigned char>(s[i + 1])) &&
        isxdigit(static_cast<unsigned char>(s[i + 2]))) {
      out += static_cast<char>(std::stoi(s.substr(i + 1, 2), nullptr, 16));
      i += 2;
    } else {
      out += s[i] == '+' ? ' ' : s[i];
    }
  }
  return out;
}

// Ends the process when the run has not ended in time: a hung window cannot fail its test itself.
class Watchdog {
 public:
  Watchdog(int seconds, std::string repeat) : repeat_(std::move(repeat)) {
    thread_ = std::thread([this, seconds] {
      std::unique_lock<std::mutex> lock(mutex_);
      if (cv_.wait_for(lock, std::chrono::seconds(seconds), [this] { return done_; })) return;
      fprintf(stderr, "monkey: FAILED: no end after %d s (a hang)\nmonkey: repeat with: %s\n", seconds,
              repeat_.c_str());
      fflush(stderr);
      std::_Exit(3);
    });
  }
  ~Watchdog() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      done_ = true;
    }
    cv_.notify_all();
    thread_.join();
  }

 private:
  std::string repeat_;
  std::mutex mutex_;
  std::condition_variable cv_;
  bool done_ = false;
  std::thread thread_;
};

class MonkeyTest : public ::testing::Test {
 protected:
  void SetUp() override {
    vesk::ServiceConfig config = loopback::serviceConfig();
    config.sites.emplace_back(DEMO_SITE, sourceDir() + "/service/sites/demo");
    // Links out of the loopback service are answered with a notice, never fetched.
    ASSERT_FALSE(config.fetchNetwork);
    service_.reset(new vesk::RenderService(config));
    port_ = service_->start();
    for (const char* file : {"message.txt", "banner.gif", "icon.gif"})
      program_.write(std::string("res/") + file, readFile(sourceDir() + "/res/" + file));
    program_.write("system.ini", "service.host=127.0.0.1\nservice.port=" + std::to_string(port_) + "\n");
    // The desktop's browser and opener are a stand-in that notes what it was given.
    opened_ = program_.dir / "opened.txt";
    std::string opener = program_.dir / "bin/xdg-open";
    program_.dir.write("bin/xdg-open", "#!/bin/sh\necho \"$@\" >> '" + opened_ + "'\n");
    chmod(opener.c_str(), 0755);
    const char* path = getenv("PATH");
    savedPath_ = path ? path : "/usr/bin:/bin";
    setenv("PATH", (program_.dir / "bin" + ":" + savedPath_).c_str(), 1);
    vwt::platform::setDesktopOpener(opener);
    setenv("VWT_DISPLAY", "headless", 1);
    setenv("XDG_RUNTIME_DIR", program_.dir.path().c_str(), 1);
  }
  void TearDown() override {
    unsetenv("VWT_INPUT_SCRIPT");
    unsetenv("VWT_SCREEN_SIZE");
    setenv("PATH", savedPath_.c_str(), 1);
    vwt::platform::setDesktopOpener(std::string());
    service_->stop();
  }
  std::string url(const std::string& path) { return "http://127.0.0.1:" + std::to_string(port_) + path; }

  // The URLs of the page requests the service received, in order.
  std::vector<std::string> requestedPages() {
    std::vector<std::string> out;
    for (const std::string& l : service_->state().log.lines()) {
      if (l.compare(0, 2, "H ") != 0) continue;
      size_t at = l.find("u=");
      while (at != std::string::npos && at > 0 && l[at - 1] != '&' && l[at - 1] != ' ')
        at = l.find("u=", at + 1);
      if (at == std::string::npos) continue;
      size_t end = l.find('&', at);
      out.push_back(
          percentDecoded(l.substr(at + 2, end == std::string::npos ? std::string::npos : end - at - 2)));
    }
    return out;
  }

  ScratchProgram program_;
  std::unique_ptr<vesk::RenderService> service_;
  int port_ = 0;
  std::string opened_, savedPath_;
};

TEST_F(MonkeyTest, RandomInputEndsNormally) {
  int seed = setting("MONKEY_SEED", 1);
  int events = setting("MONKEY_EVENTS", 200);
  int timeout = setting("MONKEY_TIMEOUT", 120);
  // The seed also picks the screen and the first page.
  struct Screen {
    int width, height;
  } const SCREENS[] = {{240, 320}, {240, 320}, {320, 240}, {360, 480}};
  const Screen screen = SCREENS[seed % 4];
  const std::string site = std::string("http://") + DEMO_SITE + "/";
  const std::string STARTS[] = {url("/demo/images"),
                                std::string() /* the start page */,
                                site,
                                site + "long.html",
                                site + "form.html",
                                site + "imagemap.html",
                                site + "frames.html",
                                url("/demo/all-items")};
  const std::string start = STARTS[seed % 8];
  setenv("VWT_SCREEN_SIZE", (std::to_string(screen.width) + "x" + std::to_string(screen.height)).c_str(), 1);

  std::string script;
  MonkeyScript monkey(static_cast<uint32_t>(seed), screen.width, screen.height);
  const char* replay = getenv("MONKEY_SCRIPT");
  if (replay && *replay) {
    script = replay;
  } else {
    const char* keep = getenv("MONKEY_KEEP");
    script = keep && *keep ? std::string(keep) + "/monkey-" + std::to_string(seed) + ".txt"
                           : program_.dir / "monkey.txt";
    std::ofstream(script, std::ios::binary) << monkey.generate(events);
  }
  std::string repeat = "MONKEY_SEED=" + std::to_string(seed) + " MONKEY_SCRIPT=" + script +
                       " test_browser --gtest_filter=MonkeyTest.*";
  printf("monkey: seed %d, %dx%d, start %s, script %s\n", seed, screen.width, screen.height,
         start.empty() ? "(start page)" : start.c_str(), script.c_str());
  fflush(stdout);
  setenv("VWT_INPUT_SCRIPT", script.c_str(), 1);

  auto began = std::chrono::steady_clock::now();
  int result = -1;
  std::string last;
  {
    Watchdog watchdog(timeout, repeat);
    std::unique_ptr<VeskBrowser> app(new VeskBrowser());
    app->setArgument(nullptr, nullptr, wide(start), 1, true);
    MainCanvas* canvas = new MainCanvas(app.get(), u"veskBrowserQK"_s);  // the application owns it
    app->addFrame(canvas);
    ASSERT_TRUE(canvas->initializeWindow(u"VESKBROWSER"_s, 2, 101, 108, 102));
    result = app->run();
    if (canvas->shownPage()) last = narrow(canvas->shownPage()->url);
  }
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();

  std::vector<std::string> pages = requestedPages();
  // The service's own pages under one name from run to run, whatever port it had.
  std::map<std::string, int> visits;
  const std::string loopbackHost = "127.0.0.1:" + std::to_string(port_);
  for (std::string p : pages) {
    size_t at = p.find(loopbackHost);
    if (at != std::string::npos) p.replace(at, loopbackHost.size(), "127.0.0.1:PORT");
    ++visits[p];
  }
  std::set<std::string> handed;
  {
    std::ifstream in(opened_);
    for (std::string line; std::getline(in, line);) handed.insert(line);
  }
  printf("monkey: %d events (%s) in %.1f s\n", events, replay ? "replayed" : monkey.summary().c_str(),
         seconds);
  printf("monkey: %zu page requests, %zu pages:\n", pages.size(), visits.size());
  for (const auto& v : visits) printf("monkey:   %3d  %s\n", v.second, v.first.c_str());
  printf("monkey: last page %s; %zu handed to the desktop\n", last.empty() ? "-" : last.c_str(),
         handed.size());
  fflush(stdout);

  EXPECT_EQ(result, 0) << "the window ended abnormally; repeat with: " << repeat;
  EXPECT_GE(pages.size(), 1u) << "not even the first page was asked for";
}

}  // namespace
