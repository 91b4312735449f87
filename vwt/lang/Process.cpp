#include "vwt/lang/Process.h"

#include <chrono>
#include <thread>
#include <vector>

#include "vwt/io/File.h"
#include "vwt/lang/Exception.h"
#include "vwt/lang/ProcessBuilder.h"
#include "vwt/lang/Resource.h"
#include "vwt/lang/StringBuffer.h"
#include "vwt/platform/Processes.h"

Process::~Process() {
  if (child_ && !ended_) vwt::platform::releaseChild(pid_);
}

bool Process::isAlive() {
  if (ended_) return false;
  if (child_) {
    ended_ = vwt::platform::childEnded(pid_, false, &exitCode_);
    return !ended_;
  }
  return vwt::platform::processExists(pid_);
}

int Process::waitFor() {
  if (ended_) return exitCode_;
  if (child_) {
    ended_ = vwt::platform::childEnded(pid_, true, &exitCode_);
    return exitCode_;
  }
  while (vwt::platform::processExists(pid_)) std::this_thread::sleep_for(std::chrono::milliseconds(50));
  ended_ = true;
  return exitCode_;
}

bool Process::terminate() { return !ended_ && vwt::platform::terminateProcess(pid_) == 0; }

Process* Process::findProcess(const String& name) {
  std::vector<int> pids = vwt::platform::findProcessesByName(File::toNativePath(name));
  return pids.empty() ? nullptr : new Process(pids.front(), false);
}

bool Process::openFile(const Object*, const String& path, bool wait) {
  return vwt::platform::openWithDesktop(File::toNativePath(path), wait) == 0;
}

String ProcessBuilder::getCommandLine() const {
  StringBuffer line;
  for (int i = 1; i < command_.size(); ++i) {
    if (i > 1) line.append(u' ');
    line.append(command_.elementAt(i));
  }
  return line.toString();
}

Process* ProcessBuilder::start() const {
  String executable = command_.size() > 0 ? command_.elementAt(0) : String::null;
  int pid = 0;
  int error =
      vwt::platform::startProcess(File::toNativePath(executable), File::toNativePath(getCommandLine()), &pid);
  if (error) throw Exception(Resource::getString(-2000, executable), static_cast<uint64_t>(error));
  return new Process(pid, true);
}
