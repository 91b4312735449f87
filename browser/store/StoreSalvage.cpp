#include "browser/store/StoreSalvage.h"

#include <algorithm>
#include <cstdint>

#include "browser/store/RecordStore.h"
#include "vwt/lang/Exception.h"
#include "vwt/lang/Resource.h"

namespace {

const int SLOTS = (RecordStore::LAST_SLOT - RecordStore::FIRST_SLOT) / 4 + 1;
const int MAX_EXTENTS = (RecordStore::FIRST_BLOCK - 4) / 8;

int indexOf(int id) { return (id - RecordStore::FIRST_SLOT) / 4; }

// Values that only make sense together: a partly read record keeps whole
// rows only. Key material is all or nothing.
int rowLength(int id) {
  switch (id) {
    case RecordStore::WINDOWS:
      return 2;
    case RecordStore::CREDENTIALS:
      return 3;
    case RecordStore::COOKIES:
      return 5;
    case RecordStore::KEYS:
      return 7;
    default:
      return 1;
  }
}

bool present(const std::vector<char>& file, int64_t position, int64_t count) {
  return position >= 0 && count >= 0 && position + count <= static_cast<int64_t>(file.size());
}

int intAt(const std::vector<char>& file, int position) {
  uint32_t v = 0;
  for (int i = 0; i < 4; ++i) v = v << 8 | static_cast<unsigned char>(file[position + i]);
  return static_cast<int>(v);
}

}  // namespace

StoreSalvage::StoreSalvage(const std::vector<char>& file)
    : damaged_(file.size() != static_cast<size_t>(RecordStore::FILE_SIZE)),
      blank_(true),
      hasFlags_(false),
      flags_(0),
      records_(SLOTS, nullptr),
      blocks_(SLOTS, Block{-1, -1}),
      ends_(SLOTS, -1),
      slots_(SLOTS, 0),
      freeListSound_(false) {
  for (int id = RecordStore::FIRST_SLOT; id <= RecordStore::LAST_SLOT; id += 4) {
    bool known = id == RecordStore::FLAGS || !RecordStore::typeOf(id).isNull();
    if (!present(file, id, 4)) {
      // Whether it held a record is gone with it.
      blank_ = false;
      if (known) addLost(id);
      continue;
    }
    int slot = intAt(file, id);
    if (id == RecordStore::FLAGS) {
      hasFlags_ = true;
      flags_ = slot;
      continue;
    }
    if (slot == 0) continue;
    blank_ = false;
    if (!known) {
      // A slot no record uses names a block: the directory was damaged.
      damaged_ = true;
      continue;
    }
    readRecord(file, id, slot);
  }
  readFreeList(file);
  if (blank_) {
    damaged_ = damaged_ || !freeListSound_;
    return;
  }
  checkShortRecords();
  retryBetweenNeighbours(file);
  checkOverlaps();
  if (freeListSound_) checkUnownedSpace(file);
  std::sort(lost_.begin(), lost_.end(), [](int a, int b) { return a != UNNAMED && (b == UNNAMED || a < b); });
}

StoreSalvage::~StoreSalvage() {
  for (Vector<Object*>* r : records_) delete r;
}

void StoreSalvage::addLost(int id) {
  damaged_ = true;
  if (std::find(lost_.begin(), lost_.end(), id) == lost_.end()) lost_.push_back(id);
}

void StoreSalvage::readRecord(const std::vector<char>& file, int id, int slot) {
  const int64_t at = int64_t(RecordStore::DATA_AREA) + slot;
  slots_[indexOf(id)] = slot;
  if (slot < RecordStore::FIRST_BLOCK + 4 || slot > RecordStore::DATA_AREA_SIZE - 4 ||
      !present(file, at - 4, 4)) {
    addLost(id);
    return;
  }
  int size = intAt(file, static_cast<int>(at - 4));
  if (size < 4 || int64_t(slot) + size > RecordStore::DATA_AREA_SIZE) {
    addLost(id);
    return;
  }
  int have = static_cast<int>(std::min<int64_t>(size, std::max<int64_t>(0, int64_t(file.size()) - at)));
  Vector<Object*>* values = new Vector<Object*>(true);
  int used = -1;
  try {
    used =
        RecordStore::parseRecord(have > 0 ? &file[at] : file.data(), have, RecordStore::typeOf(id), values);
  } catch (const Exception&) {
    // The values before the damage stay in the list.
  }
  const int index = indexOf(id);
  if (used != size && have == size) {
    // A damaged count: the values may still fill the block exactly.
    Vector<Object*>* again = new Vector<Object*>(true);
    int all = -1;
    try {
      all = RecordStore::parseRecord(&file[at], size, RecordStore::typeOf(id), again, true);
    } catch (const Exception&) {
    }
    if (all == size && again->size() >= values->size()) {
      std::swap(values, again);
      used = all;
      damaged_ = true;
    }
    delete again;
  }
  if (used >= 0 && used < size) {
    // Either the count shrank or the size word grew: the neighbours decide.
    ends_[index] = slot + used;
  } else if (used != size) {
    addLost(id);
  }
  if (used != size) values->setSize(values->size() / rowLength(id) * rowLength(id));
  if (values->size() == 0 && used < 0) {
    delete values;
    return;
  }
  records_[index] = values;
  blocks_[index] = Block{slot - 4, slot + size};
}

void StoreSalvage::checkShortRecords() {
  for (int i = 0; i < SLOTS; ++i) {
    if (ends_[i] < 0) continue;
    damaged_ = true;
    bool neighbour = false;
    for (const Block& b : blocks_) neighbour = neighbour || b.start == ends_[i];
    for (const Block& f : free_) neighbour = neighbour || f.start == ends_[i];
    if (neighbour) {
      // Only the size word was wrong: the record is whole.
      blocks_[i].end = ends_[i];
    } else {
      addLost(RecordStore::FIRST_SLOT + 4 * i);
    }
  }
}

void StoreSalvage::readFreeList(const std::vector<char>& file) {
  const int at = RecordStore::DATA_AREA;
  if (!present(file, at, 4)) {
    blank_ = false;
    return;
  }
  int count = intAt(file, at);
  if (count != 0) blank_ = false;
  if (count < 0 || count % 2 != 0 || count / 2 > MAX_EXTENTS || !present(file, at + 4, int64_t(count) * 4)) {
    damaged_ = true;
    return;
  }
  int previousEnd = RecordStore::FIRST_BLOCK;
  for (int i = 0; i < count / 2; ++i) {
    int offset = intAt(file, at + 4 + 8 * i);
    int size = intAt(file, at + 8 + 8 * i);
    if (offset < previousEnd || size <= 0 || int64_t(offset) + size > RecordStore::DATA_AREA_SIZE) {
      free_.clear();
      damaged_ = true;
      return;
    }
    previousEnd = offset + size;
    free_.push_back(Block{offset, offset + size});
  }
  freeListSound_ = true;
}

void StoreSalvage::retryBetweenNeighbours(const std::vector<char>& file) {
  for (int i = 0; i < SLOTS; ++i) {
    int id = RecordStore::FIRST_SLOT + 4 * i;
    int slot = slots_[i];
    if (records_[i] || slot < RecordStore::FIRST_BLOCK + 4 || slot > RecordStore::DATA_AREA_SIZE - 4)
      continue;
    // The record runs from its slot to the next block or free extent.
    int end = RecordStore::DATA_AREA_SIZE;
    for (const Block& b : blocks_)
      if (b.start >= slot && b.start < end) end = b.start;
    for (const Block& f : free_)
      if (f.start >= slot && f.start < end) end = f.start;
    int64_t at = int64_t(RecordStore::DATA_AREA) + slot;
    if (at + (end - slot) > int64_t(file.size()) || end - slot < 4) continue;
    for (bool uncounted : {false, true}) {
      Vector<Object*>* values = new Vector<Object*>(true);
      int used = -1;
      try {
        used = RecordStore::parseRecord(&file[at], end - slot, RecordStore::typeOf(id), values, uncounted);
      } catch (const Exception&) {
      }
      if (used == end - slot) {
        // The size word or the count was the damage; every value is there.
        records_[i] = values;
        blocks_[i] = Block{slot - 4, end};
        lost_.erase(std::remove(lost_.begin(), lost_.end(), id), lost_.end());
        break;
      }
      delete values;
    }
  }
}

void StoreSalvage::checkOverlaps() {
  for (int i = 0; i < SLOTS; ++i) {
    const Block& a = blocks_[i];
    if (a.start < 0) continue;
    // Two records cannot share bytes: either may be the damaged one.
    for (int j = i + 1; j < SLOTS; ++j) {
      const Block& b = blocks_[j];
      if (b.start >= 0 && a.start < b.end && b.start < a.end) {
        addLost(RecordStore::FIRST_SLOT + 4 * i);
        addLost(RecordStore::FIRST_SLOT + 4 * j);
      }
    }
    for (const Block& f : free_)
      if (a.start < f.end && f.start < a.end) damaged_ = true;
  }
}

void StoreSalvage::checkUnownedSpace(const std::vector<char>& file) {
  std::vector<Block> owned = free_;
  for (const Block& b : blocks_)
    if (b.start >= 0) owned.push_back(b);
  std::sort(owned.begin(), owned.end(), [](const Block& a, const Block& b) { return a.start < b.start; });
  owned.push_back(Block{RecordStore::DATA_AREA_SIZE, RecordStore::DATA_AREA_SIZE});
  int position = RecordStore::FIRST_BLOCK;
  for (const Block& b : owned) {
    // Space that neither the free list nor a record owns: free space the
    // list forgot, or blocks whose slots were damaged.
    if (b.start > position) {
      damaged_ = true;
      adoptBlocks(file, position, b.start);
    }
    position = std::max(position, b.end);
  }
}

void StoreSalvage::adoptBlocks(const std::vector<char>& file, int from, int to) {
  const int64_t length = file.size();
  int position = from;
  while (position + 8 <= to && int64_t(RecordStore::DATA_AREA) + position + 8 <= length) {
    int size = intAt(file, RecordStore::DATA_AREA + position);
    if (size < 4 || int64_t(position) + 4 + size > to ||
        int64_t(RecordStore::DATA_AREA) + position + 4 + size > length)
      break;
    // A block that parses exactly as the one record of its type that was
    // lost is taken back for it.
    int owner = -1;
    Vector<Object*>* found = nullptr;
    for (int id : lost_) {
      if (id == UNNAMED || id == RecordStore::FLAGS || records_[indexOf(id)]) continue;
      Vector<Object*>* values = new Vector<Object*>(true);
      int used = -1;
      try {
        used = RecordStore::parseRecord(&file[RecordStore::DATA_AREA + position + 4], size,
                                        RecordStore::typeOf(id), values);
      } catch (const Exception&) {
      }
      if (used != size || values->size() % rowLength(id) != 0) {
        delete values;
        continue;
      }
      if (owner >= 0) {
        // Two lost records could own it: neither takes it.
        delete values;
        delete found;
        found = nullptr;
        owner = -2;
        break;
      }
      owner = id;
      found = values;
    }
    if (owner >= 0) {
      records_[indexOf(owner)] = found;
      blocks_[indexOf(owner)] = Block{position, position + 4 + size};
      lost_.erase(std::remove(lost_.begin(), lost_.end(), owner), lost_.end());
    } else {
      bool data = false;
      for (int i = 4; i < 4 + size && !data; ++i) data = file[RecordStore::DATA_AREA + position + i] != 0;
      if (data && lost_.empty()) addLost(UNNAMED);
    }
    position += 4 + size;
  }
  // What follows no block chain: data there belongs to no record we know.
  for (int64_t i = int64_t(RecordStore::DATA_AREA) + position;
       i < std::min<int64_t>(RecordStore::DATA_AREA + to, length); ++i)
    if (file[i] != 0) {
      if (lost_.empty()) addLost(UNNAMED);
      break;
    }
}

const Vector<Object*>* StoreSalvage::getRecord(int id) const {
  if (id < RecordStore::FIRST_SLOT || id > RecordStore::LAST_SLOT || id % 4 != 0) return nullptr;
  return records_[indexOf(id)];
}

String StoreSalvage::getKindName(int id) {
  switch (id) {
    case RecordStore::BOOKMARKS:
      return Resource::getString(10210);
    case RecordStore::FLAGS:
      return Resource::getString(10211);
    case RecordStore::WINDOWS:
      return Resource::getString(10212);
    case RecordStore::SHORTCUTS:
      return Resource::getString(10213);
    case RecordStore::SETTINGS:
      return Resource::getString(10214);
    case RecordStore::HOME_URL:
      return Resource::getString(10215);
    case RecordStore::CREDENTIALS:
      return Resource::getString(10216);
    case RecordStore::VISITED:
      return Resource::getString(10217);
    case RecordStore::COOKIES:
      return Resource::getString(10218);
    case RecordStore::KEYS:
      return Resource::getString(10219);
    case RecordStore::MENU_ORDER:
      return Resource::getString(10222);
    default:
      return Resource::getString(10220);
  }
}
