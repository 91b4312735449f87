#include <gtest/gtest.h>

#include <filesystem>

#include "tests/vwt/ScratchDirectory.h"
#include "tests/vwt/TestText.h"
#include "vwt/lang/AutoPtr.h"
#include "vwt/lang/Exception.h"
#include "vwt/lang/ProcessBuilder.h"
#include "vwt/platform/Processes.h"

TEST(Process, StartsWithTheJoinedCommandLine) {
  ScratchDirectory dir;
  VectorV<String> command;
  command.addElement(u"/bin/sh"_s);
  command.addElement(u"-c"_s);
  command.addElement(wide("\"printf '%s|' \\\"$0\\\" \\\"$1\\\" > " + (dir / "out") + "\""));
  command.addElement(u"\"two words\""_s);
  command.addElement(u"last"_s);
  ProcessBuilder builder(command);
  AutoPtr<Process> p(builder.start());
  EXPECT_EQ(p->waitFor(), 0);
  EXPECT_FALSE(p->isAlive());
  EXPECT_EQ(dir.read("out"), "two words|last|");
}

TEST(Process, FailureToStartThrows2000WithTheExecutable) {
  ScratchProgram program;
  program.write("res/message.txt", "-2000=cannot start %1\n");
  ProcessBuilder builder(u"/no/such/program"_s);
  try {
    delete builder.start();
    FAIL();
  } catch (const Exception& e) {
    EXPECT_EQ(narrow(e.getRawMessage()), "cannot start /no/such/program");
    EXPECT_EQ(e.getCode(), 2u);  // ENOENT
  }
}

TEST(Process, FindsAndEndsARunningProgramByName) {
  ScratchDirectory dir;
  // A copy of sleep with a name no other program has.
  std::string name = "vwtsleep" + std::to_string(getpid());
  std::filesystem::copy_file("/bin/sleep", dir / name);
  std::filesystem::permissions(dir / name, std::filesystem::perms::owner_all);
  VectorV<String> command;
  command.addElement(wide(dir / name));
  command.addElement(u"30"_s);
  AutoPtr<Process> started(ProcessBuilder(command).start());
  AutoPtr<Process> found;
  for (int i = 0; i < 200 && !found; ++i) {  // until the program has started
    found = Process::findProcess(wide(name));
    if (!found) usleep(10000);
  }
  ASSERT_TRUE(found);
  EXPECT_EQ(found->getId(), started->getId());
  EXPECT_TRUE(found->isAlive());
  EXPECT_TRUE(found->terminate());
  EXPECT_EQ(started->waitFor(), 128 + 15);  // SIGTERM
  EXPECT_EQ(Process::findProcess(wide(name)), nullptr);
}

TEST(Process, OpensAFileWithTheDesktopProgram) {
  ScratchDirectory dir;
  dir.write("opener", "#!/bin/sh\nprintf '%s' \"$1\" > \"$(dirname \"$0\")/opened\"\n");
  std::filesystem::permissions(dir / "opener", std::filesystem::perms::owner_all);
  vwt::platform::setDesktopOpener(dir / "opener");
  EXPECT_TRUE(Process::openFile(nullptr, wide(dir / "some file.txt"), true));
  EXPECT_EQ(dir.read("opened"), dir / "some file.txt");
  vwt::platform::setDesktopOpener(dir / "missing");
  EXPECT_FALSE(Process::openFile(nullptr, u"/x"_s, false));
  vwt::platform::setDesktopOpener(std::string());
}
