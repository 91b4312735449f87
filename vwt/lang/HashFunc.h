#pragma once

#include "vwt/lang/String.h"

// The hash of a key for Hashtable.
template <typename K>
struct HashFunc;

template <>
struct HashFunc<String> {
  unsigned int operator()(const String& key) const { return key.hashCode(); }
};

template <>
struct HashFunc<int> {
  unsigned int operator()(int key) const { return static_cast<unsigned int>(key); }
};
