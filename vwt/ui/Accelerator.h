#pragma once

#include <vector>

#include "vwt/lang/Object.h"

// A keyboard accelerator table: a key down of a listed virtual key becomes the command instead.
class Accelerator : public Object {
 public:
  void add(int virtualKey, int commandId) { entries_.push_back(Entry{virtualKey, commandId}); }
  void clear() { entries_.clear(); }
  bool isEmpty() const { return entries_.empty(); }
  // The command of a key, -1 for none.
  int commandOf(int virtualKey) const {
    for (const Entry& e : entries_)
      if (e.virtualKey == virtualKey) return e.commandId;
    return -1;
  }

 private:
  struct Entry {
    int virtualKey;
    int commandId;
  };
  std::vector<Entry> entries_;
};
