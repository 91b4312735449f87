// The reflow layout built over a parsed page, as switching reflow on or showing a kept page does: the
// all-items fixture and the demonstration site's long page, at view widths 240 and 480, measured with
// the canvas's reflow host and fonts (time per build, and per page item). Also a full repaint of a
// re-flowed view of the long page, and the same view in the service's layout for comparison.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "browser/page/PageFonts.h"
#include "browser/page/PageRenderer.h"
#include "browser/page/ReflowLayout.h"
#include "browser/service/Background.h"
#include "browser/shell/CanvasReflowHost.h"
#include "browser/shell/SessionCore.h"
#include "service/RenderService.h"
#include "tests/browser/LoopbackService.h"
#include "tests/browser/page/RendererTestHost.h"
#include "tests/vwt/ScratchDirectory.h"
#include "vwt/lang/Logger.h"
#include "vwt/lang/System.h"

namespace {

using loopback::readFile;
using loopback::sourceDir;

const int VIEW_HEIGHT = 640;

// The two pages loaded once from the service in-process.
struct Scene {
  Scene() {
    Logger::getLogger()->setOutputType(Logger::NO_OUTPUT);
    vesk::ServiceConfig config = loopback::serviceConfig();
    config.sites.emplace_back("shipped.site", sourceDir() + "/service/sites/demo");
    service.reset(new vesk::RenderService(config));
    int port = service->start();
    program.write("res/message.txt", readFile(sourceDir() + "/res/message.txt"));
    program.write("system.ini", "service.host=127.0.0.1\nservice.port=" + std::to_string(port) + "\n");
    System::unloadProperties();
    fonts.setUp(false, 0, 0, 0);
    // A page that is left gives up its lists: each page stays on the screen of a session of its own.
    allItems = load(&fixtureCore, u"0"_s, "http://demo.local/demo/all-items");
    longPage = load(&siteCore, u"1"_s, "http://shipped.site/long.html");
    service->stop();
    CanvasReflowHost::Sources sources;
    sources.flags = [] { return 0; };
    sources.view = [this] {
      CanvasReflowHost::View v;
      v.width = viewWidth;
      v.height = VIEW_HEIGHT;
      return v;
    };
    reflowHost.reset(new CanvasReflowHost(&fonts, sources));
  }
  static SharedPtr<Page> load(std::unique_ptr<SessionCore>* core, const String& storage, const char* url) {
    core->reset(new SessionCore(nullptr, storage));
    (*core)->startSession(true);
    (*core)->startPageRequest(String(url));
    (*core)->waitForWorker(20000);
    return (*core)->getCurrentPage();
  }

  ScratchProgram program;
  std::unique_ptr<vesk::RenderService> service;
  PageFonts fonts;
  std::unique_ptr<SessionCore> fixtureCore, siteCore;
  SharedPtr<Page> allItems, longPage;
  std::unique_ptr<CanvasReflowHost> reflowHost;
  int viewWidth = 240;
};

Scene& scene() {
  static Scene* s = new Scene();  // lives as long as the process
  return *s;
}

void build(benchmark::State& state, Page* page) {
  Scene& s = scene();
  s.viewWidth = static_cast<int>(state.range(0));
  ReflowLayout layout(s.reflowHost.get());
  int items = page && page->items ? page->mainCount() : 0;
  for (auto _ : state) {
    layout.build(page);
    benchmark::DoNotOptimize(layout.lines().size());
  }
  ReflowLayout::resetItems(page);
  state.counters["items"] = items;
  state.counters["lines"] = layout.lines().size();
  // Seconds per page item, shown in the time unit of the report.
  state.counters["per_item"] =
      benchmark::Counter(items, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_BuildAllItems(benchmark::State& state) { build(state, scene().allItems.get()); }
BENCHMARK(BM_BuildAllItems)->Arg(240)->Arg(480)->Unit(benchmark::kMicrosecond);

void BM_BuildLongPage(benchmark::State& state) { build(state, scene().longPage.get()); }
BENCHMARK(BM_BuildLongPage)->Arg(240)->Arg(480)->Unit(benchmark::kMicrosecond);

// A full repaint of a 480 x 640 view of the long page, in reflow mode (flag set) or in its layout.
void repaint(benchmark::State& state, bool reflow) {
  Scene& s = scene();
  s.viewWidth = 480;
  Page* page = s.longPage.get();
  ReflowLayout layout(s.reflowHost.get());
  if (reflow) layout.build(page);
  RendererTestHost host;
  host.page = page;
  host.layout = reflow ? &layout : nullptr;
  host.flags = reflow ? PageRenderer::FLAG_REFLOW : 0;
  PageRenderer renderer(&host, &s.fonts);
  renderer.setViewSize(480, VIEW_HEIGHT);
  // Half-way down the page: the band is found among many lines.
  renderer.scrollTo(0, (reflow ? layout.pageHeight() : page->height) / 2);
  for (auto _ : state) {
    renderer.invalidateAll();
    renderer.updateBuffer();
  }
  host.page = nullptr;
  host.layout = nullptr;
  if (reflow) ReflowLayout::resetItems(page);
}

void BM_RepaintReflowed(benchmark::State& state) { repaint(state, true); }
BENCHMARK(BM_RepaintReflowed)->Unit(benchmark::kMicrosecond);

void BM_RepaintLaidOut(benchmark::State& state) { repaint(state, false); }
BENCHMARK(BM_RepaintLaidOut)->Unit(benchmark::kMicrosecond);

}  // namespace
