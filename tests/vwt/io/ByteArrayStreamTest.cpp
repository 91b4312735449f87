#include <gtest/gtest.h>

#include "tests/vwt/io/StreamTestSupport.h"
#include "vwt/io/ByteArrayInputStream.h"
#include "vwt/io/ByteArrayOutputStream.h"
#include "vwt/io/DataOutputStream.h"

namespace {

TEST(ByteArrayInputStream, ReadsItsRangeOnly) {
  const char data[] = "0123456789";
  ByteArrayInputStream in(data, 2, 5);
  EXPECT_EQ(in.available(), 5);
  EXPECT_EQ(in.read(), '2');
  char buf[10] = {};
  EXPECT_EQ(in.read(buf, 1, 3), 3);
  EXPECT_EQ(std::string(buf + 1, 3), "345");
  EXPECT_EQ(in.read(buf, 0, 10), 1);
  EXPECT_EQ(buf[0], '6');
  EXPECT_EQ(in.read(buf, 0, 10), -1);
  EXPECT_EQ(in.read(), -1);
  EXPECT_EQ(in.available(), 0);
}

TEST(ByteArrayInputStream, SkipAndAvailable) {
  struct Case {
    int64_t skip;
    int64_t skipped;
    int next;
  };
  const Case cases[] = {{0, 0, 'a'}, {-5, 0, 'a'}, {3, 3, 'd'}, {6, 6, -1}, {1LL << 40, 6, -1}};
  for (const Case& c : cases) {
    ByteArrayInputStream in("abcdef", 0, 6);
    EXPECT_EQ(in.skip(c.skip), c.skipped);
    EXPECT_EQ(in.available(), 6 - c.skipped);
    EXPECT_EQ(in.read(), c.next);
  }
}

TEST(ByteArrayInputStream, BytesAboveSevenBitsReadUnsigned) {
  const char data[] = {'\xFF', '\x80'};
  ByteArrayInputStream in(data, 0, 2);
  EXPECT_EQ(in.read(), 0xFF);
  EXPECT_EQ(in.read(), 0x80);
}

TEST(ByteArrayInputStream, CloseEndsTheStream) {
  ByteArrayInputStream in("abc", 0, 3);
  in.close();
  EXPECT_EQ(in.read(), -1);
  EXPECT_EQ(in.available(), 0);
}

TEST(ByteArrayInputStream, NegativeRangeIsEmpty) {
  ByteArrayInputStream a("abc", -1, 3);
  ByteArrayInputStream b("abc", 0, -3);
  EXPECT_EQ(a.read(), -1);
  EXPECT_EQ(b.read(), -1);
}

TEST(ByteArrayOutputStream, CollectsResetsAndGrows) {
  ByteArrayOutputStream out;
  EXPECT_EQ(out.size(), 0);
  out.write('x');
  out.write("0123456789", 2, 3);
  EXPECT_EQ(std::string(out.toByteArray(), out.size()), "x234");
  out.reset();
  EXPECT_EQ(out.size(), 0);
  std::string big;
  for (int i = 0; i < 100000; ++i) big.push_back(static_cast<char>(i * 31));
  out.write(big.data(), 0, 40000);
  for (int i = 40000; i < 100000; ++i) out.write(big[i]);
  ASSERT_EQ(out.size(), 100000);
  EXPECT_EQ(std::string(out.toByteArray(), out.size()), big);
  out.write(nullptr, 0, 5);
  out.write("abc", 0, -1);
  EXPECT_EQ(out.size(), 100000);
}

TEST(ByteArrayOutputStream, DestroyedWithItsDataOutputStreamUnlessKept) {
  // Leak detection in the sanitizer build catches a filter that forgets it.
  { DataOutputStream out(new ByteArrayOutputStream()); }
  ByteArrayOutputStream kept;
  {
    DataOutputStream out(&kept);
    out.setDeleteSource(false);
    out.writeShort(0x4142);
  }
  EXPECT_EQ(std::string(kept.toByteArray(), kept.size()), "AB");
}

}  // namespace
