#include <gtest/gtest.h>

#include "tests/vwt/io/StreamTestSupport.h"
#include "vwt/io/BufferedInputStream.h"

namespace {

std::string pattern(int n) {
  std::string s;
  for (int i = 0; i < n; ++i) s.push_back(static_cast<char>(i * 7 + 3));
  return s;
}

TEST(BufferedInputStream, ReadAtEndGivesMinusOne) {
  StreamLog log;
  BufferedInputStream in(new ScriptedInputStream("", &log));
  char buf[10];
  EXPECT_EQ(in.read(buf, 0, 10), -1);
  EXPECT_EQ(in.read(), -1);
}

TEST(BufferedInputStream, ShortSourceGivesWhatItHasThenEnd) {
  StreamLog log;
  BufferedInputStream in(new ScriptedInputStream("abc", &log));
  char buf[10] = {};
  EXPECT_EQ(in.read(buf, 0, 10), 3);
  EXPECT_EQ(std::string(buf, 3), "abc");
  EXPECT_EQ(in.read(buf, 0, 10), -1);
  // The source is always asked for a whole block.
  for (int len : log.requests) EXPECT_EQ(len, BufferedInputStream::BUF_SIZE);
}

TEST(BufferedInputStream, FillsRequestAcrossShortSourceReads) {
  const std::string data = pattern(10000);
  StreamLog log;
  BufferedInputStream in(new ScriptedInputStream(data, &log, 1000));
  std::string out(9000, '\0');
  EXPECT_EQ(in.read(&out[0], 0, 9000), 9000);
  EXPECT_EQ(out, data.substr(0, 9000));
  EXPECT_EQ(in.available(), 0);
  std::string rest(2000, '\0');
  EXPECT_EQ(in.read(&rest[0], 0, 2000), 1000);
  EXPECT_EQ(rest.substr(0, 1000), data.substr(9000));
  for (int len : log.requests) EXPECT_EQ(len, BufferedInputStream::BUF_SIZE);
}

TEST(BufferedInputStream, MixedSingleAndBlockReadsKeepOrder) {
  const std::string data = pattern(3 * BufferedInputStream::BUF_SIZE + 17);
  BufferedInputStream in(new ScriptedInputStream(data, nullptr, 777));
  std::string out;
  char buf[1500];
  for (;;) {
    int b = in.read();
    if (b < 0) break;
    out.push_back(static_cast<char>(b));
    int n = in.read(buf, 5, 1400);
    if (n < 0) break;
    out.append(buf + 5, n);
  }
  EXPECT_EQ(out, data);
}

TEST(BufferedInputStream, AvailableCountsBufferedBytes) {
  BufferedInputStream in(new ScriptedInputStream(pattern(100), nullptr));
  EXPECT_EQ(in.available(), 0);
  in.read();
  EXPECT_EQ(in.available(), 99);
}

TEST(BufferedInputStream, SkipTakesBufferedBytesFirst) {
  const std::string data = pattern(10000);
  BufferedInputStream in(new ScriptedInputStream(data, nullptr));
  EXPECT_EQ(in.read(), static_cast<unsigned char>(data[0]));
  EXPECT_EQ(in.skip(10), 10);
  EXPECT_EQ(in.read(), static_cast<unsigned char>(data[11]));
  // Past the buffer: the rest comes from the source.
  EXPECT_EQ(in.skip(5000), 5000);
  EXPECT_EQ(in.read(), static_cast<unsigned char>(data[5012]));
  EXPECT_EQ(in.skip(100000), 10000 - 5013);
  EXPECT_EQ(in.read(), -1);
}

TEST(BufferedInputStream, CloseClosesSource) {
  StreamLog log;
  {
    BufferedInputStream in(new ScriptedInputStream("x", &log));
    in.close();
    EXPECT_EQ(log.closes, 1);
  }
  EXPECT_TRUE(log.destroyed);
}

}  // namespace
