#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <thread>

#include "HandsetClient.h"

extern char** environ;

namespace vesktest {
namespace {

// The program itself: port 0 with a port file, ready line, a request, clean stop on SIGTERM.
TEST(Program, StartsOnAFreePortAndStopsOnSigterm) {
  char tmpl[] = "/tmp/vesk-service-prog-XXXXXX";
  ASSERT_NE(mkdtemp(tmpl), nullptr);
  std::string dir = tmpl;
  std::string portFile = dir + "/port", out = dir + "/out";
  std::vector<std::string> args = {VESK_SERVICE_PROGRAM, "--listen",   "127.0.0.1:0",
                                   "--port-file",        portFile,     "--state",
                                   dir + "/state",       "--fixtures", VESK_FIXTURE_DIR};
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(&a[0]);
  argv.push_back(nullptr);
  posix_spawn_file_actions_t fa;
  posix_spawn_file_actions_init(&fa);
  posix_spawn_file_actions_addopen(&fa, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  pid_t pid = 0;
  ASSERT_EQ(posix_spawn(&pid, argv[0], &fa, nullptr, argv.data(), environ), 0);
  posix_spawn_file_actions_destroy(&fa);

  int port = 0;
  for (int tries = 0; tries < 3000 && port == 0; ++tries) {  // waits for readiness, asserts nothing on time
    std::ifstream in(portFile);
    if (!(in >> port)) port = 0;
    if (port == 0) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  ASSERT_GT(port, 0);
  HandsetClient client(port);
  EXPECT_EQ(client.fetchPublicKey().size(), 296u);
  EXPECT_TRUE(std::filesystem::exists(dir + "/state/rsa-key.pem"));

  ASSERT_EQ(kill(pid, SIGTERM), 0);
  int status = 0;
  ASSERT_EQ(waitpid(pid, &status, 0), pid);
  EXPECT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  std::ifstream log(out);
  std::string first;
  std::getline(log, first);
  EXPECT_EQ(first, "veskRenderService ready on 127.0.0.1:" + std::to_string(port));
  std::error_code ec;
  std::filesystem::remove_all(dir, ec);
}

TEST(Program, RefusesABadCommandLine) {
  const std::vector<std::vector<std::string>> cases = {{"--listen", "nowhere"},
                                                       {"--listen", "127.0.0.1:70000"},
                                                       {"--bogus"},
                                                       {"--block-bytes", "0"},
                                                       {"--log"}};
  for (const auto& c : cases) {
    std::vector<std::string> args = {VESK_SERVICE_PROGRAM};
    args.insert(args.end(), c.begin(), c.end());
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(&a[0]);
    argv.push_back(nullptr);
    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    posix_spawn_file_actions_addopen(&fa, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    ASSERT_EQ(posix_spawn(&pid, argv[0], &fa, nullptr, argv.data(), environ), 0);
    posix_spawn_file_actions_destroy(&fa);
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 2) << c[0];
  }
}

}  // namespace
}  // namespace vesktest
