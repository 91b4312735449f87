#include <gtest/gtest.h>
#include <stdlib.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "tests/vwt/ScratchDirectory.h"
#include "tests/vwt/TestText.h"
#include "vwt/lang/AutoPtr.h"
#include "vwt/lang/Process.h"
#include "vwt/lang/ProcessBuilder.h"
#include "vwt/lang/ShortTimer.h"
#include "vwt/ui/Application.h"
#include "vwt/ui/Frame.h"

// Two real processes: this test program starts itself again as the first instance of a class.

namespace {

const char CLASS[] = "FrameProcessTestClass";

// The first instance: writes each short message it gets to a file, ends on "quit" (or after a
// guard time, so that a broken test never leaves it running).
class FirstFrame : public Frame {
 public:
  FirstFrame(Application* app, std::string dir) : Frame(app, u"first"_s), dir_(std::move(dir)) {}
  bool onShortMessage(Window*, const char* data, int length) override {
    std::string text(data, length);
    std::ofstream(dir_ + "/heard", std::ios::app) << "[" << text << "]";
    if (text == "quit") Application::getCurrentApp()->terminate();
    return text != "refuse";
  }
  void onTimerExpired(int) override { Application::getCurrentApp()->terminate(); }

 private:
  std::string dir_;
};

// The second instance: tells the first through the window it is handed.
class SecondFrame : public Frame {
 public:
  explicit SecondFrame(Application* app) : Frame(app, u"second"_s) {}
  void onLaunchDuplicate(Window* existing) override {
    ++duplicates;
    replies.push_back(sendShortMessage(existing, "hello", 5));
    replies.push_back(sendShortMessage(existing, "refuse", 6));
  }
  int duplicates = 0;
  std::vector<int> replies;
};

bool waitForFile(const ScratchDirectory& dir, const std::string& name) {
  for (int i = 0; i < 400 && !dir.exists(name); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  return dir.exists(name);
}

TEST(FrameProcess, FirstInstance) {
  const char* dir = getenv("VWT_TEST_FIRST_DIR");
  if (!dir) GTEST_SKIP() << "started by FrameProcess.SecondInstanceTalksToTheFirst";
  setenv("VWT_DISPLAY", "headless", 1);
  Application app;
  FirstFrame* frame = new FirstFrame(&app, dir);
  ASSERT_TRUE(frame->initializeWindow(wide(CLASS), 0, 0, 0, 0));
  std::unique_ptr<ShortTimer> guard(ShortTimer::getShortTimer(frame, 1, 20000, true));
  guard->start();
  std::ofstream(std::string(dir) + "/ready") << "ready";
  EXPECT_EQ(app.run(), 0);
}

TEST(FrameProcess, SecondInstanceTalksToTheFirst) {
  ScratchDirectory dir;
  setenv("XDG_RUNTIME_DIR", dir.path().c_str(), 1);
  setenv("VWT_DISPLAY", "headless", 1);
  setenv("VWT_TEST_FIRST_DIR", dir.path().c_str(), 1);
  VectorV<String> command;
  Application app;
  command.addElement(app.getExecutableFileName());
  command.addElement(u"--gtest_filter=FrameProcess.FirstInstance"_s);
  AutoPtr<Process> first(ProcessBuilder(command).start());
  unsetenv("VWT_TEST_FIRST_DIR");
  ASSERT_TRUE(waitForFile(dir, "ready"));

  SecondFrame* second = new SecondFrame(&app);
  EXPECT_FALSE(second->initializeWindow(wide(CLASS), 0, 0, 0, 0)) << "the class is taken";
  EXPECT_EQ(second->duplicates, 1);
  EXPECT_EQ(second->getHandle(), 0) << "the second frame stays windowless";
  EXPECT_EQ(second->replies, (std::vector<int>{0, 1}));

  // Whatever another process sends, of any length or content, the first one survives it.
  std::string binary("\0\xff\x01zz", 5);
  EXPECT_EQ(second->sendShortMessage(wide(CLASS), binary.data(), static_cast<int>(binary.size())), 0);
  EXPECT_EQ(second->sendShortMessage(wide(CLASS), "", 0), 0);
  EXPECT_EQ(second->sendShortMessage(wide(CLASS), "x", -1), -1);
  std::string huge(2 << 20, 'h');
  EXPECT_EQ(second->sendShortMessage(wide(CLASS), huge.data(), static_cast<int>(huge.size())), -1);
  EXPECT_EQ(second->sendShortMessage(wide(CLASS), "quit", 4), 0);
  EXPECT_EQ(first->waitFor(), 0);
  EXPECT_EQ(dir.read("heard"), "[hello][refuse][" + binary + "][][quit]");
  EXPECT_EQ(second->sendShortMessage(wide(CLASS), "late", 4), -1) << "nobody holds the class any more";
}

}  // namespace
