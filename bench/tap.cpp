// From a tap on a link to the new page painted, against the reference service in-process on
// loopback, at a 240 x 268 view (the handset's page view): "request_ms" is the tap's hit test, the
// link follower's steps and the request until the session shows the new page, "paint_ms" the page's pictures
// decoded and the whole page buffer painted and copied to the screen. Two roads: a fixture page (the portal's
// link to the all-items page) and a site page laid out by the service's HTML engine (the demonstration site's
// front page to its article).
#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "browser/page/HitTest.h"
#include "browser/page/Page.h"
#include "browser/page/PageFonts.h"
#include "browser/page/PageRenderer.h"
#include "browser/page/RenderItem.h"
#include "browser/shell/LinkFollower.h"
#include "browser/shell/SessionCore.h"
#include "browser/shell/SessionView.h"
#include "service/RenderService.h"
#include "tests/browser/LoopbackService.h"
#include "tests/browser/page/RendererTestHost.h"
#include "tests/vwt/ScratchDirectory.h"
#include "vwt/lang/Logger.h"
#include "vwt/lang/System.h"

#ifndef VWT_SOURCE_DIR
#define VWT_SOURCE_DIR "."
#endif

namespace {

using loopback::readFile;
using Clock = std::chrono::steady_clock;

const int VIEW_WIDTH = 240;
const int VIEW_HEIGHT = 268;

double millis(Clock::time_point from, Clock::time_point to) {
  return std::chrono::duration<double, std::milli>(to - from).count();
}

// Notes when the session shows a new page (the worker thread).
struct ShownStamp : SessionView {
  void requestRepaint() override {}
  void statusTextChanged() override {}
  void pageShown() override {
    at = Clock::now();
    shown = true;
  }
  std::atomic<bool> shown{false};
  Clock::time_point at;
};

struct Scene {
  Scene() {
    Logger::getLogger()->setOutputType(Logger::NO_OUTPUT);
    vesk::ServiceConfig config = loopback::serviceConfig();
    config.sites.emplace_back("demo.site", std::string(VWT_SOURCE_DIR) + "/service/sites/demo");
    service.reset(new vesk::RenderService(config));
    port = service->start();
    program.write("res/message.txt", readFile(std::string(VWT_SOURCE_DIR) + "/res/message.txt"));
    program.write("system.ini", "service.host=127.0.0.1\nservice.port=" + std::to_string(port) + "\n");
    System::unloadProperties();
    core.reset(new SessionCore());
    core->setView(&stamp);
    core->startSession(true);
    follower.reset(new LinkFollower(core.get(), LinkFollower::Actions()));
    host.loadIconStrip(std::string(VWT_SOURCE_DIR) + "/res/icon.gif");
    fonts.setUp(false, 0, 0, 0);
    renderer.reset(new PageRenderer(&host, &fonts));
    renderer->setViewSize(VIEW_WIDTH, VIEW_HEIGHT);
    screen.reset(Image::createImage(VIEW_WIDTH, VIEW_HEIGHT, 0));
  }
  ~Scene() {
    host.page = nullptr;
    follower.reset();
    core.reset();
    service->stop();
  }

  // Shows url and paints it; false when it did not load.
  bool show(const std::string& url) {
    core->startPageRequest(String(url.c_str()));
    if (!core->waitForWorker(20000)) return false;
    paint();
    return page.get() != nullptr;
  }
  void paint() {
    page = core->getCurrentPage();
    host.page = page.get();
    host.decodePageImages();
    renderer->scrollTo(0, 0);
    renderer->invalidateAll();
    renderer->updateBuffer();
    screen->getGraphics()->drawImage(renderer->buffer(), 0, 0);
  }
  // The view point of the middle of the first rectangle of the link whose address holds part.
  bool tapPoint(const std::string& part, int* x, int* y) {
    for (int i = 0; page && i < page->structureCount(); ++i) {
      RenderItem* link = page->structure->elementAt(i);
      if (!link || link->type != RenderItem::LINK || link->text.indexOf(String(part.c_str())) < 0) continue;
      std::vector<int> rects;
      HitTest::outline(link, renderer->zoom(), false, &rects);
      if (rects.size() < 4) continue;
      *x = rects[0] + rects[2] / 2 - renderer->scrollX();
      *y = rects[1] + rects[3] / 2 - renderer->scrollY();
      return *x >= 0 && *x < VIEW_WIDTH && *y >= 0 && *y < VIEW_HEIGHT;
    }
    return false;
  }
  int pageRequests() {
    int n = 0;
    for (const std::string& l : service->state().log.lines()) n += l.compare(0, 2, "H ") == 0;
    return n;
  }

  ScratchProgram program;
  std::unique_ptr<vesk::RenderService> service;
  int port = 0;
  ShownStamp stamp;
  std::unique_ptr<SessionCore> core;
  std::unique_ptr<LinkFollower> follower;  // the window's road from a link to the request
  SharedPtr<Page> page;
  RendererTestHost host;
  PageFonts fonts;
  std::unique_ptr<PageRenderer> renderer;
  std::unique_ptr<Image> screen;
};

void tapLink(benchmark::State& state, const std::string& from, const std::string& target) {
  Scene s;
  std::string start =
      from.compare(0, 1, "/") == 0 ? "http://127.0.0.1:" + std::to_string(s.port) + from : from;
  double request = 0, paint = 0;
  int before = s.pageRequests();
  for (auto _ : state) {
    int x = 0, y = 0;
    if (!s.show(start) || !s.tapPoint(target, &x, &y)) {
      state.SkipWithError("the page or its link did not come");
      return;
    }
    s.stamp.shown = false;
    Clock::time_point tap = Clock::now();
    RenderItem* link = nullptr;
    {
      std::lock_guard<std::mutex> lock(s.host.pageLock());
      link = HitTest::at(*s.page, x + s.renderer->scrollX(), y + s.renderer->scrollY(), s.renderer->zoom(),
                         false);
    }
    if (!link || link->type != RenderItem::LINK) {
      state.SkipWithError("the tap found no link");
      return;
    }
    s.follower->follow(link, x + s.renderer->scrollX(), y + s.renderer->scrollY(), s.renderer->zoom(), 0);
    s.core->waitForWorker(20000);
    if (!s.stamp.shown) {
      state.SkipWithError("the linked page was not shown");
      return;
    }
    Clock::time_point shown = s.stamp.at;
    s.paint();
    Clock::time_point painted = Clock::now();
    request += millis(tap, shown);
    paint += millis(shown, painted);
    state.SetIterationTime(millis(tap, painted) / 1000);
  }
  double n = static_cast<double>(state.iterations());
  state.counters["request_ms"] = request / n;
  state.counters["paint_ms"] = paint / n;
  state.counters["requests"] = (s.pageRequests() - before) / n;  // both pages each time
  state.counters["items"] = s.page ? s.page->mainCount() : 0;
}

void TapFixtureLink(benchmark::State& state) { tapLink(state, "/portal/indexQK.jsp", "all-items"); }
BENCHMARK(TapFixtureLink)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(30);

void TapSiteLink(benchmark::State& state) { tapLink(state, "http://demo.site/", "article.html"); }
BENCHMARK(TapSiteLink)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(30);

}  // namespace
