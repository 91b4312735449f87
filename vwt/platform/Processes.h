#pragma once
// Processes of the host system: start, wait, find by executable name, end,
// and open a file with the desktop's default program.

#include <string>
#include <vector>

namespace vwt {
namespace platform {

// The arguments of a command line as a Windows program's runtime reads
// them: blanks separate, double quotes group and are removed, and a
// backslash escapes a quote.
std::vector<std::string> splitCommandLine(const std::string& commandLine);

// Starts executable (looked up in PATH when it holds no '/') with the
// arguments of commandLine, inheriting no descriptors beyond the standard
// three. Returns 0 and the process id, or the errno value of the failure.
int startProcess(const std::string& executable, const std::string& commandLine, int* pid);

// For a child started here: whether it has ended, and its exit code (128 +
// the signal for a killed one). With block, waits for the end.
bool childEnded(int pid, bool block, int* exitCode);
// A child that nobody will wait for is reaped in the background when it ends.
void releaseChild(int pid);

// Whether a process of that id exists.
bool processExists(int pid);
// The ids of the running processes whose executable file name (without
// directory) is name; the calling process is never among them.
std::vector<int> findProcessesByName(const std::string& name);
// Asks a process to end. Returns 0 or the errno value.
int terminateProcess(int pid);

// Opens a file with the desktop's default program (xdg-open), waiting for
// the opener to finish when wait is set. Returns 0 or the errno value; an
// opener that reports failure gives EIO.
int openWithDesktop(const std::string& path, bool wait);
// The opener program; an empty name restores xdg-open.
void setDesktopOpener(const std::string& program);

}  // namespace platform
}  // namespace vwt
