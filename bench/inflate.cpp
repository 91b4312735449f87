// InflaterInputStream against bare zlib inflate loops over the same bytes:
// one with the stream's 1 KiB buffers, one with 64 KiB buffers.
#include <benchmark/benchmark.h>
#include <zlib.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "vwt/io/ByteArrayInputStream.h"
#include "vwt/net/InflaterInputStream.h"

namespace {

const size_t PLAIN_BYTES = 8 << 20;

// Page-like text with some incompressible stretches (embedded pictures).
struct Body {
  std::vector<char> plain, compressed;
  Body() {
    static const char* words[] = {"<item x=", "render ", "text ",  "the ",
                                  "browser ", "zoom ",   "link\n", "frame "};
    std::mt19937 rng(71);
    std::string s;
    while (s.size() < PLAIN_BYTES) {
      if (rng() % 50 == 0)
        for (int i = 0; i < 512; ++i) s += static_cast<char>(rng());
      s += words[rng() % 8];
      s += std::to_string(rng() % 1000);
    }
    s.resize(PLAIN_BYTES);
    plain.assign(s.begin(), s.end());
    uLongf n = compressBound(plain.size());
    compressed.resize(n);
    compress2(reinterpret_cast<Bytef*>(compressed.data()), &n, reinterpret_cast<const Bytef*>(plain.data()),
              plain.size(), 6);
    compressed.resize(n);
  }
};
const Body& body() {
  static Body b;
  return b;
}

void BM_InflaterInputStream(benchmark::State& state) {
  const Body& b = body();
  const int chunk = static_cast<int>(state.range(0));
  std::vector<char> out(chunk);
  for (auto _ : state) {
    InflaterInputStream in(
        new ByteArrayInputStream(b.compressed.data(), 0, static_cast<int>(b.compressed.size())));
    size_t total = 0;
    for (int n; (n = in.read(out.data(), 0, chunk)) > 0;) total += n;
    if (total != b.plain.size()) state.SkipWithError("wrong length");
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(state.iterations() * b.plain.size());
}
BENCHMARK(BM_InflaterInputStream)->Arg(1024)->Arg(4096)->Arg(65536)->Unit(benchmark::kMillisecond);

// Input copied from memory in blocks, as a source stream would hand it over;
// output taken from a window of the same size.
void BM_ZlibLoop(benchmark::State& state) {
  const Body& b = body();
  const size_t size = static_cast<size_t>(state.range(0));
  std::vector<unsigned char> in(size), out(size);
  for (auto _ : state) {
    z_stream z{};
    inflateInit2(&z, 15);
    size_t pos = 0, total = 0;
    int rc = Z_OK;
    while (rc == Z_OK) {
      if (z.avail_in == 0) {
        size_t n = std::min(size, b.compressed.size() - pos);
        memcpy(in.data(), b.compressed.data() + pos, n);
        pos += n;
        z.next_in = in.data();
        z.avail_in = static_cast<uInt>(n);
      }
      z.next_out = out.data();
      z.avail_out = static_cast<uInt>(size);
      rc = inflate(&z, Z_NO_FLUSH);
      total += size - z.avail_out;
      benchmark::DoNotOptimize(out.data());
    }
    inflateEnd(&z);
    if (rc != Z_STREAM_END || total != b.plain.size()) state.SkipWithError("inflate failed");
  }
  state.SetBytesProcessed(state.iterations() * b.plain.size());
}
BENCHMARK(BM_ZlibLoop)->Arg(1024)->Arg(65536)->Unit(benchmark::kMillisecond);

}  // namespace
