// Every kind of damage at every field of a full store: a store that opens
// with less than it held has told the user and kept a copy of the file.
#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "browser/store/RecordStore.h"
#include "browser/store/StoreErrorReport.h"
#include "tests/browser/LoopbackService.h"
#include "tests/vwt/ScratchDirectory.h"
#include "vwt/lang/AutoPtr.h"
#include "vwt/lang/Exception.h"
#include "vwt/lang/Integer.h"
#include "vwt/lang/VectorV.h"

namespace {

using loopback::sourceDir;

class Collected : public StoreErrorReport {
 public:
  void reportStoreError(const Exception& e) override { messages.push_back(e.getRawMessage()); }
  std::vector<String> messages;
};

struct Kind {
  int id;
  const char16_t* type;
};
const Kind KINDS[] = {
    {RecordStore::BOOKMARKS, u"S"}, {RecordStore::WINDOWS, u"SI"},    {RecordStore::SHORTCUTS, u"I"},
    {RecordStore::SETTINGS, u"I"},  {RecordStore::HOME_URL, u"S"},    {RecordStore::CREDENTIALS, u"S"},
    {RecordStore::VISITED, u"S"},   {RecordStore::COOKIES, u"SSSII"}, {RecordStore::KEYS, u"R"}};
const int STORED_FLAGS = 0x8A30;

void putInt(std::string& b, int position, int v) {
  if (position < 0 || position + 4 > static_cast<int>(b.size())) return;
  for (int i = 0; i < 4; ++i)
    b[position + i] = static_cast<char>(static_cast<unsigned int>(v) >> (24 - 8 * i));
}

int intAt(const std::string& b, int position) {
  unsigned int v = 0;
  for (int i = 0; i < 4; ++i) v = v << 8 | static_cast<unsigned char>(b[position + i]);
  return static_cast<int>(v);
}

class DamagedStoreSweepTest : public ::testing::Test {
 protected:
  std::string file() { return program_.dir / "program/data0.bin"; }
  std::string read() {
    std::ifstream in(file(), std::ios::binary);
    std::ostringstream all;
    all << in.rdbuf();
    return all.str();
  }

  void fill(RecordStore& store) {
    store.writeValue(RecordStore::FLAGS, STORED_FLAGS);
    for (const Kind& k : KINDS) {
      Vector<Object*> r(true);
      std::string type;
      for (const char16_t* t = k.type; *t; ++t) type += static_cast<char>(*t);
      int n = k.id == RecordStore::SETTINGS ? 23 : k.id == RecordStore::KEYS ? 7 : type.size() * 2;
      if (k.id == RecordStore::HOME_URL) n = 1;
      if (k.id == RecordStore::CREDENTIALS) n = 6;  // two rows of key, user, password
      for (int i = 0; i < n; ++i) {
        switch (type[i % type.size()]) {
          case 'S':
            r.addElement(new String((u"text-"_s + k.id) + u"-" + i));
            break;
          case 'I':
            r.addElement(new Integer(1000 + i));
            break;
          default: {
            VectorV<char>* b = new VectorV<char>();
            for (int j = 0; j < 4 + 3 * i; ++j) b->addElement(static_cast<char>(j * 7 + i));
            r.addElement(b);
          }
        }
      }
      store.writeRecord(k.id, r, String(k.type, false));
    }
  }

  // Values of each record, in a comparable form.
  std::map<int, std::vector<std::string>> contents(RecordStore& store) {
    std::map<int, std::vector<std::string>> out;
    for (const Kind& k : KINDS) {
      AutoPtr<Vector<Object*>> r(store.readRecord(k.id, String(k.type, false)));
      for (int i = 0; i < r->size(); ++i) {
        Object* o = r->elementAt(i);
        std::string v;
        if (String* s = dynamic_cast<String*>(o)) {
          for (int c = 0; c < s->length(); ++c) v += static_cast<char>(s->charAt(c));
        } else if (Integer* n = dynamic_cast<Integer*>(o)) {
          v = std::to_string(n->intValue());
        } else if (VectorV<char>* b = dynamic_cast<VectorV<char>*>(o)) {
          v.assign(b->data(), b->data() + b->size());
        }
        out[k.id].push_back(v);
      }
    }
    return out;
  }

  ScratchProgram program_;
};

}  // namespace

TEST_F(DamagedStoreSweepTest, NoDamagedVariantLosesDataSilently) {
  std::ifstream texts(sourceDir() + "/res/message.txt", std::ios::binary);
  std::string messages((std::istreambuf_iterator<char>(texts)), std::istreambuf_iterator<char>());
  program_.write("res/message.txt", messages);
  SettingsDefaults defaults;
  std::string original;
  std::map<int, std::vector<std::string>> held;
  std::map<int, std::pair<int, int>> blocks;  // id -> (start of the size word, end), data-area offsets
  {
    RecordStore store(nullptr, defaults);
    store.open();
    fill(store);
    held = contents(store);
    for (const Kind& k : KINDS) {
      int slot = store.readValue(k.id);
      ASSERT_NE(0, slot);
      blocks[k.id] = {slot - 4, slot + intAt(read(), RecordStore::DATA_AREA + slot - 4)};
    }
    original = read();
  }
  ASSERT_EQ(static_cast<size_t>(RecordStore::FILE_SIZE), original.size());

  // Made one at a time: a whole file each would hold megabytes.
  struct Variant {
    std::string kind;
    int cut;       // the length kept, or -1
    int position;  // of the damage, or -1
    int mask;      // bits flipped there; 0: value written as an int
    int value;
    std::string bytes(const std::string& original) const {
      std::string b = cut < 0 ? original : original.substr(0, cut);
      if (position >= 0 && mask != 0) b[position] = static_cast<char>(b[position] ^ mask);
      if (position >= 0 && mask == 0) putInt(b, position, value);
      return b;
    }
  };
  std::vector<Variant> variants;
  const int area = RecordStore::DATA_AREA;
  auto flipped = [](int position, int mask) { return Variant{"", -1, position, mask, 0}; };
  auto withInt = [](int position, int v) { return Variant{"", -1, position, 0, v}; };
  auto add = [&](const char* kind, Variant v) {
    v.kind = kind;
    variants.push_back(v);
  };
  // Truncated.
  std::vector<int> cuts = {
      0, 50, 30730, 30745, 30770, area, area + 4, area + 8, area + RecordStore::DATA_AREA_SIZE, 409599};
  for (auto& b : blocks)
    for (int at : {b.second.first + 2, b.second.first + 6, b.second.second - 1}) cuts.push_back(area + at);
  for (int cut : cuts) add("truncated", Variant{"", cut, -1, 0, 0});
  // Flipped bytes.
  for (int i = 0; i < 12; ++i) add("flipped", flipped(area + i, 0xFF));
  for (auto& b : blocks) {
    int s = area + b.second.first, e = area + b.second.second;
    for (int at : {s, s + 3, s + 4, s + 7, s + 9, (s + e) / 2, e - 1}) add("flipped", flipped(at, 0xFF));
  }
  // Damaged directory.
  for (int id = RecordStore::FIRST_SLOT; id <= RecordStore::LAST_SLOT; id += 4) {
    add("directory", flipped(id + 3, 0xFF));
    add("directory", flipped(id + 2, 0x01));
    add("directory", withInt(id, intAt(original, id) + 2));
  }
  // Extreme integers.
  std::vector<int> fields = {area, area + 4, area + 8};
  for (const Kind& k : KINDS) fields.push_back(k.id);
  for (auto& b : blocks) {
    fields.push_back(area + b.second.first);
    fields.push_back(area + b.second.first + 4);
  }
  fields.push_back(area + blocks[RecordStore::KEYS].first + 8);
  for (int at : fields)
    for (int v : {INT_MAX, INT_MIN, -1, 0}) add("extreme", withInt(at, v));

  std::map<std::string, int> total, lost, silent;
  for (const Variant& v : variants) {
    std::filesystem::remove_all(program_.dir / "program");
    program_.write("res/message.txt", messages);
    const std::string damaged = v.bytes(original);
    program_.write("data0.bin", damaged);
    Collected report;
    RecordStore store(&report, defaults);
    store.open();
    store.loadSettings();
    std::map<int, std::vector<std::string>> now = contents(store);
    bool anyLost = store.readValue(RecordStore::FLAGS) == RecordStore::FRESH_FLAGS;
    for (const Kind& k : KINDS) {
      if (k.id == RecordStore::SETTINGS) {
        for (int i = 0; i < 23; ++i)
          if (i >= static_cast<int>(now[k.id].size()) || now[k.id][i] == std::to_string(defaults.valueOf(i)))
            anyLost = true;
      } else if (now[k.id].size() < held[k.id].size()) {
        anyLost = true;
      }
    }
    bool copyKept = false;
    for (const auto& entry : std::filesystem::directory_iterator(program_.dir / "program")) {
      std::string name = entry.path().filename().string();
      if (name.rfind("data0-damaged-", 0) == 0 && program_.dir.read("program/" + name) == damaged)
        copyKept = true;
    }
    bool told = false;
    for (const String& m : report.messages)
      if (m.indexOf(u"data0-damaged-"_s) >= 0) told = true;
    ++total[v.kind];
    if (anyLost) ++lost[v.kind];
    if (anyLost && !(told && copyKept)) ++silent[v.kind];
  }
  int sumTotal = 0, sumLost = 0, sumSilent = 0;
  for (auto& t : total) {
    std::cout << t.first << ": " << t.second << " variants, " << lost[t.first] << " lost data, "
              << silent[t.first] << " of them silently\n";
    sumTotal += t.second;
    sumLost += lost[t.first];
    sumSilent += silent[t.first];
  }
  std::cout << "all: " << sumTotal << " variants, " << sumLost << " lost data, " << sumSilent
            << " silently\n";
  EXPECT_EQ(0, sumSilent);
}
