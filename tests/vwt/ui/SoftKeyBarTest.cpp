#include <gtest/gtest.h>
#include <stdlib.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/vwt/GoldenPicture.h"
#include "tests/vwt/ScratchDirectory.h"
#include "tests/vwt/TestText.h"
#include "vwt/platform/SoftKeyBar.h"
#include "vwt/platform/WindowSystem.h"
#include "vwt/ui/Application.h"
#include "vwt/ui/Frame.h"
#include "vwt/ui/Graphics.h"

using namespace vwt::platform;

namespace {

// A frame that writes down its keys and taps, and relabels its soft keys on the key 1.
class BarFrame : public Frame {
 public:
  explicit BarFrame(Application* app) : Frame(app, u"bar"_s) {}
  void onCreate() override {
    Frame::onCreate();
    setSoftLabel(SOFT_KEY_LEFT, u"Menu"_s);
    setSoftLabel(SOFT_KEY_RIGHT, u"Back"_s);
  }
  void onKeyPressed(int key) override {
    log.push_back("press " + std::to_string(key));
    if (key == 1) setSoftLabel(SOFT_KEY_RIGHT, u"Close"_s);
    if (key == 2) {
      setFullScreen(true);
      log.push_back("height " + std::to_string(getHeight()));
      barVisible = WindowSystem::get().isVisible(WindowSystem::get().findWindow(u"vwtSoftKeyBar"));
    }
  }
  void onPointerPressed(int x, int y) override {
    log.push_back("down " + std::to_string(x) + "," + std::to_string(y));
  }
  void onPaint(Graphics* g) override {
    g->setColor(0xFFFFFF);
    g->fillRect(0, 0, getWidth(), getHeight());
  }
  std::vector<std::string> log;
  bool barVisible = true;
};

class SoftKeyBarTest : public ::testing::Test {
 protected:
  SoftKeyBarTest() {
    setenv("VWT_DISPLAY", "headless", 1);
    setenv("VWT_SCREEN_SIZE", "240x320", 1);
    setenv("XDG_RUNTIME_DIR", dir.path().c_str(), 1);
  }
  ~SoftKeyBarTest() override {
    unsetenv("VWT_INPUT_SCRIPT");
    unsetenv("VWT_SCREEN_SIZE");
  }
  BarFrame* open(const std::string& script) {
    dir.write("input.txt", script);
    setenv("VWT_INPUT_SCRIPT", (dir / "input.txt").c_str(), 1);
    BarFrame* frame = new BarFrame(app.get());
    EXPECT_TRUE(frame->initializeWindow(u"SoftKeyBarTestClass"_s, 0, 0, 0, 0));
    return frame;
  }
  ScratchDirectory dir;
  std::unique_ptr<Application> app{new Application()};
};

TEST_F(SoftKeyBarTest, ATapOnAButtonSendsItsSoftKeyCommand) {
  // Left, right, then a press taken back by a release on the other button.
  BarFrame* f = open("tap 30 300\ntap 200 300\npress 30 300\nrelease 200 300\nkey 3\nquit\n");
  WindowHandle bar = WindowSystem::get().findWindow(u"vwtSoftKeyBar");
  ASSERT_NE(bar, 0);
  PixelRect r = WindowSystem::get().getScreenRect(bar);
  EXPECT_EQ(r.y0, 320 - Frame::DEFAULT_MENU_BAR_HEIGHT);
  EXPECT_EQ(r.x1 - r.x0, 240);
  EXPECT_EQ(WindowSystem::get().getActive(), f->getHandle()) << "the bar never takes the activation";
  app->run();
  EXPECT_EQ(f->log, (std::vector<std::string>{"press 21", "press 22", "press 3"}));
}

TEST_F(SoftKeyBarTest, TheBarShowsItsLabelsAndRepaintsWhenOneChanges) {
  std::string before = dir / "before.png", after = dir / "after.png";
  BarFrame* f = open("shot " + before + "\nkey 1\nshot " + after + "\nquit\n");
  app->run();
  EXPECT_EQ(narrow(f->getSoftLabel(Frame::SOFT_KEY_RIGHT)), "Close");
  EXPECT_TRUE(golden::matches(before, "soft-key-bar.png"));
  EXPECT_TRUE(golden::matches(after, "soft-key-bar-relabelled.png"));
}

TEST_F(SoftKeyBarTest, FullScreenHidesTheBarAndTheFrameTakesItsRoom) {
  BarFrame* f = open("key 2\ntap 30 300\nquit\n");
  app->run();
  EXPECT_FALSE(f->barVisible);
  EXPECT_EQ(f->log, (std::vector<std::string>{"press 2", "height 320", "down 30,300"}));
}

}  // namespace
