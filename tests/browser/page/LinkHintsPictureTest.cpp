// Link hints over pages of the reference service, loaded over loopback and drawn, against golden pictures.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "browser/page/HitTest.h"
#include "browser/page/LinkHints.h"
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
#include "vwt/ui/Graphics.h"

namespace {

using loopback::readFile;
using loopback::sourceDir;

const char* const GOLDEN_FOLDER = "tests/browser/golden/pictures/";
const int VIEW_WIDTH = 240;
const int VIEW_HEIGHT = 320;

// A crowded page of the kind hints are for: a column of headlines, a row of small page numbers, a
// search form, and more headlines below the view.
const char* const HEADLINES = R"(page title="Headlines" background=0xFFFFFF width=236 height=520
item TEXT x=4 y=4 w=228 h=14 color=0x000000 text="Today" flags=0x2
item TEXT id=h0 x=4 y=22 w=200 h=14 color=0x0000CC text="Rain expected over the weekend" flags=0x1
item TEXT id=h1 x=4 y=38 w=150 h=14 color=0x0000CC text="Harbour bridge reopens" flags=0x1
item TEXT id=h2 x=4 y=54 w=180 h=14 color=0x0000CC text="Local team wins the final" flags=0x1
item TEXT id=h3 x=4 y=70 w=120 h=14 color=0x0000CC text="Market prices" flags=0x1
item TEXT id=h4 x=4 y=86 w=210 h=14 color=0x0000CC text="New library opens in the old mill" flags=0x1
item TEXT id=h5 x=4 y=102 w=90 h=14 color=0x0000CC text="Road works" flags=0x1
item TEXT id=h6 x=4 y=118 w=160 h=14 color=0x0000CC text="Concert in the park" flags=0x1
item TEXT id=h7 x=4 y=134 w=140 h=14 color=0x0000CC text="School holidays" flags=0x1
item TEXT x=4 y=156 w=40 h=14 color=0x000000 text="Pages" flags=0
item TEXT id=p1 x=48 y=156 w=8 h=14 color=0x0000CC text="1" flags=0x1
item TEXT id=p2 x=62 y=156 w=8 h=14 color=0x0000CC text="2" flags=0x1
item TEXT id=p3 x=76 y=156 w=8 h=14 color=0x0000CC text="3" flags=0x1
item TEXT id=p4 x=90 y=156 w=8 h=14 color=0x0000CC text="4" flags=0x1
item TEXT_FIELD id=q x=4 y=180 w=140 h=18 color=0x000000 color2=0xFFFFFF text="" name="q" flags=0
item BUTTON id=go x=150 y=180 w=60 h=18 color=0x000000 text="Search" name="go" flags=0
item CHECKBOX id=all x=4 y=204 w=12 h=12 text="on" name="all" flags=0
item TEXT x=20 y=204 w=120 h=14 color=0x000000 text="Search the archive" flags=0
item TEXT id=w0 x=4 y=230 w=200 h=14 color=0x0000CC text="Weather for the week ahead" flags=0x1
item TEXT id=w1 x=4 y=300 w=200 h=14 color=0x0000CC text="Letters to the editor" flags=0x1
item TEXT id=w2 x=4 y=400 w=200 h=14 color=0x0000CC text="Below the view" flags=0x1
struct LINK text="http://demo.local/a/0" refs=h0
struct LINK text="http://demo.local/a/1" refs=h1
struct LINK text="http://demo.local/a/2" refs=h2
struct LINK text="http://demo.local/a/3" refs=h3
struct LINK text="http://demo.local/a/4" refs=h4
struct LINK text="http://demo.local/a/5" refs=h5
struct LINK text="http://demo.local/a/6" refs=h6
struct LINK text="http://demo.local/a/7" refs=h7
struct LINK text="http://demo.local/p/1" refs=p1
struct LINK text="http://demo.local/p/2" refs=p2
struct LINK text="http://demo.local/p/3" refs=p3
struct LINK text="http://demo.local/p/4" refs=p4
struct CONTROL id=cq refs=q,form
struct CONTROL id=cgo refs=go,form
struct CONTROL id=call refs=all,form
struct FORM id=form text="http://demo.local/search" m=0 e=0 refs=cq,cgo,call
struct LINK text="http://demo.local/w/0" refs=w0
struct LINK text="http://demo.local/w/1" refs=w1
struct LINK text="http://demo.local/w/2" refs=w2
)";

class LinkHintsPictureTest : public ::testing::Test {
 protected:
  void TearDown() override {
    core_.reset();
    if (service_) service_->stop();
  }

  // The service over fixtureDir, a session and the page at url.
  void load(const std::string& fixtureDir, const String& url) {
    vesk::ServiceConfig config = loopback::serviceConfig();
    config.fixtureDir = fixtureDir;
    service_.reset(new vesk::RenderService(config));
    int port = service_->start();
    program_.write("res/message.txt", readFile(sourceDir() + "/res/message.txt"));
    program_.write("system.ini", "service.host=127.0.0.1\nservice.port=" + std::to_string(port) + "\n");
    System::unloadProperties();
    core_.reset(new SessionCore());
    ASSERT_EQ(1, core_->startSession(true));
    core_->startPageRequest(url);
    core_->waitForWorker(20000);
    ASSERT_EQ(0, core_->getWorker()->getResult());
    page_ = core_->getCurrentPage();
    ASSERT_NE(nullptr, page_.get());
  }

  // The page at zoom 100 with the hints over it, written to shotName and compared.
  void expectPicture(LinkHints& hints, const std::string& shotName) {
    PageFonts fonts;
    fonts.setUp(false, 0, 0, 0);
    RendererTestHost host;
    host.loadIconStrip(sourceDir() + "/res/icon.gif");
    host.page = page_.get();
    host.decodePageImages();
    PageRenderer renderer(&host, &fonts);
    renderer.setZoom(100);
    renderer.setViewSize(VIEW_WIDTH, VIEW_HEIGHT);
    renderer.updateBuffer();
    Graphics g(renderer.buffer()->getSurface());
    hints.draw(g, fonts.interfaceFont(), 0, 0);
    std::string shot = program_.dir / shotName;
    ASSERT_TRUE(rendertest::writePng(renderer.buffer(), shot));
    EXPECT_TRUE(golden::matches(shot, shotName, GOLDEN_FOLDER)) << shotName;
    host.page = nullptr;
  }

  ScratchProgram program_;
  std::unique_ptr<vesk::RenderService> service_;
  std::unique_ptr<SessionCore> core_;
  SharedPtr<Page> page_;
};

TEST_F(LinkHintsPictureTest, OneLetterOnEachLinkAreaAndControlOfTheFixturePage) {
  load(sourceDir() + "/service/fixtures", u"http://demo.local/demo/all-items"_s);
  LinkHints hints;
  hints.show(*page_, 0, 0, VIEW_WIDTH, VIEW_HEIGHT, 100, false);
  ASSERT_EQ(hints.count(), 4) << "the link, the map area and two controls";
  expectPicture(hints, "hints-all-items.png");
}

TEST_F(LinkHintsPictureTest, TwoLettersOnACrowdedPageAndTheTypedLetterDimmed) {
  program_.write("fixtures/headlines.page", HEADLINES);
  load(program_.programDirectory() + "fixtures", u"http://demo.local/headlines"_s);
  LinkHints hints;
  hints.show(*page_, 0, 0, VIEW_WIDTH, VIEW_HEIGHT, 100, false);
  ASSERT_EQ(hints.count(), 17) << "every link and control but the one below the view";
  expectPicture(hints, "hints-headlines.png");
  ASSERT_EQ(hints.type(u'a'), LinkHints::PENDING);
  expectPicture(hints, "hints-headlines-typed.png");
}

}  // namespace
