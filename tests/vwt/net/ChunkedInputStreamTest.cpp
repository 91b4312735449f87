#include <gtest/gtest.h>

#include <string>

#include "vwt/io/ByteArrayInputStream.h"
#include "vwt/lang/Exception.h"
#include "vwt/lang/Resource.h"
#include "vwt/net/ChunkedInputStream.h"

namespace {

// A source that hands out at most `step` bytes per read, like a socket.
class TricklingStream : public InputStream {
 public:
  TricklingStream(std::string data, int step) : data_(std::move(data)), step_(step) {}
  using InputStream::read;
  int read(char* buf, int off, int len) override {
    if (pos_ >= data_.size()) return -1;
    size_t n = std::min({static_cast<size_t>(len), static_cast<size_t>(step_), data_.size() - pos_});
    data_.copy(buf + off, n, pos_);
    pos_ += n;
    return static_cast<int>(n);
  }

 private:
  std::string data_;
  int step_;
  size_t pos_ = 0;
};

// The decoded body, or "!" + message id when decoding threw.
std::string decode(const std::string& wire, int block, int step = 1 << 20) {
  ChunkedInputStream in(new TricklingStream(wire, step));
  std::string out;
  std::string buf(block, '\0');
  try {
    int n;
    while ((n = in.read(&buf[0], 0, block)) > 0) {
      EXPECT_LE(n, block);
      out.append(buf.data(), n);
    }
    EXPECT_EQ(-1, in.read(&buf[0], 0, block)) << "stays ended";
  } catch (const Exception& e) {
    return e.getRawMessage().equals(Resource::getString(-100)) ? "!-100" : "!other";
  }
  return out;
}

}  // namespace

TEST(ChunkedInputStreamTest, DecodesAcrossBlockSizesAndShortReads) {
  const std::string wire = "5;ext=1\r\nhello\r\n\r\n1a\r\nabcdefghijklmnopqrstuvwxyz\r\n0\r\n\r\n";
  for (int block : {1, 2, 5, 7, 4096})
    for (int step : {1, 3, 1 << 20})
      EXPECT_EQ("helloabcdefghijklmnopqrstuvwxyz", decode(wire, block, step)) << block << "/" << step;
}

TEST(ChunkedInputStreamTest, BadInput) {
  struct Case {
    const char* name;
    std::string wire;
    std::string result;
  } cases[] = {
      {"no chunks at all", "", ""},
      {"final chunk missing", "3\r\nabc\r\n", "abc"},
      {"size line without digits ends the body", "3\r\nabc\r\nzz\r\nmore", "abc"},
      {"negative size ends the body", "-5\r\nhello", ""},
      {"body ends inside a chunk", "a\r\nabc", "!-100"},
      {"size too large for an int", "100000000\r\nabc", "!-100"},
      {"size of many digits", "fffffffffffffffff\r\nabc", "!-100"},
      {"largest size, body cut short", "7fffffff\r\nabc", "!-100"},
      {"spaces around the size", " 3 ;x\r\nabc\r\n0\r\n", "abc"},
  };
  for (const Case& k : cases) EXPECT_EQ(k.result, decode(k.wire, 16)) << k.name;
}

TEST(ChunkedInputStreamTest, LeavesASourceItDoesNotOwn) {
  const char wire[] = "2\r\nab\r\n0\r\n\r\nnext";
  ByteArrayInputStream source(wire, 0, sizeof wire - 1);
  {
    ChunkedInputStream in(&source);
    in.setDeleteSource(false);
    char buf[8];
    EXPECT_EQ(2, in.read(buf, 0, 8));
    EXPECT_EQ(-1, in.read(buf, 0, 8));
  }
  // The trailer is not read: what follows the last chunk line stays.
  EXPECT_EQ('\r', source.read());
}

// available() never counts past the chunk being read: the next size line and
// chunk may not be there yet, and a reader that trusts the count blocks.
TEST(ChunkedInputStreamTest, AvailableStaysWithinTheCurrentChunk) {
  const char wire[] = "5\r\nhello\r\n3\r\nabc\r\n0\r\n\r\n";
  ByteArrayInputStream source(wire, 0, sizeof wire - 1);
  ChunkedInputStream in(&source);
  in.setDeleteSource(false);
  char buf[8];
  ASSERT_EQ(2, in.read(buf, 0, 2));
  EXPECT_EQ(3, in.available());
  ASSERT_EQ(3, in.read(buf, 0, 3));
  EXPECT_EQ(0, in.available());
  ASSERT_EQ(1, in.read(buf, 0, 1));
  EXPECT_EQ(2, in.available());
}
