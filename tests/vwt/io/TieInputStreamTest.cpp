#include <gtest/gtest.h>

#include "tests/vwt/io/StreamTestSupport.h"
#include "vwt/io/ByteArrayInputStream.h"
#include "vwt/io/ByteArrayOutputStream.h"
#include "vwt/io/TieInputStream.h"

namespace {

std::string contents(const ByteArrayOutputStream* out) {
  return std::string(out->toByteArray(), out->size());
}

TEST(TieInputStream, CopiesWhatIsRead) {
  ByteArrayOutputStream* tie = new ByteArrayOutputStream();
  TieInputStream in(new ByteArrayInputStream("12345", 0, 5), tie);
  EXPECT_EQ(in.read(), '1');
  char buf[8];
  EXPECT_EQ(in.read(buf, 2, 8 - 2), 4);
  EXPECT_EQ(contents(tie), "12345");
  EXPECT_EQ(in.read(buf, 0, 8), -1);
  EXPECT_EQ(in.read(), -1);
  EXPECT_EQ(contents(tie), "12345");
  EXPECT_EQ(in.getTie(), tie);
}

TEST(TieInputStream, CopiesShortReadsAndSkippedBytes) {
  ByteArrayOutputStream* tie = new ByteArrayOutputStream();
  TieInputStream in(new ScriptedInputStream("abcdefghij", nullptr, 2), tie);
  char buf[10];
  EXPECT_EQ(in.read(buf, 0, 10), 2);
  EXPECT_EQ(in.skip(5), 5);
  EXPECT_EQ(in.read(), 'h');
  EXPECT_EQ(contents(tie), "abcdefgh");
}

TEST(TieInputStream, WorksWithoutTie) {
  TieInputStream in(new ByteArrayInputStream("ab", 0, 2), nullptr);
  char buf[4];
  EXPECT_EQ(in.read(buf, 0, 4), 2);
  EXPECT_EQ(in.read(), -1);
  in.close();
}

TEST(TieInputStream, CloseAndDestroyReachBoth) {
  StreamLog source, tie;
  {
    TieInputStream in(new ScriptedInputStream("xy", &source), new RecordingOutputStream(&tie));
    EXPECT_EQ(in.read(), 'x');
    in.close();
    EXPECT_EQ(source.closes, 1);
    EXPECT_EQ(tie.closes, 1);
  }
  EXPECT_TRUE(source.destroyed);
  EXPECT_TRUE(tie.destroyed);
  EXPECT_EQ(tie.bytes, "x");
}

TEST(TieInputStream, KeepsSourceWhenAskedButAlwaysOwnsTie) {
  StreamLog source, tie;
  ScriptedInputStream* s = new ScriptedInputStream("", &source);
  {
    TieInputStream in(s, new RecordingOutputStream(&tie));
    in.setDeleteSource(false);
  }
  EXPECT_FALSE(source.destroyed);
  EXPECT_TRUE(tie.destroyed);
  delete s;
}

}  // namespace
