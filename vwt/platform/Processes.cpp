#include "vwt/platform/Processes.h"

#include <dirent.h>
#include <errno.h>
#include <limits.h>
#include <signal.h>
#include <spawn.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <mutex>
#include <thread>

extern char** environ;

namespace vwt {
namespace platform {

namespace {
std::mutex gLock;
std::string gOpener;

int spawnArgv(const std::vector<std::string>& args, int* pid) {
  std::vector<char*> argv;
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addclosefrom_np(&actions, 3);
  pid_t child = 0;
  const std::string& exe = args[0];
  int error = exe.find('/') == std::string::npos
                  ? posix_spawnp(&child, exe.c_str(), &actions, nullptr, argv.data(), environ)
                  : posix_spawn(&child, exe.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (error == 0) *pid = static_cast<int>(child);
  return error;
}

std::string baseName(const std::string& path) {
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The executable's name of a process, or empty when it cannot be read.
std::string executableName(const std::string& pidText) {
  char buf[PATH_MAX];
  ssize_t n = readlink(("/proc/" + pidText + "/exe").c_str(), buf, sizeof buf - 1);
  if (n > 0) {
    std::string path(buf, static_cast<size_t>(n));
    const std::string deleted = " (deleted)";
    if (path.size() > deleted.size() &&
        path.compare(path.size() - deleted.size(), deleted.size(), deleted) == 0)
      path.erase(path.size() - deleted.size());
    return baseName(path);
  }
  FILE* f = fopen(("/proc/" + pidText + "/cmdline").c_str(), "rb");
  if (!f) return std::string();
  size_t got = fread(buf, 1, sizeof buf - 1, f);
  fclose(f);
  buf[got] = 0;
  return baseName(buf);
}
}  // namespace

std::vector<std::string> splitCommandLine(const std::string& line) {
  std::vector<std::string> args;
  size_t i = 0;
  const size_t n = line.size();
  for (;;) {
    while (i < n && (line[i] == ' ' || line[i] == '\t')) ++i;
    if (i >= n) break;
    std::string arg;
    bool quoted = false;
    while (i < n && (quoted || (line[i] != ' ' && line[i] != '\t'))) {
      if (line[i] == '\\') {
        size_t slashes = 0;
        while (i < n && line[i] == '\\') ++slashes, ++i;
        if (i < n && line[i] == '"') {
          arg.append(slashes / 2, '\\');
          if (slashes % 2) {
            arg += '"';
            ++i;
          }
        } else {
          arg.append(slashes, '\\');
        }
        continue;
      }
      if (line[i] == '"') {
        quoted = !quoted;
        ++i;
        continue;
      }
      arg += line[i++];
    }
    args.push_back(arg);
  }
  return args;
}

int startProcess(const std::string& executable, const std::string& commandLine, int* pid) {
  if (executable.empty()) return ENOENT;
  std::vector<std::string> args = splitCommandLine(commandLine);
  args.insert(args.begin(), executable);
  return spawnArgv(args, pid);
}

bool childEnded(int pid, bool block, int* exitCode) {
  int status = 0;
  pid_t r;
  do {
    r = waitpid(static_cast<pid_t>(pid), &status, block ? 0 : WNOHANG);
  } while (r < 0 && errno == EINTR);
  if (r == 0) return false;
  if (r < 0) {
    *exitCode = -1;  // not our child, or already reaped
    return true;
  }
  *exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : WIFSIGNALED(status) ? 128 + WTERMSIG(status) : -1;
  return true;
}

void releaseChild(int pid) {
  std::thread([pid] {
    int code;
    childEnded(pid, true, &code);
  }).detach();
}

bool processExists(int pid) { return pid > 0 && (kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM); }

std::vector<int> findProcessesByName(const std::string& name) {
  std::vector<int> pids;
  DIR* proc = opendir("/proc");
  if (!proc) return pids;
  int self = static_cast<int>(getpid());
  while (dirent* e = readdir(proc)) {
    char* end = nullptr;
    long pid = strtol(e->d_name, &end, 10);
    if (*end || pid <= 0 || pid == self) continue;
    if (executableName(e->d_name) == name) pids.push_back(static_cast<int>(pid));
  }
  closedir(proc);
  return pids;
}

int terminateProcess(int pid) {
  if (pid <= 0) return ESRCH;
  return kill(static_cast<pid_t>(pid), SIGTERM) == 0 ? 0 : errno;
}

int openWithDesktop(const std::string& path, bool wait) {
  std::string opener;
  {
    std::lock_guard<std::mutex> g(gLock);
    opener = gOpener.empty() ? std::string("xdg-open") : gOpener;
  }
  int pid = 0;
  int error = spawnArgv({opener, path}, &pid);
  if (error) return error;
  if (!wait) {
    releaseChild(pid);
    return 0;
  }
  int code = 0;
  childEnded(pid, true, &code);
  return code == 0 ? 0 : EIO;
}

void setDesktopOpener(const std::string& program) {
  std::lock_guard<std::mutex> g(gLock);
  gOpener = program;
}

}  // namespace platform
}  // namespace vwt
