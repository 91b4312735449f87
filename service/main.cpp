// veskRenderService: the reference rendering service, run on loopback for the browser's tests.

#include <pthread.h>

#include <csignal>
#include <cstdio>
#include <exception>

#include "service/CommandLine.h"
#include "service/LayoutCommand.h"
#include "service/RenderService.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (vesk::LayoutCommand::wanted(args)) return vesk::LayoutCommand::run(args);
  vesk::ServiceConfig config;
  std::string error;
  bool help = false;
  if (!vesk::CommandLine::parse(args, config, error, help)) {
    if (!help) std::fprintf(stderr, "veskRenderService: %s\n", error.c_str());
    std::fputs(vesk::CommandLine::usage().c_str(), help ? stdout : stderr);
    return help ? 0 : 2;
  }
  // Block the stop signals before any thread starts, so only sigwait below sees them.
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGINT);
  sigaddset(&stopSignals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
  std::signal(SIGPIPE, SIG_IGN);
  try {
    vesk::RenderService service(config);
    int port = service.start();
    std::printf("veskRenderService ready on %s:%d\n", config.host.c_str(), port);
    std::fflush(stdout);
    int sig = 0;
    sigwait(&stopSignals, &sig);
    service.stop();
    std::printf("veskRenderService stopped\n");
  } catch (const std::exception& e) {
    std::fprintf(stderr, "veskRenderService: %s\n", e.what());
    return 1;
  }
  return 0;
}
