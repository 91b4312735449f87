// The browser's window end to end: the real canvas, headless, with scripted input, against the
// reference service in this process on loopback.
#include <gtest/gtest.h>
#include <httplib.h>
#include <stdlib.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "browser/page/Page.h"
#include "browser/page/PageInteraction.h"
#include "browser/page/PageRenderer.h"
#include "browser/shell/MainCanvas.h"
#include "browser/shell/OpenCommand.h"
#include "browser/shell/SessionCore.h"
#include "browser/shell/VeskBrowser.h"
#include "service/RenderService.h"
#include "tests/browser/BrowserWindowTest.h"
#include "tests/browser/LoopbackService.h"
#include "tests/vwt/GoldenPicture.h"
#include "tests/vwt/ScratchDirectory.h"
#include "tests/vwt/TestText.h"
#include "vwt/lang/AutoPtr.h"
#include "vwt/lang/Process.h"
#include "vwt/lang/ProcessBuilder.h"
#include "vwt/lang/VectorV.h"
#include "vwt/platform/PngWriter.h"
#include "vwt/platform/Surface.h"
#include "vwt/platform/WindowSystem.h"
#include "vwt/ui/Graphics.h"
#include "vwt/ui/Image.h"

namespace {

class MainCanvasTest : public BrowserWindowTest {};

TEST_F(MainCanvasTest, TheFirstPaintIsTheBannerInTheMiddle) {
  struct Case {
    int width, height;
    const char* golden;
  } cases[] = {{240, 320, "browser-banner.png"},          // 224 wide: drawn once
               {480, 320, "browser-banner-double.png"},   // twice, never more
               {200, 120, "browser-banner-narrow.png"}};  // wider than the view: its own size
  // The banner is decoded by the application's picture decoder.
  app_.reset(new VeskBrowser());
  app_->setArgument(nullptr, nullptr, String(), 1, true);
  for (const Case& c : cases) {
    AutoPtr<Image> screen(Image::createImage(c.width, c.height, 0));
    MainCanvas::drawSplash(screen->getGraphics(), c.width, c.height);
    std::string file = shot(c.golden);
    vwt::platform::writePng(file, screen->getSurface()->target());
    EXPECT_TRUE(golden::matches(file, c.golden)) << c.golden;
  }
  // The canvas's first paint is that splash, and the start-up waits for the next one.
  AutoPtr<Image> screen(Image::createImage(240, 320, 0));
  MainCanvas* canvas = new MainCanvas(app_.get(), u"veskBrowserQK"_s);  // the application owns it
  app_->addFrame(canvas);
  EXPECT_EQ(canvas->getStartState(), MainCanvas::STATE_NOTHING_DRAWN);
  canvas->onPaint(screen->getGraphics());
  EXPECT_EQ(canvas->getStartState(), MainCanvas::STATE_SPLASH_DRAWN);
}

TEST_F(MainCanvasTest, StartsOnThePortalWithTheHandsetsFontMeasures) {
  std::string file = shot("start.png");
  MainCanvas* canvas = open("idle\nshot " + file + "\nquit\n");
  EXPECT_EQ(app_->run(), 0);
  (void)canvas;
  EXPECT_TRUE(golden::matches(file, "browser-start-page.png"));
  std::vector<std::string> queries = pageQueries();
  ASSERT_EQ(queries.size(), 1u);
  // The start page by its URL, with the measures of the fonts the window draws with.
  std::string portal = "u=http%3A%2F%2F127.0.0.1%3A" + std::to_string(port_) + "%2Fportal%2FindexQK.jsp&";
  EXPECT_NE(queries[0].find(portal), std::string::npos) << queries[0];
  for (const char* field : {"&fa=", "&fb=", "&fh=", "&fw=", "&cw="})
    EXPECT_NE(queries[0].find(field), std::string::npos) << field;
}

TEST_F(MainCanvasTest, ALinkTapOpensItsPageAndBackAndForwardShowKeptPagesWithoutARequest) {
  std::string first = shot("followed.png"), back = shot("back.png");
  // The portal's first fixture link, "demo/all-items", below the title and the list's heading.
  MainCanvas* canvas = open("idle\ntap 30 54\nidle\nshot " + first + "\nkey backspace\nidle\nshot " + back +
                            "\nkey soft2\nkey 2\nidle\nquit\n");
  app_->run();
  std::vector<std::string> queries = pageQueries();
  ASSERT_EQ(queries.size(), 2u) << "the start page and the link; back and forward ask nothing";
  EXPECT_NE(queries[1].find("all-items"), std::string::npos) << queries[1];
  EXPECT_NE(narrow(canvas->shownPage()->url).find("all-items"), std::string::npos) << "forward again";
  EXPECT_TRUE(golden::matches(first, "browser-all-items.png"));
  EXPECT_TRUE(golden::matches(back, "browser-start-page.png"));
}

TEST_F(MainCanvasTest, ArrowKeysMoveThePointerAndTheViewFollowsItToThePagesEnd) {
  std::string tapped = shot("tapped.png"), held = shot("held.png");
  // Two short taps move the pointer a line each; a held key speeds up until the page's end stops it.
  MainCanvas* canvas =
      open("idle\nkey down\nkey down\nidle\nshot " + tapped +
               "\nkey down down\nwait 1500\nkey down up\nkey right down\nwait 300\nkey right up\n"
               "idle\nshot " +
               held + "\nquit\n",
           url("/demo/all-items"));
  app_->run();
  ASSERT_NE(canvas->shownPage(), nullptr);
  PageRenderer* r = canvas->getRenderer();
  PageInteraction* i = canvas->getInteraction();
  EXPECT_EQ(r->viewHeight(), 268);
  // The page is about 240 x 420 in a 240 x 268 view: the pointer rests on the last row it may take,
  // the view shows the page's end, and the page is too narrow to move sideways.
  int pageHeight = canvas->shownPage()->height;
  EXPECT_GT(pageHeight, 268 + 4 * 32);
  EXPECT_EQ(r->scrollY(), pageHeight - 268);
  EXPECT_LT(i->pointerY(), pageHeight);
  EXPECT_GT(i->pointerY(), pageHeight - 40);
  EXPECT_EQ(r->scrollX(), 0);
  EXPECT_TRUE(golden::matches(tapped, "browser-all-items-key-taps.png"));
  EXPECT_TRUE(golden::matches(held, "browser-all-items-scrolled.png"));
}

TEST_F(MainCanvasTest, ANewerServiceEndsTheProgramAfterItsNotice) {
  httplib::Client control("127.0.0.1", port_);
  auto r = control.Get("/control/next?do=version&v=9999");
  ASSERT_TRUE(r && r->status == 200);
  // The notice takes the queued answer; the window then closes by itself, before the script's end.
  MainCanvas* canvas = open("answer 0\nidle\nidle\nidle\nquit\n");
  EXPECT_EQ(app_->run(), 0);
  EXPECT_TRUE(canvas->getSession().getSessionValues().pendingState.isNull());
  EXPECT_TRUE(canvas->getSession().getMessages().empty()) << "the notice was shown";
  EXPECT_EQ(canvas->getHandle(), 0);
}

TEST_F(MainCanvasTest, ANewWindowSizeGetsBuffersOfThatSize) {
  MainCanvas* canvas = open("idle\n");
  int viewWidth = 0, viewHeight = 0;
  std::thread resize([&] {
    // After the start page, as a resized desktop window would.
    waitForPage(canvas, "/portal/");
    vwt::platform::WindowSystem::get().call([&] {
      canvas->setSize(200, 150);
      viewWidth = canvas->getRenderer()->viewWidth();
      viewHeight = canvas->getRenderer()->viewHeight();
      app_->terminate();
      return intptr_t{0};
    });
  });
  app_->run();
  resize.join();
  EXPECT_EQ(viewWidth, 200);
  EXPECT_EQ(viewHeight, 150);
}

// A second start hands its URL to the running window and ends.
TEST_F(MainCanvasTest, ASecondStartOpensItsUrlInTheRunningWindow) {
  MainCanvas* canvas = open("idle\n");
  unsetenv("VWT_INPUT_SCRIPT");  // the second start runs no script
  std::string target = url("/demo/notice");
  std::atomic<int> bareExit{-1}, secondExit{-1};
  std::atomic<bool> opened{false};
  std::thread second([&] {
    // Without a parameter a second start hands nothing over; with one, its URL.
    VectorV<String> command;
    command.addElement(wide(VESK_BROWSER_PROGRAM));
    bareExit = AutoPtr<Process>(ProcessBuilder(command).start())->waitFor();
    command.addElement(wide(target));
    secondExit = AutoPtr<Process>(ProcessBuilder(command).start())->waitFor();
    // The request it caused ends with the notice shown; then the window closes.
    opened = waitForPage(canvas, "/demo/notice");
    vwt::platform::WindowSystem::get().call([&] {
      app_->terminate();
      return intptr_t{0};
    });
  });
  app_->run();
  second.join();
  EXPECT_EQ(bareExit, 1);
  EXPECT_EQ(secondExit, 1) << "the second start ends once it has handed over";
  EXPECT_TRUE(opened);
  std::vector<std::string> queries = pageQueries();
  ASSERT_EQ(queries.size(), 2u) << "the start page and the handed-over one";
  EXPECT_NE(queries[1].find("notice"), std::string::npos) << queries[1];
}

}  // namespace
