#pragma once

#include "vwt/lang/Entry.h"
#include "vwt/lang/Lock.h"
#include "vwt/lang/Vector.h"

// The bucket storage shared by Hashtable and HashIterator: a vector of
// buckets (null until first used), each owning its entries.
template <typename K, typename V>
class HashBuckets : public Object {
 public:
  typedef Vector<Entry<K, V>*> Bucket;

  // The bucket counts, each about twice the one before.
  static int bucketCountAt(int sizeIndex) {
    static const int COUNTS[] = {53,        97,        193,       389,       769,       1543,     3079,
                                 6151,      12289,     24593,     49157,     98317,     196613,   393241,
                                 786433,    1572869,   3145739,   6291469,   12582917,  25165843, 50331653,
                                 100663319, 201326611, 402653189, 805306457, 1610612741};
    const int n = sizeof COUNTS / sizeof COUNTS[0];
    return COUNTS[sizeIndex < n ? sizeIndex : n - 1];
  }
  static int maxSizeIndex() { return 25; }

  int bucketCount() const {
    Lock g(&lock_);
    return buckets_->size();
  }

  // Moves (bucket, position) to the first entry at or after it; returns the
  // entry, or null with bucket set to the bucket count when none is left.
  Entry<K, V>* seek(int* bucket, int* position) const {
    Lock g(&lock_);
    int n = buckets_->size();
    while (*bucket < n) {
      Bucket* b = buckets_->elementAt(*bucket);
      if (b && *position < b->size()) return b->elementAt(*position);
      ++*bucket;
      *position = 0;
    }
    return nullptr;
  }

 protected:
  HashBuckets() : buckets_(makeBuckets(bucketCountAt(0))) {}
  ~HashBuckets() override { freeBuckets(buckets_); }

  static Vector<Bucket*>* makeBuckets(int n) {
    Vector<Bucket*>* v = new Vector<Bucket*>(n, false);
    v->setSize(n);
    return v;
  }
  static void freeBuckets(Vector<Bucket*>* v) {
    for (int i = 0; i < v->size(); ++i) delete v->elementAt(i);
    delete v;
  }

  Vector<Bucket*>* buckets_;
  mutable LockObject lock_;
};
