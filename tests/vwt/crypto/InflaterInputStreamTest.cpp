#include <gtest/gtest.h>
#include <zlib.h>

#include "tests/vwt/crypto/CryptoTestSupport.h"
#include "vwt/io/ByteArrayInputStream.h"
#include "vwt/io/DataInputStream.h"
#include "vwt/lang/Exception.h"
#include "vwt/net/InflaterInputStream.h"

using namespace crypto_test;

namespace {

// windowBits 15: zlib format; -15: raw deflate; 31: gzip.
Bytes compress(const Bytes& data, int level, int windowBits = 15) {
  z_stream z{};
  EXPECT_EQ(deflateInit2(&z, level, Z_DEFLATED, windowBits, 8, Z_DEFAULT_STRATEGY), Z_OK);
  Bytes out(deflateBound(&z, data.size()) + 32);
  z.next_in = const_cast<Bytef*>(data.data());
  z.avail_in = static_cast<uInt>(data.size());
  z.next_out = out.data();
  z.avail_out = static_cast<uInt>(out.size());
  EXPECT_EQ(deflate(&z, Z_FINISH), Z_STREAM_END);
  out.resize(z.total_out);
  deflateEnd(&z);
  return out;
}

Bytes someText(size_t n) {
  static const char* words[] = {"page ", "render ", "item ", "the ", "browser ", "zoom ", "link\n", "frame "};
  std::mt19937 rng(61);
  std::string s;
  while (s.size() < n) s += words[rng() % 8];
  s.resize(n);
  return Bytes(s.begin(), s.end());
}

Bytes inflateAll(const Bytes& compressed, int sourceStep, int readStep) {
  InflaterInputStream in(new ChunkedInputStream(compressed, sourceStep));
  return readAll(in, readStep);
}

// The id's text, with zlib's text as the argument.
void expectMessage(const Exception& e, int id, const char* zlibText) {
  EXPECT_TRUE(e.getRawMessage().equals(Resource::getString(id, String(zlibText))))
      << narrow(e.getRawMessage());
}

}  // namespace

TEST(InflaterInputStream, InflatesZlibDataAtSeveralLevelsAndReadSizes) {
  std::mt19937 rng(62);
  std::vector<Bytes> bodies = {randomBytes(rng, 5000), someText(100000), Bytes(3000, 'x'), Bytes(1, 'a')};
  for (const Bytes& body : bodies) {
    for (int level : {0, 1, 6, 9}) {
      Bytes compressed = compress(body, level);
      EXPECT_EQ(inflateAll(compressed, 4096, 1 << 20), body) << body.size() << " level " << level;
      EXPECT_EQ(inflateAll(compressed, 1, 1), body) << body.size() << " level " << level;
      EXPECT_EQ(inflateAll(compressed, 333, 1023), body) << body.size() << " level " << level;
      EXPECT_EQ(inflateAll(compressed, 1024, 1025), body) << body.size() << " level " << level;
    }
  }
}

TEST(InflaterInputStream, ReadFullyOfTheWholeBodyThenEnd) {
  std::mt19937 rng(63);
  Bytes body = randomBytes(rng, 5000);
  Bytes compressed = compress(body, 6);
  compressed.push_back(0x77);  // bytes after the stream are not data
  DataInputStream in(new InflaterInputStream(
      new ByteArrayInputStream(chars(compressed), 0, static_cast<int>(compressed.size()))));
  Bytes out(5000);
  in.readFully(reinterpret_cast<char*>(out.data()), 0, 5000);
  EXPECT_EQ(out, body);
  char c;
  EXPECT_EQ(in.read(&c, 0, 1), -1);
  EXPECT_EQ(in.read(), -1);
}

TEST(InflaterInputStream, EmptyBodyAndZeroLengthReads) {
  Bytes compressed = compress(Bytes(), 6);
  InflaterInputStream in(new ChunkedInputStream(compressed, 4096));
  char buf[8];
  EXPECT_EQ(in.read(buf, 0, 0), 0);
  EXPECT_THROW(in.read(buf, 0, -1), Exception);
  EXPECT_EQ(in.read(buf, 0, 8), -1);
}

TEST(InflaterInputStream, RejectsRawDeflateGzipAndCorruptData) {
  Bytes body = someText(20000);
  Bytes corrupt = compress(body, 6);
  corrupt[corrupt.size() / 2] ^= 0x5A;
  corrupt[corrupt.size() / 2 + 1] ^= 0xA5;
  Bytes badChecksum = compress(body, 6);
  badChecksum.back() ^= 1;
  struct Case {
    Bytes data;
    const char* zlibText;
  } cases[] = {{compress(body, 6, -15), "incorrect header check"},
               {compress(body, 6, 31), "incorrect header check"},
               {corrupt, nullptr},
               {badChecksum, "incorrect data check"}};
  for (const Case& c : cases) {
    try {
      inflateAll(c.data, 4096, 4096);
      ADD_FAILURE() << "accepted bad data";
    } catch (const Exception& e) {
      if (c.zlibText) expectMessage(e, -701, c.zlibText);
    }
  }
}

TEST(InflaterInputStream, StreamCutShortFailsWhenTheSourceEnds) {
  Bytes body = someText(50000);
  Bytes compressed = compress(body, 9);
  for (size_t keep : {size_t(1), size_t(2), compressed.size() / 3, compressed.size() - 1}) {
    Bytes cut(compressed.begin(), compressed.begin() + keep);
    InflaterInputStream in(new ChunkedInputStream(cut, 100));
    std::vector<char> buf(1 << 20);
    size_t got = 0;
    bool threw = false;
    try {
      for (int n; (n = in.read(buf.data(), 0, 700)) != -1;) got += n;
    } catch (const Exception& e) {
      threw = true;
      expectMessage(e, -701, "buffer error");
    }
    EXPECT_TRUE(threw) << "a cut stream must not look complete (kept " << keep << ")";
    EXPECT_LE(got, body.size());
  }
}

TEST(InflaterInputStream, CloseThenDestroyAndOwnership) {
  Bytes compressed = compress(someText(3000), 6);
  ChunkedInputStream source(compressed, 4096);
  {
    InflaterInputStream in(&source);
    in.setDeleteSource(false);
    char buf[10];
    EXPECT_EQ(in.read(buf, 0, 10), 10);
    in.close();
    EXPECT_TRUE(source.closed());
    EXPECT_EQ(in.read(buf, 0, 10), -1);
    in.close();
  }
  // Destroyed without close: zlib and the owned source are released (the
  // sanitizer build checks for leaks and double frees).
  InflaterInputStream* owned = new InflaterInputStream(new ChunkedInputStream(compressed, 4096));
  owned->read();
  delete owned;
}

// Values read through DataInputStream come partly from the inflater's held
// bytes and partly through read() where they straddle its 1024-byte window:
// every offset of a value against the window boundary must give the same
// result.
TEST(InflaterInputStream, DataValuesAcrossTheOutputWindow) {
  Bytes plain;
  auto put = [&](std::initializer_list<int> bytes) {
    for (int b : bytes) plain.push_back(static_cast<unsigned char>(b));
  };
  int records = 0;
  while (plain.size() < 5000) {
    int r = records++;
    put({r >> 24 & 0xFF, r >> 16 & 0xFF, r >> 8 & 0xFF, r & 0xFF});  // int
    put({0x81, r & 0xFF});                                           // short
    put({r & 0x7F});                                                 // byte
    // Text: r % 13 ASCII letters, then U+3042 in three bytes.
    int letters = r % 13;
    put({0, letters + 3});
    for (int i = 0; i < letters; ++i) put({'a' + i});
    put({0xE3, 0x81, 0x82});
  }
  const Bytes packed = compress(plain, 6);
  DataInputStream data(new InflaterInputStream(new ByteArrayInputStream(
      reinterpret_cast<const char*>(packed.data()), 0, static_cast<int>(packed.size()))));
  for (int r = 0; r < records; ++r) {
    ASSERT_EQ(data.readInt(), r);
    ASSERT_EQ(data.readShort(), static_cast<short>(0x8100 | (r & 0xFF)));
    ASSERT_EQ(data.readByte(), static_cast<char>(r & 0x7F));
    std::u16string expected;
    for (int i = 0; i < r % 13; ++i) expected += static_cast<char16_t>(u'a' + i);
    expected += u'\u3042';
    String s = data.readUTF();
    ASSERT_EQ(std::u16string(s.getCString(), s.length()), expected) << "record " << r;
  }
  EXPECT_EQ(data.read(), -1);
}
