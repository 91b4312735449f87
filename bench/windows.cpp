// The window system's queue against a bare deque + condition variable, and the time from a key press
// to the end of the paint it causes in the headless back end.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

#include "vwt/platform/HeadlessDisplay.h"
#include "vwt/platform/MessageKinds.h"
#include "vwt/platform/WindowSystem.h"

using namespace vwt::platform;

namespace {

const int MESSAGES = 20000;

// Another thread posts; the UI thread takes each message through get() and dispatch().
void BM_PostedMessagesThroughTheLoop(benchmark::State& state) {
  WindowSystem ws(createHeadlessDisplay(240, 320), 240, 320);
  int handled = 0;
  ws.registerClass(
      WindowClass{u"bench", [&handled](WindowHandle, uint32_t kind, uintptr_t, intptr_t) -> intptr_t {
                    if (kind == WM_USER) ++handled;
                    return 0;
                  }});
  WindowHandle w = ws.createWindow(u"bench", u"", 0, 0, 0, 0, 10, 10);
  Message m;
  for (auto _ : state) {
    handled = 0;
    std::thread poster([&] {
      for (int i = 0; i < MESSAGES; ++i) ws.post(w, WM_USER, i, 0);
    });
    while (handled < MESSAGES && ws.get(&m)) ws.dispatch(m);
    poster.join();
  }
  state.SetItemsProcessed(state.iterations() * MESSAGES);
}
BENCHMARK(BM_PostedMessagesThroughTheLoop)->Unit(benchmark::kMillisecond)->UseRealTime();

// The anchor: the same hand-over through a bare deque guarded by a mutex and a condition variable.
void BM_BareDequeAndConditionVariable(benchmark::State& state) {
  std::mutex lock;
  std::condition_variable ready;
  std::deque<Message> queue;
  int handled = 0;
  for (auto _ : state) {
    handled = 0;
    std::thread poster([&] {
      for (int i = 0; i < MESSAGES; ++i) {
        std::lock_guard<std::mutex> g(lock);
        queue.push_back(Message{1, WM_USER, static_cast<uintptr_t>(i), 0});
        ready.notify_one();
      }
    });
    while (handled < MESSAGES) {
      Message m;
      {
        std::unique_lock<std::mutex> g(lock);
        ready.wait(g, [&] { return !queue.empty(); });
        m = queue.front();
        queue.pop_front();
      }
      benchmark::DoNotOptimize(m);
      ++handled;
    }
    poster.join();
  }
  state.SetItemsProcessed(state.iterations() * MESSAGES);
}
BENCHMARK(BM_BareDequeAndConditionVariable)->Unit(benchmark::kMillisecond)->UseRealTime();

// A key press to the end of the paint it asks for; the window draws nothing, so this is the
// window system's own share. Median and 99th percentile in microseconds.
void BM_KeyToPaintLatency(benchmark::State& state) {
  WindowSystem ws(createHeadlessDisplay(240, 320), 240, 320);
  bool painted = false;
  WindowHandle w = 0;
  ws.registerClass(WindowClass{u"bench", [&](WindowHandle h, uint32_t kind, uintptr_t, intptr_t) -> intptr_t {
                                 if (kind == WM_KEYDOWN) ws.invalidate(h, nullptr, false);
                                 if (kind == WM_PAINT) painted = true;
                                 return 0;
                               }});
  w = ws.createWindow(u"bench", u"", STYLE_VISIBLE, 0, 0, 0, 240, 320);
  Message m;
  while (ws.peek(&m, true)) ws.dispatch(m);
  std::vector<double> samples;
  for (auto _ : state) {
    painted = false;
    auto start = std::chrono::steady_clock::now();
    ws.keyDown('5', false);
    while (!painted && ws.peek(&m, true)) ws.dispatch(m);
    samples.push_back(
        std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count());
    ws.keyUp('5');
    while (ws.peek(&m, true)) ws.dispatch(m);
  }
  (void)w;
  std::sort(samples.begin(), samples.end());
  if (!samples.empty()) {
    state.counters["median_us"] = samples[samples.size() / 2];
    state.counters["p99_us"] = samples[std::min(samples.size() - 1, samples.size() * 99 / 100)];
  }
}
BENCHMARK(BM_KeyToPaintLatency)->Unit(benchmark::kMicrosecond);

}  // namespace
