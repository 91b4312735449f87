// Page responses of the rendering service for a 2,000-item page: the encoding of the
// envelope and page description, zlib, AES, and whole responses over loopback HTTP.

#include <benchmark/benchmark.h>
#include <httplib.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "service/Compressor.h"
#include "service/DataWriter.h"
#include "service/EnvelopeWriter.h"
#include "service/RenderService.h"
#include "service/ServedPage.h"
#include "service/SessionCipher.h"

namespace {

constexpr int ITEMS = 2000;

// 2,000 main-list items (text runs, boxes, images, fields) and a link for every tenth.
std::string fixtureText() {
  std::string t = "page title=\"Benchmark page\" width=236 height=20000\n";
  for (int i = 0; i < ITEMS; ++i) {
    int y = i * 10;
    switch (i % 4) {
      case 0:
      case 1:
        t += "item TEXT x=2 y=" + std::to_string(y) + " w=200 h=12 color=0x000000 text=\"Line " +
             std::to_string(i) + " of the benchmark page with some ordinary words\" value1=0 flags=0\n";
        break;
      case 2:
        t += "item BOX x=0 y=" + std::to_string(y) + " w=236 h=10 color2=0xEEEEEE top=0x808080,1,0\n";
        break;
      default:
        t += "item IMAGE x=2 y=" + std::to_string(y) +
             " w=16 h=16 text=\"icon\" image=0 param1=16 param2=16 name=\"icon\"\n";
    }
  }
  for (int i = 0; i < ITEMS; i += 10)
    t +=
        "struct LINK text=\"http://bench.local/p" + std::to_string(i) + "\" refs=" + std::to_string(i) + "\n";
  t += "image size=2000\n";
  return t;
}

struct Workspace {
  std::string dir;
  Workspace() {
    char tmpl[] = "/tmp/vesk-bench-XXXXXX";
    if (!mkdtemp(tmpl)) std::abort();
    dir = tmpl;
    std::ofstream(dir + "/bench.page") << fixtureText();
  }
  ~Workspace() {
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
  }
};

Workspace& workspace() {
  static Workspace w;
  return w;
}

std::shared_ptr<const vesk::Page> benchPage() {
  static vesk::FixtureLibrary lib(workspace().dir);
  return lib.find("http://bench.local/bench");
}

std::string envelope() {
  auto page = benchPage();
  vesk::ServedPage served(*page, false, 16384);
  vesk::EnvelopeHead head;
  head.userId = 1001;
  head.sessionId = "0123456789abcdef";
  vesk::EnvelopeWriter::Options opt;
  opt.pageId = 1;
  opt.url = "http://bench.local/bench";
  return vesk::EnvelopeWriter::write(head, *page, served, opt);
}

void BM_EncodePage(benchmark::State& state) {
  auto page = benchPage();
  for (auto _ : state) {
    vesk::ServedPage served(*page, false, 16384);
    vesk::EnvelopeHead head;
    vesk::EnvelopeWriter::Options opt;
    benchmark::DoNotOptimize(vesk::EnvelopeWriter::write(head, *page, served, opt));
  }
  state.counters["envelope_bytes"] = static_cast<double>(envelope().size());
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_EncodePage)->Unit(benchmark::kMicrosecond);

void BM_Compress(benchmark::State& state) {
  std::string env = envelope();
  size_t out = 0;
  for (auto _ : state) {
    std::string z = vesk::Compressor::deflate(env);
    out = z.size();
    benchmark::DoNotOptimize(z);
  }
  state.counters["compressed_bytes"] = static_cast<double>(out);
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_Compress)->Unit(benchmark::kMicrosecond);

void BM_Encrypt(benchmark::State& state) {
  std::string plain = std::string(8, 'm') + vesk::Compressor::deflate(envelope());
  vesk::SessionCipher cipher(std::string(32, 'k'), std::string(16, 'i'));
  for (auto _ : state) benchmark::DoNotOptimize(cipher.encrypt(plain));
  state.counters["plain_bytes"] = static_cast<double>(plain.size());
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_Encrypt)->Unit(benchmark::kMicrosecond);

// Whole page responses: decrypt the query, find the page, encode, compress, encrypt, send.
void BM_PageResponseOverLoopback(benchmark::State& state) {
  vesk::ServiceConfig c;
  c.port = 0;
  c.fixtureDir = workspace().dir;
  vesk::RenderService service(c);
  int port = service.start();
  std::string key(32, 'k'), iv(16, 'i');
  vesk::Session s = service.state().sessions.open(0, key, iv);
  vesk::SessionCipher cipher(key, iv);
  std::string body = cipher.encrypt("c=H&u=http%3A%2F%2Fbench.local%2Fbench&ib=" + std::to_string(s.userId) +
                                    "&bt=0&fl=1&f&css&vn=5208");
  std::string type = "vesk-cryptreq" + std::to_string(s.userId);
  httplib::Client client("127.0.0.1", port);
  client.set_keep_alive(true);
  client.set_tcp_nodelay(true);
  size_t bytes = 0;
  for (auto _ : state) {
    auto res = client.Post("/br/wm", body, type.c_str());
    if (!res || res->status != 200) {
      state.SkipWithError("request failed");
      break;
    }
    bytes = res->body.size();
  }
  state.counters["response_bytes"] = static_cast<double>(bytes);
  state.counters["pages_per_second"] =
      benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
  service.stop();
}
BENCHMARK(BM_PageResponseOverLoopback)->Unit(benchmark::kMicrosecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
