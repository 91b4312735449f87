#pragma once
// A page of the reference service loaded once into a session core on loopback (the fixtures and the
// demonstration site as "demo.site"), its images decoded for a renderer test host and the fonts set
// up: what benchmarks draw and move. The service is gone once the page is here.
#include <memory>
#include <string>

#include "browser/page/PageFonts.h"
#include "browser/service/Background.h"
#include "browser/shell/SessionCore.h"
#include "service/RenderService.h"
#include "tests/browser/LoopbackService.h"
#include "tests/browser/page/RendererTestHost.h"
#include "tests/vwt/ScratchDirectory.h"
#include "vwt/lang/Logger.h"
#include "vwt/lang/System.h"

struct LoadedPage {
  explicit LoadedPage(const std::string& url) {
    Logger::getLogger()->setOutputType(Logger::NO_OUTPUT);
    vesk::ServiceConfig config = loopback::serviceConfig();
    config.sites.emplace_back("demo.site", loopback::sourceDir() + "/service/sites/demo");
    vesk::RenderService service(config);
    int port = service.start();
    program.write("res/message.txt", loopback::readFile(loopback::sourceDir() + "/res/message.txt"));
    program.write("system.ini", "service.host=127.0.0.1\nservice.port=" + std::to_string(port) + "\n");
    System::unloadProperties();
    core.reset(new SessionCore());
    core->startSession(true);
    core->startPageRequest(String(url.c_str()));
    core->waitForWorker(20000);
    page = core->getCurrentPage();
    host.page = page.get();
    host.decodePageImages();
    host.loadIconStrip(loopback::sourceDir() + "/res/icon.gif");
    fonts.setUp(false, 0, 0, 0);
    service.stop();
  }

  ScratchProgram program;
  std::unique_ptr<SessionCore> core;
  SharedPtr<Page> page;
  RendererTestHost host;
  PageFonts fonts;
};
