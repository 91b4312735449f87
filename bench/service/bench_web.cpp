// Pages of the demonstration site through the whole service: fetched from the local site folder,
// laid out at the handset's metrics, encoded, compressed and encrypted. Reports the service time of
// the article, pages per second for 8 concurrent handsets, and the bytes the handset receives
// (page answer and image data) against the bytes of the original page (HTML, style sheets, pictures).

#include <benchmark/benchmark.h>
#include <httplib.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "service/Compressor.h"
#include "service/EnvelopeWriter.h"
#include "service/PageResponder.h"
#include "service/QueryString.h"
#include "service/RenderService.h"
#include "service/ServedPage.h"
#include "service/ServiceState.h"
#include "service/SessionCipher.h"
#include "service/fetch/WebPageBuilder.h"

namespace {

const char* const SITE = "demo.site";

// The shipped demonstration site, or the folder VESK_BENCH_SITE names.
std::string siteFolder() {
  const char* env = std::getenv("VESK_BENCH_SITE");
  return env && *env ? env : VESK_DEMO_SITE;
}
const std::vector<std::string> PAGES = {"index.html",    "article.html",  "form.html",    "frames.html",
                                        "imagemap.html", "japanese.html", "cookies.html", "long.html"};

vesk::ServiceConfig config() {
  vesk::ServiceConfig c;
  c.port = 0;
  c.sites.emplace_back(SITE, siteFolder());
  return c;
}

bool siteHas(const std::string& page) {
  return std::filesystem::exists(std::string(VESK_DEMO_SITE) + "/" + page);
}

// The query the handset sends for a link, with its own metrics.
std::string pageQuery(const std::string& page, int32_t user) {
  return "c=H&u=" + vesk::QueryString::encode(std::string("http://") + SITE + "/" + page) +
         "&ib=" + std::to_string(user) +
         "&ft=1&bt=0&id=BENCH&wd=236&si=7&lq=1&ap=QKWM&lid=1033&fl=1&f&css&fa=10&fb=3&fh=13&fw=12&vn=5208";
}

// Service time of the article: the decrypted query in, the encrypted answer out.
void BM_DemoArticleServiceTime(benchmark::State& state) {
  if (!siteHas("article.html")) {
    state.SkipWithError("the demonstration site has no article.html");
    return;
  }
  vesk::ServiceState service(config());
  vesk::Session session = service.sessions.open(0, std::string(32, 'k'), std::string(16, 'i'));
  vesk::PageResponder responder(service);
  vesk::QueryString query(pageQuery("article.html", session.userId));
  size_t bytes = 0;
  for (auto _ : state) {
    vesk::GatewayReply reply = responder.page(session, query);
    bytes = reply.body.size();
    benchmark::DoNotOptimize(reply);
  }
  state.counters["answer_bytes"] = static_cast<double>(bytes);
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_DemoArticleServiceTime)->Unit(benchmark::kMillisecond);

// One service for all client threads, over loopback HTTP as the handsets reach it.
struct SharedService {
  vesk::RenderService service{config()};
  int port = service.start();
  std::string key = std::string(32, 'k'), iv = std::string(16, 'i');
};

SharedService& shared() {
  static SharedService s;
  return s;
}

void BM_DemoSitePagesPerSecond(benchmark::State& state) {
  SharedService& s = shared();
  vesk::Session session = s.service.state().sessions.open(0, s.key, s.iv);
  vesk::SessionCipher cipher(s.key, s.iv);
  std::vector<std::string> bodies;
  for (const std::string& p : PAGES)
    if (siteHas(p)) bodies.push_back(cipher.encrypt(pageQuery(p, session.userId)));
  if (bodies.empty()) {
    state.SkipWithError("the demonstration site is missing");
    return;
  }
  std::string type = "vesk-cryptreq" + std::to_string(session.userId);
  httplib::Client client("127.0.0.1", s.port);
  size_t next = static_cast<size_t>(state.thread_index());
  for (auto _ : state) {
    auto res = client.Post("/br/wm", bodies[next++ % bodies.size()], type.c_str());
    if (!res || res->status != 200) {
      state.SkipWithError("request failed");
      break;
    }
  }
  state.counters["pages_per_second"] =
      benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_DemoSitePagesPerSecond)->Threads(8)->UseRealTime()->Unit(benchmark::kMillisecond);

// Bytes the handset receives for the whole site (each page's encrypted answer and its image data)
// over the bytes of the original pages with their style sheets and pictures.
void BM_DemoSiteByteRatio(benchmark::State& state) {
  vesk::ServiceConfig c = config();
  vesk::ServiceState service(c);
  vesk::WebPageBuilder builder(service.fetcher, service.forms);
  vesk::SessionCipher cipher(std::string(32, 'k'), std::string(16, 'i'));
  double received = 0, original = 0, images = 0;
  for (auto _ : state) {
    received = original = images = 0;
    for (const std::string& p : PAGES) {
      if (!siteHas(p)) continue;
      vesk::QueryString q(pageQuery(p, 1001));
      vesk::WebPageBuilder::Stats stats;
      vesk::Page page = builder.build(std::string("http://") + SITE + "/" + p, q, 1001,
                                      vesk::WebPageBuilder::metricsFrom(q, c.imageMemoryLimit), &stats);
      vesk::ServedPage served(page, false, c.imageBlockBytes);
      vesk::EnvelopeHead head;
      vesk::EnvelopeWriter::Options opt;
      opt.url = page.url;
      std::string answer =
          cipher.encrypt(std::string(8, 'm') +
                         vesk::Compressor::deflate(vesk::EnvelopeWriter::write(head, page, served, opt)));
      received += static_cast<double>(answer.size() + served.imageBytesTotal());
      images += static_cast<double>(served.imageBytesTotal());
      if (std::getenv("VESK_BENCH_VERBOSE"))
        std::fprintf(stderr, "%-16s answer %6zu images %6d original %6zu + %6zu\n", p.c_str(), answer.size(),
                     served.imageBytesTotal(), stats.documentBytes, stats.resourceBytes);
      original += static_cast<double>(stats.documentBytes + stats.resourceBytes);
    }
  }
  if (original == 0) {
    state.SkipWithError("the demonstration site is missing");
    return;
  }
  state.counters["received_bytes"] = received;
  state.counters["image_bytes"] = images;
  state.counters["original_bytes"] = original;
  state.counters["ratio"] = received / original;
}
BENCHMARK(BM_DemoSiteByteRatio)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
