#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <fstream>
#include <string>
#include <vector>

#include "browser/store/BookmarkHost.h"
#include "browser/store/BookmarkIterator.h"
#include "browser/store/Bookmarks.h"
#include "browser/store/RecordStore.h"
#include "vwt/io/ByteArrayInputStream.h"
#include "vwt/io/ByteArrayOutputStream.h"
#include "vwt/io/DataInputStream.h"
#include "vwt/io/DataOutputStream.h"
#include "vwt/lang/AutoPtr.h"
#include "vwt/lang/Exception.h"
#include "vwt/lang/Integer.h"
#include "vwt/lang/Resource.h"
#include "vwt/lang/Vector.h"
#include "vwt/platform/Paths.h"

namespace {

std::string text(const String& s) {
  std::string out;
  for (int i = 0; i < s.length(); ++i) out += static_cast<char>(s.charAt(i));
  return out;
}

class FakeHost : public BookmarkHost {
 public:
  explicit FakeHost(RecordStore* store) : store_(store) {}
  RecordStore* getRecordStore() override { return store_; }
  int getFlags() override { return flags; }
  void setFlags(int f) override { flags = f; }
  int flags = 0;

 private:
  RecordStore* store_;
};

class BookmarksTest : public ::testing::Test {
 public:
  void SetUp() override {
    saved_ = vwt::platform::programDirectory();
    char pattern[] = "/tmp/vwt-bookmarks-XXXXXX";
    dir_ = mkdtemp(pattern);
    mkdir((dir_ + "/res").c_str(), 0700);
    const char* source = getenv("VWT_TEST_SOURCE_DIR");
    std::ifstream in(std::string(source ? source : VWT_SOURCE_DIR) + "/res/message.txt", std::ios::binary);
    std::ofstream(dir_ + "/res/message.txt", std::ios::binary) << in.rdbuf();
    vwt::platform::setProgramDirectory(dir_);
    Resource::unload();
    store_ = new RecordStore(nullptr, SettingsDefaults());
    store_->open();
    store_->loadSettings();
    host_ = new FakeHost(store_.get());
  }
  void TearDown() override {
    host_ = nullptr;
    store_ = nullptr;
    vwt::platform::setProgramDirectory(saved_);
    Resource::unload();
    std::string command = "rm -rf '" + dir_ + "'";
    EXPECT_EQ(0, system(command.c_str()));
  }

  // Builds a list from "title=entry" items, without touching the store.
  void fill(Bookmarks& b, std::initializer_list<const char*> items) {
    VectorV<String> list;
    for (const char* item : items) {
      std::string s(item);
      size_t eq = s.find('=');
      list.addElement(String(s.substr(0, eq).c_str()));
      list.addElement(String(s.substr(eq + 1).c_str()));
    }
    b.replaceAll(list);
  }
  static std::string titles(const Bookmarks& b) {
    std::string out;
    for (int i = 0; i < b.size(); i += 2)
      out += (i ? " " : "") + text(b.getTitle(i)) + ":" + std::to_string(b.depth(i));
    return out;
  }
  void storeRecord(std::initializer_list<Object*> values) {
    Vector<Object*> record(true);
    for (Object* o : values) record.addElement(o);
    store_->writeRecord(RecordStore::BOOKMARKS, record, u"S"_s);
  }

  std::string saved_;
  std::string dir_;
  AutoPtr<RecordStore> store_;
  AutoPtr<FakeHost> host_;
};

}  // namespace

TEST(BookmarkEntry, LevelsFoldersAndUrls) {
  struct Case {
    const char* entry;
    int level;
    bool folder;
    const char* url;
  } cases[] = {
      {"I0,http://a.example/", 0, false, "http://a.example/"},
      {"I3,http://a.example/x", 3, false, "http://a.example/x"},
      {"I12,f:", 12, true, "f:"},
      {"http://plain.example/", 0, false, "http://plain.example/"},
      {"f:", 0, true, "f:"},
      {"Ix,f:", 0, true, "Ix,f:"},  // damaged level: still a folder, level 0
      {"I,http://a/", 0, false, "I,http://a/"},
      {"I5", 0, false, "I5"},
      {"I99999999999,x", 0, false, "I99999999999,x"},  // too long to be a level
      {"I2,http://a/?q=1,f:2", 2, false, "http://a/?q=1,f:2"},
      {"", 0, false, ""},
  };
  for (const Case& c : cases) {
    String e(c.entry);
    EXPECT_EQ(c.level, Bookmarks::levelOf(e)) << text(e);
    EXPECT_EQ(c.folder, Bookmarks::isFolderEntry(e)) << text(e);
    EXPECT_EQ(c.url, text(Bookmarks::urlOf(e))) << text(e);
  }
}

TEST_F(BookmarksTest, TreeQueriesAndIterator) {
  Bookmarks b(host_.get());
  fill(b, {"A=I0,f:", "a1=I1,http://a1/", "B=I1,f:", "b1=I2,http://b1/", "a2=I1,http://a2/",
           "top=I0,http://top/", "old=http://old/"});
  struct Case {
    int node;
    std::vector<int> children;
    int end;
  } cases[] = {{-1, {0, 10, 12}, 14}, {0, {2, 4, 8}, 10}, {4, {6}, 8}, {2, {}, 4}, {10, {}, 12}};
  for (const Case& c : cases) {
    EXPECT_EQ(c.children, b.children(c.node)) << c.node;
    EXPECT_EQ(c.end, b.subtreeEnd(c.node)) << c.node;
    EXPECT_EQ(c.children.empty() ? -1 : c.children.back(), b.lastChild(c.node)) << c.node;
  }
  BookmarkIterator it(b, 0);
  EXPECT_EQ(2, it.next());
  EXPECT_EQ(4, it.next());
  EXPECT_EQ(8, it.next());
  EXPECT_FALSE(it.hasNext());
  EXPECT_EQ(-1, it.next());
  EXPECT_EQ(4, b.findFolder(0, u"B"_s));
  EXPECT_EQ(-1, b.findLink(0, u"B"_s));
  EXPECT_EQ(2, b.findLink(0, u"a1"_s));
  EXPECT_EQ(-1, b.findLink(-1, u"a1"_s));  // a grandchild of the top level
  EXPECT_EQ("http://old/", text(b.getUrl(12)));
  EXPECT_EQ(-1, b.depth(-1));
}

TEST_F(BookmarksTest, FolderTitlesAreCutTo40AndPlacedAfterTheReferenceSubtree) {
  Bookmarks b(host_.get());
  std::string t40(40, 'x'), t41 = t40 + "y";
  struct Case {
    std::string title;
    size_t stored;
  } cases[] = {{"", 0}, {"short", 5}, {t40, 40}, {t41, 40}, {std::string(300, 'z'), 40}};
  for (const Case& c : cases) {
    int at = b.addFolder(-1, String(c.title.c_str()));
    EXPECT_EQ(c.stored, text(b.getTitle(at)).size());
    EXPECT_EQ(c.title.substr(0, c.stored), text(b.getTitle(at)));
    EXPECT_TRUE(b.isFolder(at));
  }
  fill(b, {"A=I0,f:", "a1=I1,http://a1/", "B=I1,f:", "b1=I2,http://b1/", "z=I0,http://z/"});
  EXPECT_EQ(8, b.addFolder(4, u"C"_s));  // after B's subtree, at B's level
  EXPECT_EQ("A:0 a1:1 B:1 b1:2 C:1 z:0", titles(b));
}

TEST_F(BookmarksTest, RemovingAFolderTakesOnlyTheDeeperNodesThatFollowIt) {
  struct Case {
    int node;
    const char* left;
  } cases[] = {
      {0, "z:0 y:1"},                          // y follows z: not A's
      {4, "A:0 a1:1 a2:1 z:0 y:1"},            // B and b1 only
      {2, "A:0 B:1 b1:2 a2:1 z:0 y:1"},        // a link alone
      {12, "A:0 a1:1 B:1 b1:2 a2:1 z:0"},      // the last node
      {13, "A:0 a1:1 B:1 b1:2 a2:1 z:0 y:1"},  // not a node
      {99, "A:0 a1:1 B:1 b1:2 a2:1 z:0 y:1"},
  };
  for (const Case& c : cases) {
    Bookmarks b(host_.get());
    fill(b, {"A=I0,f:", "a1=I1,http://a1/", "B=I1,f:", "b1=I2,http://b1/", "a2=I1,http://a2/",
             "z=I0,http://z/", "y=I1,http://y/"});
    b.save();
    b.remove(c.node);
    EXPECT_EQ(c.left, titles(b)) << c.node;
    Bookmarks reread(host_.get());
    reread.load();
    EXPECT_TRUE(reread.equals(b)) << c.node;
  }
}

TEST_F(BookmarksTest, RemoveKeepsUnsavedAdditions) {
  Bookmarks b(host_.get());
  b.add(u"one"_s, u"http://1/"_s);
  b.save();
  b.add(u"two"_s, u"http://2/"_s);  // an import, not saved yet
  b.add(u"three"_s, u"http://3/"_s);
  b.remove(2);
  EXPECT_EQ("one:0 three:0", titles(b));
}

TEST_F(BookmarksTest, MovesRewriteLevelsAndRefuseToEnterThemselves) {
  const auto start = {
      "A=I0,f:", "a1=I1,http://a1/", "B=I0,f:", "b1=I1,f:", "b2=I2,http://b2/", "z=I0,http://z/"};
  struct Case {
    int n, folder;
    const char* after;
  } cases[] = {
      {4, 0, "A:0 a1:1 B:1 b1:2 b2:3 z:0"},  // a folder keeps its depth below the new parent
      {10, 6, "A:0 a1:1 B:0 b1:1 b2:2 z:2"}, {6, -1, "A:0 a1:1 B:0 z:0 b1:0 b2:1"},
      {4, 6, "A:0 a1:1 B:0 b1:1 b2:2 z:0"},  // into its own subtree: nothing
      {4, 4, "A:0 a1:1 B:0 b1:1 b2:2 z:0"},  {0, 10, "A:0 a1:1 B:0 b1:1 b2:2 z:0"},  // into a link: nothing
  };
  for (const Case& c : cases) {
    Bookmarks b(host_.get());
    fill(b, start);
    b.moveInto(c.n, c.folder);
    EXPECT_EQ(c.after, titles(b)) << c.n << " into " << c.folder;
  }
  struct Before {
    int n, position;
    bool afterSubtree;
    const char* after;
  } befores[] = {
      {10, 0, false, "z:0 A:0 a1:1 B:0 b1:1 b2:2"},
      {0, 4, true, "B:0 b1:1 b2:2 A:0 a1:1 z:0"},
      {0, 10, true, "B:0 b1:1 b2:2 z:0 A:0 a1:1"},
      {4, 6, false, "A:0 a1:1 B:0 b1:1 b2:2 z:0"},  // inside itself: nothing
      {4, 12, false, "A:0 a1:1 z:0 B:0 b1:1 b2:2"},
  };
  for (const Before& c : befores) {
    Bookmarks b(host_.get());
    fill(b, start);
    b.moveBefore(c.n, c.position, c.afterSubtree);
    EXPECT_EQ(c.after, titles(b)) << c.n << " before " << c.position;
  }
}

TEST_F(BookmarksTest, ChecksumAtLoad) {
  Bookmarks b(host_.get());
  b.add(u"one"_s, u"I0,http://1/"_s);
  b.save();
  int sum = b.checksum();
  EXPECT_EQ(static_cast<int>((u"one"_s).hashCode() + (u"I0,http://1/"_s).hashCode()), sum);
  EXPECT_EQ(sum, store_->getSetting(Bookmarks::SETTING_CHECKSUM));

  struct Case {
    int stored, sync;
    int version, checksum;
    bool pendingKept;
  } cases[] = {
      {sum, 1, 7, sum, true},           // in step
      {sum + 1, 1, 1, sum + 1, false},  // changed outside: ask the service again
      {sum + 1, 0, 1, sum + 1, true},
      {0, 1, 7, sum, true},  // no checksum yet: it is stored
  };
  for (const Case& c : cases) {
    store_->setSetting(Bookmarks::SETTING_VERSION, 7);
    store_->setSetting(Bookmarks::SETTING_SYNC, c.sync);
    store_->setSetting(Bookmarks::SETTING_CHECKSUM, c.stored);
    store_->writeValue(RecordStore::FLAGS, 0x800 | 0x20);
    host_->flags = 0x800 | 0x20;
    Bookmarks loaded(host_.get());
    loaded.load();
    EXPECT_EQ(c.version, store_->getSetting(Bookmarks::SETTING_VERSION)) << c.stored;
    EXPECT_EQ(c.checksum, store_->getSetting(Bookmarks::SETTING_CHECKSUM)) << c.stored;
    int expectFlags = c.pendingKept ? 0x820 : 0x20;
    EXPECT_EQ(expectFlags, store_->readValue(RecordStore::FLAGS)) << c.stored;
    EXPECT_EQ(expectFlags, host_->flags) << c.stored;
  }
}

TEST_F(BookmarksTest, DamagedRecordsLoadWithoutCrashing) {
  // The store only writes what the type string allows; a record of another
  // type in the slot is what a damaged file looks like from here.
  Vector<Object*> ints(true);
  ints.addElement(new Integer(3));
  ints.addElement(new Integer(4));
  store_->writeRecord(RecordStore::BOOKMARKS, ints, u"I"_s);
  Bookmarks b(host_.get());
  b.load();
  EXPECT_EQ(0, b.size() % 2);  // whatever texts the bytes make, whole pairs only
  b.children(-1);

  storeRecord({new String(u"a"_s), new String(u"I0,http://a/"_s), new String(u"dangling"_s)});
  b.load();
  EXPECT_EQ("a:0", titles(b));

  Vector<Object*> many(true);
  for (int i = 0; i < 2 * Bookmarks::CAPACITY + 10; ++i) many.addElement(new String(u"I7"_s));
  store_->writeRecord(RecordStore::BOOKMARKS, many, u"S"_s);
  b.load();
  EXPECT_EQ(2 * Bookmarks::CAPACITY, b.size());
  EXPECT_FALSE(b.add(u"full"_s, u"http://f/"_s));
  EXPECT_EQ(-1, b.addFolder(-1, u"full"_s));
  EXPECT_EQ(std::vector<int>(), b.children(0));
}

TEST_F(BookmarksTest, MarkChangedFlags) {
  struct Case {
    int sync;
    bool empty;
    int before, after;
  } cases[] = {
      {0, true, 0x20, 0x20},  // sync off: no flag changes
      {0, false, 0x200020, 0x200020},
      {1, true, 0x20, 0x200820},
      {1, false, 0x200020, 0x820},
  };
  for (const Case& c : cases) {
    store_->setSetting(Bookmarks::SETTING_SYNC, c.sync);
    store_->writeValue(RecordStore::FLAGS, c.before);
    host_->flags = c.before;
    Bookmarks b(host_.get());
    if (!c.empty) b.add(u"t"_s, u"http://t/"_s);
    b.markChanged();
    EXPECT_EQ(c.after, host_->flags) << c.sync << c.empty;
    EXPECT_EQ(c.after, store_->readValue(RecordStore::FLAGS)) << c.sync << c.empty;
  }
}

TEST_F(BookmarksTest, SetUrlAndResetLevels) {
  Bookmarks b(host_.get());
  fill(b, {"A=I0,f:", "a=I1,http://a/", "p=http://plain/"});
  b.setUrl(2, u"http://new/"_s);
  EXPECT_EQ("I1,http://new/", text(b.getEntry(2)));
  b.setUrl(4, u"http://p2/"_s);
  EXPECT_EQ("I0,http://p2/", text(b.getEntry(4)));
  b.resetLevels();
  EXPECT_EQ("A:0 a:0 p:0", titles(b));
  EXPECT_TRUE(b.isFolder(0));
  EXPECT_EQ("I0,http://new/", text(b.getEntry(2)));
}

TEST_F(BookmarksTest, PackageSectionRoundTripAndCapacityCut) {
  Bookmarks b(host_.get());
  for (int i = 0; i < Bookmarks::CAPACITY; ++i)
    b.add(String((std::string("t") + std::to_string(i)).c_str()), u"I0,h"_s);
  ByteArrayOutputStream bytes;
  {
    DataOutputStream out(&bytes);
    out.setDeleteSource(false);
    b.writeTo(out);
  }
  // t0..t9 take 4 bytes, t10..t99 5, each entry 6; plus the count.
  const int payload = 4 + 10 * 4 + 90 * 5 + 100 * 6;
  ASSERT_EQ(2 + 4 + payload, bytes.size());

  struct Case {
    int count;
    size_t before, after;
  } cases[] = {{100, 0, 200}, {100, 190, 200}, {3, 0, 6}, {0, 0, 0}, {-5, 0, 0}};
  for (const Case& c : cases) {
    ByteArrayInputStream source(bytes.toByteArray(), 0, bytes.size());
    DataInputStream in(&source);
    in.setDeleteSource(false);
    EXPECT_EQ(1, in.readShort());
    EXPECT_EQ(payload, in.readInt());
    EXPECT_EQ(100, in.readInt());
    std::vector<String> target(c.before, u"x"_s);
    Bookmarks::readFrom(in, c.count, &target);
    EXPECT_EQ(c.after, target.size()) << c.count << " " << c.before;
    if (c.before == 0 && c.after > 0) {
      EXPECT_EQ("t0", text(target[0]));
    }
  }
  // A count larger than the data: the pairs read stay, then the read fails.
  ByteArrayInputStream source(bytes.toByteArray(), 10, bytes.size() - 10);
  DataInputStream in(&source);
  in.setDeleteSource(false);
  std::vector<String> target;
  EXPECT_THROW(Bookmarks::readFrom(in, 2000000000, &target), Exception);
  EXPECT_EQ(200u, target.size());
}

TEST_F(BookmarksTest, ImportingFavoritesTwiceAddsNoDuplicates) {
  std::string fav = dir_ + "/fav";
  mkdir(fav.c_str(), 0700);
  mkdir((fav + "/Sub").c_str(), 0700);
  std::ofstream(fav + "/a.url") << "[InternetShortcut]\r\nURL=http://a/\r\n";
  std::ofstream(fav + "/two.URL") << "URL=http://first/\nIconIndex=0\nURL=http://last/\n";
  std::ofstream(fav + "/none.url") << "[InternetShortcut]\n";
  std::ofstream(fav + "/note.txt") << "URL=http://not-a-shortcut/\n";
  std::ofstream(fav + "/Sub/s.url") << "URL=http://s/\n";

  Bookmarks b(host_.get());
  b.add(u"kept"_s, u"http://kept/"_s);
  std::vector<int> seen;
  EXPECT_EQ(3, b.importFavorites(String(fav.c_str()), -1, 0, [&](int n) { seen.push_back(n); }));
  EXPECT_EQ(std::vector<int>({1, 2, 3}), seen);
  int sub = b.findFolder(-1, u"Sub"_s);
  ASSERT_GE(sub, 0);
  int s = b.findLink(sub, u"s"_s);
  ASSERT_GE(s, 0);
  EXPECT_EQ("http://s/", text(b.getUrl(s)));
  EXPECT_EQ("http://last/", text(b.getUrl(b.findLink(-1, u"two"_s))));
  EXPECT_EQ("http://a/", text(b.getUrl(b.findLink(-1, u"a"_s))));
  EXPECT_EQ(-1, b.findLink(-1, u"none"_s));
  int nodes = b.nodeCount();
  EXPECT_EQ(5, nodes);

  EXPECT_EQ(7, b.importFavorites(String(fav.c_str()), -1, 7));
  EXPECT_EQ(nodes, b.nodeCount());
  EXPECT_EQ(0, b.importFavorites(String((dir_ + "/missing").c_str()), -1, 0));
}
