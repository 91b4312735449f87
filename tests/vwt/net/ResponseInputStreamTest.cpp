#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "vwt/io/ByteArrayInputStream.h"
#include "vwt/net/ResponseInputStream.h"

namespace {

// Hands out at most `most` bytes per read and counts the reads, as a socket that receives in parts.
class PartsStream : public InputStream {
 public:
  PartsStream(std::string bytes, int most) : bytes_(std::move(bytes)), most_(most) {}
  using InputStream::read;
  int read(char* buf, int off, int len) override {
    ++reads;
    if (at_ >= bytes_.size()) return -1;
    int n = std::min({len, most_, static_cast<int>(bytes_.size() - at_)});
    bytes_.copy(buf + off, n, at_);
    at_ += n;
    return n;
  }
  int available() override { return static_cast<int>(bytes_.size() - at_); }
  int reads = 0;

 private:
  std::string bytes_;
  size_t at_ = 0;
  int most_;
};

}  // namespace

TEST(ResponseInputStreamTest, SingleBytesComeFromOneBlockAndTheRestFollowsInOrder) {
  std::string all = "HTTP/1.1 200 OK\r\n\r\n" + std::string(10000, 'b') + "end";
  PartsStream parts(all, 100000);
  ResponseInputStream in(&parts);
  in.setDeleteSource(false);
  std::string got;
  for (int i = 0; i < 19; ++i) got += static_cast<char>(in.read());
  EXPECT_EQ(1, parts.reads) << "the header line took one source read";
  EXPECT_EQ(ResponseInputStream::BUF_SIZE - 19, in.available()) << "the held bytes";
  char buf[20000];
  int n;
  while ((n = in.read(buf, 0, sizeof buf)) > 0) got.append(buf, n);
  EXPECT_EQ(-1, n);
  EXPECT_EQ(all, got);
}

TEST(ResponseInputStreamTest, ReadsSkipsAndEndsAcrossParts) {
  std::string all;
  for (int i = 0; i < 3000; ++i) all += static_cast<char>(i % 251);
  struct Case {
    int most;   // bytes per source read
    int block;  // bytes asked for per read
  } cases[] = {{1, 1}, {5, 3}, {700, 50}, {10000, 4096}, {10000, 5000}};
  for (const Case& k : cases) {
    SCOPED_TRACE(std::to_string(k.most) + "/" + std::to_string(k.block));
    PartsStream parts(all, k.most);
    ResponseInputStream in(&parts);
    in.setDeleteSource(false);
    std::string got;
    got += static_cast<char>(in.read());
    EXPECT_EQ(10, in.skip(10));
    std::string buf(k.block, '\0');
    for (int n; (n = in.read(&buf[0], 0, k.block)) > 0;) {
      EXPECT_LE(n, k.block);
      got.append(buf.data(), n);
    }
    EXPECT_EQ(all.substr(0, 1) + all.substr(11), got);
    EXPECT_EQ(-1, in.read());
    EXPECT_EQ(0, in.read(&buf[0], 0, 0));
  }
}
