#pragma once

// One key and its value in a Hashtable.
template <typename K, typename V>
struct Entry {
  Entry(const K& k, const V& v) : key(k), value(v) {}
  K key;
  V value;
};
