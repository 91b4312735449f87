#include "browser/store/BookmarkIterator.h"

#include "browser/store/Bookmarks.h"

BookmarkIterator::BookmarkIterator(const Bookmarks& bookmarks, int node)
    : bookmarks_(bookmarks), index_(node < 0 ? 0 : node + 2), level_(bookmarks.depth(node) + 1) {
  advance();
}

void BookmarkIterator::advance() {
  // Skips grandchildren; a node at the parent's level or above ends the walk.
  while (index_ < bookmarks_.size()) {
    int level = bookmarks_.depth(index_);
    if (level == level_) return;
    if (level < level_) break;
    index_ += 2;
  }
  index_ = bookmarks_.size();
}

bool BookmarkIterator::hasNext() { return index_ < bookmarks_.size(); }

int BookmarkIterator::next() {
  if (!hasNext()) return -1;
  int found = index_;
  index_ += 2;
  advance();
  return found;
}
