// String construction, concatenation and hashing.
#include <benchmark/benchmark.h>

#include "vwt/lang/String.h"
#include "vwt/lang/StringBuffer.h"

namespace {

const char16_t TEXT[] = u"http://www.example.com/portal/indexQK.jsp?c=H&u=12345";

void WrapLiteral(benchmark::State& state) {
  for (auto _ : state) {
    String s(TEXT, false);
    benchmark::DoNotOptimize(s);
  }
}
BENCHMARK(WrapLiteral);

void CopyUnits(benchmark::State& state) {
  for (auto _ : state) {
    String s(TEXT, 0, 53);
    benchmark::DoNotOptimize(s);
  }
}
BENCHMARK(CopyUnits);

void ShareCopy(benchmark::State& state) {
  String s(TEXT, 0, 53);
  for (auto _ : state) {
    String copy = s;
    benchmark::DoNotOptimize(copy);
  }
}
BENCHMARK(ShareCopy);

void FromInt(benchmark::State& state) {
  int i = 0;
  for (auto _ : state) {
    String s(++i);
    benchmark::DoNotOptimize(s);
  }
}
BENCHMARK(FromInt);

void FromUtf8Bytes(benchmark::State& state) {
  for (auto _ : state) {
    String s("Content-Type: text/html; charset=utf-8");
    benchmark::DoNotOptimize(s);
  }
}
BENCHMARK(FromUtf8Bytes);

void Concatenate(benchmark::State& state) {
  String a(u"name="_s), b(String(TEXT, 0, 53));
  for (auto _ : state) {
    String s = a + b;
    benchmark::DoNotOptimize(s);
  }
}
BENCHMARK(Concatenate);

void ConcatenateChain(benchmark::State& state) {
  String key(u"u"_s), value(u"12345"_s);
  for (auto _ : state) {
    String s = ((key + u'=') + value) + u'&';
    benchmark::DoNotOptimize(s);
  }
}
BENCHMARK(ConcatenateChain);

void AppendToBuffer(benchmark::State& state) {
  for (auto _ : state) {
    StringBuffer b;
    for (int i = 0; i < 53; ++i) b.append(TEXT[i]);
    String s = b.toString();
    benchmark::DoNotOptimize(s);
  }
}
BENCHMARK(AppendToBuffer);

void HashFresh(benchmark::State& state) {
  for (auto _ : state) {
    String s(TEXT, false);  // a new body: nothing cached
    benchmark::DoNotOptimize(s.hashCode());
  }
}
BENCHMARK(HashFresh);

void HashCached(benchmark::State& state) {
  String s(TEXT, false);
  s.hashCode();
  for (auto _ : state) benchmark::DoNotOptimize(s.hashCode());
}
BENCHMARK(HashCached);

}  // namespace
