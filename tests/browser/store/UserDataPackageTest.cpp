#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "browser/store/Bookmarks.h"
#include "browser/store/RecordStore.h"
#include "browser/store/UserDataPackage.h"
#include "service/UserDataPackage.h"
#include "tests/browser/store/StoreFixture.h"
#include "tests/vwt/TestText.h"
#include "vwt/lang/AutoPtr.h"
#include "vwt/lang/Exception.h"
#include "vwt/lang/Integer.h"
#include "vwt/lang/Resource.h"
#include "vwt/lang/Vector.h"

namespace {

const String PORTAL = u"http://127.0.0.1/portal/indexQK.jsp"_s;

void putShort(std::vector<char>& out, int v) {
  out.push_back(static_cast<char>(v >> 8));
  out.push_back(static_cast<char>(v));
}
void putInt(std::vector<char>& out, int v) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<char>(v >> shift));
}
std::vector<char> section(int id, const std::vector<char>& payload) {
  std::vector<char> out;
  putShort(out, id);
  putInt(out, static_cast<int>(payload.size()));
  out.insert(out.end(), payload.begin(), payload.end());
  return out;
}
std::vector<char> ints(std::initializer_list<int> values) {
  std::vector<char> out;
  for (int v : values) putInt(out, v);
  return out;
}
std::vector<char> package(std::initializer_list<std::vector<char>> sections) {
  std::vector<char> out;
  putInt(out, UserDataPackage::MAGIC);
  for (const auto& s : sections) out.insert(out.end(), s.begin(), s.end());
  return out;
}

// The message of what read() throws, or "none".
std::string failure(const std::vector<char>& bytes) {
  try {
    UserDataPackage::read(bytes);
  } catch (const Exception& e) {
    return narrow(e.getRawMessage());
  }
  return "none";
}

class UserDataPackageTest : public StoreFixture {
 protected:
  // Every section holds something other than a fresh store's value.
  void fillStore() {
    for (int i = 6; i < 23; ++i) store_->setSetting(i, 1000 + i);
    marks_->add(u"Demo"_s, u"http://demo.local/"_s);
    int folder = marks_->addFolder(-1, u"Fol\u00e9der"_s);
    marks_->add(u"Inner"_s, u"http://inner/"_s);
    marks_->moveInto(marks_->size() - 2, folder);
    marks_->save();
    store_->writeValue(RecordStore::FLAGS, 0x1234);
    Vector<Object*> keys(12, true);
    for (int i = 0; i < 12; ++i) keys.addElement(new Integer(100 + i));
    store_->writeRecord(RecordStore::SHORTCUTS, keys, u"I"_s);
    Vector<Object*> home(1, true);
    home.addElement(new String(u"http://home.example/\u00fc"_s));
    store_->writeRecord(RecordStore::HOME_URL, home, u"S"_s);
  }
};

TEST_F(UserDataPackageTest, EverySectionSurvivesARoundTrip) {
  fillStore();
  std::vector<char> bytes = UserDataPackage::build(*store_, *marks_, PORTAL);
  UserDataPackage p = UserDataPackage::read(bytes);
  EXPECT_EQ(0x1F, p.found());
  EXPECT_EQ(marks_->getEntries(), p.bookmarks());
  EXPECT_EQ(0x1234, p.flags());
  ASSERT_EQ(12u, p.shortcuts().size());
  EXPECT_EQ(111, p.shortcuts()[11]);
  ASSERT_EQ(17u, p.settings().size());
  EXPECT_EQ(1006, p.settings()[0]);
  EXPECT_EQ(1022, p.settings()[16]);
  EXPECT_TRUE(p.homeUrl().equals(u"http://home.example/\u00fc"_s));

  // The reference service reads the same bytes, the home URL's length
  // counted in encoded bytes.
  vesk::UserDataPackage served = vesk::UserDataPackage::parse(std::string(bytes.begin(), bytes.end()));
  ASSERT_EQ(6u, served.bookmarks.size());
  EXPECT_EQ("Demo", served.bookmarks[0]);
  EXPECT_EQ(0x1234, *served.flagWord);
  EXPECT_EQ("http://home.example/\xc3\xbc", *served.homeUrl);
}

TEST_F(UserDataPackageTest, WithoutAStoredHomeUrlThePortalIsSent) {
  UserDataPackage p = UserDataPackage::read(UserDataPackage::build(*store_, *marks_, PORTAL));
  EXPECT_EQ(0x1B, p.found()) << "no shortcut list of 12 keys in a fresh store";
  EXPECT_TRUE(p.homeUrl().equals(PORTAL));
  EXPECT_TRUE(p.bookmarks().empty());
}

TEST_F(UserDataPackageTest, UnknownSectionsAreSkippedAndShortKeyListsIgnored) {
  std::vector<char> bytes =
      package({section(9, {1, 2, 3}), section(2, ints({77})), section(3, ints({2, 5, 6})),
               section(0x7FFF, {}), section(4, ints({1, 42}))});
  UserDataPackage p = UserDataPackage::read(bytes);
  EXPECT_EQ(UserDataPackage::FOUND_FLAGS | UserDataPackage::FOUND_SETTINGS, p.found());
  EXPECT_EQ(77, p.flags());
  ASSERT_EQ(1u, p.settings().size());
  EXPECT_EQ(42, p.settings()[0]);
}

TEST_F(UserDataPackageTest, BadInputIsRefusedWithItsMessage) {
  std::string notPackage = narrow(Resource::getString(10192));
  std::string damaged = narrow(Resource::getString(10193));
  const struct {
    const char* name;
    std::vector<char> bytes;
    std::string expected;
  } cases[] = {
      {"empty", {}, notPackage},
      {"short magic", {0, 0, 5}, notPackage},
      {"other magic", ints({1506}), notPackage},
      {"cut section head", package({{0, 2, 0, 0}}), damaged},
      {"length past the end", package({section(2, ints({1})), {0, 2, 0, 0, 0, 9, 1}}), damaged},
      {"negative length", package({{0, 2, static_cast<char>(0xFF), 0, 0, 0}}), damaged},
      {"flag word too short", package({section(2, {1, 2})}), damaged},
      {"huge bookmark count", package({section(1, ints({0x7FFFFFFF}))}), damaged},
      {"negative key count", package({section(3, ints({-1}))}), damaged},
      {"text past its section", package({section(5, {0, 50, 'a'})}), damaged},
      {"pair count beyond the texts", package({section(1, ints({2, 0}))}), damaged},
  };
  for (const auto& c : cases) EXPECT_EQ(c.expected, failure(c.bytes)) << c.name;
}

TEST_F(UserDataPackageTest, EveryCutOfAPackageReadsOrFailsCleanly) {
  fillStore();
  std::vector<char> bytes = UserDataPackage::build(*store_, *marks_, PORTAL);
  int whole = 0;
  for (size_t n = 0; n <= bytes.size(); ++n) {
    std::vector<char> cut(bytes.begin(), bytes.begin() + n);
    std::string f = failure(cut);
    if (f == "none") ++whole;
  }
  // The magic alone and each section boundary.
  EXPECT_EQ(6, whole);
  // Noise after the magic never crashes.
  unsigned seed = 7;
  for (int round = 0; round < 200; ++round) {
    std::vector<char> noise = ints({UserDataPackage::MAGIC});
    for (int i = 0; i < 40; ++i) {
      seed = seed * 1103515245 + 12345;
      noise.push_back(static_cast<char>(round % 2 ? seed >> 16 : (seed >> 16) % 8));
    }
    failure(noise);
  }
}

TEST_F(UserDataPackageTest, ApplyStoresOnlyTheChosenSections) {
  fillStore();
  UserDataPackage p = UserDataPackage::read(UserDataPackage::build(*store_, *marks_, PORTAL));
  std::vector<String> saved = marks_->getEntries();
  // A store that lost everything gets back the list and the home URL only.
  store_->removeRecord(RecordStore::BOOKMARKS);
  store_->removeRecord(RecordStore::HOME_URL);
  store_->removeRecord(RecordStore::SHORTCUTS);
  store_->writeValue(RecordStore::FLAGS, 544);
  openStore();
  ASSERT_EQ(0, marks_->size());
  int flags = 544;
  EXPECT_EQ(0x11, p.apply(0x11 | 0x40, *store_, *marks_, &flags));
  EXPECT_EQ(544, flags);
  EXPECT_EQ(0, AutoPtr<Vector<Object*>>(store_->readRecord(RecordStore::SHORTCUTS, u"I"_s))->size());
  openStore();
  EXPECT_EQ(saved, marks_->getEntries());
  EXPECT_TRUE(store_->readString(RecordStore::HOME_URL, String()).equals(u"http://home.example/\u00fc"_s));

  int checksum = store_->getSetting(21);
  for (int i = 6; i < 23; ++i)
    if (i != 21) store_->setSetting(i, 0);
  EXPECT_EQ(0x0E, p.apply(0x0E, *store_, *marks_, &flags));
  EXPECT_EQ(0x1234, flags);
  EXPECT_EQ(0x1234, store_->readValue(RecordStore::FLAGS));
  EXPECT_EQ(12, AutoPtr<Vector<Object*>>(store_->readRecord(RecordStore::SHORTCUTS, u"I"_s))->size());
  openStore();
  EXPECT_EQ(1006, store_->getSetting(6));
  EXPECT_EQ(1022, store_->getSetting(22));
  EXPECT_EQ(checksum, store_->getSetting(21)) << "the checksum stays the one of the list held";
  EXPECT_EQ(saved, marks_->getEntries());
  EXPECT_EQ(0, store_->getSetting(0)) << "the user id is not part of a package";
}

}  // namespace
