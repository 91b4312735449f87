// The worker's CPU time for one page request of the all-items fixture against the reference service on
// loopback: the worker's run() from the query to the decoded page and its image blocks, record-store
// access, the POST and the response included. The service's own work is on its threads and not counted.
// The worker runs on the benchmark's thread, so that its thread CPU clock (user and system time) is read
// without a hook in the worker; the machine may be shared, and waiting for a core is nobody's cost.
#include <benchmark/benchmark.h>
#include <time.h>

#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "browser/service/Background.h"
#include "browser/shell/SessionCore.h"
#include "service/RenderService.h"
#include "tests/browser/LoopbackService.h"
#include "tests/vwt/ScratchDirectory.h"
#include "vwt/lang/Logger.h"
#include "vwt/lang/System.h"

#ifndef VWT_SOURCE_DIR
#define VWT_SOURCE_DIR "."
#endif

namespace {

using loopback::readFile;

const char PAGE_URL[] = "http://demo.local/demo/all-items";

double cpuSeconds() {
  timespec ts;
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
  return ts.tv_sec + ts.tv_nsec * 1e-9;
}

// The service in-process and a browser session core with a session key.
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
    ready = core->startSession(true) == 1;
  }
  ~Channel() {
    core.reset();
    service->stop();
  }

  ScratchProgram program;
  std::unique_ptr<vesk::RenderService> service;
  int port = 0;
  std::unique_ptr<SessionCore> core;
  bool ready = false;
};

Channel& channel() {
  static Channel* c = new Channel();  // lives as long as the process
  return *c;
}

// One page request per iteration; the reported time is the worker's CPU time (manual time).
void WorkerPageRequest(benchmark::State& state) {
  Channel& c = channel();
  if (!c.ready) {
    state.SkipWithError("no session");
    return;
  }
  String url(PAGE_URL);
  double total = 0;
  for (auto _ : state) {
    // Not a new page: the history keeps one entry however many iterations run.
    Background worker(c.core.get(), url, String(), String(), false, String(), String(), 0);
    double t0 = cpuSeconds();
    worker.run();
    double t1 = cpuSeconds();
    if (worker.getResult() != 0) {
      state.SkipWithError("page request failed");
      return;
    }
    total += t1 - t0;
    state.SetIterationTime(t1 - t0);
  }
  state.counters["worker_cpu_us"] = benchmark::Counter(total * 1e6 / state.iterations());
}
BENCHMARK(WorkerPageRequest)->UseManualTime()->Unit(benchmark::kMicrosecond)->MinTime(2.0);

}  // namespace
