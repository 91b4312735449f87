// Decoding a 20,000-item page response, against inflating the same bytes alone.
#include <benchmark/benchmark.h>
#include <zlib.h>

#include <chrono>
#include <vector>

#include "browser/service/PageResponseDecoder.h"
#include "tests/browser/FakeResponseHost.h"
#include "tests/browser/PageWriter.h"
#include "vwt/io/ByteArrayInputStream.h"
#include "vwt/lang/Logger.h"
#include "vwt/net/InflaterInputStream.h"

namespace {

const int ITEMS = 20000;

// Text that varies the way a page's does: words drawn from a small list by
// a fixed pseudo-random sequence, Latin and Japanese.
std::u16string words(uint32_t* seed, int count) {
  static const char16_t* WORDS[] = {u"the",    u"browser", u"page",         u"service",
                                    u"render", u"item",    u"\u65E5\u672C", u"\u30C6\u30AD\u30B9\u30C8",
                                    u"zoom",   u"link",    u"window",       u"history",
                                    u"cookie", u"\u8A9E",  u"scroll",       u"form"};
  std::u16string out;
  for (int i = 0; i < count; ++i) {
    *seed = *seed * 1103515245u + 12345u;
    if (i) out += u' ';
    out += WORDS[(*seed >> 16) % 16];
  }
  return out;
}

// A page of text runs, images, boxes and links, as a service lays one out.
std::vector<char> compressedPage() {
  uint32_t seed = 1;
  PageWriter w;
  w.i32(5208).i32(0).utf(u"").utf(u"").i32(0).i32(0).i32(0).i32(0).utf(u"session");
  w.header(240, 320, u"http://bench.example/page", u"Benchmark page");
  w.i32(ITEMS);
  for (int i = 0; i < ITEMS; ++i) {
    int y = i * 14;
    switch (i % 4) {
      case 0:
      case 1:
        w.text(2 + i % 7, y, 150 + i % 50, 14, words(&seed, 6), i % 3);
        break;
      case 2:
        w.byte(5).rect(2, y, 32, 32).utf(u"icon").i32(i % 50).i32(32).i32(32).utf(u"").i32(0).i32(0).i32(0);
        break;
      default:
        w.byte(29)
            .rect(0, y, 240, 14)
            .i32(0xEEEEEE)
            .i32(0x45)
            .i32(0x999999)
            .i32(0xFF0000)
            .i16(1)
            .byte(1)
            .i32(0x00FF00)
            .i16(1)
            .byte(1);
    }
  }
  w.i32(ITEMS / 4);
  for (int i = 0; i < ITEMS / 4; ++i)
    w.byte(100).utf(u"http://bench.example/" + words(&seed, 2)).i32(1).i32(i * 4).i32(0);
  w.noFrames();
  w.i32(50);
  for (int i = 0; i < 50; ++i) w.i32(1000);
  w.i32(50000).i32(4).i32(4000000).i32(0).i32(0);
  uLongf size = compressBound(w.size());
  std::vector<char> out(size);
  compress2(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(w.data()), w.size(),
            6);
  out.resize(size);
  return out;
}

const std::vector<char>& page() {
  static std::vector<char> bytes = compressedPage();
  return bytes;
}

int64_t inflateAll(const std::vector<char>& bytes) {
  char buf[1024];
  int64_t total = 0;
  InflaterInputStream in(new ByteArrayInputStream(bytes.data(), 0, static_cast<int>(bytes.size())));
  for (int n; (n = in.read(buf, 0, sizeof buf)) > 0;) total += n;
  return total;
}

// The decoded page, to be freed by the caller; null when the decoder refused it.
Page* decode(const std::vector<char>& bytes, FakeResponseHost* host) {
  Page* p = new Page();
  ByteArrayInputStream in(bytes.data(), 0, static_cast<int>(bytes.size()));
  PageResponseDecoder decoder(host);
  if (decoder.decodePageResponse(p, &in, true) == 1) return p;
  delete p;
  return nullptr;
}

void InflateOnly(benchmark::State& state) {
  const std::vector<char>& bytes = page();
  int64_t total = 0;
  for (auto _ : state) total += inflateAll(bytes);
  benchmark::DoNotOptimize(total);
  state.SetItemsProcessed(state.iterations() * ITEMS);
}
BENCHMARK(InflateOnly)->Unit(benchmark::kMillisecond);

void DecodePage(benchmark::State& state) {
  Logger::getLogger()->setOutputType(Logger::NO_OUTPUT);
  const std::vector<char>& bytes = page();
  FakeResponseHost host;
  for (auto _ : state) {
    Page* p = decode(bytes, &host);
    if (!p) state.SkipWithError("page not decoded");
    state.PauseTiming();  // freeing the page is not decoding
    delete p;
    host.page.statusTexts.clear();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * ITEMS);
}
BENCHMARK(DecodePage)->Unit(benchmark::kMillisecond);

// Decode and inflate-alone timed in turn, so that both see the same machine
// (a shared machine's speed drifts between separate runs): "ratio" is the
// decode's time over the inflate's.
void DecodeOverInflate(benchmark::State& state) {
  using Clock = std::chrono::steady_clock;
  Logger::getLogger()->setOutputType(Logger::NO_OUTPUT);
  const std::vector<char>& bytes = page();
  FakeResponseHost host;
  Clock::duration inflating{}, decoding{};
  int64_t total = 0;
  for (auto _ : state) {
    Clock::time_point t0 = Clock::now();
    total += inflateAll(bytes);
    Clock::time_point t1 = Clock::now();
    Page* p = decode(bytes, &host);
    Clock::time_point t2 = Clock::now();
    if (!p) state.SkipWithError("page not decoded");
    delete p;
    host.page.statusTexts.clear();
    inflating += t1 - t0;
    decoding += t2 - t1;
  }
  benchmark::DoNotOptimize(total);
  state.counters["ratio"] =
      std::chrono::duration<double>(decoding).count() / std::chrono::duration<double>(inflating).count();
}
BENCHMARK(DecodeOverInflate)->Unit(benchmark::kMillisecond);

}  // namespace
