// A 256 MB file fetched over loopback into a file: the download program's
// DownloadTransfer side by side with a bare read(4096) -> write(4096) loop on
// a plain socket and with `curl -s -o FILE`, all against the same
// in-process file server. Then the program itself, headless, to see what its
// progress display costs the interface thread.
#include <arpa/inet.h>
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "downloader/DownloadTransfer.h"
#include "tests/downloader/FileServer.h"

namespace {

const int64_t BODY_BYTES = int64_t(256) << 20;
const int BLOCK = 4096;

FileServer& server() {
  static FileServer* s = [] {
    FileServer::Options o;
    o.size = BODY_BYTES;
    return new FileServer(o);  // serves until the process ends
  }();
  return *s;
}

// The file every benchmark writes, in a folder of its own.
const std::string& target() {
  static const std::string path = [] {
    char pattern[] = "/tmp/bench-download-XXXXXX";
    return std::string(mkdtemp(pattern)) + "/file.bin";
  }();
  return path;
}

void removeTarget() {
  std::error_code ignored;
  std::filesystem::remove(target(), ignored);
  std::filesystem::remove(target() + ".resume", ignored);
}

int64_t targetSize() {
  std::error_code error;
  uintmax_t n = std::filesystem::file_size(target(), error);
  return error ? -1 : static_cast<int64_t>(n);
}

void PlainReadWrite4096(benchmark::State& state) {
  int port = server().port();
  char buf[BLOCK];
  for (auto _ : state) {
    removeTarget();
    int s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a;
    memset(&a, 0, sizeof a);
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<uint16_t>(port));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (connect(s, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) abort();
    const char request[] = "GET /file.bin HTTP/1.1\r\nHost:127.0.0.1\r\n\r\n";
    if (send(s, request, sizeof request - 1, 0) < 0) abort();
    int out = open(target().c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ssize_t n;
    // The response header goes into the file too: a few bytes, no parsing.
    while ((n = read(s, buf, BLOCK)) > 0)
      if (write(out, buf, static_cast<size_t>(n)) != n) abort();
    close(out);
    close(s);
    if (targetSize() < BODY_BYTES) state.SkipWithError("short body");
  }
  state.SetBytesProcessed(state.iterations() * BODY_BYTES);
}
BENCHMARK(PlainReadWrite4096)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

void Transfer(benchmark::State& state) {
  String url(server().url().c_str());
  String path(target().c_str());
  for (auto _ : state) {
    removeTarget();
    DownloadTransfer transfer(url, String::null, String::null, path);
    if (transfer.run() != DownloadTransfer::DONE || targetSize() != BODY_BYTES) state.SkipWithError("failed");
  }
  state.SetBytesProcessed(state.iterations() * BODY_BYTES);
}
BENCHMARK(Transfer)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

// curl as a separate process, started through the shell.
void Curl(benchmark::State& state) {
  if (std::system("command -v curl >/dev/null 2>&1") != 0) {
    state.SkipWithError("curl is not installed");
    return;
  }
  std::string command = "curl -s -o " + target() + " " + server().url();
  for (auto _ : state) {
    removeTarget();
    if (std::system(command.c_str()) != 0 || targetSize() != BODY_BYTES) state.SkipWithError("curl failed");
  }
  state.SetBytesProcessed(state.iterations() * BODY_BYTES);
}
BENCHMARK(Curl)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

// The program's run: its wall time and the CPU time of its interface thread (the process's
// first thread), read from the scheduler's statistics until the process ends.
struct ProgramRun {
  double wallMs = 0;
  double interfaceCpuMs = 0;
  int status = -1;
};

ProgramRun runProgram(const std::string& url) {
  static const std::string folder = [] {
    char pattern[] = "/tmp/bench-downloader-XXXXXX";
    std::string f = mkdtemp(pattern);
    for (const char* d : {"/runtime", "/data"}) std::filesystem::create_directories(f + d);
    std::filesystem::permissions(f + "/runtime", std::filesystem::perms::owner_all);
    return f;
  }();
  std::string script = folder + "/script.txt";
  // The save dialog takes the target; the offer to open the file is declined.
  std::ofstream(script) << "answer 1 " << target() << "\nanswer 2\n";
  std::vector<std::string> argv = {DOWNLOADER_PROGRAM, "/D", url};
  std::vector<std::string> env = {"VWT_DISPLAY=headless",
                                  "VWT_INPUT_SCRIPT=" + script,
                                  "XDG_RUNTIME_DIR=" + folder + "/runtime",
                                  "XDG_DATA_HOME=" + folder + "/data",
                                  "HOME=" + folder,
                                  "PATH=/usr/bin:/bin"};
  std::vector<char*> a, e;
  for (std::string& s : argv) a.push_back(&s[0]);
  a.push_back(nullptr);
  for (std::string& s : env) e.push_back(&s[0]);
  e.push_back(nullptr);

  ProgramRun run;
  auto start = std::chrono::steady_clock::now();
  pid_t pid;
  if (posix_spawn(&pid, a[0], nullptr, nullptr, a.data(), e.data()) != 0) return run;
  std::string stat = "/proc/" + std::to_string(pid) + "/task/" + std::to_string(pid) + "/schedstat";
  long long cpuNs = 0;
  for (;;) {
    long long ns;
    if (std::ifstream(stat) >> ns) cpuNs = ns;
    int status;
    if (waitpid(pid, &status, WNOHANG) == pid) {
      run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  run.wallMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  run.interfaceCpuMs = cpuNs / 1e6;
  return run;
}

// The interface thread's CPU time for 256 MB less that for 4 KB (start-up, dialogs and exit are the
// same) is what the progress display cost; its share is taken of the bare transfer's time.
void ProgramProgressDisplay(benchmark::State& state) {
  static FileServer* small = [] {
    FileServer::Options o;
    o.size = 4096;
    return new FileServer(o);
  }();
  double transferMs = 0;
  {
    removeTarget();
    auto start = std::chrono::steady_clock::now();
    DownloadTransfer transfer(String(server().url().c_str()), String::null, String::null,
                              String(target().c_str()));
    if (transfer.run() != DownloadTransfer::DONE) state.SkipWithError("transfer failed");
    transferMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  }
  double big = 0, startup = 0;
  for (auto _ : state) {
    removeTarget();
    ProgramRun b = runProgram(server().url());
    if (b.status != 0 || targetSize() != BODY_BYTES) state.SkipWithError("the program failed");
    state.PauseTiming();
    removeTarget();
    ProgramRun s = runProgram(small->url());
    if (s.status != 0) state.SkipWithError("the program failed");
    state.ResumeTiming();
    big += b.interfaceCpuMs;
    startup += s.interfaceCpuMs;
  }
  double n = static_cast<double>(state.iterations());
  state.counters["ui_cpu_ms"] = big / n;
  state.counters["ui_cpu_4k_ms"] = startup / n;
  state.counters["transfer_ms"] = transferMs;
  state.counters["progress_cpu_pct"] = transferMs > 0 ? 100.0 * (big - startup) / n / transferMs : 0;
  state.SetBytesProcessed(state.iterations() * BODY_BYTES);
}
BENCHMARK(ProgramProgressDisplay)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

}  // namespace
