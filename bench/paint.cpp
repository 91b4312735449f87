// Painting the all-items fixture page at 480 x 640, zoom 100: the full page-buffer repaint, the blit of
// the buffer to a window-sized surface, and the update after one scroll step (copy plus one strip).
#include <benchmark/benchmark.h>

#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "browser/page/PageFonts.h"
#include "browser/page/PageRenderer.h"
#include "browser/service/Background.h"
#include "browser/shell/SessionCore.h"
#include "service/RenderService.h"
#include "tests/browser/LoopbackService.h"
#include "tests/browser/page/LoadedPage.h"
#include "tests/vwt/ScratchDirectory.h"
#include "vwt/lang/Logger.h"
#include "vwt/lang/System.h"

namespace {

const int VIEW_WIDTH = 480;
const int VIEW_HEIGHT = 640;
const int SCROLL_STEP = 12;  // one key-scroll step of a line

// The page loaded once from the service in-process, with its images decoded and the fonts set up.
struct Scene {
  Scene() : loaded("http://demo.local/demo/all-items"), page(loaded.page) {
    renderer.reset(new PageRenderer(&loaded.host, &loaded.fonts));
    renderer->setViewSize(VIEW_WIDTH, VIEW_HEIGHT);
    window.reset(Image::createImage(VIEW_WIDTH, VIEW_HEIGHT, 0));
  }

  LoadedPage loaded;
  SharedPtr<Page> page;
  std::unique_ptr<PageRenderer> renderer;
  std::unique_ptr<Image> window;
};

Scene& scene() {
  static Scene* s = new Scene();  // lives as long as the process
  return *s;
}

void BM_FullRepaint(benchmark::State& state) {
  Scene& s = scene();
  s.renderer->scrollTo(0, 0);
  for (auto _ : state) {
    s.renderer->invalidateAll();
    s.renderer->updateBuffer();
  }
  state.counters["items"] = s.page ? s.page->mainCount() : 0;
}
BENCHMARK(BM_FullRepaint)->Unit(benchmark::kMicrosecond);

void BM_BlitToWindow(benchmark::State& state) {
  Scene& s = scene();
  s.renderer->updateBuffer();
  Graphics* g = s.window->getGraphics();
  for (auto _ : state) g->drawImage(s.renderer->buffer(), 0, 0);
}
BENCHMARK(BM_BlitToWindow)->Unit(benchmark::kMicrosecond);

// Down and up by one step in turn, so that every update draws a strip of the page.
void BM_ScrollStep(benchmark::State& state) {
  Scene& s = scene();
  s.renderer->scrollTo(0, 0);
  s.renderer->updateBuffer();
  bool down = true;
  for (auto _ : state) {
    s.renderer->scrollTo(0, down ? SCROLL_STEP : 0);
    s.renderer->updateBuffer();
    s.window->getGraphics()->drawImage(s.renderer->buffer(), 0, 0);
    down = !down;
  }
}
BENCHMARK(BM_ScrollStep)->Unit(benchmark::kMicrosecond);

}  // namespace
