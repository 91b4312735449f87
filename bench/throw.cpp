// The frames of a throw on a long page: the demonstration site's long article at a 240 x 268 view
// (the handset's page view) and at 480 x 640, loaded from the reference service in-process. The
// stylus throws the page through the page interaction as fast as it goes (down the page, then back
// up); each frame is one 50 ms tick of the glide on a clock the benchmark moves: the tick moves the
// view, the page buffer is brought up to date (copy plus the uncovered strip) and copied to the
// screen. "max_ms" and "mean_ms" are the frame times over all throws; the goal is a frame under 8 ms.
// "max_cpu_ms" is the longest frame in processor time, which a busy machine's scheduling does not
// lengthen, and "over_8ms" the frames of a throw pair that missed the goal.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <memory>
#include <string>

#include "browser/page/Page.h"
#include "browser/page/PageFonts.h"
#include "browser/page/PageInteraction.h"
#include "browser/page/PageRenderer.h"
#include "browser/shell/SessionCore.h"
#include "service/RenderService.h"
#include "tests/browser/FakeInteractionHost.h"
#include "tests/browser/LoopbackService.h"
#include "tests/browser/page/LoadedPage.h"
#include "tests/browser/page/RendererTestHost.h"
#include "tests/vwt/ScratchDirectory.h"
#include "vwt/lang/Logger.h"
#include "vwt/lang/System.h"

namespace {

using Clock = std::chrono::steady_clock;

// The long page, loaded once.
LoadedPage& longPage() {
  static LoadedPage* p = new LoadedPage("http://demo.site/long.html");  // lives as long as the process
  return *p;
}

// The canvas's side of the interaction: the view goes to the renderer.
struct ThrowHost : FakeInteractionHost {
  explicit ThrowHost(PageRenderer* r) : renderer(r) {}
  void scrollTo(int x, int y) override {
    FakeInteractionHost::scrollTo(x, y);
    renderer->scrollTo(x, y);
  }
  PageRenderer* renderer;
};

// A throw at the stylus's top speed: 20 pixels every 10 ms from y0 towards y0 + 4 * dy.
void throwFrom(PageInteraction& interaction, ThrowHost& host, int x, int y0, int dy) {
  interaction.pointerPressed(x, y0);
  for (int i = 1; i <= 4; ++i) {
    host.time += 10;
    interaction.pointerDragged(x, y0 + dy * i);
  }
  host.time += 10;
  interaction.pointerReleased(x, y0 + dy * 4);
}

// One throw down the page from its top, then one back up.
void Throw(benchmark::State& state) {
  LoadedPage& p = longPage();
  int width = static_cast<int>(state.range(0)), height = static_cast<int>(state.range(1));
  if (!p.page || p.page->height <= height) {
    state.SkipWithError("the long page did not come");
    return;
  }
  PageRenderer renderer(&p.host, &p.fonts);
  renderer.setViewSize(width, height);
  std::unique_ptr<Image> screen(Image::createImage(width, height, 0));
  ThrowHost host(&renderer);
  host.pageValue = p.page.get();
  host.geometryValue.viewWidth = width;
  host.geometryValue.viewHeight = height;
  host.geometryValue.pageWidth = p.page->width * renderer.zoom() / 100;
  host.geometryValue.pageHeight = p.page->height * renderer.zoom() / 100;
  host.geometryValue.pageLineHeight = p.fonts.pageFont()->getHeight();
  host.geometryValue.interfaceLineHeight = p.fonts.interfaceFont()->getHeight();
  host.zoomValue = renderer.zoom();
  PageInteraction interaction(&host);
  double worst = 0, worstCpu = 0, total = 0;
  long frames = 0, stopped = 0, late = 0;
  for (auto _ : state) {
    interaction.pageChanged();
    renderer.scrollTo(0, 0);
    renderer.invalidateAll();
    renderer.updateBuffer();
    double spent = 0;
    for (int dy : {-20, 20}) {
      throwFrom(interaction, host, width / 2, dy < 0 ? height * 3 / 4 : height / 4, dy);
      while (interaction.flicking()) {
        Clock::time_point begin = Clock::now();
        std::clock_t cpu = std::clock();
        host.time += PageInteraction::TICK_MS;
        interaction.tick();
        renderer.updateBuffer();
        screen->getGraphics()->drawImage(renderer.buffer(), 0, 0);
        double ms = std::chrono::duration<double, std::milli>(Clock::now() - begin).count();
        worstCpu = std::max(worstCpu, 1000.0 * static_cast<double>(std::clock() - cpu) / CLOCKS_PER_SEC);
        worst = std::max(worst, ms);
        late += ms > 8;
        total += ms;
        spent += ms;
        ++frames;
      }
      if (dy < 0) stopped += renderer.scrollY();
    }
    state.SetIterationTime(spent / 1000);
  }
  double n = static_cast<double>(state.iterations());
  state.counters["frames"] = static_cast<double>(frames) / n;
  state.counters["max_ms"] = worst;
  state.counters["max_cpu_ms"] = worstCpu;
  state.counters["over_8ms"] = static_cast<double>(late) / n;
  state.counters["mean_ms"] = frames ? total / static_cast<double>(frames) : 0;
  state.counters["glide_px"] = static_cast<double>(stopped) / n;  // where the first glide stopped
  state.counters["page_h"] = p.page->height;
}
BENCHMARK(Throw)->Args({240, 268})->Args({480, 640})->Unit(benchmark::kMillisecond)->UseManualTime();

}  // namespace
