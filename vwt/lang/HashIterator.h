#pragma once

#include "vwt/lang/HashBuckets.h"

// Walks a Hashtable bucket by bucket, each bucket in insertion order. Each
// call locks the table on its own; the walk as a whole is not protected.
template <typename K, typename V>
class HashIterator {
 public:
  explicit HashIterator(const HashBuckets<K, V>* table) : table_(table), bucket_(0), position_(0) {
    current_ = table_->seek(&bucket_, &position_);
  }
  bool hasNext() const { return bucket_ < table_->bucketCount(); }
  Entry<K, V>* next() {
    Entry<K, V>* e = current_;
    ++position_;
    current_ = table_->seek(&bucket_, &position_);
    return e;
  }

 private:
  const HashBuckets<K, V>* table_;
  int bucket_;
  int position_;
  Entry<K, V>* current_;
};
