// Drawing on a 480 x 640 page, each measured against its anchor in the same loop, so that both see
// the same machine: "speed" is the anchor's time over ours (1 = as fast as the anchor).

#include <benchmark/benchmark.h>
#include <pixman.h>

#include <chrono>
#include <cstring>
#include <vector>

#include "vwt/lang/AutoPtr.h"
#include "vwt/platform/Surface.h"
#include "vwt/ui/Graphics.h"
#include "vwt/ui/Image.h"

namespace {

using Clock = std::chrono::steady_clock;
const int PAGE_WIDTH = 480, PAGE_HEIGHT = 640;

// Times ours() and anchor() in turn for each iteration and reports the speed ratio.
template <typename Ours, typename Anchor>
void paired(benchmark::State& state, Ours ours, Anchor anchor) {
  Clock::duration a{}, o{};
  for (auto _ : state) {
    Clock::time_point t0 = Clock::now();
    anchor();
    Clock::time_point t1 = Clock::now();
    ours();
    Clock::time_point t2 = Clock::now();
    a += t1 - t0;
    o += t2 - t1;
  }
  state.counters["speed"] =
      std::chrono::duration<double>(a).count() / std::chrono::duration<double>(o).count();
  state.SetBytesProcessed(state.iterations() * int64_t{PAGE_WIDTH} * PAGE_HEIGHT * 4);
}

pixman_image_t* view(vwt::platform::Surface* s) {
  return pixman_image_create_bits(PIXMAN_a8r8g8b8, s->width(), s->height(), s->target().pixels,
                                  s->target().stride * 4);
}

void FillRect(benchmark::State& state) {
  AutoPtr<Image> page(Image::createImage(PAGE_WIDTH, PAGE_HEIGHT, 0));
  Graphics* g = page->getGraphics();
  uint32_t c = 0;
  const vwt::platform::PixelTarget& t = page->getSurface()->target();
  paired(
      state,
      [&] {
        g->setColor(static_cast<int>(++c & 0xFFFFFF));
        g->fillRect(0, 0, PAGE_WIDTH, PAGE_HEIGHT);
      },
      [&] {
        pixman_fill(t.pixels, t.stride, 32, 0, 0, PAGE_WIDTH, PAGE_HEIGHT, 0xFF000000u | (++c & 0xFFFFFF));
      });
  benchmark::DoNotOptimize(t.pixels[0]);
}
BENCHMARK(FillRect);

void OpaqueCopyToScreen(benchmark::State& state) {
  AutoPtr<Image> page(Image::createImage(PAGE_WIDTH, PAGE_HEIGHT, 0x336699));
  std::vector<uint32_t> screenPixels(size_t(PAGE_WIDTH) * PAGE_HEIGHT),
      copied(size_t(PAGE_WIDTH) * PAGE_HEIGHT);
  vwt::platform::PixelTarget t;
  t.pixels = screenPixels.data();
  t.stride = t.width = PAGE_WIDTH;
  t.height = PAGE_HEIGHT;
  vwt::platform::Surface screen(t);
  Graphics g(&screen);
  const uint32_t* from = page->getSurface()->target().pixels;
  paired(
      state, [&] { g.drawImage(page.get(), 0, 0); },
      [&] { std::memcpy(copied.data(), from, copied.size() * 4); });
  benchmark::DoNotOptimize(screenPixels[PAGE_WIDTH * PAGE_HEIGHT - 1]);
  benchmark::DoNotOptimize(copied[PAGE_WIDTH * PAGE_HEIGHT - 1]);
}
BENCHMARK(OpaqueCopyToScreen);

void ConstantAlphaFill(benchmark::State& state) {
  AutoPtr<Image> page(Image::createImage(PAGE_WIDTH, PAGE_HEIGHT, 0)),
      other(Image::createImage(PAGE_WIDTH, PAGE_HEIGHT, 0));
  Graphics* g = page->getGraphics();
  g->setColorARGB(static_cast<int>(0x80336699u));
  pixman_color_t colour = {0x3333, 0x6666, 0x9999, 0xFFFF}, half = {0, 0, 0, 0x8080};
  pixman_image_t* src = pixman_image_create_solid_fill(&colour);
  pixman_image_t* mask = pixman_image_create_solid_fill(&half);
  pixman_image_t* dst = view(other->getSurface());
  paired(
      state, [&] { g->fillRect(0, 0, PAGE_WIDTH, PAGE_HEIGHT); },
      [&] {
        pixman_image_composite32(PIXMAN_OP_OVER, src, mask, dst, 0, 0, 0, 0, 0, 0, PAGE_WIDTH, PAGE_HEIGHT);
      });
  pixman_image_unref(dst);
  pixman_image_unref(mask);
  pixman_image_unref(src);
}
BENCHMARK(ConstantAlphaFill);

void ColourKeyedCopy(benchmark::State& state) {
  const uint32_t key = 0xFF00FF;
  AutoPtr<Image> sprite(Image::createImage(PAGE_WIDTH, PAGE_HEIGHT, static_cast<int>(key)));
  sprite->getGraphics()->setColor(0x123456);
  for (int y = 0; y < PAGE_HEIGHT; y += 2)
    sprite->getGraphics()->fillRect(0, y, PAGE_WIDTH, 1);  // half key, half colour
  for (int x = 0; x < PAGE_WIDTH; x += 3) sprite->getGraphics()->fillRect(x, 0, 1, PAGE_HEIGHT);
  sprite->setTransparentColor(static_cast<int>(key));
  AutoPtr<Image> page(Image::createImage(PAGE_WIDTH, PAGE_HEIGHT, 0)),
      other(Image::createImage(PAGE_WIDTH, PAGE_HEIGHT, 0));
  Graphics* g = page->getGraphics();
  const uint32_t* from = sprite->getSurface()->target().pixels;
  uint32_t* to = other->getSurface()->target().pixels;
  paired(
      state, [&] { g->drawImage(sprite.get(), 0, 0); },
      [&] {
        for (int i = 0; i < PAGE_WIDTH * PAGE_HEIGHT; ++i) {
          const uint32_t p = from[i] & 0xFFFFFF;
          if (p != key) to[i] = p | 0xFF000000u;
        }
        benchmark::ClobberMemory();
      });
}
BENCHMARK(ColourKeyedCopy);

void NearestStretch(benchmark::State& state) {
  AutoPtr<Image> small(Image::createImage(PAGE_WIDTH / 2, PAGE_HEIGHT / 2, 0));
  for (int y = 0; y < PAGE_HEIGHT / 2; ++y)
    for (int x = 0; x < PAGE_WIDTH / 2; ++x)
      small->getSurface()->row(y)[x] = 0xFF000000u | uint32_t(x * 977 + y * 131);
  AutoPtr<Image> page(Image::createImage(PAGE_WIDTH, PAGE_HEIGHT, 0)),
      other(Image::createImage(PAGE_WIDTH, PAGE_HEIGHT, 0));
  Graphics* g = page->getGraphics();
  pixman_image_t* src = view(small->getSurface());
  pixman_transform_t m;
  pixman_transform_init_scale(&m, pixman_double_to_fixed(0.5), pixman_double_to_fixed(0.5));
  pixman_image_set_transform(src, &m);
  pixman_image_set_filter(src, PIXMAN_FILTER_NEAREST, nullptr, 0);
  pixman_image_t* dst = view(other->getSurface());
  paired(
      state,
      [&] {
        g->drawScaledImage(small.get(), 0, 0, PAGE_WIDTH, PAGE_HEIGHT, 0, 0, PAGE_WIDTH / 2, PAGE_HEIGHT / 2);
      },
      [&] {
        pixman_image_composite32(PIXMAN_OP_SRC, src, nullptr, dst, 0, 0, 0, 0, 0, 0, PAGE_WIDTH, PAGE_HEIGHT);
      });
  pixman_image_unref(dst);
  pixman_image_unref(src);
}
BENCHMARK(NearestStretch);

}  // namespace
