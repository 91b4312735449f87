#pragma once
// The browser's real window, headless, with scripted input, against the reference service in this
// process on loopback. Tests derive from BrowserWindowTest; configure() adds sites to the service.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "browser/page/Page.h"
#include "browser/shell/MainCanvas.h"
#include "browser/shell/VeskBrowser.h"
#include "service/RenderService.h"
#include "tests/browser/LoopbackService.h"
#include "tests/vwt/ScratchDirectory.h"
#include "tests/vwt/TestText.h"
#include "vwt/platform/WindowSystem.h"

// The program's own class: a second start of the real program finds this window by it.
const char BROWSER_CLASS[] = "VESKBROWSER";

class BrowserWindowTest : public ::testing::Test {
 protected:
  // The service's configuration before it starts.
  virtual void configure(vesk::ServiceConfig& config) { (void)config; }
  void SetUp() override {
    vesk::ServiceConfig config = loopback::serviceConfig();
    configure(config);
    service_.reset(new vesk::RenderService(config));
    port_ = service_->start();
    for (const char* file : {"message.txt", "banner.gif", "icon.gif", "vesklogo.gif"})
      program_.write(std::string("res/") + file, loopback::readFile(loopback::sourceDir() + "/res/" + file));
    program_.write("system.ini", "service.host=127.0.0.1\nservice.port=" + std::to_string(port_) + "\n");
    setenv("VWT_DISPLAY", "headless", 1);
    setenv("VWT_SCREEN_SIZE", "240x320", 1);
    setenv("XDG_RUNTIME_DIR", program_.dir.path().c_str(), 1);
  }
  void TearDown() override {
    unsetenv("VWT_INPUT_SCRIPT");
    unsetenv("VWT_SCREEN_SIZE");
    service_->stop();
  }
  std::string url(const std::string& path) { return "http://127.0.0.1:" + std::to_string(port_) + path; }
  std::string shot(const std::string& name) { return program_.dir / name; }
  // The browser's window on commandLine with the script as its input; the loop runs in run().
  MainCanvas* open(const std::string& script, const std::string& commandLine = std::string()) {
    program_.dir.write("input.txt", script);
    setenv("VWT_INPUT_SCRIPT", (program_.dir / "input.txt").c_str(), 1);
    app_.reset(new VeskBrowser());
    app_->setArgument(nullptr, nullptr, wide(commandLine), 1, true);
    MainCanvas* canvas = new MainCanvas(app_.get(), u"veskBrowserQK"_s);
    app_->addFrame(canvas);
    EXPECT_TRUE(canvas->initializeWindow(wide(BROWSER_CLASS), 2, 101, 108, 102));
    return canvas;
  }
  // From another thread: waits until the window shows a page whose URL holds part; false after
  // 20 s. The canvas is asked on the interface thread, which owns it.
  bool waitForPage(MainCanvas* canvas, const std::string& part) {
    for (int i = 0; i < 400; ++i) {
      std::string shown;
      vwt::platform::WindowSystem::get().call([&] {
        if (Page* page = canvas->shownPage()) shown = narrow(page->url);
        return intptr_t{0};
      });
      if (!shown.empty() && shown.find(part) != std::string::npos) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
  }
  std::vector<std::string> pageQueries() {
    std::vector<std::string> out;
    for (const std::string& l : service_->state().log.lines())
      if (l.compare(0, 2, "H ") == 0) out.push_back(l);
    return out;
  }

  ScratchProgram program_;
  std::unique_ptr<vesk::RenderService> service_;
  int port_ = 0;
  std::unique_ptr<VeskBrowser> app_;
};
