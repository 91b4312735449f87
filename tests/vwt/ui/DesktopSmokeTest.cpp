#include <gtest/gtest.h>
#include <stdlib.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>

#include "tests/vwt/ScratchDirectory.h"
#include "tests/vwt/TestText.h"
#include "vwt/lang/AutoPtr.h"
#include "vwt/lang/Exception.h"
#include "vwt/lang/Process.h"
#include "vwt/lang/ProcessBuilder.h"
#include "vwt/platform/WindowSystem.h"
#include "vwt/ui/Application.h"
#include "vwt/ui/Frame.h"
#include "vwt/ui/Graphics.h"

// The desktop back end under a virtual X server runs the same scripted session as the headless one
// and ends with the same screen. Each session is this test program started again.

namespace {

class SessionFrame : public Frame {
 public:
  explicit SessionFrame(Application* app) : Frame(app, u"session"_s) {}
  void onPaint(Graphics* g) override {
    g->setColor(0xFFFFFF);
    g->fillRect(0, 0, getWidth(), getHeight());
    g->setColor(0x208040);
    g->fillRect(x_, y_, 30, 30);
    g->drawString(u"smoke"_s, 10, 30);
  }
  void onKeyPressed(int key) override {
    if (key == KEY_RIGHT) x_ += 20;
    repaint();
  }
  void onPointerPressed(int x, int y) override {
    x_ = x;
    y_ = y;
    repaint();
  }

 private:
  int x_ = 10, y_ = 100;
};

const char SCRIPT[] = "key right\nkey right\ntap 120 200\nidle\nshot %s\nquit\n";

TEST(DesktopSmoke, Session) {
  const char* out = getenv("VWT_TEST_SESSION_OUT");
  if (!out) GTEST_SKIP() << "started by DesktopSmoke.SdlAndHeadlessShowTheSameScreen";
  Application app;
  SessionFrame* frame = new SessionFrame(&app);
  ASSERT_TRUE(frame->initializeWindow(u"DesktopSmoke"_s, 0, 0, 0, 0));
  std::ofstream(std::string(out) + ".kind")
      << (vwt::platform::WindowSystem::get().display().isHeadless() ? "headless" : "desktop");
  EXPECT_EQ(app.run(), 0);
}

int runSession(const ScratchDirectory& dir, const std::string& name, const char* display) {
  std::string shot = dir / (name + ".png");
  char script[256];
  snprintf(script, sizeof script, SCRIPT, shot.c_str());
  dir.write(name + ".txt", script);
  setenv("VWT_INPUT_SCRIPT", (dir / (name + ".txt")).c_str(), 1);
  setenv("VWT_TEST_SESSION_OUT", (dir / name).c_str(), 1);
  setenv("VWT_DISPLAY", display, 1);
  setenv("VWT_SCREEN_SIZE", "240x320", 1);
  setenv("XDG_RUNTIME_DIR", dir.path().c_str(), 1);
  VectorV<String> command;
  command.addElement(Application().getExecutableFileName());
  command.addElement(u"--gtest_filter=DesktopSmoke.Session"_s);
  AutoPtr<Process> session(ProcessBuilder(command).start());
  int status = session->waitFor();
  unsetenv("VWT_INPUT_SCRIPT");
  unsetenv("VWT_TEST_SESSION_OUT");
  return status;
}

TEST(DesktopSmoke, SdlAndHeadlessShowTheSameScreen) {
  ScratchDirectory dir;
  ASSERT_EQ(runSession(dir, "headless", "headless"), 0);
  ASSERT_TRUE(dir.exists("headless.png"));

  // A private X server on a display number of our own, local socket only.
  std::string number = std::to_string(200 + (std::hash<std::string>()(dir.path()) % 500));
  VectorV<String> xvfb;
  xvfb.addElement(u"Xvfb"_s);
  xvfb.addElement(wide(":" + number));
  xvfb.addElement(u"-nolisten"_s);
  xvfb.addElement(u"tcp"_s);
  xvfb.addElement(u"-screen"_s);
  xvfb.addElement(u"0"_s);
  xvfb.addElement(u"800x700x24"_s);
  AutoPtr<Process> server;
  try {
    server.reset(ProcessBuilder(xvfb).start());
  } catch (const Exception&) {
    GTEST_SKIP() << "no Xvfb";
  }
  std::string socket = "/tmp/.X11-unix/X" + number;
  for (int i = 0; i < 100 && !std::filesystem::exists(socket); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  setenv("DISPLAY", (":" + number).c_str(), 1);
  // The desktop libraries SDL loads keep blocks to the end that the leak checker of the sanitizer
  // build would count against us; the headless session above is checked in full.
  const char* asan = getenv("ASAN_OPTIONS");
  std::string saved = asan ? asan : "";
  setenv("ASAN_OPTIONS", (saved.empty() ? std::string("detect_leaks=0") : saved + ":detect_leaks=0").c_str(),
         1);
  int status = runSession(dir, "desktop", "sdl");
  if (asan)
    setenv("ASAN_OPTIONS", saved.c_str(), 1);
  else
    unsetenv("ASAN_OPTIONS");
  unsetenv("DISPLAY");
  server->terminate();
  server->waitFor();
  ASSERT_EQ(status, 0);
  if (dir.read("desktop.kind") != "desktop") GTEST_SKIP() << "the desktop back end did not open a window";
  EXPECT_EQ(dir.read("desktop.png"), dir.read("headless.png"));
}

}  // namespace
