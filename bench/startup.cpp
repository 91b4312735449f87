// The browser's start: from making the application to the start page painted (the script's idle),
// with a session key stored by an earlier start, against the reference service on loopback. One
// iteration is a whole start and end of the window, headless at 240 x 320; "rss_kb" is this
// process's peak resident memory afterwards (the service in-process included).
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "browser/shell/MainCanvas.h"
#include "browser/shell/VeskBrowser.h"
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

// Peak resident memory in kB, from the process's status file.
long peakResidentKb() {
  std::ifstream in("/proc/self/status");
  for (std::string line; std::getline(in, line);)
    if (line.compare(0, 6, "VmHWM:") == 0) return std::atol(line.c_str() + 6);
  return 0;
}

struct Service {
  Service() {
    Logger::getLogger()->setOutputType(Logger::NO_OUTPUT);
    service.reset(new vesk::RenderService(loopback::serviceConfig()));
    int port = service->start();
    for (const char* file : {"message.txt", "banner.gif", "icon.gif"})
      program.write(std::string("res/") + file, readFile(std::string(VWT_SOURCE_DIR) + "/res/" + file));
    program.write("system.ini", "service.host=127.0.0.1\nservice.port=" + std::to_string(port) + "\n");
    System::unloadProperties();
    setenv("VWT_DISPLAY", "headless", 1);
    setenv("VWT_SCREEN_SIZE", "240x320", 1);
    setenv("XDG_RUNTIME_DIR", program.dir.path().c_str(), 1);
    program.dir.write("idle.txt", "idle\nquit\n");
    setenv("VWT_INPUT_SCRIPT", (program.dir / "idle.txt").c_str(), 1);
  }
  ~Service() { service->stop(); }

  // One start of the window on url (the home page when empty), to the first idle.
  static void start(const std::string& url) {
    VeskBrowser app;
    app.setArgument(nullptr, nullptr, String(url.c_str()), 1, true);
    MainCanvas* canvas = new MainCanvas(&app, u"veskBrowserQK"_s);  // the application owns it
    app.addFrame(canvas);
    if (canvas->initializeWindow(u"VESKBROWSER"_s, 2, 101, 108, 102)) app.run();
  }

  ScratchProgram program;
  std::unique_ptr<vesk::RenderService> service;
};

void StartToStartPage(benchmark::State& state) {
  Service s;
  Service::start(std::string());  // stores the session key
  for (auto _ : state) Service::start(std::string());
  state.counters["rss_kb"] = static_cast<double>(peakResidentKb());
}
BENCHMARK(StartToStartPage)->Unit(benchmark::kMillisecond)->Iterations(10);

}  // namespace
