// Every fixture page of the reference service, loaded over loopback and drawn at three zooms,
// against its golden picture.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "browser/page/PageFonts.h"
#include "browser/page/PageRenderer.h"
#include "browser/service/Background.h"
#include "browser/shell/SessionCore.h"
#include "service/RenderService.h"
#include "tests/browser/LoopbackService.h"
#include "tests/browser/page/RendererTestHost.h"
#include "tests/vwt/GoldenPicture.h"
#include "tests/vwt/ScratchDirectory.h"
#include "vwt/lang/System.h"

namespace {

using loopback::readFile;
using loopback::sourceDir;

const char* const GOLDEN_FOLDER = "tests/browser/golden/pictures/";
const int VIEW_WIDTH = 240;

class FixturePageRendererTest : public ::testing::Test {
 protected:
  void SetUp() override {
    vesk::ServiceConfig config = loopback::serviceConfig();
    service_.reset(new vesk::RenderService(config));
    int port = service_->start();
    program_.write("res/message.txt", readFile(sourceDir() + "/res/message.txt"));
    program_.write("system.ini", "service.host=127.0.0.1\nservice.port=" + std::to_string(port) + "\n");
    System::unloadProperties();
    core_.reset(new SessionCore());
  }
  void TearDown() override {
    core_.reset();
    service_->stop();
  }

  ScratchProgram program_;
  std::unique_ptr<vesk::RenderService> service_;
  std::unique_ptr<SessionCore> core_;
};

TEST_F(FixturePageRendererTest, FixturePagesDrawAsTheirGoldenPictures) {
  ASSERT_EQ(1, core_->startSession(true));
  PageFonts fonts;
  fonts.setUp(false, 0, 0, 0);
  RendererTestHost host;
  host.loadIconStrip(sourceDir() + "/res/icon.gif");
  ASSERT_NE(nullptr, host.iconStrip());
  for (const char* name : {"index", "demo/all-items", "demo/images", "demo/notice"}) {
    core_->startPageRequest(String((std::string("http://demo.local/") + name).c_str()));
    core_->waitForWorker(20000);
    ASSERT_EQ(0, core_->getWorker()->getResult()) << name;
    SharedPtr<Page> page = core_->getCurrentPage();
    host.page = page.get();
    host.decodePageImages();
    std::string file = name;
    for (char& c : file)
      if (c == '/') c = '-';
    for (int zoom : {50, 100, 150}) {
      PageRenderer renderer(&host, &fonts);
      renderer.setZoom(zoom);
      renderer.setViewSize(VIEW_WIDTH, std::max(zoom * page->height / 100, 1));
      renderer.updateBuffer();
      std::string shotName = "page-" + file + "-" + std::to_string(zoom) + ".png";
      std::string shot = program_.dir / shotName;
      ASSERT_TRUE(rendertest::writePng(renderer.buffer(), shot));
      EXPECT_TRUE(golden::matches(shot, shotName, GOLDEN_FOLDER)) << name << " at " << zoom;
    }
    host.page = nullptr;
  }
}

}  // namespace
