#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "tests/vwt/io/StreamTestSupport.h"
#include "vwt/io/BufferedInputStream.h"
#include "vwt/io/BufferedOutputStream.h"
#include "vwt/io/ByteArrayInputStream.h"
#include "vwt/io/ByteArrayOutputStream.h"
#include "vwt/io/DataInputStream.h"
#include "vwt/io/DataOutputStream.h"

namespace {

String text(const std::u16string& s) { return String(s.data(), 0, static_cast<int>(s.size())); }

TEST(DataOutputStream, EncodesEachValueInOneWrite) {
  struct Case {
    const char* name;
    std::function<void(DataOutputStream&)> op;
    std::string bytes;
  };
  const Case cases[] = {
      {"writeInt(-2)", [](DataOutputStream& o) { o.writeInt(-2); }, bytesOf({0xFF, 0xFF, 0xFF, 0xFE})},
      {"writeInt(0x12345678)", [](DataOutputStream& o) { o.writeInt(0x12345678); },
       bytesOf({0x12, 0x34, 0x56, 0x78})},
      {"writeInt(min)", [](DataOutputStream& o) { o.writeInt(INT32_MIN); }, bytesOf({0x80, 0, 0, 0})},
      {"writeShort(-2)", [](DataOutputStream& o) { o.writeShort(-2); }, bytesOf({0xFF, 0xFE})},
      {"writeChar(0x13042)", [](DataOutputStream& o) { o.writeChar(0x13042); }, bytesOf({0x30, 0x42})},
      {"writeBoolean(true)", [](DataOutputStream& o) { o.writeBoolean(true); }, bytesOf({1})},
      {"writeBoolean(false)", [](DataOutputStream& o) { o.writeBoolean(false); }, bytesOf({0})},
      {"writeByte(-1)", [](DataOutputStream& o) { o.writeByte(-1); }, bytesOf({0xFF})},
      {"writeByte(0x141)", [](DataOutputStream& o) { o.writeByte(0x141); }, bytesOf({0x41})},
      {"writeUTF empty", [](DataOutputStream& o) { o.writeUTF(String::null); }, bytesOf({0, 0})},
      {"writeUTF A", [](DataOutputStream& o) { o.writeUTF(u"A"_s); }, bytesOf({0, 1, 0x41})},
      {"writeUTF U+0000", [](DataOutputStream& o) { o.writeUTF(text(std::u16string(1, u'\0'))); },
       bytesOf({0, 2, 0xC0, 0x80})},
      {"writeUTF U+3042", [](DataOutputStream& o) { o.writeUTF(u"\u3042"_s); },
       bytesOf({0, 3, 0xE3, 0x81, 0x82})},
      {"writeUTF U+0080 U+07FF U+0800 U+FFFF",
       [](DataOutputStream& o) { o.writeUTF(u"\u0080\u07FF\u0800\uFFFF"_s); },
       bytesOf({0, 10, 0xC2, 0x80, 0xDF, 0xBF, 0xE0, 0xA0, 0x80, 0xEF, 0xBF, 0xBF})},
      {"writeUTF surrogate pair", [](DataOutputStream& o) { o.writeUTF(u"\U0001F600"_s); },
       bytesOf({0, 6, 0xED, 0xA0, 0xBD, 0xED, 0xB8, 0x80})},
      {"writeChars", [](DataOutputStream& o) { o.writeChars(u"A\u3042"_s); }, bytesOf({0, 0x41, 0x30, 0x42})},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    StreamLog log;
    {
      DataOutputStream out(new RecordingOutputStream(&log));
      c.op(out);
    }
    EXPECT_EQ(log.bytes, c.bytes);
    EXPECT_EQ(log.writes.size(), 1u);
  }
}

TEST(DataOutputStream, WriteUTFAtTheCountLimit) {
  StreamLog log;
  DataOutputStream out(new RecordingOutputStream(&log));
  // 21845 three-byte units: exactly 65535 bytes.
  std::u16string largest(21845, u'\u3042');
  out.writeUTF(text(largest));
  ASSERT_EQ(log.bytes.size(), 65537u);
  EXPECT_EQ(log.bytes.substr(0, 2), bytesOf({0xFF, 0xFF}));

  // One byte more must not be written with a count that wraps.
  log.bytes.clear();
  expectFailure([&] { out.writeUTF(text(largest + u"a")); }, -304);
  expectFailure([&] { out.writeUTF(text(std::u16string(70000, u'a'))); }, -304);
  EXPECT_TRUE(log.bytes.empty());
}

TEST(DataOutputStream, LargeWriteCharsIsOneWrite) {
  StreamLog log;
  DataOutputStream out(new RecordingOutputStream(&log));
  out.writeChars(text(std::u16string(5000, u'\u0102')));
  EXPECT_EQ(log.writes, std::vector<int>{10000});
  EXPECT_EQ(log.bytes.substr(9998), bytesOf({1, 2}));
}

TEST(DataOutputStream, CloseFlushesThenClosesSink) {
  StreamLog log;
  DataOutputStream out(new RecordingOutputStream(&log));
  out.close();
  EXPECT_EQ(log.flushes, 1);
  EXPECT_EQ(log.closes, 1);
}

TEST(DataOutputStream, OwnsSinkUnlessTold) {
  StreamLog owned, kept;
  { DataOutputStream out(new RecordingOutputStream(&owned)); }
  EXPECT_TRUE(owned.destroyed);
  RecordingOutputStream* sink = new RecordingOutputStream(&kept);
  {
    DataOutputStream out(sink);
    out.setDeleteSource(false);
    out.writeInt(7);
  }
  EXPECT_FALSE(kept.destroyed);
  EXPECT_EQ(kept.bytes, bytesOf({0, 0, 0, 7}));
  delete sink;
  EXPECT_TRUE(kept.destroyed);
}

TEST(DataStreams, EveryUnitRoundTrips) {
  // All 65536 units, in texts of up to 21845 units so every one fits.
  ByteArrayOutputStream bytes;
  DataOutputStream out(&bytes);
  out.setDeleteSource(false);
  std::vector<std::u16string> texts;
  for (int first = 0; first < 0x10000; first += 20000) {
    std::u16string t;
    for (int c = first; c < first + 20000 && c < 0x10000; ++c) t.push_back(static_cast<char16_t>(c));
    texts.push_back(t);
    out.writeUTF(text(t));
  }
  DataInputStream in(new ByteArrayInputStream(bytes.toByteArray(), 0, bytes.size()));
  for (const std::u16string& t : texts) {
    String s = in.readUTF();
    EXPECT_EQ(std::u16string(s.getCString(), s.length()), t);
  }
  EXPECT_EQ(in.read(), -1);
}

TEST(DataStreams, MixedRecordsRoundTrip) {
  const std::u16string texts[] = {u"",
                                  u"A",
                                  std::u16string(u"a\0b", 3),
                                  u"\u3042\u3044\u3046 caf\u00E9",
                                  u"\U0001F600!",
                                  std::u16string(3000, u'\u7A7A')};
  ByteArrayOutputStream* bytes = new ByteArrayOutputStream();
  DataOutputStream out(new BufferedOutputStream(bytes));
  for (int i = 0; i < 50; ++i) {
    out.writeInt(i * 100003 - 2500000);
    out.writeShort(static_cast<short>(i * 1500 - 30000));
    out.writeBoolean(i % 3 == 0);
    out.writeByte(i - 25);
    out.writeChar(0xFFFF - i);
    out.writeUTF(text(texts[i % 6]));
  }
  out.writeChars(u"end"_s);
  out.flush();

  std::string copy(bytes->toByteArray(), bytes->size());
  DataInputStream in(
      new BufferedInputStream(new ByteArrayInputStream(copy.data(), 0, static_cast<int>(copy.size()))));
  for (int i = 0; i < 50; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(in.readInt(), i * 100003 - 2500000);
    EXPECT_EQ(in.readShort(), static_cast<short>(i * 1500 - 30000));
    EXPECT_EQ(in.readBoolean(), i % 3 == 0);
    EXPECT_EQ(static_cast<int>(in.readByte()), i - 25);
    EXPECT_EQ(in.readChar(), 0xFFFF - i);
    String s = in.readUTF();
    EXPECT_EQ(std::u16string(s.getCString(), s.length()), texts[i % 6]);
  }
  EXPECT_EQ(in.readChar(), u'e');
  EXPECT_EQ(in.readChar(), u'n');
  EXPECT_EQ(in.readChar(), u'd');
  EXPECT_EQ(in.read(), -1);
  expectFailure([&] { in.readInt(); }, -300);
}

}  // namespace
