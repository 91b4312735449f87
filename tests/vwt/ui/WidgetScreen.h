#pragma once
// A headless screen with a main frame for widget tests: the frame paints itself FRAME_COLOR, the
// program directory holds the real message texts, and pixels are read off the composed screen.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdint>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "tests/vwt/ScratchDirectory.h"
#include "vwt/platform/ScreenMetrics.h"
#include "vwt/platform/WindowSystem.h"
#include "vwt/ui/Application.h"
#include "vwt/ui/Frame.h"
#include "vwt/ui/Graphics.h"

class WidgetFrame : public Frame {
 public:
  static const int FRAME_COLOR = 0x336699;
  explicit WidgetFrame(Application* app) : Frame(app, u"widgets"_s) {}
  void onPaint(Graphics* g) override {
    g->setColor(FRAME_COLOR);
    g->fillRect(0, 0, getWidth(), getHeight());
  }
  void processTapStatusbar(int x, int y) override {
    tapX = x;
    tapY = y;
    ++taps;
  }
  int tapX = -1, tapY = -1, taps = 0;
};

class WidgetScreen : public ::testing::Test {
 protected:
  // The frame is the screen less the soft-key bar's 52 pixels.
  explicit WidgetScreen(int screenWidth = 240, int screenHeight = 320) {
    setenv("VWT_DISPLAY", "headless", 1);
    // The size is read once per process: the variable keeps the properties from changing it.
    setenv("VWT_SCREEN_SIZE", "240x320", 1);
    vwt::platform::setScreenSize(screenWidth, screenHeight);
    setenv("XDG_RUNTIME_DIR", program.dir.path().c_str(), 1);
    std::ifstream texts(std::string(VWT_SOURCE_DIR) + "/res/message.txt", std::ios::binary);
    std::stringstream bytes;
    bytes << texts.rdbuf();
    program.write("res/message.txt", bytes.str());
  }
  ~WidgetScreen() override {
    app.reset();
    vwt::platform::setScreenSize(240, 320);
    unsetenv("VWT_INPUT_SCRIPT");
    unsetenv("VWT_SCREEN_SIZE");
  }

  // The main frame's window, with script (if any) as the input; the application owns the frame.
  WidgetFrame* open(const std::string& script = std::string()) {
    if (!script.empty()) {
      program.dir.write("input.txt", script);
      setenv("VWT_INPUT_SCRIPT", (program.dir / "input.txt").c_str(), 1);
    }
    frame = new WidgetFrame(app.get());
    EXPECT_TRUE(frame->initializeWindow(u"WidgetTestFrame"_s, 0, 0, 0, 0));
    return frame;
  }

  // Paints what is dirty, then reads the screen pixel as 0x00RRGGBB.
  static uint32_t pixel(int x, int y) {
    vwt::platform::WindowSystem& ws = vwt::platform::WindowSystem::get();
    ws.update();
    vwt::platform::PixelTarget t = ws.screen();
    return t.pixels[static_cast<ptrdiff_t>(y) * t.stride + x] & 0xFFFFFFu;
  }

  ScratchProgram program;
  std::unique_ptr<Application> app{new Application()};
  WidgetFrame* frame = nullptr;
};
