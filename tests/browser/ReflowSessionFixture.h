#pragma once
// A session core with a reflow host measuring with the real fonts, against the reference service in
// this process on loopback with the demonstration site as "shipped.site". The view is viewWidth_ by
// VIEW_HEIGHT; the re-flowed extent the canvas would hear of lands in extentWidth_ and extentHeight_.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "browser/page/PageFonts.h"
#include "browser/service/Background.h"
#include "browser/shell/CanvasReflowHost.h"
#include "browser/shell/SessionCore.h"
#include "service/RenderService.h"
#include "tests/browser/LoopbackService.h"
#include "tests/vwt/ScratchDirectory.h"
#include "vwt/lang/System.h"

class ReflowSessionFixture : public ::testing::Test {
 protected:
  static const int VIEW_HEIGHT = 320;

  void SetUp() override {
    vesk::ServiceConfig config = loopback::serviceConfig();
    config.sites.emplace_back("shipped.site", loopback::sourceDir() + "/service/sites/demo");
    service_.reset(new vesk::RenderService(config));
    int port = service_->start();
    program_.write("res/message.txt", loopback::readFile(loopback::sourceDir() + "/res/message.txt"));
    program_.write("system.ini", "service.host=127.0.0.1\nservice.port=" + std::to_string(port) + "\n");
    System::unloadProperties();
    fonts_.setUp(false, 0, 0, 0);
    core_.reset(new SessionCore());
    CanvasReflowHost::Sources sources;
    sources.flags = [this] { return core_->getFlags(); };
    sources.view = [this] {
      CanvasReflowHost::View v;
      v.width = viewWidth_;
      v.height = VIEW_HEIGHT;
      return v;
    };
    sources.extent = [this](int w, int h) {
      extentWidth_ = w;
      extentHeight_ = h;
    };
    reflowHost_.reset(new CanvasReflowHost(&fonts_, sources));
    core_->setReflowHost(reflowHost_.get());
  }
  void TearDown() override {
    core_.reset();
    service_->stop();
  }
  // Requests url and waits for its answer; true when the page came.
  bool request(const std::string& url) {
    core_->startPageRequest(String(url.c_str()));
    core_->waitForWorker(20000);
    return core_->getWorker()->getResult() == 0;
  }

  ScratchProgram program_;
  std::unique_ptr<vesk::RenderService> service_;
  PageFonts fonts_;
  std::unique_ptr<SessionCore> core_;
  std::unique_ptr<CanvasReflowHost> reflowHost_;
  int viewWidth_ = 240;
  int extentWidth_ = 0, extentHeight_ = 0;
};
