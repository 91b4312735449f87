// The monkey's scripts: the same seed gives the same script, every line is one the scripted input
// takes, and every point is on the screen.
#include <gtest/gtest.h>

#include <string>

#include "tests/browser/MonkeyScript.h"
#include "vwt/platform/InputScript.h"

namespace {

using vwt::platform::InputScript;

TEST(MonkeyScriptTest, ASeedGivesOneScriptAndAnotherSeedAnother) {
  EXPECT_EQ(MonkeyScript(7, 240, 320).generate(300), MonkeyScript(7, 240, 320).generate(300));
  EXPECT_NE(MonkeyScript(7, 240, 320).generate(300), MonkeyScript(8, 240, 320).generate(300));
  EXPECT_NE(MonkeyScript(0, 240, 320).generate(50), MonkeyScript(1, 240, 320).generate(50));
}

TEST(MonkeyScriptTest, EveryLineParsesAndEveryPointIsOnTheScreen) {
  struct Case {
    uint32_t seed;
    int width, height;
  } cases[] = {{1, 240, 320}, {2, 320, 240}, {3, 360, 480}, {0xFFFFFFFFu, 1, 1}};
  for (const Case& c : cases) {
    MonkeyScript monkey(c.seed, c.width, c.height);
    const int events = 2000;
    std::string error;
    int line = 0;
    std::unique_ptr<InputScript> script = InputScript::parse(monkey.generate(events), &error, &line);
    ASSERT_TRUE(script) << error;
    int counted = 0;
    for (int k = 0; k < MonkeyScript::KINDS; ++k) {
      counted += monkey.count(MonkeyScript::Kind(k));
      EXPECT_GT(monkey.count(MonkeyScript::Kind(k)), 0) << MonkeyScript::name(MonkeyScript::Kind(k));
    }
    EXPECT_EQ(counted, events);
    const std::vector<InputScript::Command>& commands = script->commands();
    ASSERT_FALSE(commands.empty());
    EXPECT_EQ(commands.back().kind, InputScript::Command::QUIT) << "the run ends itself";
    for (const InputScript::Command& command : commands) {
      if (command.kind != InputScript::Command::PRESS && command.kind != InputScript::Command::MOVE &&
          command.kind != InputScript::Command::RELEASE)
        continue;
      EXPECT_TRUE(command.a >= 0 && command.a < c.width && command.b >= 0 && command.b < c.height)
          << "line " << command.line << ": " << command.a << "," << command.b;
    }
  }
}

}  // namespace
