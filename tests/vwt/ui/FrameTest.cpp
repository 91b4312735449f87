#include <gtest/gtest.h>
#include <stdlib.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tests/vwt/ScratchDirectory.h"
#include "tests/vwt/TestText.h"
#include "vwt/lang/ShortTimer.h"
#include "vwt/lang/Thread.h"
#include "vwt/platform/InstanceChannel.h"
#include "vwt/platform/MessageKinds.h"
#include "vwt/platform/VirtualKeys.h"
#include "vwt/platform/WindowSystem.h"
#include "vwt/ui/Application.h"
#include "vwt/ui/Frame.h"
#include "vwt/ui/Graphics.h"

using namespace vwt::platform;

namespace {

// A frame that writes down every event as text: "press 5", "release 21", "command 77", ...
class LogFrame : public Frame {
 public:
  explicit LogFrame(Application* app) : Frame(app, u"log"_s) {}
  void onKeyPressed(int key) override { log.push_back("press " + std::to_string(key)); }
  void onKeyReleased(int key) override { log.push_back("release " + std::to_string(key)); }
  // Characters go apart: every typing key also makes one.
  void onCharacter(char16_t c) override { typed.push_back(c); }
  void onPointerPressed(int x, int y) override {
    log.push_back("down " + std::to_string(x) + "," + std::to_string(y));
  }
  void onPointerReleased(int x, int y) override {
    log.push_back("up " + std::to_string(x) + "," + std::to_string(y));
  }
  bool onCommand(int id) override {
    if (id != SOFT_KEY1_COMMAND && id != SOFT_KEY2_COMMAND) log.push_back("command " + std::to_string(id));
    return Frame::onCommand(id);
  }
  void onTimerExpired(int id) override { ++timers[id & 1]; }
  bool onClose() override {
    log.push_back("close");
    return ++closes > refuseCloses;
  }
  void onPaint(Graphics* g) override {
    ++paints;
    g->setColor(0x336699);
    g->fillRect(0, 0, getWidth(), getHeight());
  }
  bool onShortMessage(Window* sender, const char* data, int length) override {
    (void)sender;
    log.push_back("message " + std::string(data, length));
    return length != 3;
  }

  std::vector<std::string> log;
  std::u16string typed;
  int timers[2] = {};
  int closes = 0;
  int refuseCloses = 0;
  int paints = 0;
};

// A child window that can refuse its messages before they are dispatched.
class Child : public Window {
 public:
  bool onPreTranslateMessage(int, uint32_t message, uintptr_t, intptr_t) override {
    if (message == WM_LBUTTONDOWN) ++offered;
    return pass;
  }
  void onPointerPressed(int, int) override { ++pressed; }
  void onCharacter(char16_t c) override { typed.push_back(c); }
  bool pass = false;
  int offered = 0;
  int pressed = 0;
  std::u16string typed;
};

class FrameTest : public ::testing::Test {
 protected:
  FrameTest() {
    setenv("VWT_DISPLAY", "headless", 1);
    setenv("VWT_SCREEN_SIZE", "240x320", 1);
    setenv("XDG_RUNTIME_DIR", dir.path().c_str(), 1);
  }
  ~FrameTest() override {
    unsetenv("VWT_INPUT_SCRIPT");
    unsetenv("VWT_SCREEN_SIZE");
  }

  // The frame's window with the script as its input; the application owns the frame.
  LogFrame* open(const std::string& script, const char* className = "FrameTestClass") {
    dir.write("input.txt", script);
    setenv("VWT_INPUT_SCRIPT", (dir / "input.txt").c_str(), 1);
    LogFrame* frame = new LogFrame(app.get());
    EXPECT_TRUE(frame->initializeWindow(wide(className), 0, 0, 0, 0));
    return frame;
  }

  ScratchDirectory dir;
  std::unique_ptr<Application> app{new Application()};
};

TEST_F(FrameTest, AHeldKeyIsOnePressAndOneRelease) {
  LogFrame* f = open("key 5 down\nkey 5 down\nkey 5 down\nkey 5 up\nquit\n");
  EXPECT_EQ(app->run(), 0);
  EXPECT_EQ(f->log, (std::vector<std::string>{"press 5", "release 5", "close"}));
}

TEST_F(FrameTest, ShiftedDigitsOfAKeyboardAreThePoundAndTheStar) {
  // The release of 3 comes after shift went up: it still releases the pound key it pressed.
  LogFrame* f = open(
      "key shift down\nkey 3 down\nkey shift up\nkey 3 up\nkey shift down\nkey 8\nkey shift up\n"
      "key 3\nquit\n");
  app->run();
  EXPECT_EQ(f->log, (std::vector<std::string>{"press 63", "press 11", "release 63", "release 11", "press 63",
                                              "press 10", "release 10", "release 63", "press 3", "release 3",
                                              "close"}));
}

TEST_F(FrameTest, AnUnmappedKeyIsPressedEveryTimeAndNeverReleased) {
  LogFrame* f = open("quit\n");
  WindowSystem& ws = WindowSystem::get();
  ws.keyDown('A', false);
  ws.keyUp('A');
  ws.keyDown('A', false);
  ws.keyUp('A');
  app->run();
  EXPECT_EQ(f->log, (std::vector<std::string>{"press -1", "press -1", "close"}));
}

TEST_F(FrameTest, TypedTextReachesTheFrameAsCharacters) {
  // Letters have no key code: they arrive only as characters; a digit is both.
  LogFrame* f = open("type f\ntype \xc3\xa9K\nkey 4\nquit\n");
  app->run();
  EXPECT_EQ(f->typed, u"f\u00e9K4");
  EXPECT_EQ(f->log, (std::vector<std::string>{"press 4", "release 4", "close"}));
  EXPECT_EQ(f->getLastWMChar(), '4') << "the last ASCII character is still kept";
}

TEST_F(FrameTest, AChildWindowReceivesItsCharacters) {
  LogFrame* f = open("quit\n");
  Child child;
  ASSERT_TRUE(child.createWindow(f, 10, 10, 20, 20, true));
  WindowSystem::get().send(child.getHandle(), WM_CHAR, 'g', 1);
  WindowSystem::get().send(child.getHandle(), WM_CHAR, 0, 1);
  EXPECT_EQ(child.typed, u"g");
  EXPECT_EQ(child.getLastWMChar(), 'g');
  app->run();
}

TEST_F(FrameTest, TheLeftSoftKeyIsAPressAndAReleaseOf21) {
  LogFrame* f = open("key soft1\nquit\n");
  EXPECT_TRUE(f->onCommand(Frame::SOFT_KEY1_COMMAND));
  EXPECT_FALSE(f->onCommand(12345));
  EXPECT_EQ(f->getSoftKeyFromCommandId(Frame::SOFT_KEY2_COMMAND), 1);
  app->run();
  EXPECT_EQ(f->log, (std::vector<std::string>{"press 21", "release 21", "command 12345", "press 21",
                                              "release 21", "close"}));
}

TEST_F(FrameTest, AnAcceleratorTurnsTheKeyIntoItsCommand) {
  LogFrame* f = open("key soft2\nkey 1\nquit\n");
  f->getAccelerator()->add(VK_F2, 77);
  app->run();
  EXPECT_EQ(f->log, (std::vector<std::string>{"command 77", "press 1", "release 1", "close"}));
}

TEST_F(FrameTest, PreTranslationCanDropAMessageOfARegisteredWindow) {
  LogFrame* f = open("tap 15 15\ntap 15 15\nquit\n");
  Child child;
  ASSERT_TRUE(child.createWindow(f, 10, 10, 20, 20, true));
  EXPECT_EQ(app->getWindowFromHandle(child.getHandle()), &child);
  app->run();
  EXPECT_EQ(child.offered, 2);
  EXPECT_EQ(child.pressed, 0);
  EXPECT_EQ(f->log, (std::vector<std::string>{"close"}));
}

TEST_F(FrameTest, CloseAsksOnCloseThenDestroysAndTheLoopEnds) {
  LogFrame* f = open("quit\nkey 2\nquit\n");
  f->refuseCloses = 1;
  EXPECT_EQ(app->run(), 0);
  EXPECT_EQ(f->log, (std::vector<std::string>{"close", "press 2", "release 2", "close"}));
  EXPECT_EQ(f->getHandle(), 0);
}

TEST_F(FrameTest, TerminateWithoutAFrameDoesNothingAndWithOneEndsTheLoop) {
  app->terminate();
  LogFrame* f = open("");
  EXPECT_NE(f->getHandle(), 0);
  WindowSystem::get().post(f->getHandle(), WM_USER, 0, 0);
  app->terminate();
  EXPECT_EQ(app->run(), 0);
}

TEST_F(FrameTest, ManyRepaintsMakeOnePaint) {
  LogFrame* f = open("idle\nquit\n");
  EXPECT_EQ(f->paints, 1) << "the window is painted once it is shown";
  EXPECT_EQ(f->getHeight(), 320 - Frame::DEFAULT_MENU_BAR_HEIGHT) << "it ends where the soft-key bar begins";
  EXPECT_EQ(f->getWidth(), 240);
  for (int i = 0; i < 10; ++i) f->repaint();
  EXPECT_EQ(f->paints, 1) << "repaint only invalidates";
  app->run();
  EXPECT_EQ(f->paints, 2);
}

TEST_F(FrameTest, AShortTimerTicksUntilStoppedAndStartingTwiceMakesOneTimer) {
  LogFrame* f = open("wait 60\nquit\n");
  std::unique_ptr<ShortTimer> timer(ShortTimer::getShortTimer(f, 2, 5, true));
  timer->start();
  timer->start();
  EXPECT_TRUE(timer->isRunning());
  app->run();
  EXPECT_GE(f->timers[0], 1);
  EXPECT_EQ(f->timers[1], 0);
  timer->stop();
  EXPECT_FALSE(timer->isRunning());
}

TEST_F(FrameTest, ShortMessagesBetweenWindowsOfOneProcess) {
  LogFrame* f = open("quit\n");
  Window other;
  EXPECT_EQ(other.sendShortMessage(f, "hello", 5), 0);
  EXPECT_EQ(other.sendShortMessage(u"FrameTestClass"_s, "abc", 3), 1);
  EXPECT_EQ(other.sendShortMessage(u"NoSuchClass"_s, "abc", 3), -1);
  EXPECT_EQ(other.sendShortMessage(f, "abc", -1), -1) << "a negative length is refused";
  EXPECT_EQ(other.sendShortMessage(f, nullptr, 4), -1);
  EXPECT_EQ(f->log, (std::vector<std::string>{"message hello", "message abc"}));
  // A copy-data message whose size is not what it says never reaches the frame.
  CopyData bad;
  bad.length = -5;
  bad.data = "x";
  EXPECT_EQ(WindowSystem::get().send(f->getHandle(), WM_COPYDATA, 0, reinterpret_cast<intptr_t>(&bad)), 0);
  EXPECT_EQ(WindowSystem::get().send(f->getHandle(), WM_COPYDATA, 0, 0), 0);
  EXPECT_EQ(f->log.size(), 2u);
  app->run();
}

// Another program's short message, sent from a worker that the script's `idle` waits for.
class Sender : public Thread {
 public:
  void run() override { reply = InstanceChannel::send(u"FrameTestClass"_s, 0, "from afar", 9, 10000); }
  std::atomic<int> reply{-2};
};

TEST_F(FrameTest, AStaleInstanceSocketIsReplacedAndServedByTheLoop) {
  std::string path = InstanceChannel::socketPath(u"FrameTestClass"_s);
  ASSERT_FALSE(path.empty());
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  std::ofstream(path) << "left behind by a crashed process";
  LogFrame* f = open("idle\nquit\n");
  ASSERT_NE(f->getHandle(), 0) << "the stale socket did not keep the frame from starting";
  Sender sender;
  sender.start();
  app->run();
  sender.join();
  EXPECT_EQ(sender.reply.load(), 0);
  EXPECT_EQ(f->log, (std::vector<std::string>{"message from afar", "close"}));
}

TEST_F(FrameTest, KeyStateQueries) {
  LogFrame* f = open("quit\n");
  f->setKeypadState(40, true);
  f->setKeypadState(-3, true);
  f->setKeypadState(127, true);
  EXPECT_TRUE(f->isKeyPressed(40));
  EXPECT_EQ(f->getKeypadState(1), 1u << 8);
  EXPECT_EQ(f->getKeypadState(3), 1u << 31);
  EXPECT_EQ(f->getKeypadState(4), 0u);
  EXPECT_FALSE(f->getKeyCodeState(128));
  EXPECT_FALSE(f->getKeyCodeState(-1));
  app->run();
}

TEST(WindowKeys, TheKeyTable) {
  struct Case {
    int vk, key;
  } cases[] = {{'0', 0},   {'9', 9},   {0x2A, 10}, {0x72, 10}, {0x77, 10}, {0x6A, 10}, {0xDE, 10}, {0x23, 11},
               {0x73, 11}, {0x78, 11}, {0x25, 16}, {0x26, 17}, {0x27, 18}, {0x28, 19}, {0x0D, 20}, {0x86, 20},
               {0x70, 21}, {0x71, 22}, {0x1B, 24}, {0x10, 63}, {0x08, 64}, {'A', -1},  {0x74, -1}, {0, -1}};
  for (const Case& c : cases) EXPECT_EQ(Window::ConvertVKeyToKey(c.vk), c.key) << c.vk;
  EXPECT_EQ(Window::ConvertAsciiToKey('*'), 10);
  EXPECT_EQ(Window::ConvertAsciiToKey('#'), 11);
  EXPECT_EQ(Window::ConvertAsciiToKey('7'), 7);
  EXPECT_EQ(Window::ConvertAsciiToKey('a'), -1);
}

TEST(WindowText, LineEnds) {
  EXPECT_EQ(narrow(Window::convertLfToCrLf(u"a\nb\r\nc\n"_s)), "a\r\nb\r\nc\r\n");
  EXPECT_EQ(narrow(Window::convertCrLfToLf(u"a\r\nb\rc\n"_s)), "a\nb\nc\n");
  Window w(u"x\r\ny"_s);
  EXPECT_EQ(narrow(w.getText()), "x\ny");
}

}  // namespace
