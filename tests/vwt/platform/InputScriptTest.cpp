#include <gtest/gtest.h>
#include <stdlib.h>

#include <fstream>
#include <string>
#include <vector>

#include "tests/vwt/ScratchDirectory.h"
#include "vwt/platform/InputScript.h"
#include "vwt/platform/ScriptAnswers.h"
#include "vwt/platform/VirtualKeys.h"
#include "vwt/platform/WindowSystem.h"

using namespace vwt::platform;

namespace {

struct Recorder : InputSink, InputScript::Host {
  void keyDown(int vk, bool) override { log.push_back("down " + std::to_string(vk)); }
  void keyUp(int vk) override { log.push_back("up " + std::to_string(vk)); }
  void character(char16_t c) override { log.push_back("char " + std::to_string(c)); }
  void pointerDown(int x, int y) override {
    log.push_back("press " + std::to_string(x) + " " + std::to_string(y));
  }
  void pointerMove(int x, int y) override {
    log.push_back("move " + std::to_string(x) + " " + std::to_string(y));
  }
  void pointerUp(int x, int y) override {
    log.push_back("release " + std::to_string(x) + " " + std::to_string(y));
  }
  void wheel(int) override {}
  void closeRequested() override { log.push_back("close"); }
  void resized(int, int) override {}
  bool isBusy() override { return busy; }
  PixelTarget screen() override {
    PixelTarget t;
    t.pixels = pixels;
    t.width = t.height = t.stride = 2;
    return t;
  }
  std::vector<std::string> log;
  bool busy = false;
  uint32_t pixels[4] = {0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu, 0xFFFFFFFFu};
};

TEST(InputScript, ABadLineIsReportedWithItsNumber) {
  struct Case {
    const char* text;
    int line;
  } cases[] = {{"key 5\nkey banana\n", 2},
               {"tap 1\n", 1},
               {"# fine\n\nwait x\n", 3},
               {"drag 1 2 3 4\n", 1},
               {"shot picture.jpg\n", 1},
               {"frobnicate\n", 1},
               {"tap -1 5\n", 1},
               {"idle now\n", 1},
               {"key 5 sideways\n", 1},
               {"answer\n", 1},
               {"type\n", 1},
               {"wait 99999999999\n", 1}};
  for (const Case& c : cases) {
    std::string error;
    int line = -1;
    EXPECT_EQ(InputScript::parse(c.text, &error, &line), nullptr) << c.text;
    EXPECT_EQ(line, c.line) << c.text;
    EXPECT_EQ(error.substr(0, std::to_string(c.line).size() + 1), std::to_string(c.line) + ":") << error;
  }
}

TEST(InputScript, CommandsGiveTheirInputOneAtATime) {
  std::string error;
  int line;
  std::unique_ptr<InputScript> s = InputScript::parse(
      "key 5   # a comment\nkey soft1 down\ntype a#b\ntap 3 4\nanswer 2 my file.txt\ndrag 0 0 32 16 "
      "32\nquit\n",
      &error, &line);
  ASSERT_NE(s, nullptr) << error;
  ScriptAnswers::clear();
  Recorder r;
  int64_t now = 0;
  for (int guard = 0; guard < 100 && !s->finished(); ++guard) {
    int wait = s->step(r, r, now);
    if (wait > 0) now += wait;
  }
  EXPECT_EQ(r.log, (std::vector<std::string>{"down 53", "up 53", "down 112", "char 97", "char 35", "char 98",
                                             "press 3 4", "release 3 4", "press 0 0", "move 16 8",
                                             "move 32 16", "release 32 16", "close"}));
  EXPECT_EQ(now, 32) << "the drag took its time";
  ScriptAnswers::Answer a;
  ASSERT_TRUE(ScriptAnswers::take(&a));
  EXPECT_EQ(a.button, 2);
  EXPECT_EQ(a.text, "my file.txt");
  EXPECT_FALSE(ScriptAnswers::take(&a));
}

TEST(InputScript, IdleWaitsWhileTheProgramIsBusy) {
  std::string error;
  int line;
  std::unique_ptr<InputScript> s = InputScript::parse("idle\nkey 1\n", &error, &line);
  ASSERT_NE(s, nullptr);
  Recorder r;
  r.busy = true;
  EXPECT_GT(s->step(r, r, 0), 0);
  EXPECT_TRUE(r.log.empty());
  r.busy = false;
  EXPECT_EQ(s->step(r, r, 10), 0);
  EXPECT_EQ(r.log.size(), 1u);
}

TEST(InputScript, ShotWritesThePicture) {
  ScratchDirectory dir;
  std::string error;
  int line;
  std::unique_ptr<InputScript> s = InputScript::parse("shot " + (dir / "a.png") + "\n", &error, &line);
  ASSERT_NE(s, nullptr) << error;
  Recorder r;
  EXPECT_EQ(s->step(r, r, 0), -1);
  std::string png = dir.read("a.png");
  ASSERT_GT(png.size(), 8u);
  EXPECT_EQ(png.substr(1, 3), "PNG");
}

TEST(InputScriptDeathTest, ABadScriptEndsTheProgramWithStatus2) {
  ScratchDirectory dir;
  dir.write("bad.txt", "key 1\nkey nowhere\n");
  EXPECT_EXIT(
      {
        setenv("VWT_DISPLAY", "headless", 1);
        setenv("VWT_INPUT_SCRIPT", (dir / "bad.txt").c_str(), 1);
        WindowSystem::get();
      },
      ::testing::ExitedWithCode(2), "2: unknown key nowhere");
}

TEST(DisplayChoiceDeathTest, AnUnknownBackEndEndsTheProgramWithStatus2) {
  EXPECT_EXIT(
      {
        setenv("VWT_DISPLAY", "teletype", 1);
        createDisplay(10, 10, 1);
      },
      ::testing::ExitedWithCode(2), "VWT_DISPLAY=teletype");
}

}  // namespace
