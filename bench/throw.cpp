// The frames of a throw on a long page: the demonstration site's long article at a 240 x 268 view
// (the handset's page view) and at 480 x 640, loaded from the reference service in-process. Each
// frame is one 50 ms tick of the glide: the view moves, the page buffer is brought up to date
// (copy plus the uncovered strip) and copied to the screen. "max_ms" and "mean_ms" are the frame
// times over all throws; the goal is a frame under 8 ms.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <string>

#include "browser/page/Page.h"
#include "browser/page/PageFonts.h"
#include "browser/page/PageRenderer.h"
#include "browser/shell/SessionCore.h"
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

// A fast throw: the first tick's step, and what each later tick keeps of it.
const int THROW_STEP = 160;
const double GLIDE_KEEP = 0.85;

// The long page, loaded once.
struct LongPage {
  LongPage() {
    Logger::getLogger()->setOutputType(Logger::NO_OUTPUT);
    vesk::ServiceConfig config = loopback::serviceConfig();
    config.sites.emplace_back("demo.site", std::string(VWT_SOURCE_DIR) + "/service/sites/demo");
    vesk::RenderService service(config);
    int port = service.start();
    program.write("res/message.txt", readFile(std::string(VWT_SOURCE_DIR) + "/res/message.txt"));
    program.write("system.ini", "service.host=127.0.0.1\nservice.port=" + std::to_string(port) + "\n");
    System::unloadProperties();
    core.reset(new SessionCore());
    core->startSession(true);
    core->startPageRequest(u"http://demo.site/long.html"_s);
    core->waitForWorker(20000);
    page = core->getCurrentPage();
    host.page = page.get();
    host.decodePageImages();
    host.loadIconStrip(std::string(VWT_SOURCE_DIR) + "/res/icon.gif");
    fonts.setUp(false, 0, 0, 0);
    service.stop();
  }

  ScratchProgram program;
  std::unique_ptr<SessionCore> core;
  SharedPtr<Page> page;
  RendererTestHost host;
  PageFonts fonts;
};

LongPage& longPage() {
  static LongPage* p = new LongPage();  // lives as long as the process
  return *p;
}

// One throw down the page from its top, then one back up: the frame times in milliseconds.
void Throw(benchmark::State& state) {
  LongPage& p = longPage();
  int width = static_cast<int>(state.range(0)), height = static_cast<int>(state.range(1));
  if (!p.page || p.page->height <= height) {
    state.SkipWithError("the long page did not come");
    return;
  }
  PageRenderer renderer(&p.host, &p.fonts);
  renderer.setViewSize(width, height);
  std::unique_ptr<Image> screen(Image::createImage(width, height, 0));
  int bottom = std::max(0, p.page->height * renderer.zoom() / 100 - height);
  double worst = 0, total = 0;
  long frames = 0;
  for (auto _ : state) {
    renderer.scrollTo(0, 0);
    renderer.updateBuffer();
    double spent = 0;
    for (int direction : {1, -1}) {
      int y = direction > 0 ? 0 : renderer.scrollY();
      for (double step = THROW_STEP; step >= 1; step *= GLIDE_KEEP) {
        y = std::min(std::max(y + direction * static_cast<int>(step), 0), bottom);
        Clock::time_point begin = Clock::now();
        renderer.scrollTo(0, y);
        renderer.updateBuffer();
        screen->getGraphics()->drawImage(renderer.buffer(), 0, 0);
        double ms = std::chrono::duration<double, std::milli>(Clock::now() - begin).count();
        worst = std::max(worst, ms);
        total += ms;
        spent += ms;
        ++frames;
      }
    }
    state.SetIterationTime(spent / 1000);
  }
  state.counters["frames"] = static_cast<double>(frames) / static_cast<double>(state.iterations());
  state.counters["max_ms"] = worst;
  state.counters["mean_ms"] = frames ? total / static_cast<double>(frames) : 0;
  state.counters["page_h"] = p.page->height;
}
BENCHMARK(Throw)->Args({240, 268})->Args({480, 640})->Unit(benchmark::kMillisecond)->UseManualTime();

}  // namespace
