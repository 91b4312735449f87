#include <gtest/gtest.h>

#include "tests/vwt/io/StreamTestSupport.h"
#include "vwt/io/BufferedOutputStream.h"

namespace {

const int BUF = BufferedOutputStream::BUF_SIZE;

TEST(BufferedOutputStream, SingleBytesGoOutInBlocks) {
  StreamLog log;
  BufferedOutputStream out(new RecordingOutputStream(&log));
  for (int i = 0; i < BUF + 1; ++i) out.write(i);
  EXPECT_EQ(log.writes, std::vector<int>{BUF});
  out.flush();
  out.flush();
  EXPECT_EQ(log.writes, (std::vector<int>{BUF, 1}));
  EXPECT_EQ(log.flushes, 2);
  ASSERT_EQ(log.bytes.size(), static_cast<size_t>(BUF + 1));
  for (int i = 0; i < BUF + 1; ++i) ASSERT_EQ(log.bytes[i], static_cast<char>(i)) << i;
}

TEST(BufferedOutputStream, BlockWritesSplitAtBufferSize) {
  struct Case {
    std::vector<int> lens;
    std::vector<int> sinkWrites;  // before flush
  };
  const Case cases[] = {
      {{BUF}, {}},
      {{BUF, 1}, {BUF}},
      {{100, BUF}, {BUF}},
      {{1, 3 * BUF}, {BUF, BUF, BUF}},
      {{BUF - 1, 1, 1}, {BUF}},
      {{0, 10}, {}},
  };
  for (const Case& c : cases) {
    StreamLog log;
    std::string expected;
    {
      BufferedOutputStream out(new RecordingOutputStream(&log));
      int seq = 0;
      for (int len : c.lens) {
        std::string chunk;
        for (int i = 0; i < len; ++i) chunk.push_back(static_cast<char>(seq++));
        expected += chunk;
        out.write(chunk.data(), 0, len);
      }
      EXPECT_EQ(log.writes, c.sinkWrites);
      out.close();
    }
    EXPECT_EQ(log.bytes, expected);
    EXPECT_EQ(log.closes, 1);
    EXPECT_TRUE(log.destroyed);
    for (int w : log.writes) EXPECT_LE(w, BUF);
  }
}

TEST(BufferedOutputStream, WritesFromOffset) {
  StreamLog log;
  BufferedOutputStream out(new RecordingOutputStream(&log));
  char data[] = "0123456789";
  out.write(data, 3, 4);  // the non-const overload stays visible
  out.flush();
  EXPECT_EQ(log.bytes, "3456");
}

TEST(BufferedOutputStream, KeepsSinkWhenAsked) {
  StreamLog log;
  RecordingOutputStream sink(&log);
  {
    BufferedOutputStream out(&sink);
    out.setDeleteSource(false);
    out.write('z');
    out.close();
  }
  EXPECT_FALSE(log.destroyed);
  EXPECT_EQ(log.bytes, "z");
}

}  // namespace
