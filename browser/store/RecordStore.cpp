#include "browser/store/RecordStore.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

#include "browser/store/StoreErrorReport.h"
#include "browser/store/StoreSalvage.h"
#include "vwt/io/ByteArrayInputStream.h"
#include "vwt/io/ByteArrayOutputStream.h"
#include "vwt/io/DataInputStream.h"
#include "vwt/io/DataOutputStream.h"
#include "vwt/io/File.h"
#include "vwt/io/FileInputStream.h"
#include "vwt/io/FileOutputStream.h"
#include "vwt/io/StorageConnection.h"
#include "vwt/lang/AutoPtr.h"
#include "vwt/lang/Boolean.h"
#include "vwt/lang/Calendar.h"
#include "vwt/lang/Exception.h"
#include "vwt/lang/Integer.h"
#include "vwt/lang/Lock.h"
#include "vwt/lang/Resource.h"
#include "vwt/lang/System.h"
#include "vwt/lang/VectorV.h"

namespace {

// Two ints per extent after the count must fit below the first block.
const int MAX_EXTENTS = (RecordStore::FIRST_BLOCK - 4) / 8;

Exception damagedRecord(int id) { return Exception(Resource::getString(10202, String(id))); }
Exception damagedFreeList() { return Exception(Resource::getString(10203)); }

int modifiedUtf8Length(const String& s) {
  int64_t n = 0;
  for (int i = 0; i < s.length(); ++i) {
    char16_t c = s.charAt(i);
    n += (c >= 1 && c <= 0x7F) ? 1 : (c <= 0x7FF ? 2 : 3);
  }
  return n > 0xFFFF ? -1 : static_cast<int>(n);
}

int bigEndianInt(const char* b) {
  return static_cast<int>(static_cast<uint32_t>(static_cast<unsigned char>(b[0])) << 24 |
                          static_cast<uint32_t>(static_cast<unsigned char>(b[1])) << 16 |
                          static_cast<uint32_t>(static_cast<unsigned char>(b[2])) << 8 |
                          static_cast<uint32_t>(static_cast<unsigned char>(b[3])));
}

}  // namespace

RecordStore::RecordStore(StoreErrorReport* report, const SettingsDefaults& defaults, const String& storage)
    : report_(report), defaults_(defaults), storage_(storage), settings_(true) {}

void RecordStore::report(const Exception& e) {
  if (report_) report_->reportStoreError(e);
}

String RecordStore::fileName() const {
  return (System::getProgramDirectory() + u"data" + storage_) + u".bin";
}

RandomAccessFile& RecordStore::storeFile(bool forWriting) {
  if (!file_.isOpen()) {
    try {
      file_.open(fileName());
    } catch (const Exception& e) {
      if (forWriting) throw Exception(Resource::getString(-600, fileName()), e.getCode());
      throw;
    }
  }
  return file_;
}

int RecordStore::readIntAt(int position) {
  char b[4];
  storeFile(false).readFully(position, b, 4);
  return bigEndianInt(b);
}

void RecordStore::readBytesAt(int position, char* bytes, int count) {
  storeFile(false).readFully(position, bytes, count);
}

void RecordStore::writeBytesAt(int position, const char* bytes, int count) {
  storeFile(true).write(position, bytes, count);
}

void RecordStore::checkSlot(int id) const {
  if (id < FIRST_SLOT || id > LAST_SLOT || id % 4 != 0)
    throw Exception(Resource::getString(10206, String(id)));
}

void RecordStore::open() {
  Lock g(&lock_);
  repairNotice_ = String();
  // Opened again at the next access: the file may have been made anew.
  file_.close();
  try {
    String file = fileName();
    if (!File::exists(file)) {
      StorageConnection::createInitialFile(storage_, FILE_SIZE, true);
      initializeStore();
      return;
    }
    // One byte more than a store tells a longer file.
    std::vector<char> bytes(FILE_SIZE + 1);
    int got = 0;
    {
      FileInputStream in(file);
      for (int n = 0; got < FILE_SIZE + 1 && (n = in.read(bytes.data(), got, FILE_SIZE + 1 - got)) > 0;)
        got += n;
    }
    bytes.resize(got);
    StoreSalvage salvage(bytes);
    if (salvage.isDamaged()) {
      repair(file, salvage);
    } else if (salvage.isBlank()) {
      initializeStore();
    }
  } catch (const Exception& e) {
    report(e);
  }
}

String RecordStore::keepCopy(const String& file) {
  AutoPtr<Calendar> now(Calendar::getInstance());
  char stamp[40];
  std::snprintf(stamp, sizeof stamp, "%04d%02d%02d-%02d%02d%02d", now->get(Calendar::YEAR),
                now->get(Calendar::MONTH) + 1, now->get(Calendar::DAY_OF_MONTH),
                now->get(Calendar::HOUR_OF_DAY), now->get(Calendar::MINUTE), now->get(Calendar::SECOND));
  File original(file);
  String folder = file.substring(0, file.length() - original.getName().length());
  String base = (folder + original.getNameNoExt()) + u"-damaged-" + String(stamp);
  String copy = base + u".bin";
  // An earlier copy of the same second is never overwritten.
  for (int n = 2; File::exists(copy); ++n) {
    if (n > 99) throw Exception(Resource::getString(10221, copy));
    copy = ((base + u"-") + n) + u".bin";
  }
  {
    FileInputStream in(file);
    FileOutputStream out(copy);
    char buffer[8192];
    for (int n; (n = in.read(buffer, 0, sizeof buffer)) > 0;) out.write(buffer, 0, n);
    out.close();
  }
  if (File(copy).length() != original.length()) throw Exception(Resource::getString(10221, copy));
  return copy;
}

void RecordStore::repair(const String& file, const StoreSalvage& salvage) {
  String copy;
  try {
    copy = keepCopy(file);
  } catch (const Exception& e) {
    // Without a copy the damaged file is not rewritten: what is lost in it
    // may still be found there.
    report(Exception(Resource::getString(10209, e.getRawMessage())));
    return;
  }
  StorageConnection::createInitialFile(storage_, FILE_SIZE, true);
  storeFreeList({{FIRST_BLOCK, DATA_AREA_SIZE - FIRST_BLOCK}});
  writeValue(FLAGS, salvage.hasFlags() ? salvage.getFlags() : FRESH_FLAGS);
  for (int id = FIRST_SLOT; id <= LAST_SLOT; id += 4) {
    const Vector<Object*>* record = salvage.getRecord(id);
    if (!record) continue;
    try {
      writeRecordLocked(id, *record, typeOf(id));
    } catch (const Exception& e) {
      report(e);
    }
  }
  String lost;
  for (int id : salvage.getLost())
    lost =
        lost.length() == 0 ? StoreSalvage::getKindName(id) : (lost + u", ") + StoreSalvage::getKindName(id);
  repairNotice_ =
      lost.length() == 0 ? Resource::getString(10208, copy) : Resource::getString(10207, copy, lost);
  if (report_) report_->reportStoreRepair(repairNotice_);
}

bool RecordStore::isNew() {
  Lock g(&lock_);
  try {
    if (readIntAt(DATA_AREA) != 0) return false;
    for (int id = FIRST_SLOT; id <= LAST_SLOT; id += 4)
      if (id != FLAGS && readIntAt(id) != 0) return false;
    return true;
  } catch (const Exception& e) {
    report(e);
    return false;
  }
}

void RecordStore::initializeStore() {
  Lock g(&lock_);
  try {
    storeFreeList({{FIRST_BLOCK, DATA_AREA_SIZE - FIRST_BLOCK}});
    writeValue(FLAGS, FRESH_FLAGS);
  } catch (const Exception& e) {
    report(e);
  }
}

int RecordStore::readValue(int id) {
  Lock g(&lock_);
  try {
    checkSlot(id);
    return readIntAt(id);
  } catch (const Exception& e) {
    report(e);
    return 0;
  }
}

void RecordStore::writeValue(int id, int value) {
  Lock g(&lock_);
  try {
    checkSlot(id);
    char bytes[4] = {static_cast<char>(value >> 24), static_cast<char>(value >> 16),
                     static_cast<char>(value >> 8), static_cast<char>(value)};
    writeBytesAt(id, bytes, 4);
  } catch (const Exception& e) {
    report(e);
  }
}

std::vector<RecordStore::Extent> RecordStore::loadFreeList() {
  int count = readIntAt(DATA_AREA);
  if (count < 0 || count % 2 != 0 || count / 2 > MAX_EXTENTS) throw damagedFreeList();
  std::vector<char> pairs(count * 4);
  readBytesAt(DATA_AREA + 4, pairs.data(), count * 4);
  std::vector<Extent> list;
  int previousEnd = FIRST_BLOCK;
  for (int i = 0; i < count / 2; ++i) {
    Extent e;
    e.offset = bigEndianInt(&pairs[8 * i]);
    e.size = bigEndianInt(&pairs[8 * i + 4]);
    if (e.offset < previousEnd || e.size <= 0 || int64_t(e.offset) + e.size > DATA_AREA_SIZE)
      throw damagedFreeList();
    previousEnd = e.offset + e.size;
    list.push_back(e);
  }
  return list;
}

std::vector<int> RecordStore::readFreeList() {
  Lock g(&lock_);
  std::vector<int> pairs;
  try {
    for (const Extent& e : loadFreeList()) {
      pairs.push_back(e.offset);
      pairs.push_back(e.size);
    }
  } catch (const Exception& e) {
    report(e);
  }
  return pairs;
}

void RecordStore::storeFreeList(const std::vector<Extent>& list) {
  ByteArrayOutputStream bytes;
  DataOutputStream out(&bytes);
  out.setDeleteSource(false);
  out.writeInt(static_cast<int>(list.size()) * 2);
  for (const Extent& e : list) {
    out.writeInt(e.offset);
    out.writeInt(e.size);
  }
  writeBytesAt(DATA_AREA, bytes.toByteArray(), bytes.size());
}

RecordStore::Block RecordStore::blockAt(int id, int dataOffset) {
  if (dataOffset < FIRST_BLOCK + 4 || dataOffset > DATA_AREA_SIZE - 4) throw damagedRecord(id);
  int size = readIntAt(DATA_AREA + dataOffset - 4);
  if (size < 4 || int64_t(dataOffset) + size > DATA_AREA_SIZE) throw damagedRecord(id);
  return Block{dataOffset - 4, dataOffset + size};
}

std::vector<RecordStore::Block> RecordStore::otherBlocks(int id) {
  const int slots = (LAST_SLOT - FIRST_SLOT) / 4 + 1;
  char bytes[slots * 4];
  readBytesAt(FIRST_SLOT, bytes, sizeof bytes);
  int directory[slots];
  for (int i = 0; i < slots; ++i) directory[i] = bigEndianInt(bytes + 4 * i);
  std::vector<Block> blocks;
  for (int i = 0; i < slots; ++i) {
    int other = FIRST_SLOT + 4 * i;
    if (other == id || other == FLAGS || directory[i] == 0) continue;
    try {
      blocks.push_back(blockAt(other, directory[i]));
    } catch (const Exception&) {
      // A damaged slot claims nothing; reading that record reports it.
    }
  }
  return blocks;
}

bool RecordStore::overlaps(int start, int end, const std::vector<Extent>& free,
                           const std::vector<Block>& blocks) {
  for (const Extent& e : free)
    if (e.offset < end && start < e.offset + e.size) return true;
  for (const Block& b : blocks)
    if (b.start < end && start < b.end) return true;
  return false;
}

std::vector<RecordStore::Extent> RecordStore::loadCheckedFreeList(const std::vector<Block>& blocks) {
  std::vector<Extent> free = loadFreeList();
  for (const Extent& e : free)
    if (overlaps(e.offset, e.offset + e.size, {}, blocks)) throw damagedFreeList();
  return free;
}

bool RecordStore::release(std::vector<Extent>& list, const Block& block) {
  size_t next = 0;
  while (next < list.size() && list[next].offset < block.start) ++next;
  bool joinsPrevious = next > 0 && list[next - 1].offset + list[next - 1].size == block.start;
  bool joinsNext = next < list.size() && list[next].offset == block.end;
  int size = block.end - block.start;
  if (joinsPrevious && joinsNext) {
    list[next - 1].size += size + list[next].size;
    list.erase(list.begin() + next);
  } else if (joinsPrevious) {
    list[next - 1].size += size;
  } else if (joinsNext) {
    list[next].offset = block.start;
    list[next].size += size;
  } else {
    // A full list would outgrow its room and run into the first block.
    if (static_cast<int>(list.size()) >= MAX_EXTENTS) return false;
    list.insert(list.begin() + next, Extent{block.start, size});
  }
  return true;
}

int RecordStore::recordSize(const Vector<Object*>& record, const String& type) {
  int n = type.length();
  if (n == 0) return record.size() == 0 ? 4 : -1;
  int64_t size = 4;
  for (int i = 0; i < record.size(); ++i) {
    Object* v = record.elementAt(i);
    switch (type.charAt(i % n)) {
      case u'S': {
        String* s = dynamic_cast<String*>(v);
        int length = s ? modifiedUtf8Length(*s) : -1;
        if (length < 0) return -1;
        size += 2 + length;
        break;
      }
      case u'I':
        if (!dynamic_cast<Integer*>(v)) return -1;
        size += 4;
        break;
      case u'B':
        if (!dynamic_cast<Boolean*>(v)) return -1;
        size += 1;
        break;
      case u'R': {
        VectorV<char>* bytes = dynamic_cast<VectorV<char>*>(v);
        if (!bytes) return -1;
        size += 4 + bytes->size();
        break;
      }
      default:
        return -1;
    }
    if (size > 0x7FFFFFF0) return -1;
  }
  return static_cast<int>(size);
}

Vector<Object*>* RecordStore::readRecord(int id, const String& type, Vector<Object*>* cached) {
  if (cached) return cached;
  Lock g(&lock_);
  Vector<Object*>* record = new Vector<Object*>(true);
  try {
    checkSlot(id);
    int slot = readIntAt(id);
    if (slot == 0 || type.isNull()) return record;
    Block block = blockAt(id, slot);
    int size = block.end - slot;
    std::vector<char> bytes(size);
    readBytesAt(DATA_AREA + slot, bytes.data(), size);
    try {
      parseRecord(bytes.data(), size, type, record);
    } catch (const Exception&) {
      // The values before the damage are kept.
      throw damagedRecord(id);
    }
  } catch (const Exception& e) {
    report(e);
  }
  return record;
}

String RecordStore::typeOf(int id) {
  switch (id) {
    case BOOKMARKS:
    case HOME_URL:
    case CREDENTIALS:
    case VISITED:
    case MENU_ORDER:
      return u"S"_s;
    case WINDOWS:
      return u"SI"_s;
    case SHORTCUTS:
    case SETTINGS:
      return u"I"_s;
    case COOKIES:
      return u"SSSII"_s;
    case KEYS:
      return u"R"_s;
    default:
      return String();
  }
}

int RecordStore::parseRecord(const char* bytes, int size, const String& type, Vector<Object*>* out,
                             bool uncounted) {
  ByteArrayInputStream source(bytes, 0, size);
  DataInputStream in(&source);
  in.setDeleteSource(false);
  int count = uncounted ? INT32_MAX : in.readInt();
  const int n = type.length();
  if (uncounted) in.skip(4);
  if (count < 0 || (count > 0 && n == 0)) throw Exception(Resource::getString(-300));
  for (int i = 0; i < count && (!uncounted || source.available() > 0); ++i) {
    switch (type.charAt(i % n)) {
      case u'S':
        out->addElement(new String(in.readUTF()));
        break;
      case u'I':
        out->addElement(new Integer(in.readInt()));
        break;
      case u'B':
        out->addElement(new Boolean(in.readBoolean()));
        break;
      case u'R': {
        int length = in.readInt();
        if (length < 0 || length > source.available()) throw Exception(Resource::getString(-300));
        VectorV<char>* value = new VectorV<char>(length);
        value->setSize(length);
        out->addElement(value);
        if (length > 0) in.readFully(value->data(), 0, length);
        break;
      }
      default:
        throw Exception(Resource::getString(-300));
    }
  }
  return size - source.available();
}

void RecordStore::writeRecord(int id, const Vector<Object*>& record, const String& type) {
  Lock g(&lock_);
  try {
    writeRecordLocked(id, record, type);
  } catch (const Exception& e) {
    report(e);
  }
}

void RecordStore::writeRecordLocked(int id, const Vector<Object*>& record, const String& type) {
  checkSlot(id);
  if (id == FLAGS) throw Exception(Resource::getString(10205, String(id), type));
  int size = recordSize(record, type);
  if (size < 0) throw Exception(Resource::getString(10205, String(id), type));

  ByteArrayOutputStream bytes;
  {
    DataOutputStream out(&bytes);
    out.setDeleteSource(false);
    out.writeInt(size);
    out.writeInt(record.size());
    const int n = type.length();
    for (int i = 0; i < record.size(); ++i) {
      Object* v = record.elementAt(i);
      switch (type.charAt(i % n)) {
        case u'S':
          out.writeUTF(*static_cast<String*>(v));
          break;
        case u'I':
          out.writeInt(static_cast<Integer*>(v)->intValue());
          break;
        case u'B':
          out.writeBoolean(static_cast<Boolean*>(v)->boolValue());
          break;
        default: {
          VectorV<char>* r = static_cast<VectorV<char>*>(v);
          out.writeInt(r->size());
          if (r->size() > 0) out.write(r->data(), 0, r->size());
        }
      }
    }
  }
  if (bytes.size() != size + 4) throw Exception(Resource::getString(10205, String(id), type));
  if (holdsAlready(id, bytes.toByteArray(), bytes.size())) return;

  std::vector<Block> others = otherBlocks(id);
  std::vector<Extent> free = loadCheckedFreeList(others);
  int slot = readIntAt(id);
  bool haveBlock = false;
  Block old{0, 0};
  if (slot != 0) {
    try {
      old = blockAt(id, slot);
      if (overlaps(old.start, old.end, free, others)) throw damagedRecord(id);
      haveBlock = true;
    } catch (const Exception& e) {
      // The old block cannot be trusted: it is neither rewritten nor freed.
      report(e);
    }
  }
  if (haveBlock && old.end - old.start == size + 4) {
    writeBytesAt(DATA_AREA + old.start, bytes.toByteArray(), bytes.size());
    return;
  }

  if (haveBlock && !release(free, old)) report(Exception(Resource::getString(10204, String(id))));
  size_t i = 0;
  while (i < free.size() && free[i].size < size + 4) ++i;
  if (i == free.size()) {
    storeFreeList(free);
    writeValue(id, 0);
    throw Exception(Resource::getString(10204, String(id)));
  }
  int start = free[i].offset;
  free[i].offset += size + 4;
  free[i].size -= size + 4;
  if (free[i].size == 0) free.erase(free.begin() + i);
  writeBytesAt(DATA_AREA + start, bytes.toByteArray(), bytes.size());
  storeFreeList(free);
  writeValue(id, start + 4);
}

bool RecordStore::holdsAlready(int id, const char* bytes, int count) {
  try {
    int slot = readIntAt(id);
    if (slot == 0) return false;
    Block block = blockAt(id, slot);
    if (block.end - block.start != count) return false;
    std::vector<char> stored(count);
    readBytesAt(DATA_AREA + block.start, stored.data(), count);
    return std::memcmp(stored.data(), bytes, count) == 0;
  } catch (const Exception&) {
    // The full write finds the fault again and reports it.
    return false;
  }
}

void RecordStore::removeRecord(int id) {
  Lock g(&lock_);
  try {
    checkSlot(id);
    int slot = readIntAt(id);
    if (slot == 0) return;
    std::vector<Block> others = otherBlocks(id);
    std::vector<Extent> free = loadCheckedFreeList(others);
    writeValue(id, 0);
    Block block = blockAt(id, slot);
    if (overlaps(block.start, block.end, free, others)) throw damagedRecord(id);
    if (release(free, block)) storeFreeList(free);
  } catch (const Exception& e) {
    report(e);
  }
}

String RecordStore::readString(int id, const String& def) {
  AutoPtr<Vector<Object*>> record(readRecord(id, u"S"_s));
  if (record->size() == 0) return def;
  String* s = dynamic_cast<String*>(record->elementAt(0));
  return s ? *s : def;
}

Vector<Object*>* RecordStore::loadSettings() {
  Lock g(&lock_);
  AutoPtr<Vector<Object*>> stored(readRecord(SETTINGS, u"I"_s));
  settings_.clear();
  for (int i = 0; i < stored->size(); ++i) settings_.addElement(stored->elementAt(i));
  stored->setAutoDelete(false);
  if (settings_.size() < SETTINGS_COUNT) {
    for (int i = settings_.size(); i < SETTINGS_COUNT; ++i)
      settings_.addElement(new Integer(defaults_.valueOf(i)));
    writeRecord(SETTINGS, settings_, u"I"_s);
  }
  return &settings_;
}

int RecordStore::getSetting(int i) {
  Lock g(&lock_);
  if (i >= 0 && i < settings_.size()) {
    Integer* v = dynamic_cast<Integer*>(settings_.elementAt(i));
    if (v) return v->intValue();
  }
  return defaults_.valueOf(i);
}

void RecordStore::setSetting(int i, int value) {
  Lock g(&lock_);
  if (i < 0 || i >= SETTINGS_COUNT) return;
  while (settings_.size() <= i) settings_.addElement(new Integer(defaults_.valueOf(settings_.size())));
  delete settings_.elementAt(i);
  settings_.setElementAt(new Integer(value), i);
  writeRecord(SETTINGS, settings_, u"I"_s);
}
