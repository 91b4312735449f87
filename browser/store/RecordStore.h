#pragma once

#include <vector>

#include "browser/store/SettingsDefaults.h"
#include "vwt/io/RandomAccessFile.h"
#include "vwt/lang/LockObject.h"
#include "vwt/lang/String.h"
#include "vwt/lang/Vector.h"

class Exception;
class StoreErrorReport;
class StoreSalvage;

// The browser's persistent records in scratchpad storage 0: a directory of
// 4-byte slots at the record ids, and a data area holding a free list and
// blocks of typed records. A typed record is a count and then values whose
// types repeat the record's type string: 'S' text, 'I' Integer, 'B' Boolean,
// 'R' a byte array (VectorV<char>).
//
// No operation throws: failures, damaged store files included, go to the
// error report and the operation returns what it has (an empty or partial
// list, 0 for a value). A damaged store is never written outside its data
// area and a write never lands on another record or on free space that the
// free list does not own.
//
// The file is opened at the first access after open() and stays open until
// the store is destroyed; every access reads or writes the file itself, so
// a write has reached it when the call returns.
class RecordStore : public Object {
 public:
  enum RecordId {
    BOOKMARKS = 30720,
    FLAGS = 30736,
    WINDOWS = 30740,
    SHORTCUTS = 30744,
    SETTINGS = 30748,
    HOME_URL = 30752,
    CREDENTIALS = 30756,
    VISITED = 30760,
    COOKIES = 30764,
    MENU_ORDER = 30768,
    KEYS = 30772,
  };
  static const int FIRST_SLOT = 30720;
  static const int LAST_SLOT = 30772;
  static const int DATA_AREA = 33792;
  static const int DATA_AREA_SIZE = 171008;
  // Offsets below this hold the free list.
  static const int FIRST_BLOCK = 4104;
  static const int FILE_SIZE = 409600;
  static const int SETTINGS_COUNT = 23;
  static const int FRESH_FLAGS = 544;

  // report may be null; it is not owned. storage is the scratchpad name.
  RecordStore(StoreErrorReport* report, const SettingsDefaults& defaults, const String& storage = u"0"_s);
  RecordStore(const RecordStore&) = delete;
  RecordStore& operator=(const RecordStore&) = delete;

  // Creates the storage file when it is missing and initialises a new store.
  // A damaged store file is first copied beside itself under a name with
  // the date, then rebuilt with every record that can still be read; the
  // report hears which kinds of record were lost. Without a copy the file
  // is left as it is.
  void open();
  // What the last open() told about a damaged store; empty when nothing.
  const String& getRepairNotice() const { return repairNotice_; }
  // True when the store holds no free list and no record: never initialised.
  bool isNew();
  // Writes the one-extent free list and the flag word 544.
  void initializeStore();

  int readValue(int id);
  void writeValue(int id, int value);
  // cached, when given, is returned as it is. Otherwise a new list that the
  // caller owns, empty when there is no record.
  Vector<Object*>* readRecord(int id, const String& type, Vector<Object*>* cached = nullptr);
  // Writes nothing when the block holds the same bytes already. Rewrites
  // the block in place when the size is unchanged, else moves the
  // record to a new block and frees the old one. With no room left the
  // record is dropped and its slot cleared.
  void writeRecord(int id, const Vector<Object*>& record, const String& type);
  // Frees the record's block and clears its slot.
  void removeRecord(int id);
  // The first text of an "S" record, or def.
  String readString(int id, const String& def);

  // Reads the settings list, completing it to 23 entries with the defaults
  // (and storing it then). The list stays with the store.
  Vector<Object*>* loadSettings();
  Vector<Object*>* getSettings() { return &settings_; }
  // Settings entry i, or its default when the list is shorter.
  int getSetting(int i);
  // Sets entry i and stores the list.
  void setSetting(int i, int value);

  // The stored size of a typed record, without its block header; -1 when a
  // value does not match the type string or a text is too long to store.
  static int recordSize(const Vector<Object*>& record, const String& type);
  // The free extents as (offset, size) pairs.
  std::vector<int> readFreeList();

  // The type string of the browser's record id; null for the flag word and
  // for slots no record uses.
  static String typeOf(int id);
  // Appends the values of the typed record in bytes[0, size) to out and
  // returns the bytes it took. Throws on damage; the values before it stay.
  // uncounted ignores the stored count and reads values to the end.
  static int parseRecord(const char* bytes, int size, const String& type, Vector<Object*>* out,
                         bool uncounted = false);

 private:
  struct Extent {
    int offset;
    int size;
  };
  struct Block {
    int start;  // offset of the size word
    int end;    // one past the record
  };

  void report(const Exception& e);
  // The scratchpad's file for the storage name.
  String fileName() const;
  // The open store file; opened first when it is not (throws -500, or -600
  // for a write, with the path).
  RandomAccessFile& storeFile(bool forWriting);
  int readIntAt(int position);
  void readBytesAt(int position, char* bytes, int count);
  void writeBytesAt(int position, const char* bytes, int count);
  void checkSlot(int id) const;
  std::vector<Extent> loadFreeList();
  void storeFreeList(const std::vector<Extent>& list);
  // The block of a data offset, checked against the data area; throws.
  Block blockAt(int id, int dataOffset);
  // The sound blocks of every record but id.
  std::vector<Block> otherBlocks(int id);
  static bool overlaps(int start, int end, const std::vector<Extent>& free, const std::vector<Block>& blocks);
  // The free list, refused when it hands out space a record holds.
  std::vector<Extent> loadCheckedFreeList(const std::vector<Block>& blocks);
  // Returns false when the list had no room and the space is given up.
  static bool release(std::vector<Extent>& list, const Block& block);
  void writeRecordLocked(int id, const Vector<Object*>& record, const String& type);
  // Whether the record's block holds exactly these bytes (size word and
  // values): the settings and cookies are stored again after every page
  // mostly unchanged, and such a write is skipped. False on any fault.
  bool holdsAlready(int id, const char* bytes, int count);
  void repair(const String& file, const StoreSalvage& salvage);
  // Copies the file beside itself under a name with the date; the copy's path.
  static String keepCopy(const String& file);

  StoreErrorReport* report_;
  SettingsDefaults defaults_;
  String storage_;
  Vector<Object*> settings_;
  String repairNotice_;
  RandomAccessFile file_;
  // Worker and interface threads both write records; the free list must not
  // be handed out twice.
  LockObject lock_;
};
