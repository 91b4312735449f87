#pragma once

class RecordStore;

// What the bookmarks need from their owner: the record store (with its
// settings list already loaded) and the canvas flag word.
class BookmarkHost {
 public:
  virtual ~BookmarkHost() = default;
  // Not owned by the caller; null when there is no store.
  virtual RecordStore* getRecordStore() = 0;
  virtual int getFlags() = 0;
  virtual void setFlags(int flags) = 0;
};
