#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "vwt/lang/AutoArrayPtr.h"
#include "vwt/lang/AutoPtr.h"
#include "vwt/lang/Hashtable.h"
#include "vwt/lang/Lock.h"
#include "vwt/lang/Thread.h"
#include "vwt/lang/Vector.h"
#include "vwt/lang/VectorV.h"

namespace {

// Records the order in which instances are destroyed.
struct Tracked : Object {
  Tracked(int id, std::vector<int>* log) : id(id), log(log) {}
  ~Tracked() override { log->push_back(id); }
  int id;
  std::vector<int>* log;
};

}  // namespace

TEST(VectorV, GrowsByDoubling) {
  VectorV<int> v;
  EXPECT_EQ(v.capacity(), 16);
  for (int i = 0; i < 40; ++i) v.addElement(i);
  EXPECT_EQ(v.size(), 40);
  EXPECT_EQ(v.capacity(), 64);
  EXPECT_EQ(VectorV<int>(0).capacity(), 1);
  EXPECT_EQ(v.firstElement(), 0);
  EXPECT_EQ(v.lastElement(), 39);
}

TEST(VectorV, InsertRemoveAndSearch) {
  VectorV<int> v;
  const int a[] = {1, 2, 3, 4, 5};
  v.addElements(a, 5);
  const int b[] = {9, 9};
  v.insertElements(b, 2, 1);  // 1 9 9 2 3 4 5
  EXPECT_EQ(v.size(), 7);
  EXPECT_EQ(v.elementAt(1), 9);
  EXPECT_EQ(v.elementAt(3), 2);
  v.remove(1, 3);  // 1 2 3 4 5
  EXPECT_EQ(v.size(), 5);
  EXPECT_EQ(v.elementAt(1), 2);
  v.removeElementAt(0);
  EXPECT_EQ(v.elementAt(0), 2);
  EXPECT_EQ(v.indexOf(4), 2);
  EXPECT_EQ(v.indexOf(4, 3), -1);
  v.setElementAt(7, 0);
  EXPECT_EQ(v.elementAt(0), 7);
  v.setSize(6);
  EXPECT_EQ(v.elementAt(5), 0);  // grown with zeros
  v.clear();
  EXPECT_EQ(v.size(), 0);
}

TEST(VectorV, HoldsStringsAndCopies) {
  VectorV<String> v;
  v.addElement(u"one"_s);
  v.addElement(String(u"two", 0, 3));
  VectorV<String> copy(v);
  v.setElementAt(u"changed"_s, 0);
  EXPECT_EQ(copy.elementAt(0), u"one");
  EXPECT_EQ(copy.indexOf(u"two"_s), 1);
  VectorV<String> assigned;
  assigned = copy;
  EXPECT_EQ(assigned.size(), 2);
  EXPECT_EQ(assigned.elementAt(1), u"two");
}

TEST(VectorV, ToStringNamesTheElementType) {
  VectorV<int> v;
  v.addElement(1);
  EXPECT_EQ(v.toString(), u"int[1]");
}

TEST(Vector, OwningVectorDeletesLastFirst) {
  std::vector<int> log;
  {
    Vector<Tracked*> v;
    for (int i = 0; i < 4; ++i) v.addElement(new Tracked(i, &log));
    v.addElement(nullptr);  // null elements are skipped
  }
  EXPECT_EQ(log, (std::vector<int>{3, 2, 1, 0}));
}

TEST(Vector, RemovalDeletesOnlyWhenOwning) {
  std::vector<int> log;
  Vector<Tracked*> owning;
  for (int i = 0; i < 5; ++i) owning.addElement(new Tracked(i, &log));
  owning.remove(1, 3);
  EXPECT_EQ(log, (std::vector<int>{2, 1}));
  EXPECT_EQ(owning.size(), 3);
  EXPECT_EQ(owning.elementAt(1)->id, 3);
  owning.setSize(1);
  EXPECT_EQ(log, (std::vector<int>{2, 1, 4, 3}));

  Tracked kept(9, &log);
  {
    Vector<Tracked*> borrowing(false);
    borrowing.addElement(&kept);
    borrowing.clear();
    borrowing.addElement(&kept);
  }
  EXPECT_EQ(log.size(), 4u);
  owning.setAutoDelete(false);
  Tracked* last = owning.elementAt(0);
  owning.clear();
  EXPECT_EQ(log.size(), 4u);
  delete last;
}

TEST(Vector, FillAndIndexOf) {
  Vector<Tracked*> v(false);
  std::vector<int> log;
  Tracked a(1, &log), b(2, &log);
  v.setSize(4);
  v.fill(1, 3, &a);
  EXPECT_EQ(v.elementAt(0), nullptr);
  EXPECT_EQ(v.elementAt(2), &a);
  EXPECT_EQ(v.indexOf(&a), 1);
  EXPECT_EQ(v.indexOf(&a, 3), -1);
  EXPECT_EQ(v.indexOf(&b), -1);
}

TEST(Vector, AddElementsAppendsInOrderPastTheCapacity) {
  std::vector<int> log;
  {
    Vector<Tracked*> v(2, true);
    v.addElement(new Tracked(0, &log));
    Tracked* more[] = {new Tracked(1, &log), new Tracked(2, &log), new Tracked(3, &log)};
    v.addElements(more, 3);
    v.addElements(more, 0);
    ASSERT_EQ(v.size(), 4);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(v.elementAt(i)->id, i);
    EXPECT_GE(v.capacity(), 4);
  }
  EXPECT_EQ(log, (std::vector<int>{3, 2, 1, 0}));  // owned: all freed, last first
}

// A thread holding the vector's lock keeps other threads' operations out.
TEST(Vector, GetLockIsTheLockItsOperationsTake) {
  Vector<Object*> v(false);
  std::atomic<bool> added{false};
  Lock held(v.getLock());
  v.addElement(nullptr);  // re-entered by the holder
  std::thread other([&] {
    v.addElement(nullptr);
    added = true;
  });
  Thread::sleep(50);
  EXPECT_FALSE(added);
  EXPECT_EQ(v.size(), 1);
  held.unlock();
  other.join();
  EXPECT_EQ(v.size(), 2);
}

TEST(Hashtable, PutGetRemove) {
  Hashtable<String, String> t;
  t.put(u"a"_s, u"1"_s);
  t.put(u"b"_s, u"2"_s);
  t.put(u"a"_s, u"3"_s);  // replaces
  EXPECT_EQ(t.get(u"a"_s, String::null), u"3");
  EXPECT_EQ(t.get(u"zz"_s, u"def"_s), u"def");
  EXPECT_EQ(t.getEntry(u"zz"_s), nullptr);
  ASSERT_NE(t.getEntry(u"b"_s), nullptr);
  EXPECT_EQ(t.getEntry(u"b"_s)->value, u"2");
  EXPECT_EQ(t.remove(u"b"_s), u"2");
  EXPECT_EQ(t.getEntry(u"b"_s), nullptr);
  EXPECT_TRUE(t.remove(u"b"_s).isNull());
  EXPECT_EQ(t.toString(), u"Hashtable[3]");  // replacements count as insertions
}

TEST(Hashtable, GrowsAtThe54thPut) {
  Hashtable<int, String> distinct;
  for (int i = 0; i < 53; ++i) distinct.put(i, String(i));
  EXPECT_EQ(distinct.bucketCount(), 53);
  distinct.put(53, u"53"_s);
  EXPECT_EQ(distinct.bucketCount(), 97);
  for (int i = 0; i < 54; ++i) EXPECT_EQ(distinct.get(i, String::null), String(i)) << i;

  Hashtable<String, String> same;
  for (int i = 0; i < 53; ++i) same.put(u"key"_s, String(i));
  EXPECT_EQ(same.bucketCount(), 53);
  same.put(u"key"_s, u"last"_s);
  EXPECT_EQ(same.bucketCount(), 97);
  EXPECT_EQ(same.get(u"key"_s, String::null), u"last");
}

TEST(Hashtable, ClearKeepsBucketsAndCounter) {
  Hashtable<int, String> t;
  for (int i = 0; i < 60; ++i) t.put(i, String(i));
  t.clear();
  EXPECT_EQ(t.bucketCount(), 97);
  EXPECT_EQ(t.getInsertionCount(), 60);
  EXPECT_EQ(t.getEntry(5), nullptr);
  EXPECT_FALSE(t.iterator().hasNext());
  t.put(5, u"five"_s);
  EXPECT_EQ(t.get(5, String::null), u"five");
}

TEST(Hashtable, IteratesBucketByBucketInInsertionOrder) {
  Hashtable<int, String> t;
  // 1, 54 and 107 share bucket 1 of 53; 0 comes first, 2 after them.
  t.put(107, u"c"_s);
  t.put(2, u"d"_s);
  t.put(1, u"a"_s);
  t.put(54, u"b"_s);
  t.put(0, u"z"_s);
  std::vector<int> keys;
  for (HashIterator<int, String> it = t.iterator(); it.hasNext();) keys.push_back(it.next()->key);
  EXPECT_EQ(keys, (std::vector<int>{0, 107, 1, 54, 2}));
}

TEST(Hashtable, NegativeIntKeysHashAsUnsigned) {
  Hashtable<int, String> t;
  t.put(-1, u"minus"_s);
  EXPECT_EQ(t.get(-1, String::null), u"minus");
}

TEST(Hashtable, SharedBetweenThreads) {
  Hashtable<int, String> t;
  std::vector<std::thread> workers;
  for (int w = 0; w < 4; ++w)
    workers.emplace_back([&t, w] {
      for (int i = 0; i < 500; ++i) t.put(w * 1000 + i, String(i));
    });
  for (auto& th : workers) th.join();
  int n = 0;
  for (HashIterator<int, String> it = t.iterator(); it.hasNext(); it.next()) ++n;
  EXPECT_EQ(n, 2000);
  EXPECT_EQ(t.get(3499, String::null), u"499");
}

TEST(Holders, AutoPtrOwnsAndMoves) {
  std::vector<int> log;
  {
    AutoPtr<Tracked> p(new Tracked(1, &log));
    Tracked* same = p.get();
    p = same;  // the pointer it already holds: nothing happens
    EXPECT_TRUE(log.empty());
    p = new Tracked(2, &log);
    EXPECT_EQ(log, (std::vector<int>{1}));
    AutoPtr<Tracked> q(std::move(p));
    EXPECT_FALSE(p);
    EXPECT_EQ(q->id, 2);
    Tracked* loose = q.release();
    EXPECT_FALSE(q);
    delete loose;
  }
  EXPECT_EQ(log, (std::vector<int>{1, 2}));
}

TEST(Holders, AutoArrayPtrIndexesAndFrees) {
  AutoArrayPtr<int> a(new int[3]{4, 5, 6});
  EXPECT_EQ(a[1], 5);
  a[1] = 9;
  AutoArrayPtr<int> b;
  b = std::move(a);
  EXPECT_EQ(b[1], 9);
  EXPECT_FALSE(a);
  b.reset(new int[1]{1});
  EXPECT_EQ(b[0], 1);
}
