#pragma once

#include "vwt/lang/HashBuckets.h"
#include "vwt/lang/HashFunc.h"
#include "vwt/lang/HashIterator.h"

// A chained hash table that grows through a table of prime bucket counts
// when its insertion counter passes the bucket count. Values are not owned.
template <typename K, typename V, typename H = HashFunc<K>>
class Hashtable : public HashBuckets<K, V> {
  typedef HashBuckets<K, V> Base;
  typedef typename Base::Bucket Bucket;

 public:
  Hashtable() : sizeIndex_(0), insertions_(0) {}
  Hashtable(const Hashtable&) = delete;
  Hashtable& operator=(const Hashtable&) = delete;

  void put(const K& key, const V& value) {
    Lock g(&this->lock_);
    Entry<K, V>* e = find(key);
    if (e)
      e->value = value;
    else
      insert(this->buckets_, new Entry<K, V>(key, value));
    ++insertions_;
    if (insertions_ > this->buckets_->size() && sizeIndex_ < Base::maxSizeIndex()) grow();
  }
  V get(const K& key, const V& def) const {
    Lock g(&this->lock_);
    Entry<K, V>* e = find(key);
    return e ? e->value : def;
  }
  Entry<K, V>* getEntry(const K& key) const {
    Lock g(&this->lock_);
    return find(key);
  }
  // Removes the key; returns its value, or V() when it was absent.
  V remove(const K& key) {
    Lock g(&this->lock_);
    Bucket* b = this->buckets_->elementAt(indexFor(key, this->buckets_->size()));
    if (!b) return V();
    for (int i = 0; i < b->size(); ++i) {
      Entry<K, V>* e = b->elementAt(i);
      if (e->key == key) {
        V value = e->value;
        b->removeElementAt(i);
        return value;
      }
    }
    return V();
  }
  // Deletes every entry and bucket; the bucket count and counter stay.
  void clear() {
    Lock g(&this->lock_);
    int n = this->buckets_->size();
    for (int i = 0; i < n; ++i) {
      delete this->buckets_->elementAt(i);
      this->buckets_->setElementAt(nullptr, i);
    }
  }
  HashIterator<K, V> iterator() const { return HashIterator<K, V>(this); }
  int getInsertionCount() const {
    Lock g(&this->lock_);
    return insertions_;
  }

  String toString() const override { return (String(u"Hashtable[", false) + getInsertionCount()) + u']'; }

 private:
  static int indexFor(const K& key, int buckets) {
    return static_cast<int>(H()(key) % static_cast<unsigned int>(buckets));
  }
  Entry<K, V>* find(const K& key) const {
    Bucket* b = this->buckets_->elementAt(indexFor(key, this->buckets_->size()));
    if (!b) return nullptr;
    for (int i = 0; i < b->size(); ++i) {
      Entry<K, V>* e = b->elementAt(i);
      if (e->key == key) return e;
    }
    return nullptr;
  }
  static void insert(Vector<Bucket*>* buckets, Entry<K, V>* e) {
    int i = indexFor(e->key, buckets->size());
    Bucket* b = buckets->elementAt(i);
    if (!b) {
      b = new Bucket(true);
      buckets->setElementAt(b, i);
    }
    b->addElement(e);
  }
  void grow() {
    ++sizeIndex_;
    Vector<Bucket*>* grown = Base::makeBuckets(Base::bucketCountAt(sizeIndex_));
    Vector<Bucket*>* old = this->buckets_;
    for (int i = 0; i < old->size(); ++i) {
      Bucket* b = old->elementAt(i);
      if (!b) continue;
      for (int k = 0; k < b->size(); ++k) insert(grown, b->elementAt(k));
      b->setAutoDelete(false);  // the entries moved to the new buckets
    }
    this->buckets_ = grown;
    Base::freeBuckets(old);
  }

  int sizeIndex_;
  int insertions_;
};
