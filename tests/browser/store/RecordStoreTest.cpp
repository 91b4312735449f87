#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "browser/store/RecordStore.h"
#include "browser/store/StoreErrorReport.h"
#include "browser/store/StoreSalvage.h"
#include "tests/vwt/TestText.h"
#include "vwt/lang/AutoPtr.h"
#include "vwt/lang/Boolean.h"
#include "vwt/lang/Exception.h"
#include "vwt/lang/Integer.h"
#include "vwt/lang/Resource.h"
#include "vwt/lang/VectorV.h"
#include "vwt/platform/Paths.h"

namespace {

class RecordingReport : public StoreErrorReport {
 public:
  void reportStoreError(const Exception& e) override { messages.push_back(e.getRawMessage()); }
  std::vector<String> messages;
};

typedef AutoPtr<Vector<Object*>> Record;

Vector<Object*>* strings(std::initializer_list<std::string> values) {
  Vector<Object*>* v = new Vector<Object*>(true);
  for (const std::string& s : values) v->addElement(new String(s.c_str()));
  return v;
}

std::string text(Object* o) {
  String* s = dynamic_cast<String*>(o);
  if (!s) return "<not a string>";
  std::string out;
  for (int i = 0; i < s->length(); ++i) out += static_cast<char>(s->charAt(i));
  return out;
}

int integer(Object* o) {
  Integer* i = dynamic_cast<Integer*>(o);
  return i ? i->intValue() : -999999;
}

class RecordStoreTest : public ::testing::Test {
 public:
  void SetUp() override {
    saved_ = vwt::platform::programDirectory();
    char pattern[] = "/tmp/vwt-store-XXXXXX";
    dir_ = mkdtemp(pattern);
    mkdir((dir_ + "/res").c_str(), 0700);
    const char* source = getenv("VWT_TEST_SOURCE_DIR");
    std::ifstream in(std::string(source ? source : VWT_SOURCE_DIR) + "/res/message.txt", std::ios::binary);
    std::ofstream(dir_ + "/res/message.txt", std::ios::binary) << in.rdbuf();
    vwt::platform::setProgramDirectory(dir_);
    Resource::unload();
    defaults_.highResolution = true;
    defaults_.windowHeight = 320;
    defaults_.scalableFonts = true;
    defaults_.alternatePalette = true;
    defaults_.pageFontIndex = 3;
    defaults_.baseFontIndex = 1;
  }
  void TearDown() override {
    vwt::platform::setProgramDirectory(saved_);
    Resource::unload();
    std::string command = "rm -rf '" + dir_ + "'";
    EXPECT_EQ(0, system(command.c_str()));
  }

  std::string file() const { return dir_ + "/data0.bin"; }
  std::string bytes() const {
    std::ifstream in(file(), std::ios::binary);
    std::ostringstream all;
    all << in.rdbuf();
    return all.str();
  }
  void setBytes(const std::string& b) const { std::ofstream(file(), std::ios::binary) << b; }
  int intAt(int position) const {
    std::string b = bytes().substr(position, 4);
    return static_cast<int>(static_cast<unsigned char>(b[0]) << 24 | static_cast<unsigned char>(b[1]) << 16 |
                            static_cast<unsigned char>(b[2]) << 8 | static_cast<unsigned char>(b[3]));
  }
  void putInt(int position, int v) const {
    char b[4];
    for (int i = 0; i < 4; ++i) b[i] = static_cast<char>(v >> (24 - 8 * i));
    std::fstream f(file(), std::ios::in | std::ios::out | std::ios::binary);
    f.seekp(position);
    f.write(b, 4);
  }
  static std::vector<int> pairs(std::initializer_list<int> v) { return v; }

  std::string saved_;
  std::string dir_;
  SettingsDefaults defaults_;
  RecordingReport report_;
};

}  // namespace

TEST_F(RecordStoreTest, FreshStoreHoldsFlags544OneExtentAndCompletesTheSettings) {
  RecordStore store(&report_, defaults_);
  store.open();
  EXPECT_EQ(409600u, bytes().size());
  EXPECT_FALSE(store.isNew());
  EXPECT_EQ(544, store.readValue(RecordStore::FLAGS));
  EXPECT_EQ(pairs({4104, 166904}), store.readFreeList());
  EXPECT_EQ(0, Record(store.readRecord(RecordStore::SETTINGS, u"I"_s))->size());

  Vector<Object*>* settings = store.loadSettings();
  ASSERT_EQ(23, settings->size());
  const int expected[23] = {0, 0, 0, 0, 0, 0, 600, 0, 2400, 32000, 0, 0, 0, 0, 71, 0, 0, 1, 3, 3, 1, 0, 0};
  for (int i = 0; i < 23; ++i) EXPECT_EQ(expected[i], integer(settings->elementAt(i))) << i;
  Record stored(store.readRecord(RecordStore::SETTINGS, u"I"_s));
  ASSERT_EQ(23, stored->size());
  EXPECT_EQ(32000, integer(stored->elementAt(9)));
  EXPECT_TRUE(report_.messages.empty());

  // Opening again keeps what is there.
  RecordStore again(&report_, defaults_);
  again.open();
  EXPECT_EQ(23, Record(again.readRecord(RecordStore::SETTINGS, u"I"_s))->size());
}

TEST_F(RecordStoreTest, SettingsDefaultsFollowTheScreen) {
  SettingsDefaults plain;
  plain.windowHeight = 240;
  plain.pageFontIndex = 5;  // ignored without scalable fonts
  plain.baseFontIndex = 5;
  RecordStore store(&report_, plain);
  store.open();
  Vector<Object*>* s = store.loadSettings();
  for (int i : {6, 8, 17, 18, 19, 20}) EXPECT_EQ(0, integer(s->elementAt(i))) << i;
  EXPECT_EQ(24000, integer(s->elementAt(9)));
}

TEST_F(RecordStoreTest, ShortSettingsListKeepsItsEntriesAndGainsTheMissingDefaults) {
  RecordStore store(&report_, defaults_);
  store.open();
  Vector<Object*> five(true);
  for (int i = 0; i < 5; ++i) five.addElement(new Integer(100 + i));
  store.writeRecord(RecordStore::SETTINGS, five, u"I"_s);
  Vector<Object*>* s = store.loadSettings();
  ASSERT_EQ(23, s->size());
  for (int i = 0; i < 5; ++i) EXPECT_EQ(100 + i, integer(s->elementAt(i)));
  EXPECT_EQ(2400, integer(s->elementAt(8)));
  EXPECT_EQ(23, Record(store.readRecord(RecordStore::SETTINGS, u"I"_s))->size());
  store.setSetting(0, 4711);
  EXPECT_EQ(4711, store.getSetting(0));
  EXPECT_EQ(4711, integer(Record(store.readRecord(RecordStore::SETTINGS, u"I"_s))->elementAt(0)));
}

TEST_F(RecordStoreTest, SameSizeRewriteStaysInPlace) {
  RecordStore store(&report_, defaults_);
  store.open();
  store.loadSettings();
  int slot = store.readValue(RecordStore::SETTINGS);
  std::vector<int> free = store.readFreeList();
  store.setSetting(3, 123456);
  EXPECT_EQ(slot, store.readValue(RecordStore::SETTINGS));
  EXPECT_EQ(free, store.readFreeList());
  EXPECT_EQ(123456, intAt(RecordStore::DATA_AREA + slot + 4 + 3 * 4));
}

TEST_F(RecordStoreTest, AllocationMovingAndMergingWithNeighbours) {
  RecordStore store(&report_, defaults_);
  store.open();
  const int B = RecordStore::BOOKMARKS, H = RecordStore::HOME_URL, V = RecordStore::VISITED;
  // A one-string "S" record of n characters takes a block of 10 + n bytes.
  store.writeRecord(B, *Record(strings({"aaaa"})), u"S"_s);
  EXPECT_EQ(4108, store.readValue(B));
  store.writeRecord(H, *Record(strings({"h"})), u"S"_s);
  store.removeRecord(H);  // joins the extent after it
  EXPECT_EQ(0, store.readValue(H));
  EXPECT_EQ(pairs({4118, 166890}), store.readFreeList());
  store.writeRecord(H, *Record(strings({"h"})), u"S"_s);
  store.writeRecord(V, *Record(strings({"v"})), u"S"_s);
  EXPECT_EQ(4122, store.readValue(H));
  EXPECT_EQ(4133, store.readValue(V));
  EXPECT_EQ(pairs({4140, 166868}), store.readFreeList());

  // Longer: moves behind the others, the old block becomes an extent of its own.
  store.writeRecord(B, *Record(strings({std::string(30, 'b')})), u"S"_s);
  EXPECT_EQ(4144, store.readValue(B));
  EXPECT_EQ(pairs({4104, 14, 4180, 166828}), store.readFreeList());
  // Freed after a free extent: the extent grows.
  store.removeRecord(H);
  EXPECT_EQ(pairs({4104, 25, 4180, 166828}), store.readFreeList());
  store.writeRecord(V, *Record(strings({std::string(40, 'v')})), u"S"_s);
  EXPECT_EQ(4184, store.readValue(V));
  EXPECT_EQ(pairs({4104, 36, 4230, 166778}), store.readFreeList());
  store.removeRecord(B);
  EXPECT_EQ(pairs({4104, 76, 4230, 166778}), store.readFreeList());
  EXPECT_EQ(std::string(40, 'v'), text(Record(store.readRecord(V, u"S"_s))->elementAt(0)));
  // Between two extents: all three become one.
  store.removeRecord(V);
  EXPECT_EQ(pairs({4104, 166904}), store.readFreeList());
  EXPECT_TRUE(report_.messages.empty());
}

TEST_F(RecordStoreTest, TypeStringRepeatsAsRows) {
  RecordStore store(&report_, defaults_);
  store.open();
  Vector<Object*> cookies(true);
  for (int row = 0; row < 2; ++row) {
    cookies.addElement(new String((u"example.org;/"_s + row)));
    cookies.addElement(new String(u"name"_s + row));
    cookies.addElement(new String(u"value\u00e9\u3042"_s));
    cookies.addElement(new Integer(1700000000 + row));
    cookies.addElement(new Integer(row));
  }
  store.writeRecord(RecordStore::COOKIES, cookies, u"SSSII"_s);
  Record back(store.readRecord(RecordStore::COOKIES, u"SSSII"_s));
  ASSERT_EQ(10, back->size());
  for (int row = 0; row < 2; ++row) {
    EXPECT_EQ("example.org;/" + std::to_string(row), text(back->elementAt(row * 5)));
    EXPECT_EQ("name" + std::to_string(row), text(back->elementAt(row * 5 + 1)));
    EXPECT_TRUE(static_cast<String*>(back->elementAt(row * 5 + 2))->equals(u"value\u00e9\u3042"));
    EXPECT_EQ(1700000000 + row, integer(back->elementAt(row * 5 + 3)));
    EXPECT_EQ(row, integer(back->elementAt(row * 5 + 4)));
  }
  // 4 + per row 2+14 + 2+5 + 2+10 + 4 + 4.
  EXPECT_EQ(4 + 2 * (16 + 7 + 12 + 8), RecordStore::recordSize(cookies, u"SSSII"_s));

  Vector<Object*> keys(true);
  for (int i = 0; i < 7; ++i) {
    VectorV<char>* b = new VectorV<char>();
    for (int k = 0; k < i; ++k) b->addElement(static_cast<char>(0xF0 + k));
    keys.addElement(b);
  }
  store.writeRecord(RecordStore::KEYS, keys, u"R"_s);
  Record keysBack(store.readRecord(RecordStore::KEYS, u"R"_s));
  ASSERT_EQ(7, keysBack->size());
  for (int i = 0; i < 7; ++i) {
    VectorV<char>* b = dynamic_cast<VectorV<char>*>(keysBack->elementAt(i));
    ASSERT_NE(nullptr, b);
    ASSERT_EQ(i, b->size());
    for (int k = 0; k < i; ++k) EXPECT_EQ(static_cast<char>(0xF0 + k), b->elementAt(k));
  }

  Vector<Object*> windows(true);
  windows.addElement(new String(u"http://a/"_s));
  windows.addElement(new Integer(2));
  windows.addElement(new String(u"http://b/"_s));
  store.writeRecord(RecordStore::WINDOWS, windows, u"SI"_s);
  EXPECT_EQ(3, Record(store.readRecord(RecordStore::WINDOWS, u"SI"_s))->size());
  EXPECT_EQ("http://a/", text(Record(store.readRecord(RecordStore::WINDOWS, u"SI"_s))->elementAt(0)));

  Vector<Object*> flags(true);
  flags.addElement(new Boolean(true));
  flags.addElement(new Boolean(false));
  store.writeRecord(RecordStore::SHORTCUTS, flags, u"B"_s);
  Record flagsBack(store.readRecord(RecordStore::SHORTCUTS, u"B"_s));
  ASSERT_EQ(2, flagsBack->size());
  EXPECT_TRUE(static_cast<Boolean*>(flagsBack->elementAt(0))->boolValue());
  EXPECT_FALSE(static_cast<Boolean*>(flagsBack->elementAt(1))->boolValue());
  EXPECT_TRUE(report_.messages.empty());
}

TEST_F(RecordStoreTest, ReadStringAndCachedRecords) {
  RecordStore store(&report_, defaults_);
  store.open();
  EXPECT_TRUE(store.readString(RecordStore::HOME_URL, u"http://default/"_s).equals(u"http://default/"));
  store.writeRecord(RecordStore::HOME_URL, *Record(strings({"http://home/", "second"})), u"S"_s);
  EXPECT_TRUE(store.readString(RecordStore::HOME_URL, u"x"_s).equals(u"http://home/"));
  Vector<Object*> cached(true);
  EXPECT_EQ(&cached, store.readRecord(RecordStore::HOME_URL, u"S"_s, &cached));
  EXPECT_EQ(0, cached.size());
}

TEST_F(RecordStoreTest, MismatchedValuesAndFullStoreAreReportedNotStored) {
  RecordStore store(&report_, defaults_);
  store.open();
  Vector<Object*> wrong(true);
  wrong.addElement(new Integer(1));
  store.writeRecord(RecordStore::HOME_URL, wrong, u"S"_s);
  EXPECT_EQ(0, store.readValue(RecordStore::HOME_URL));
  ASSERT_EQ(1u, report_.messages.size());
  EXPECT_TRUE(report_.messages[0].equals(Resource::getString(10205, String(RecordStore::HOME_URL), u"S"_s)));

  // More than the data area holds: not stored, slot cleared.
  store.writeRecord(RecordStore::VISITED, *Record(strings({"old"})), u"S"_s);
  Vector<Object*> huge(true);
  for (int i = 0; i < 4; ++i) huge.addElement(new String(std::string(60000, 'x').c_str()));
  store.writeRecord(RecordStore::VISITED, huge, u"S"_s);
  EXPECT_EQ(0, store.readValue(RecordStore::VISITED));
  EXPECT_TRUE(report_.messages.back().equals(Resource::getString(10204, String(RecordStore::VISITED))));
  EXPECT_EQ(pairs({4104, 166904}), store.readFreeList()) << "the old block went back";
}

// Each damaged store file: the read survives, reports, returns what it has;
// a later write never lands on another record or outside the data area.
TEST_F(RecordStoreTest, DamagedStoreFiles) {
  const int B = RecordStore::BOOKMARKS, H = RecordStore::HOME_URL, K = RecordStore::KEYS;
  const int area = RecordStore::DATA_AREA;
  enum Write { UNCHANGED, PROTECTED, SKIP };
  struct Case {
    const char* name;
    std::function<void(RecordStoreTest&)> damage;
    std::vector<std::string> read;  // what reading B gives
    bool readReports;
    Write write;  // of B as ["hom2"], the size of H's record
    bool writeReports;
  };
  auto putPairs = [area](RecordStoreTest& t, std::vector<int> v) {
    t.putInt(area, static_cast<int>(v.size()));
    for (size_t i = 0; i < v.size(); ++i) t.putInt(area + 4 + 4 * static_cast<int>(i), v[i]);
  };
  const std::vector<std::string> intact = {"keep", "more"};
  // Before the damage: B ["keep", "more"] in block 4104..4124 (slot 4108), H ["home"] in
  // 4124..4138, K ["xy"] as 'R' in 4138..4152, one free extent from 4152.
  std::vector<Case> cases = {
      {"file shorter than the directory",
       [](RecordStoreTest& t) { t.setBytes(t.bytes().substr(0, 100)); },
       {},
       true,
       UNCHANGED,
       true},
      {"file cut inside the record",
       [area](RecordStoreTest& t) { t.setBytes(t.bytes().substr(0, area + 4112)); },
       {},
       true,
       SKIP,
       false},
      {"slot beyond the data area",
       [B](RecordStoreTest& t) { t.putInt(B, 200000); },
       {},
       true,
       PROTECTED,
       true},
      {"slot inside the free list", [B](RecordStoreTest& t) { t.putInt(B, 100); }, {}, true, PROTECTED, true},
      {"slot negative", [B](RecordStoreTest& t) { t.putInt(B, -8); }, {}, true, PROTECTED, true},
      {"slot shared with another record",
       [B](RecordStoreTest& t) { t.putInt(B, 4128); },
       {"home"},
       false,
       PROTECTED,
       true},
      {"block size past the area",
       [area](RecordStoreTest& t) { t.putInt(area + 4104, 170000); },
       {},
       true,
       PROTECTED,
       true},
      {"block size negative",
       [area](RecordStoreTest& t) { t.putInt(area + 4104, -20); },
       {},
       true,
       PROTECTED,
       true},
      {"count larger than the record", [area](RecordStoreTest& t) { t.putInt(area + 4108, 1000); }, intact,
       true, PROTECTED, false},
      {"count negative",
       [area](RecordStoreTest& t) { t.putInt(area + 4108, -1); },
       {},
       true,
       PROTECTED,
       false},
      {"text length past the block",
       [area](RecordStoreTest& t) {
         std::string b = t.bytes();
         b[area + 4118] = '\xFF';  // high byte of the second text's length
         t.setBytes(b);
       },
       {"keep"},
       true,
       PROTECTED,
       false},
      {"free list count odd", [area](RecordStoreTest& t) { t.putInt(area, 3); }, intact, false, UNCHANGED,
       true},
      {"free list count negative", [area](RecordStoreTest& t) { t.putInt(area, -2); }, intact, false,
       UNCHANGED, true},
      {"free list count beyond its room", [area](RecordStoreTest& t) { t.putInt(area, 2000); }, intact, false,
       UNCHANGED, true},
      {"free extent in the reserved area",
       [&](RecordStoreTest& t) {
         putPairs(t, {100, 50});
       },
       intact, false, UNCHANGED, true},
      {"free extent past the area",
       [&](RecordStoreTest& t) {
         putPairs(t, {4152, 200000});
       },
       intact, false, UNCHANGED, true},
      {"free extents overlapping",
       [&](RecordStoreTest& t) {
         putPairs(t, {4152, 1000, 4500, 1000});
       },
       intact, false, UNCHANGED, true},
      {"free extents descending",
       [&](RecordStoreTest& t) {
         putPairs(t, {6000, 100, 4152, 100});
       },
       intact, false, UNCHANGED, true},
      {"free extent of size 0",
       [&](RecordStoreTest& t) {
         putPairs(t, {4152, 0});
       },
       intact, false, UNCHANGED, true},
      {"free extent over another record",
       [&](RecordStoreTest& t) {
         putPairs(t, {4124, 1000, 6000, 1000});
       },
       intact, false, UNCHANGED, true},
  };

  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    remove(file().c_str());
    {
      RecordStore setup(nullptr, defaults_);
      setup.open();
      setup.writeRecord(B, *Record(strings({"keep", "more"})), u"S"_s);
      setup.writeRecord(H, *Record(strings({"home"})), u"S"_s);
      Vector<Object*> key(true);
      VectorV<char>* xy = new VectorV<char>();
      xy->addElement('x');
      xy->addElement('y');
      key.addElement(xy);
      setup.writeRecord(K, key, u"R"_s);
      ASSERT_EQ(4108, setup.readValue(B));
      ASSERT_EQ(4128, setup.readValue(H));
      ASSERT_EQ(4142, setup.readValue(K));
    }
    k.damage(*this);
    std::string damaged = bytes();
    report_.messages.clear();
    RecordStore store(&report_, defaults_);

    Record got(store.readRecord(B, u"S"_s));
    std::vector<std::string> texts;
    for (int i = 0; i < got->size(); ++i) texts.push_back(text(got->elementAt(i)));
    EXPECT_EQ(k.read, texts);
    EXPECT_EQ(k.readReports, !report_.messages.empty());
    EXPECT_EQ(damaged, bytes()) << "reading writes nothing";
    if (k.write == SKIP) continue;

    report_.messages.clear();
    store.writeRecord(B, *Record(strings({"hom2"})), u"S"_s);
    EXPECT_EQ(k.writeReports, !report_.messages.empty());
    std::string after = bytes();
    if (k.write == UNCHANGED) {
      EXPECT_EQ(damaged, after);
      continue;
    }
    ASSERT_EQ(damaged.size(), after.size());
    EXPECT_EQ(damaged.substr(area + 4124, 28), after.substr(area + 4124, 28)) << "H and K keep their blocks";
    EXPECT_EQ(damaged.substr(area + RecordStore::DATA_AREA_SIZE),
              after.substr(area + RecordStore::DATA_AREA_SIZE));
    EXPECT_EQ(damaged.substr(0, B), after.substr(0, B));
    EXPECT_TRUE(store.readString(H, u"lost"_s).equals(u"home"));
    EXPECT_TRUE(store.readString(B, u"lost"_s).equals(u"hom2"));
  }
}

TEST_F(RecordStoreTest, DamagedByteArrayLengthAllocatesNothingHuge) {
  RecordStore store(&report_, defaults_);
  store.open();
  Vector<Object*> key(true);
  key.addElement(new VectorV<char>(4));
  static_cast<VectorV<char>*>(key.elementAt(0))->setSize(4);
  store.writeRecord(RecordStore::KEYS, key, u"R"_s);
  int slot = store.readValue(RecordStore::KEYS);
  putInt(RecordStore::DATA_AREA + slot + 4, 0x7FFFFFF0);
  Record got(store.readRecord(RecordStore::KEYS, u"R"_s));
  EXPECT_EQ(0, got->size());
  ASSERT_EQ(1u, report_.messages.size());
  EXPECT_TRUE(report_.messages[0].equals(Resource::getString(10202, String(RecordStore::KEYS))));
}

TEST_F(RecordStoreTest, DamagedSettingsRecordIsCompletedNotRejected) {
  RecordStore store(&report_, defaults_);
  store.open();
  store.loadSettings();
  putInt(RecordStore::SETTINGS, 999999);
  Vector<Object*>* s = store.loadSettings();
  EXPECT_EQ(23, s->size());
  EXPECT_FALSE(report_.messages.empty());
  report_.messages.clear();
  EXPECT_EQ(23, Record(store.readRecord(RecordStore::SETTINGS, u"I"_s))->size());
  EXPECT_TRUE(report_.messages.empty());
}

TEST_F(RecordStoreTest, MissingStorageFileReportsAndReadsZero) {
  RecordStore store(&report_, defaults_);
  EXPECT_EQ(0, store.readValue(RecordStore::FLAGS));
  EXPECT_EQ(0, Record(store.readRecord(RecordStore::BOOKMARKS, u"S"_s))->size());
  store.writeValue(RecordStore::FLAGS, 1);
  EXPECT_EQ(3u, report_.messages.size());
  store.readValue(12345);  // not a record id
  EXPECT_TRUE(report_.messages.back().equals(Resource::getString(10206, u"12345"_s)));
}

namespace {

// The copies of damaged store files beside the store, by name.
std::vector<std::string> damagedCopies(const std::string& dir) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    std::string name = entry.path().filename().string();
    if (name.rfind("data0-damaged-", 0) == 0) names.push_back(name);
  }
  std::sort(names.begin(), names.end());
  return names;
}

// The local time in the copy's name, seconds from now.
std::string stamp(int secondsFromNow) {
  // The fine clock, as the store reads it: time() may still show the last second.
  std::timespec now;
  std::timespec_get(&now, TIME_UTC);
  time_t t = now.tv_sec + secondsFromNow;
  struct tm local;
  localtime_r(&t, &local);
  char b[40];
  std::strftime(b, sizeof b, "%Y%m%d-%H%M%S", &local);
  return b;
}

}  // namespace

// Each kind of damage: the damaged file is kept beside the store under a
// name with the date, what can be read is still there after reopening,
// and the message names the kinds of record that were lost.
TEST_F(RecordStoreTest, DamagedStoreIsCopiedThenRebuiltWithWhatCanBeRead) {
  const int B = RecordStore::BOOKMARKS, H = RecordStore::HOME_URL, K = RecordStore::KEYS;
  const int area = RecordStore::DATA_AREA;
  struct Case {
    const char* name;
    std::function<void(std::string&)> damage;
    std::vector<int> lost;  // in the order the message names them
    int unnamed = 0;        // the record that became one of an unknown kind
  };
  auto flip = [](int position, int mask) {
    return [=](std::string& b) { b[position] = static_cast<char>(b[position] ^ mask); };
  };
  auto set = [](int position, int v) {
    return [=](std::string& b) {
      for (int i = 0; i < 4; ++i)
        b[position + i] = static_cast<char>(static_cast<unsigned int>(v) >> (24 - 8 * i));
    };
  };
  auto cut = [](int length) { return [=](std::string& b) { b.resize(length); }; };
  // B ["keep", "more"] in 4104..4124 (slot 4108), H ["home"] in 4124..4138,
  // K ["xy"] as 'R' in 4138..4152, one free extent from 4152.
  const std::vector<Case> cases = {
      {"truncated inside the last record", cut(area + 4145), {K}},
      {"truncated before the data area", cut(31000), {B, H, K}},
      {"truncated inside the directory",
       cut(30750),
       {B, RecordStore::SETTINGS, H, RecordStore::CREDENTIALS, RecordStore::VISITED, RecordStore::COOKIES,
        RecordStore::MENU_ORDER, K}},
      {"truncated to nothing",
       cut(0),
       {B, RecordStore::FLAGS, RecordStore::WINDOWS, RecordStore::SHORTCUTS, RecordStore::SETTINGS, H,
        RecordStore::CREDENTIALS, RecordStore::VISITED, RecordStore::COOKIES, RecordStore::MENU_ORDER, K}},
      {"truncated after the records", cut(300000), {}},
      {"flipped byte in a text length", flip(area + 4132, 0x01), {H}},
      {"flipped byte in a block size", flip(area + 4107, 0xFF), {}},
      {"flipped byte in a byte-array length", flip(area + 4146, 0x40), {K}},
      {"directory: slot moved", flip(B + 3, 0xFF), {}},
      {"directory: slot of no record set", set(30724, 4128), {}},
      // Its block fits more than one record that has none: it cannot be told whose.
      {"directory: slot cleared", set(H, 0), {StoreSalvage::UNNAMED}, H},
      {"extreme count", set(area + 4128, INT_MAX), {}},
      {"extreme block size", set(area + 4104, INT_MAX), {}},
      {"extreme byte-array length", set(area + 4146, INT_MIN), {K}},
      {"extreme slot", set(H, INT_MIN), {}},
      {"extreme free-list count", set(area, -1), {}},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    remove(file().c_str());
    for (const std::string& old : damagedCopies(dir_)) remove((dir_ + "/" + old).c_str());
    {
      RecordStore setup(nullptr, defaults_);
      setup.open();
      setup.writeValue(RecordStore::FLAGS, 0x231);
      setup.writeRecord(B, *Record(strings({"keep", "more"})), u"S"_s);
      setup.writeRecord(H, *Record(strings({"home"})), u"S"_s);
      Vector<Object*> key(true);
      VectorV<char>* xy = new VectorV<char>();
      xy->addElement('x');
      xy->addElement('y');
      key.addElement(xy);
      setup.writeRecord(K, key, u"R"_s);
      ASSERT_EQ(4142, setup.readValue(K));
    }
    std::string damaged = bytes();
    k.damage(damaged);
    setBytes(damaged);
    report_.messages.clear();
    std::string before = stamp(0);
    {
      RecordStore store(&report_, defaults_);
      store.open();
      std::vector<std::string> copies = damagedCopies(dir_);
      ASSERT_EQ(1u, copies.size());
      // data0-damaged-YYYYMMDD-hhmmss.bin, of the moment of opening.
      EXPECT_GE(copies[0], "data0-damaged-" + before + ".bin");
      EXPECT_LE(copies[0], "data0-damaged-" + stamp(0) + ".bin");
      EXPECT_EQ(std::string("data0-damaged-").size() + 15 + 4, copies[0].size());
      std::ifstream in(dir_ + "/" + copies[0], std::ios::binary);
      std::ostringstream copied;
      copied << in.rdbuf();
      EXPECT_EQ(damaged, copied.str()) << "the copy holds the damaged file";

      String copy = String((dir_ + "/" + copies[0]).c_str());
      String kinds;
      for (int id : k.lost)
        kinds = kinds.length() == 0 ? StoreSalvage::getKindName(id)
                                    : (kinds + u", ") + StoreSalvage::getKindName(id);
      String want =
          k.lost.empty() ? Resource::getString(10208, copy) : Resource::getString(10207, copy, kinds);
      ASSERT_EQ(1u, report_.messages.size());
      EXPECT_TRUE(report_.messages[0].equals(want)) << narrow(report_.messages[0]);
      EXPECT_TRUE(store.getRepairNotice().equals(want));
    }
    // Reopened, the rebuilt store is sound: no new copy, no message.
    report_.messages.clear();
    RecordStore store(&report_, defaults_);
    store.open();
    EXPECT_EQ(1u, damagedCopies(dir_).size());
    EXPECT_EQ(409600u, bytes().size());
    EXPECT_TRUE(store.getRepairNotice().equals(String()));
    auto lost = [&](int id) {
      return id == k.unnamed || std::find(k.lost.begin(), k.lost.end(), id) != k.lost.end();
    };
    EXPECT_EQ(lost(RecordStore::FLAGS) ? 544 : 0x231, store.readValue(RecordStore::FLAGS));
    Record b(store.readRecord(B, u"S"_s));
    if (!lost(B)) {
      ASSERT_EQ(2, b->size());
      EXPECT_EQ("keep", text(b->elementAt(0)));
      EXPECT_EQ("more", text(b->elementAt(1)));
    }
    if (!lost(H)) {
      EXPECT_EQ("home", narrow(store.readString(H, u"lost"_s)));
    }
    Record key(store.readRecord(K, u"R"_s));
    if (!lost(K)) {
      ASSERT_EQ(1, key->size());
      EXPECT_EQ(2, static_cast<VectorV<char>*>(key->elementAt(0))->size());
    }
    EXPECT_TRUE(report_.messages.empty());
  }
}

TEST_F(RecordStoreTest, ASoundStoreIsNeitherCopiedNorReported) {
  {
    RecordStore store(&report_, defaults_);
    store.open();
    store.writeRecord(RecordStore::HOME_URL, *Record(strings({"home"})), u"S"_s);
    store.loadSettings();
  }
  std::string sound = bytes();
  RecordStore store(&report_, defaults_);
  store.open();
  EXPECT_EQ(sound, bytes());
  EXPECT_TRUE(damagedCopies(dir_).empty());
  EXPECT_TRUE(report_.messages.empty());
}

// Without a copy of the damaged file nothing of it is rewritten.
TEST_F(RecordStoreTest, ADamagedStoreThatCannotBeCopiedIsLeftAsItIs) {
  {
    RecordStore store(nullptr, defaults_);
    store.open();
    store.writeRecord(RecordStore::HOME_URL, *Record(strings({"home"})), u"S"_s);
  }
  std::string damaged = bytes().substr(0, 40000);
  setBytes(damaged);
  // Every name a copy could take in the next half minute is taken: a loaded machine may take
  // seconds to get from here to the open.
  for (int s = 0; s < 30; ++s) {
    std::string base = dir_ + "/data0-damaged-" + stamp(s);
    std::ofstream(base + ".bin") << "x";
    for (int n = 2; n <= 99; ++n) std::ofstream(base + "-" + std::to_string(n) + ".bin") << "x";
  }
  RecordStore store(&report_, defaults_);
  store.open();
  EXPECT_EQ(damaged, bytes());
  ASSERT_EQ(1u, report_.messages.size());
  EXPECT_TRUE(report_.messages[0].startsWith(Resource::getString(10209, String())))
      << narrow(report_.messages[0]);
  EXPECT_TRUE(store.getRepairNotice().equals(String()));
}

// First fit needs the record and its 4-byte size word: an extent a few bytes
// short of that is passed over, never cut to a negative size.
TEST_F(RecordStoreTest, FirstFitPassesOverAnExtentShortOfTheSizeWord) {
  const int B = RecordStore::BOOKMARKS, H = RecordStore::HOME_URL, V = RecordStore::VISITED;
  // A one-string "S" record of n characters takes 6 + n bytes and a block of 10 + n.
  for (int hole : {7, 8, 9, 10, 11}) {
    SCOPED_TRACE(hole);
    remove(file().c_str());
    RecordStore store(&report_, defaults_);
    store.open();
    store.writeRecord(B, *Record(strings({std::string(hole, 'b')})), u"S"_s);
    store.writeRecord(H, *Record(strings({"home"})), u"S"_s);
    store.removeRecord(B);
    ASSERT_EQ(pairs({4104, 10 + hole, 4128 + hole, 166880 - hole}), store.readFreeList());
    // Needs 20 bytes: holes of 17-19 are 1-3 bytes larger than the record but too small.
    store.writeRecord(V, *Record(strings({std::string(10, 'v')})), u"S"_s);
    bool fits = hole >= 10;
    EXPECT_EQ(fits ? 4108 : 4132 + hole, store.readValue(V));
    std::vector<int> free = store.readFreeList();
    for (size_t i = 1; i < free.size(); i += 2) EXPECT_GT(free[i], 0) << "extent " << free[i - 1];
    EXPECT_EQ(fits ? (hole == 10 ? 2u : 4u) : 4u, free.size());
    EXPECT_EQ("home", narrow(store.readString(H, u"lost"_s)));
    EXPECT_EQ(std::string(10, 'v'), narrow(store.readString(V, u"lost"_s)));
    EXPECT_TRUE(report_.messages.empty());
  }
}

// Modified UTF-8 stores U+0000 in two bytes, as it does 0x80-0x7FF.
TEST_F(RecordStoreTest, NulCharactersTakeTwoBytesInTheStoredSize) {
  struct Case {
    String text;
    int size;
  } cases[] = {
      {String(u"a\0b", 0, 3), 4 + 2 + 4},
      {String(u"\0", 0, 1), 4 + 2 + 2},
      {String(u"\0\0\u00e9\u3042", 0, 4), 4 + 2 + 2 + 2 + 2 + 3},
  };
  RecordStore store(&report_, defaults_);
  store.open();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.size);
    Vector<Object*> record(true);
    record.addElement(new String(c.text));
    EXPECT_EQ(c.size, RecordStore::recordSize(record, u"S"_s));
    store.writeRecord(RecordStore::HOME_URL, record, u"S"_s);
    int slot = store.readValue(RecordStore::HOME_URL);
    ASSERT_NE(0, slot);
    EXPECT_EQ(c.size, intAt(RecordStore::DATA_AREA + slot - 4));
    EXPECT_TRUE(store.readString(RecordStore::HOME_URL, String()).equals(c.text));
  }
  EXPECT_TRUE(report_.messages.empty());
}

namespace {

// How many of the process's open files are the file at path.
int openCount(const std::string& path) {
  int n = 0;
  for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
    std::error_code error;
    std::filesystem::path target = std::filesystem::read_symlink(entry.path(), error);
    if (!error && target == std::filesystem::path(path)) ++n;
  }
  return n;
}

}  // namespace

// The store keeps its file open for its life instead of opening it for every
// access; open() takes the file as it is then, a file made anew included.
TEST_F(RecordStoreTest, TheFileIsOpenedOnceAndClosedWithTheStore) {
  {
    RecordStore store(&report_, defaults_);
    store.open();
    store.loadSettings();
    EXPECT_EQ(1, openCount(file()));
    for (int i = 0; i < 10; ++i) {
      store.writeRecord(RecordStore::BOOKMARKS, *Record(strings({std::string(i, 'b')})), u"S"_s);
      store.setSetting(2, i);
      EXPECT_EQ(i, integer(Record(store.readRecord(RecordStore::SETTINGS, u"I"_s))->elementAt(2)));
    }
    EXPECT_EQ(1, openCount(file()));
    EXPECT_EQ(9, intAt(RecordStore::DATA_AREA + store.readValue(RecordStore::SETTINGS) + 4 + 2 * 4))
        << "every write is in the file when the call returns";

    remove(file().c_str());
    store.open();
    EXPECT_EQ(0, Record(store.readRecord(RecordStore::BOOKMARKS, u"S"_s))->size()) << "the new file";
    EXPECT_EQ(544, store.readValue(RecordStore::FLAGS));
    EXPECT_EQ(1, openCount(file()));
  }
  EXPECT_EQ(0, openCount(file()));
  EXPECT_TRUE(report_.messages.empty());
}

// A record stored again unchanged is not written; the comparison is with the file itself.
TEST_F(RecordStoreTest, AnUnchangedRecordIsComparedWithTheFileNotWritten) {
  RecordStore store(&report_, defaults_);
  store.open();
  store.writeRecord(RecordStore::BOOKMARKS, *Record(strings({"same", "text"})), u"S"_s);
  int slot = store.readValue(RecordStore::BOOKMARKS);
  std::string before = bytes();
  std::vector<int> free = store.readFreeList();
  store.writeRecord(RecordStore::BOOKMARKS, *Record(strings({"same", "text"})), u"S"_s);
  EXPECT_EQ(before, bytes());
  EXPECT_EQ(slot, store.readValue(RecordStore::BOOKMARKS));
  EXPECT_EQ(free, store.readFreeList());

  // Changed behind the store's back: the same values are written again.
  putInt(RecordStore::DATA_AREA + slot + 4, 0x00047878);
  EXPECT_EQ("xxme", text(Record(store.readRecord(RecordStore::BOOKMARKS, u"S"_s))->elementAt(0)));
  report_.messages.clear();
  store.writeRecord(RecordStore::BOOKMARKS, *Record(strings({"same", "text"})), u"S"_s);
  EXPECT_EQ(before, bytes());
  EXPECT_TRUE(report_.messages.empty());
}
