#include <dlfcn.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "vwt/platform/Display.h"
#include "vwt/platform/SdlDisplay.h"

extern char** environ;

using vwt::platform::createSdlDisplay;
using vwt::platform::Display;
using vwt::platform::InputSink;
using vwt::platform::PixelRect;
using vwt::platform::PixelTarget;

// SDL opens a D-Bus connection for the input method that libdbus keeps for the whole process.
extern "C" const char* __lsan_default_suppressions() { return "leak:libdbus-1.so\n"; }

namespace {

// An X server of our own, on a display number it picks itself, reachable only through its local
// socket, and not starting afresh whenever its last window goes. Tests skip when the machine has none.
class VirtualScreen {
 public:
  VirtualScreen() {
    if (access("/usr/bin/Xvfb", X_OK) != 0) return;
    int out[2];
    if (pipe(out) != 0) return;
    std::string fd = std::to_string(out[1]);
    const char* argv[] = {"/usr/bin/Xvfb", "-displayfd", fd.c_str(), "-screen",  "0",
                          "1024x768x24",   "-nolisten",  "tcp",      "-noreset", nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    if (posix_spawn(&pid_, argv[0], &actions, nullptr, const_cast<char**>(argv), environ) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    // The server writes its display number once it accepts clients; 20 seconds is a hang guard.
    std::string number;
    auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (pid_ > 0 && std::chrono::steady_clock::now() < end) {
      pollfd p = {out[0], POLLIN, 0};
      if (poll(&p, 1, 100) != 1) continue;
      char c;
      if (read(out[0], &c, 1) != 1 || c == '\n') break;
      number += c;
    }
    close(out[0]);
    if (!number.empty()) display_ = ":" + number;
  }
  ~VirtualScreen() {
    if (pid_ > 0) {
      kill(pid_, SIGTERM);
      waitpid(pid_, nullptr, 0);
    }
  }
  const std::string& display() const { return display_; }

 private:
  pid_t pid_ = -1;
  std::string display_;
};

class NullSink : public InputSink {
 public:
  void keyDown(int, bool) override {}
  void keyUp(int) override {}
  void character(char16_t) override {}
  void pointerDown(int, int) override {}
  void pointerMove(int, int) override {}
  void pointerUp(int, int) override {}
  void wheel(int) override {}
  void closeRequested() override {}
  void resized(int, int) override {}
};

class SdlDisplayTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    // SDL loads the X libraries itself and unloads them when it quits; kept loaded here, what they
    // keep for the process can be told apart from a leak of ours.
    for (const char* library :
         {"libX11.so.6", "libX11-xcb.so.1", "libxcb.so.1", "libXi.so.6", "libXext.so.6", "libXcursor.so.1",
          "libXrandr.so.2", "libXfixes.so.3", "libXss.so.1", "libxkbcommon.so.0"}) {
      dlopen(library, RTLD_NOW | RTLD_GLOBAL);
    }
    screen_ = new VirtualScreen();
  }
  static void TearDownTestSuite() {
    delete screen_;
    screen_ = nullptr;
  }
  void SetUp() override {
    if (screen_->display().empty()) GTEST_SKIP() << "no Xvfb here";
    const char* old = getenv("DISPLAY");
    oldDisplay_ = old != nullptr ? old : "";
    setenv("DISPLAY", screen_->display().c_str(), 1);
    setenv("SDL_VIDEODRIVER", "x11", 1);
    // SDL's own renderer on a plain X framebuffer: exact pixels whatever OpenGL the machine has, and
    // no OpenGL driver loaded and unloaded per window.
    setenv("SDL_RENDER_DRIVER", "software", 1);
    setenv("SDL_FRAMEBUFFER_ACCELERATION", "0", 1);
  }
  void TearDown() override {
    if (oldDisplay_.empty()) {
      unsetenv("DISPLAY");
    } else {
      setenv("DISPLAY", oldDisplay_.c_str(), 1);
    }
    unsetenv("SDL_VIDEODRIVER");
    unsetenv("SDL_RENDER_DRIVER");
    unsetenv("SDL_FRAMEBUFFER_ACCELERATION");
  }
  std::unique_ptr<Display> open(int width, int height, int scale) {
    std::string error;
    std::unique_ptr<Display> display = createSdlDisplay(width, height, scale, &error);
    if (!display) ADD_FAILURE() << "SDL cannot open a window on Xvfb: " << error;
    return display;
  }

  static VirtualScreen* screen_;
  std::string oldDisplay_;
};

VirtualScreen* SdlDisplayTest::screen_ = nullptr;

// The handset pixel (x, y) as the window shows it, when every desktop pixel of its square agrees.
uint32_t shown(const std::vector<uint32_t>& window, int windowWidth, int scale, int x, int y) {
  uint32_t first = window[static_cast<size_t>(y * scale) * windowWidth + x * scale];
  for (int dy = 0; dy < scale; ++dy) {
    for (int dx = 0; dx < scale; ++dx) {
      if (window[static_cast<size_t>(y * scale + dy) * windowWidth + x * scale + dx] != first)
        return 0xDEADBEEF;
    }
  }
  return first | 0xFF000000u;
}

TEST_F(SdlDisplayTest, ShowsTheScreenScaledAndTakesOnlyTheDirtyArea) {
  const int w = 24, h = 32;
  std::unique_ptr<Display> display = open(w, h, 3);
  ASSERT_NE(display, nullptr);
  EXPECT_FALSE(display->isHeadless());
  EXPECT_EQ(vwt::platform::sdlDisplayScale(*display), 3);
  int sw = 0, sh = 0;
  display->size(&sw, &sh);
  EXPECT_EQ(sw, w);
  EXPECT_EQ(sh, h);
  display->setTitle(u"vwt \u30C6\u30B9\u30C8"_s);

  std::vector<uint32_t> pixels(static_cast<size_t>(w) * h);
  auto paint = [&](uint32_t salt) {
    for (int y = 0; y < h; ++y) {
      for (int x = 0; x < w; ++x) pixels[y * w + x] = 0xFF000000u | ((x * 10) << 16) | ((y * 7) << 8) | salt;
    }
  };
  PixelTarget screen;
  screen.pixels = pixels.data();
  screen.stride = w;
  screen.width = w;
  screen.height = h;
  paint(0x11);
  display->present(screen, PixelRect{0, 0, w, h});

  // Everything changes, but only a 5 x 4 area is said to: the rest must stay as it was.
  paint(0x99);
  PixelRect dirty{3, 6, 8, 10};
  display->present(screen, dirty);

  std::vector<uint32_t> window;
  int ww = 0, wh = 0;
  ASSERT_TRUE(vwt::platform::readSdlWindow(*display, &window, &ww, &wh));
  ASSERT_EQ(ww, w * 3);
  ASSERT_EQ(wh, h * 3);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      bool inside = x >= dirty.x0 && x < dirty.x1 && y >= dirty.y0 && y < dirty.y1;
      uint32_t want = 0xFF000000u | ((x * 10) << 16) | ((y * 7) << 8) | (inside ? 0x99 : 0x11);
      ASSERT_EQ(shown(window, ww, 3, x, y), want) << x << "," << y;
    }
  }
}

TEST_F(SdlDisplayTest, ScaleComesDownToFitTheDesktop) {
  // 1024 x 768 holds 240 x 320 twice but not three times.
  std::unique_ptr<Display> display = open(240, 320, 4);
  ASSERT_NE(display, nullptr);
  EXPECT_EQ(vwt::platform::sdlDisplayScale(*display), 2);
}

TEST_F(SdlDisplayTest, TheClipboardIsTheDesktops) {
  std::unique_ptr<Display> display = open(16, 16, 1);
  ASSERT_NE(display, nullptr);
  EXPECT_TRUE(display->setClipboardText(u"日本 text\r\nline"));
  std::u16string back;
  EXPECT_TRUE(display->getClipboardText(&back));
  EXPECT_EQ(back, u"日本 text\r\nline");
}

TEST_F(SdlDisplayTest, WakeFromAnotherThreadEndsTheWait) {
  std::unique_ptr<Display> display = open(16, 16, 1);
  ASSERT_NE(display, nullptr);
  NullSink sink;
  // Drain what the new window reported about itself.
  for (int i = 0; i < 10; ++i) display->waitEvents(0, sink);
  std::thread other([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    display->wake();
  });
  // 60 seconds is only a guard: the wake ends the wait long before.
  auto start = std::chrono::steady_clock::now();
  display->waitEvents(60000, sink);
  other.join();
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(60));
}

// Writes down every delivery, one line each.
class RecordingSink : public InputSink {
 public:
  void keyDown(int vk, bool repeat) override { add("down " + hex(vk) + (repeat ? " repeat" : "")); }
  void keyUp(int vk) override { add("up " + hex(vk)); }
  void character(char16_t c) override { add("char " + hex(c)); }
  void pointerDown(int x, int y) override { add("press " + std::to_string(x) + " " + std::to_string(y)); }
  void pointerMove(int x, int y) override { add("move " + std::to_string(x) + " " + std::to_string(y)); }
  void pointerUp(int x, int y) override { add("release " + std::to_string(x) + " " + std::to_string(y)); }
  void wheel(int steps) override { add("wheel " + std::to_string(steps)); }
  void closeRequested() override { add("close"); }
  void resized(int w, int h) override { add("resized " + std::to_string(w) + " " + std::to_string(h)); }

  std::vector<std::string> lines;

 private:
  static std::string hex(int v) {
    char text[16];
    snprintf(text, sizeof text, "%02X", v);
    return text;
  }
  void add(const std::string& line) { lines.push_back(line); }
};

// Runs xdotool against the virtual screen; its first line of output.
std::string xdotool(const std::string& arguments) {
  std::string command = "timeout 20 xdotool " + arguments + " 2>/dev/null";
  FILE* out = popen(command.c_str(), "r");
  if (out == nullptr) return std::string();
  char line[256] = {0};
  if (fgets(line, sizeof line, out) == nullptr) line[0] = 0;
  pclose(out);
  std::string s(line);
  while (!s.empty() && (s.back() == '\n' || s.back() == '\r')) s.pop_back();
  return s;
}

TEST_F(SdlDisplayTest, DesktopInputReachesTheSinkAsHandsetInput) {
  if (access("/usr/bin/xdotool", X_OK) != 0) GTEST_SKIP() << "no xdotool here";
  std::unique_ptr<Display> display = open(100, 100, 2);
  ASSERT_NE(display, nullptr);
  std::string title = "vwt-input-" + std::to_string(getpid());
  display->setTitle(
      String(std::u16string(title.begin(), title.end()).c_str(), 0, static_cast<int>(title.size())));
  RecordingSink sink;
  for (int i = 0; i < 10; ++i) display->waitEvents(10, sink);
  std::string window = xdotool("search --sync --name " + title);
  ASSERT_FALSE(window.empty());
  xdotool("windowfocus --sync " + window);
  for (int i = 0; i < 10; ++i) display->waitEvents(10, sink);
  sink.lines.clear();

  // Shift with 3 stays two keys, the toolkit makes "#" of them (xdotool lets go of shift first). The
  // text "3" and "#" the desktop also reports is dropped: the window system types digits itself. "a"
  // is only text.
  xdotool("key --delay 20 F1 F2 3 shift+3 Return Escape BackSpace Up Down Left Right KP_Multiply a");
  xdotool("mousemove --window " + window + " 21 41 mousedown 1 mousemove --window " + window +
          " 61 81 mouseup 1 click 4 click 5");
  // F1, F2, 3, shift+3, select, escape, backspace, the arrows, the keypad's "*", the text "a", a
  // stroke in desktop pixels halved, the wheel away and back.
  const std::vector<std::string> want = {
      "down 70", "up 70", "down 71", "up 71",       "down 33",    "up 33",         "down 10", "down 33",
      "up 10",   "up 33", "down 0D", "up 0D",       "down 1B",    "up 1B",         "down 08", "up 08",
      "down 26", "up 26", "down 28", "up 28",       "down 25",    "up 25",         "down 27", "up 27",
      "down 2A", "up 2A", "char 61", "press 10 20", "move 30 40", "release 30 40", "wheel 1", "wheel -1"};
  // A hang guard: events normally arrive within milliseconds.
  for (int i = 0; i < 200 && sink.lines.size() < want.size(); ++i) display->waitEvents(50, sink);
  EXPECT_EQ(sink.lines, want);

  // A resized desktop window is a new screen size in handset pixels, and the next picture fills it.
  sink.lines.clear();
  xdotool("windowsize " + window + " 300 240");
  for (int i = 0; i < 200 && sink.lines.empty(); ++i) display->waitEvents(50, sink);
  EXPECT_EQ(sink.lines, std::vector<std::string>{"resized 150 120"});
  int sw = 0, sh = 0;
  display->size(&sw, &sh);
  EXPECT_EQ(sw, 150);
  EXPECT_EQ(sh, 120);
  std::vector<uint32_t> pixels(150 * 120, 0xFF3366CCu);
  PixelTarget screen;
  screen.pixels = pixels.data();
  screen.stride = 150;
  screen.width = 150;
  screen.height = 120;
  display->present(screen, PixelRect{0, 0, 0, 0});  // a new size is drawn whole whatever is dirty
  std::vector<uint32_t> shownPixels;
  int ww = 0, wh = 0;
  ASSERT_TRUE(vwt::platform::readSdlWindow(*display, &shownPixels, &ww, &wh));
  EXPECT_EQ(ww, 300);
  EXPECT_EQ(wh, 240);
  EXPECT_EQ(shown(shownPixels, ww, 2, 149, 119), 0xFF3366CCu);
  EXPECT_EQ(shown(shownPixels, ww, 2, 0, 0), 0xFF3366CCu);
}

TEST(SdlDisplayArguments, EmptyScreenIsRefused) {
  std::string error;
  EXPECT_EQ(createSdlDisplay(0, 320, 2, &error), nullptr);
  EXPECT_FALSE(error.empty());
}

}  // namespace
