// DataOutputStream -> DataInputStream over memory streams: about 1 MB of
// mixed records (ints, shorts, modified UTF-8 text with non-ASCII units).
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "vwt/io/ByteArrayInputStream.h"
#include "vwt/io/ByteArrayOutputStream.h"
#include "vwt/io/DataInputStream.h"
#include "vwt/io/DataOutputStream.h"

namespace {

const int TARGET_BYTES = 1 << 20;

struct Records {
  std::vector<String> texts;
  int count = 0;      // records in about 1 MB
  std::string image;  // their encoding
};

void writeRecords(DataOutputStream& out, const Records& r) {
  const int nTexts = static_cast<int>(r.texts.size());
  for (int i = 0; i < r.count; ++i) {
    out.writeInt(i * 2654435761u);
    out.writeShort(static_cast<short>(i));
    out.writeUTF(r.texts[i % nTexts]);
  }
}

int64_t readRecords(DataInputStream& in, const Records& r) {
  int64_t sum = 0;
  for (int i = 0; i < r.count; ++i) {
    sum += in.readInt();
    sum += in.readShort();
    String s = in.readUTF();
    sum += s.length();
  }
  return sum;
}

const Records& records() {
  static Records r = [] {
    Records rec;
    const char16_t* samples[] = {
        u"http://www.example.com/index.html",
        u"\u3053\u3093\u306B\u3061\u306F\u4E16\u754C",  // Japanese
        u"Caf\u00E9 cr\u00E8me br\u00FBl\u00E9e",
        u"id",
        u"\u65E5\u672C\u8A9E\u306E\u30DA\u30FC\u30B8\u3092\u8868\u793A\u3057\u307E\u3059 (page 12)",
        u"A somewhat longer line of plain text that a page might carry in a text run.",
        u"\u0416\u0443\u0440\u043D\u0430\u043B \u2014 \u00AB\u0442\u0435\u0441\u0442\u00BB",
    };
    for (const char16_t* s : samples) rec.texts.push_back(String(s, false));
    ByteArrayOutputStream bytes;
    DataOutputStream out(&bytes);
    out.setDeleteSource(false);
    const int nTexts = static_cast<int>(rec.texts.size());
    while (bytes.size() < TARGET_BYTES) {
      out.writeInt(rec.count * 2654435761u);
      out.writeShort(static_cast<short>(rec.count));
      out.writeUTF(rec.texts[rec.count % nTexts]);
      ++rec.count;
    }
    rec.image.assign(bytes.toByteArray(), bytes.size());
    return rec;
  }();
  return r;
}

// Into a stream that already has room (reset between runs): the encoding.
void BM_DataWrite(benchmark::State& state) {
  const Records& r = records();
  ByteArrayOutputStream bytes;
  DataOutputStream out(&bytes);
  out.setDeleteSource(false);
  for (auto _ : state) {
    bytes.reset();
    writeRecords(out, r);
    benchmark::DoNotOptimize(bytes.toByteArray());
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(r.image.size()));
}
BENCHMARK(BM_DataWrite)->Unit(benchmark::kMillisecond);

// Into a new stream each run: the encoding plus the stream's growth.
void BM_DataWriteFresh(benchmark::State& state) {
  const Records& r = records();
  for (auto _ : state) {
    ByteArrayOutputStream bytes;
    DataOutputStream out(&bytes);
    out.setDeleteSource(false);
    writeRecords(out, r);
    benchmark::DoNotOptimize(bytes.toByteArray());
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(r.image.size()));
}
BENCHMARK(BM_DataWriteFresh)->Unit(benchmark::kMillisecond);

void BM_DataRead(benchmark::State& state) {
  const Records& r = records();
  for (auto _ : state) {
    DataInputStream in(new ByteArrayInputStream(r.image.data(), 0, static_cast<int>(r.image.size())));
    benchmark::DoNotOptimize(readRecords(in, r));
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(r.image.size()));
}
BENCHMARK(BM_DataRead)->Unit(benchmark::kMillisecond);

void BM_DataRoundTrip(benchmark::State& state) {
  const Records& r = records();
  for (auto _ : state) {
    ByteArrayOutputStream bytes;
    DataOutputStream out(&bytes);
    out.setDeleteSource(false);
    writeRecords(out, r);
    DataInputStream in(new ByteArrayInputStream(bytes.toByteArray(), 0, bytes.size()));
    benchmark::DoNotOptimize(readRecords(in, r));
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(r.image.size()));
}
BENCHMARK(BM_DataRoundTrip)->Unit(benchmark::kMillisecond);

}  // namespace
