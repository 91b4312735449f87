// A page request against the reference service on loopback, split into its
// parts: the key exchange, the whole request (query, encryption, POST, the
// service, decryption and decoding, before the images), the service's own
// work, and decoding the received page again. Medians of 20 runs.
#include <benchmark/benchmark.h>

#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "browser/service/Background.h"
#include "browser/service/PageResponseDecoder.h"
#include "browser/shell/SessionCore.h"
#include "service/PageResponder.h"
#include "service/QueryString.h"
#include "service/RenderService.h"
#include "tests/browser/LoopbackService.h"
#include "tests/vwt/ScratchDirectory.h"
#include "vwt/io/ByteArrayInputStream.h"
#include "vwt/lang/Logger.h"
#include "vwt/lang/System.h"

#ifndef VWT_SOURCE_DIR
#define VWT_SOURCE_DIR "."
#endif

namespace {

using loopback::readFile;

const char* PAGES[] = {"index", "demo/all-items", "demo/images", "demo/notice"};

// The service in-process and a browser session core with a stored key.
struct Channel {
  Channel() {
    Logger::getLogger()->setOutputType(Logger::NO_OUTPUT);
    service.reset(new vesk::RenderService(loopback::serviceConfig()));
    port = service->start();
    program.dir.write("program/res/message.txt", readFile(std::string(VWT_SOURCE_DIR) + "/res/message.txt"));
    program.dir.write("program/system.ini",
                      "service.host=127.0.0.1\nservice.port=" + std::to_string(port) + "\n");
    System::unloadProperties();
    core.reset(new SessionCore());
    core->startSession(true);
  }
  ~Channel() {
    core.reset();
    service->stop();
  }
  bool load(const std::string& page) {
    core->startPageRequest(String(("http://demo.local/" + page).c_str()));
    core->waitForWorker(20000);
    return core->getWorker()->getResult() == 0;
  }

  ScratchProgram program;
  std::unique_ptr<vesk::RenderService> service;
  int port = 0;
  std::unique_ptr<SessionCore> core;
};

// Twenty single runs, wall-clock time (the work is on other threads), medians.
void medianOf20(benchmark::internal::Benchmark* b) {
  b->Iterations(1)->Repetitions(20)->ReportAggregatesOnly(true)->UseRealTime()->Unit(benchmark::kMicrosecond);
}

Channel& channel() {
  static Channel* c = new Channel();  // lives as long as the process
  return *c;
}

void KeyExchange(benchmark::State& state) {
  Channel& c = channel();
  for (auto _ : state)
    if (c.core->startSession(false) != 1) state.SkipWithError("key exchange failed");
}
BENCHMARK(KeyExchange)->Apply(medianOf20);

// The whole request; for the images page this includes its image blocks.
void PageRequest(benchmark::State& state) {
  Channel& c = channel();
  const char* page = PAGES[state.range(0)];
  state.SetLabel(page);
  for (auto _ : state)
    if (!c.load(page)) state.SkipWithError("page request failed");
}
BENCHMARK(PageRequest)->DenseRange(0, 3)->Apply(medianOf20);

// What the service does for one page request: find, encode, compress, encrypt.
void ServiceTime(benchmark::State& state) {
  Channel& c = channel();
  const char* page = PAGES[state.range(0)];
  state.SetLabel(page);
  vesk::Session session = c.service->state().sessions.open(0, std::string(32, 'k'), std::string(16, 'i'));
  vesk::PageResponder responder(c.service->state());
  vesk::QueryString query("c=H&u=" + vesk::QueryString::encode(std::string("http://demo.local/") + page) +
                          "&ib=" + std::to_string(session.userId) + "&bt=0&fl=1&f&css&vn=5208");
  for (auto _ : state) benchmark::DoNotOptimize(responder.page(session, query));
}
BENCHMARK(ServiceTime)->DenseRange(0, 3)->Apply(medianOf20);

// Decoding the page's compressed data as received (kept for redisplay).
void Decoding(benchmark::State& state) {
  Channel& c = channel();
  const char* page = PAGES[state.range(0)];
  state.SetLabel(page);
  if (!c.load(page)) {
    state.SkipWithError("page request failed");
    return;
  }
  SharedPtr<Page> loaded = c.core->getCurrentPage();
  for (auto _ : state) {
    Page copy;
    ByteArrayInputStream in(loaded->data.get(), 0, loaded->dataLength);
    PageResponseDecoder decoder(c.core.get());
    if (decoder.decodePageResponse(&copy, &in, false) != 1) state.SkipWithError("decode failed");
  }
}
BENCHMARK(Decoding)->DenseRange(0, 3)->Apply(medianOf20);

}  // namespace
