#pragma once

#include <vector>

#include "vwt/lang/String.h"
#include "vwt/lang/Vector.h"

// What can still be read from the bytes of a record store file: the flag
// word and every typed record whose block is sound, or the whole rows of a
// record before its damage. It tells whether the file is damaged and which
// records were lost in full or in part; it only reads the bytes.
class StoreSalvage {
 public:
  // Stands for data that no directory slot names any more: a record of an
  // unknown kind may be lost.
  static const int UNNAMED = 0;

  // file: the whole store file; a file shorter or longer than a store is
  // damaged.
  explicit StoreSalvage(const std::vector<char>& file);
  ~StoreSalvage();
  StoreSalvage(const StoreSalvage&) = delete;
  StoreSalvage& operator=(const StoreSalvage&) = delete;

  bool isDamaged() const { return damaged_; }
  // A store file of the right size that was never initialised.
  bool isBlank() const { return blank_; }
  bool hasFlags() const { return hasFlags_; }
  int getFlags() const { return flags_; }
  // What could be read of record id, or null; the salvage keeps it.
  const Vector<Object*>* getRecord(int id) const;
  // Records lost in full or in part, or whose block another record claims
  // too, by id in slot order; UNNAMED last.
  const std::vector<int>& getLost() const { return lost_; }
  // The user's name for the kind of record id (message text).
  static String getKindName(int id);

 private:
  struct Block {
    int start;
    int end;
  };
  void readRecord(const std::vector<char>& file, int id, int slot);
  void readFreeList(const std::vector<char>& file);
  // Records that end before their block's size word says.
  void checkShortRecords();
  // Lost records whose slot is sound, read again up to their neighbour.
  void retryBetweenNeighbours(const std::vector<char>& file);
  void checkOverlaps();
  void checkUnownedSpace(const std::vector<char>& file);
  // Takes back the blocks in [from, to) of the data area for lost records.
  void adoptBlocks(const std::vector<char>& file, int from, int to);
  void addLost(int id);

  bool damaged_;
  bool blank_;
  bool hasFlags_;
  int flags_;
  std::vector<Vector<Object*>*> records_;  // by slot index, owned
  std::vector<Block> blocks_;              // by slot index; start -1 for none
  std::vector<int> ends_;                  // by slot index: where a short record ended, or -1
  std::vector<int> slots_;                 // by slot index: the slot value read
  std::vector<Block> free_;
  bool freeListSound_;
  std::vector<int> lost_;
};
