#include <gtest/gtest.h>

#include <string>

#include "tests/vwt/ScratchDirectory.h"
#include "vwt/io/InputStreamReader.h"
#include "vwt/io/OutputStreamWriter.h"
#include "vwt/lang/Exception.h"

namespace {
// Bytes given one at a time; records whether it was deleted.
class Bytes : public InputStream {
 public:
  explicit Bytes(std::string data, bool* deleted = nullptr)
      : data_(std::move(data)), at_(0), deleted_(deleted) {}
  ~Bytes() override {
    if (deleted_) *deleted_ = true;
  }
  using InputStream::read;
  int read(char* buf, int off, int len) override {
    if (at_ >= data_.size()) return -1;
    if (len <= 0) return 0;
    buf[off] = data_[at_++];
    return 1;
  }
  int available() override { return static_cast<int>(data_.size() - at_); }

 private:
  std::string data_;
  size_t at_;
  bool* deleted_;
};

class Sink : public OutputStream {
 public:
  explicit Sink(std::string* out) : out_(out) {}
  using OutputStream::write;
  void write(const char* buf, int off, int len) override {
    out_->append(buf + off, static_cast<size_t>(len));
    ++writes;
  }
  int writes = 0;

 private:
  std::string* out_;
};

std::u16string units(const String& s) {
  return std::u16string(s.getCString(), static_cast<size_t>(s.length()));
}

std::vector<std::u16string> lines(const std::string& bytes, String::CharsetType encoding) {
  InputStreamReader reader(new Bytes(bytes), encoding);
  std::vector<std::u16string> out;
  String line;
  while (reader.readLine(line)) out.push_back(units(line));
  EXPECT_TRUE(line.isNull());
  return out;
}

class ReaderMessages : public ::testing::Test {
 protected:
  void SetUp() override { program.write("res/message.txt", "-800=E800\n-801=E801 %1\n"); }
  ScratchProgram program;
};
}  // namespace

TEST(InputStreamReader, LinesInEachEncoding) {
  using V = std::vector<std::u16string>;
  EXPECT_EQ(lines("a\r\nb", String::DEFAULT), (V{u"a", u"b"}));
  EXPECT_EQ(lines("a\n\nb\n", String::DEFAULT), (V{u"a", u"", u"b"}));
  EXPECT_EQ(lines("", String::DEFAULT), V{});
  EXPECT_EQ(lines("\xE3\x81\x82\r\nx", String::UTF8), (V{u"\u3042", u"x"}));
  EXPECT_EQ(lines(std::string("A\0\r\0\n\0B\0", 8), String::UTF16LE), (V{u"A", u"B"}));
}

TEST(InputStreamReader, ByteOrderMarkDroppedOnlyInTheFirstLine) {
  EXPECT_EQ(lines("\xEF\xBB\xBFone\n\xEF\xBB\xBFtwo", String::UTF8),
            (std::vector<std::u16string>{u"one", u"\uFEFFtwo"}));
  InputStreamReader reader(new Bytes("a\nb\n"), String::UTF8);
  String line;
  reader.readLine(line);
  reader.readLine(line);
  EXPECT_EQ(reader.getLineCount(), 2);
}

TEST(InputStreamReader, Utf8Characters) {
  InputStreamReader reader(new Bytes("A\xC3\xA9\xE3\x81\x82\xEF\xBF\xBF"), String::UTF8);
  EXPECT_EQ(reader.read(), 'A');
  EXPECT_EQ(reader.read(), 0xE9);
  EXPECT_EQ(reader.read(), 0x3042);
  EXPECT_EQ(reader.read(), 0xFFFF);
  EXPECT_EQ(reader.read(), -1);
  InputStreamReader ansi(new Bytes("abc"), String::DEFAULT);
  EXPECT_EQ(ansi.read(), -1);
}

TEST_F(ReaderMessages, TruncatedSequenceThrows800AndBadLeadByte801) {
  const char* truncated[] = {"\xC3", "\xE3\x81", "ok\xE3"};
  for (const char* bytes : truncated) {
    InputStreamReader reader(new Bytes(bytes), String::UTF8);
    String line;
    try {
      reader.readLine(line);
      FAIL() << bytes;
    } catch (const Exception& e) {
      EXPECT_TRUE(e.getRawMessage().equals(u"E800"));
    }
  }
  const char* bad[] = {"\x80", "\xF0\x9F\x98\x80", "\xFF"};
  for (const char* bytes : bad) {
    InputStreamReader reader(new Bytes(bytes), String::UTF8);
    EXPECT_THROW(reader.read(), Exception);
  }
  InputStreamReader reader(new Bytes("\x80"), String::UTF8);
  try {
    reader.read();
  } catch (const Exception& e) {
    EXPECT_TRUE(e.getRawMessage().equals(u"E801 80"));
  }
}

TEST(InputStreamReader, BlockReadStoresATerminatorWhenThereIsRoom) {
  InputStreamReader reader(new Bytes(std::string("A\0B\0", 4)), String::UTF16LE);
  char16_t buf[5] = {9, 9, 9, 9, 9};
  EXPECT_EQ(reader.read(buf, 0, 4), 2);
  EXPECT_EQ(buf[0], u'A');
  EXPECT_EQ(buf[1], u'B');
  EXPECT_EQ(buf[2], 0);
  EXPECT_EQ(buf[3], 9);
  EXPECT_EQ(reader.read(buf, 0, 4), 0);
  // A full block leaves the unit after it alone.
  InputStreamReader full(new Bytes("xyz"), String::UTF8);
  char16_t two[3] = {9, 9, 9};
  EXPECT_EQ(full.read(two, 0, 2), 2);
  EXPECT_EQ(two[2], 9);
  EXPECT_EQ(full.Reader::read(), 'z');
  EXPECT_EQ(full.Reader::read(), -1);
}

TEST(InputStreamReader, OwnsItsSourceUnlessTold) {
  bool deleted = false;
  { InputStreamReader reader(new Bytes("x", &deleted), String::UTF8); }
  EXPECT_TRUE(deleted);
  deleted = false;
  Bytes kept("x", &deleted);
  {
    InputStreamReader reader(&kept, String::UTF8);
    reader.setDeleteSource(false);
    EXPECT_TRUE(reader.ready());
  }
  EXPECT_FALSE(deleted);
}

TEST(InputStreamReader, SkipDropsCharacters) {
  InputStreamReader reader(new Bytes("abcdef"), String::UTF8);
  EXPECT_EQ(reader.skip(4), 4);
  EXPECT_EQ(reader.read(), 'e');
  EXPECT_EQ(reader.skip(10), 1);
}

TEST(OutputStreamWriter, WritesTextInOneWrite) {
  std::string out;
  Sink* sink = new Sink(&out);
  OutputStreamWriter writer(sink);
  writer.write(String(u"caf\u00e9 \u3042", false));
  EXPECT_EQ(out, "caf\xC3\xA9 \xE3\x81\x82");
  EXPECT_EQ(sink->writes, 1);
  writer.write(u"0123456"_s, 2, 3);
  writer.write(u"xy"_s, 1, 10);
  writer.write('!');
  EXPECT_EQ(out,
            "caf\xC3\xA9 \xE3\x81\x82"
            "234y!");
}
