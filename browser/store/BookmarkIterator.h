#pragma once

#include "vwt/lang/Object.h"

class Bookmarks;

// Walks the children of one node of a bookmark list, in list order. The
// list must not change while the iterator is in use.
class BookmarkIterator : public Object {
 public:
  // node -1 walks the top level.
  BookmarkIterator(const Bookmarks& bookmarks, int node);

  virtual bool hasNext();
  // The index of the next child's title; -1 when there is none.
  virtual int next();

 private:
  void advance();

  const Bookmarks& bookmarks_;
  int index_;
  int level_;
};
