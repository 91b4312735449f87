// A 256 MB file fetched over loopback into a file: the download program's
// DownloadTransfer side by side with a bare read(4096) -> write(4096) loop on
// a plain socket and with `curl -s -o FILE`, all against the same
// in-process file server.
#include <arpa/inet.h>
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

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

}  // namespace
