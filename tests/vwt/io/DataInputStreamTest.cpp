#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <random>

#include "tests/vwt/io/StreamTestSupport.h"
#include "vwt/io/DataInputStream.h"

namespace {

// A DataInputStream over bytes that arrive `chunk` at a time.
struct Reader {
  explicit Reader(const std::string& bytes, int chunk = 1 << 30)
      : in(new ScriptedInputStream(bytes, nullptr, chunk)) {}
  DataInputStream in;
};

TEST(DataInputStream, DecodesBigEndianValues) {
  Reader r(bytesOf({0xFF, 0xFE, 0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFE, 0x12, 0x34, 0x56,
                    0x78, 0x80, 0x00, 0x00, 0x00, 0x00, 0x01, 0x02, 0xFF, 0x80, 0x7F}),
           1);
  EXPECT_EQ(r.in.readShort(), -2);
  EXPECT_EQ(r.in.readChar(), 0xFFFE);
  EXPECT_EQ(r.in.readInt(), -2);
  EXPECT_EQ(r.in.readInt(), 0x12345678);
  EXPECT_EQ(r.in.readInt(), INT32_MIN);
  EXPECT_FALSE(r.in.readBoolean());
  EXPECT_TRUE(r.in.readBoolean());
  EXPECT_TRUE(r.in.readBoolean());  // any non-zero byte
  EXPECT_EQ(static_cast<int>(r.in.readByte()), -1);
  EXPECT_EQ(static_cast<int>(r.in.readByte()), -128);
  EXPECT_EQ(static_cast<int>(r.in.readByte()), 127);
  EXPECT_EQ(r.in.read(), -1);
}

TEST(DataInputStream, EndOfDataGivesItsMessage) {
  struct Case {
    const char* name;
    std::string bytes;
    std::function<void(DataInputStream&)> op;
    int id;
  };
  const Case cases[] = {
      {"readInt of 3 bytes", bytesOf({1, 2, 3}), [](DataInputStream& in) { in.readInt(); }, -300},
      {"readShort of 1 byte", bytesOf({1}), [](DataInputStream& in) { in.readShort(); }, -300},
      {"readChar at end", "", [](DataInputStream& in) { in.readChar(); }, -300},
      {"readUTF count cut", bytesOf({0}), [](DataInputStream& in) { in.readUTF(); }, -300},
      {"readFully short", "abc",
       [](DataInputStream& in) {
         char b[4];
         in.readFully(b, 0, 4);
       },
       -300},
      {"readBoolean at end", "", [](DataInputStream& in) { in.readBoolean(); }, -301},
      {"readByte at end", "", [](DataInputStream& in) { in.readByte(); }, -302},
      {"readUTF body missing", bytesOf({0, 3}), [](DataInputStream& in) { in.readUTF(); }, -302},
      {"readUTF body cut", bytesOf({0, 3, 'a', 'b'}), [](DataInputStream& in) { in.readUTF(); }, -302},
      {"readUTF cut inside a unit", bytesOf({0, 3, 0xE3, 0x81}), [](DataInputStream& in) { in.readUTF(); },
       -302},
      {"readUTF continuation lead", bytesOf({0, 2, 0x80, 0x80}), [](DataInputStream& in) { in.readUTF(); },
       -303},
      {"readUTF four-byte lead", bytesOf({0, 4, 0xF0, 0x9F, 0x98, 0x80}),
       [](DataInputStream& in) { in.readUTF(); }, -303},
      {"readUTF bad lead before the end", bytesOf({0, 9, 'a', 0xFF}),
       [](DataInputStream& in) { in.readUTF(); }, -303},
      {"readUTF unit past the count", bytesOf({0, 1, 0xC3, 0xA9}), [](DataInputStream& in) { in.readUTF(); },
       -303},
      {"readUTF 3-byte unit past the count", bytesOf({0, 2, 0xE3, 0x81, 0x82}),
       [](DataInputStream& in) { in.readUTF(); }, -303},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    for (int chunk : {1, 1 << 30}) {
      Reader r(c.bytes, chunk);
      expectFailure([&] { c.op(r.in); }, c.id);
    }
  }
}

TEST(DataInputStream, ReadUTFDecodesModifiedUTF8) {
  struct Case {
    std::string bytes;
    std::u16string text;
  };
  const Case cases[] = {
      {bytesOf({0, 0}), u""},
      {bytesOf({0, 1, 'A'}), u"A"},
      {bytesOf({0, 2, 0xC0, 0x80}), std::u16string(1, u'\0')},
      {bytesOf({0, 3, 0xE3, 0x81, 0x82}), u"\u3042"},
      {bytesOf({0, 2, 0xC3, 0xA9}), u"\u00E9"},
      {bytesOf({0, 2, 0xDF, 0xBF}), u"\u07FF"},
      {bytesOf({0, 3, 0xEF, 0xBF, 0xBF}), u"\uFFFF"},
      // Surrogates come unit by unit.
      {bytesOf({0, 6, 0xED, 0xA0, 0xBD, 0xED, 0xB8, 0x80}), u"\U0001F600"},
      // Continuation bytes are taken as they come.
      {bytesOf({0, 2, 0xC1, 0x01}), u"\u0041"},
      {bytesOf({0, 5, 'a', 0xC0, 0x80, 'b', 'c'}), std::u16string(u"a\0bc", 4)},
  };
  for (const Case& c : cases) {
    for (int chunk : {1, 2, 1 << 30}) {
      Reader r(c.bytes + "Z", chunk);
      String s = r.in.readUTF();
      EXPECT_EQ(std::u16string(s.getCString(), s.length()), c.text);
      EXPECT_EQ(r.in.read(), 'Z');  // exactly the counted bytes were taken
    }
  }
}

// ASCII is decoded eight bytes at a time: a multi-byte unit at any place
// in, before or after such a run must come out in its place.
TEST(DataInputStream, ReadUTFWithAUnitAtEveryPlaceOfAnASCIIRun) {
  for (int length = 0; length <= 20; ++length) {
    for (int at = 0; at <= length; ++at) {
      std::string utf;
      std::u16string text;
      for (int i = 0; i < length; ++i) {
        if (i == at) utf += "\xC3\xA9", text += u'\u00E9';
        utf += static_cast<char>('a' + i), text += static_cast<char16_t>(u'a' + i);
      }
      if (at == length) utf += "\xC3\xA9", text += u'\u00E9';
      Reader r(bytesOf({0, static_cast<int>(utf.size())}) + utf, 1 << 30);
      String s = r.in.readUTF();
      EXPECT_EQ(std::u16string(s.getCString(), s.length()), text) << length << " " << at;
    }
  }
}

TEST(DataInputStream, ReadUTFOfLongText) {
  // 65535 bytes: the largest count, most of it three-byte units.
  std::string bytes = bytesOf({0xFF, 0xFF});
  std::u16string expected;
  for (int i = 0; i < 21845; ++i) {
    bytes += bytesOf({0xE3, 0x81, 0x80 + (i % 64)});
    expected.push_back(static_cast<char16_t>(0x3040 + (i % 64)));
  }
  Reader r(bytes, 4096);
  String s = r.in.readUTF();
  EXPECT_EQ(std::u16string(s.getCString(), s.length()), expected);
}

TEST(DataInputStream, CorruptTextOnlyThrows) {
  // Whatever the bytes, readUTF decodes or throws; the sanitizer build
  // catches any read or write out of bounds.
  std::mt19937 random(42);
  for (int round = 0; round < 3000; ++round) {
    std::string bytes;
    int count = static_cast<int>(random() % 40);
    bytes += bytesOf({0, count});
    int present = static_cast<int>(random() % (count + 2));
    for (int i = 0; i < present; ++i) bytes.push_back(static_cast<char>(random()));
    Reader r(bytes, 1 + static_cast<int>(random() % 5));
    try {
      String s = r.in.readUTF();
      EXPECT_LE(s.length(), count);
    } catch (const Exception&) {
    }
  }
}

TEST(DataInputStream, ReadFullyGathersShortReads) {
  Reader r("0123456789", 3);
  char buf[12] = {};
  r.in.readFully(buf, 1, 10);
  EXPECT_EQ(std::string(buf + 1, 10), "0123456789");
  EXPECT_EQ(buf[0], 0);
  EXPECT_EQ(buf[11], 0);
  r.in.readFully(buf, 0, 0);
}

TEST(DataInputStream, ReadFullyRejectsNegativeRange) {
  Reader r("0123456789");
  char buf[4];
  expectFailure([&] { r.in.readFully(buf, 0, -1); }, -305);
  expectFailure([&] { r.in.readFully(buf, -1, 2); }, -305);
  expectFailure([&] { r.in.readFully(nullptr, 0, 2); }, -305);
  // Nothing was consumed.
  EXPECT_EQ(r.in.read(), '0');
}

TEST(DataInputStream, OwnsSourceUnlessTold) {
  StreamLog owned, kept;
  { DataInputStream in(new ScriptedInputStream("", &owned)); }
  EXPECT_TRUE(owned.destroyed);
  ScriptedInputStream* source = new ScriptedInputStream("ab", &kept);
  {
    DataInputStream in(source);
    in.setDeleteSource(false);
    EXPECT_EQ(in.read(), 'a');
    in.close();
  }
  EXPECT_FALSE(kept.destroyed);
  EXPECT_EQ(kept.closes, 1);
  EXPECT_EQ(source->read(), 'b');
  delete source;
}

TEST(DataInputStream, MessageTextsExist) {
  const char* root = std::getenv("VWT_TEST_SOURCE_DIR");
  ASSERT_NE(root, nullptr);
  std::ifstream file(std::string(root) + "/res/message.txt");
  ASSERT_TRUE(file.good());
  std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  for (int id = -300; id >= -305; --id)
    EXPECT_NE(text.find("\n" + std::to_string(id) + "="), std::string::npos) << id;
}

}  // namespace
