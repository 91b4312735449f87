#include "browser/store/Bookmarks.h"

#include <algorithm>

#include "browser/store/BookmarkHost.h"
#include "browser/store/BookmarkIterator.h"
#include "browser/store/RecordStore.h"
#include "vwt/io/BufferedInputStream.h"
#include "vwt/io/DataInputStream.h"
#include "vwt/io/DataOutputStream.h"
#include "vwt/io/File.h"
#include "vwt/io/FileInputStream.h"
#include "vwt/io/InputStreamReader.h"
#include "vwt/lang/AutoPtr.h"
#include "vwt/lang/Exception.h"
#include "vwt/lang/Vector.h"

namespace {

// Length of the "I<digits>," prefix, 0 when the entry has none. More than
// nine digits cannot be a level: the entry is then taken as a plain URL.
int prefixLength(const String& entry) {
  int n = entry.length();
  if (n < 3 || entry.charAt(0) != u'I') return 0;
  int i = 1;
  while (i < n && i <= 10 && entry.charAt(i) >= u'0' && entry.charAt(i) <= u'9') ++i;
  if (i == 1 || i > 10 || i >= n || entry.charAt(i) != u',') return 0;
  return i + 1;
}

}  // namespace

Bookmarks::Bookmarks(BookmarkHost* host) : host_(host) {}

String Bookmarks::getTitle(int n) const { return isNode(n) ? entries_[n] : String(); }

String Bookmarks::getEntry(int n) const { return isNode(n) ? entries_[n + 1] : String(); }

int Bookmarks::checksumOf(const std::vector<String>& entries) {
  unsigned int sum = 0;
  for (const String& s : entries) sum += s.hashCode();
  return static_cast<int>(sum);
}

int Bookmarks::checksum() const { return checksumOf(entries_); }

int Bookmarks::levelOf(const String& entry) {
  int end = prefixLength(entry) - 1;
  int level = 0;
  for (int i = 1; i < end; ++i) level = level * 10 + (entry.charAt(i) - u'0');
  return level;
}

bool Bookmarks::isFolderEntry(const String& entry) {
  if (entry.startsWith(u"f:")) return true;
  if (entry.length() == 0 || entry.charAt(0) != u'I') return false;
  // A folder whose level is damaged is still a folder.
  int comma = entry.indexOf(u',');
  return comma > 0 && entry.indexOf(u"f:"_s, comma + 1) == comma + 1;
}

String Bookmarks::urlOf(const String& entry) { return entry.substring(prefixLength(entry)); }

String Bookmarks::entryAt(int level, const String& url) { return u"I"_s + level + u"," + url; }

bool Bookmarks::isFolder(int n) const { return isNode(n) && isFolderEntry(entries_[n + 1]); }

String Bookmarks::getUrl(int n) const { return isNode(n) ? urlOf(entries_[n + 1]) : String(); }

int Bookmarks::depth(int n) const {
  if (n < 0) return -1;
  return isNode(n) ? levelOf(entries_[n + 1]) : 0;
}

int Bookmarks::subtreeEnd(int n) const {
  if (n < 0) return size() - size() % 2;
  if (!isNode(n)) return n;
  int level = depth(n);
  int i = n + 2;
  while (isNode(i) && depth(i) > level) i += 2;
  return i;
}

int Bookmarks::movedEnd(int n) const { return isFolder(n) ? subtreeEnd(n) : n + 2; }

std::vector<int> Bookmarks::children(int n) const {
  std::vector<int> out;
  if (n >= 0 && !isNode(n)) return out;
  BookmarkIterator it(*this, n);
  while (it.hasNext()) out.push_back(it.next());
  return out;
}

int Bookmarks::lastChild(int n) const {
  std::vector<int> c = children(n);
  return c.empty() ? -1 : c.back();
}

int Bookmarks::findLink(int folder, const String& title) const {
  for (int c : children(folder))
    if (!isFolder(c) && entries_[c].equals(title)) return c;
  return -1;
}

int Bookmarks::findFolder(int folder, const String& title) const {
  for (int c : children(folder))
    if (isFolder(c) && entries_[c].equals(title)) return c;
  return -1;
}

void Bookmarks::load() {
  RecordStore* store = host_ ? host_->getRecordStore() : nullptr;
  if (!store) return;
  entries_.clear();
  AutoPtr<Vector<Object*>> record(store->readRecord(RecordStore::BOOKMARKS, u"S"_s));
  if (record) {
    // A damaged record must not shift titles into entries: only whole pairs
    // of texts are kept.
    for (int i = 0; i + 1 < record->size() && nodeCount() < CAPACITY; i += 2) {
      String* title = dynamic_cast<String*>(record->elementAt(i));
      String* entry = dynamic_cast<String*>(record->elementAt(i + 1));
      if (!title || !entry) continue;
      entries_.push_back(*title);
      entries_.push_back(*entry);
    }
  }
  int stored = store->getSetting(SETTING_CHECKSUM);
  int sum = checksum();
  if (stored != 0 && stored != sum) {
    // Changed outside this program: ask the service for its list again
    // instead of uploading this one.
    store->setSetting(SETTING_VERSION, 1);
    if (store->getSetting(SETTING_SYNC) > 0) {
      store->writeValue(RecordStore::FLAGS, store->readValue(RecordStore::FLAGS) & ~FLAG_UPLOAD_PENDING);
      host_->setFlags(host_->getFlags() & ~FLAG_UPLOAD_PENDING);
    }
  } else if (stored == 0 && sum != 0) {
    store->setSetting(SETTING_CHECKSUM, sum);
  }
}

void Bookmarks::save() {
  RecordStore* store = host_ ? host_->getRecordStore() : nullptr;
  if (!store) return;
  store->setSetting(SETTING_CHECKSUM, checksum());
  Vector<Object*> record(size() + 1, true);
  for (const String& s : entries_) record.addElement(new String(s));
  store->writeRecord(RecordStore::BOOKMARKS, record, u"S"_s);
}

void Bookmarks::markChanged() {
  RecordStore* store = host_ ? host_->getRecordStore() : nullptr;
  if (!store || store->getSetting(SETTING_SYNC) == 0) return;
  int flags = host_->getFlags();
  if (entries_.empty())
    flags |= FLAG_LIST_EMPTIED;
  else
    flags &= ~FLAG_LIST_EMPTIED;
  flags |= FLAG_UPLOAD_PENDING;
  host_->setFlags(flags);
  store->writeValue(RecordStore::FLAGS, flags);
}

bool Bookmarks::add(const String& title, const String& url) {
  if (nodeCount() >= CAPACITY) return false;
  entries_.push_back(title);
  entries_.push_back(url);
  return true;
}

void Bookmarks::setUrl(int n, const String& url) {
  if (isNode(n)) entries_[n + 1] = entryAt(depth(n), url);
}

void Bookmarks::setTitle(int n, const String& title) {
  if (isNode(n)) entries_[n] = title.length() > TITLE_LIMIT ? title.substring(0, TITLE_LIMIT) : title;
}

int Bookmarks::addFolder(int reference, const String& title) {
  if (nodeCount() >= CAPACITY) return -1;
  if (reference >= 0 && !isNode(reference)) return -1;
  int level = reference < 0 ? 0 : depth(reference);
  int at = subtreeEnd(reference);
  String cut = title.length() > TITLE_LIMIT ? title.substring(0, TITLE_LIMIT) : title;
  entries_.insert(entries_.begin() + at, {cut, entryAt(level, u"f:"_s)});
  return at;
}

void Bookmarks::remove(int n) {
  // The list in memory is the one the caller's index refers to (and may hold
  // imported links not yet saved): it is not read again from the store.
  if (!isNode(n)) return;
  entries_.erase(entries_.begin() + n, entries_.begin() + movedEnd(n));
  save();
}

void Bookmarks::moveInto(int n, int folder) {
  if (!isNode(n) || (folder >= 0 && !isFolder(folder))) return;
  int end = movedEnd(n);
  if (folder >= n && folder < end) return;
  int shift = depth(folder) + 1 - depth(n);
  std::vector<String> moved(entries_.begin() + n, entries_.begin() + end);
  for (size_t i = 1; i < moved.size(); i += 2)
    moved[i] = entryAt(std::max(0, levelOf(moved[i]) + shift), urlOf(moved[i]));
  entries_.erase(entries_.begin() + n, entries_.begin() + end);
  if (folder > n) folder -= end - n;
  int at = subtreeEnd(folder);
  entries_.insert(entries_.begin() + at, moved.begin(), moved.end());
  save();
}

void Bookmarks::moveBefore(int n, int position, bool afterSubtree) {
  if (!isNode(n) || position < 0 || position % 2 != 0 || position > size()) return;
  int end = movedEnd(n);
  int at = afterSubtree && isNode(position) ? subtreeEnd(position) : position;
  if (at > n && at < end) return;
  std::vector<String> moved(entries_.begin() + n, entries_.begin() + end);
  entries_.erase(entries_.begin() + n, entries_.begin() + end);
  if (at >= end) at -= end - n;
  entries_.insert(entries_.begin() + at, moved.begin(), moved.end());
  save();
}

void Bookmarks::resetLevels() {
  for (size_t i = 1; i < entries_.size(); i += 2) entries_[i] = entryAt(0, urlOf(entries_[i]));
}

void Bookmarks::replaceAll(const VectorV<String>& list) {
  entries_.clear();
  int count = std::min(list.size() / 2, static_cast<int>(CAPACITY)) * 2;
  for (int i = 0; i < count; ++i) entries_.push_back(list.elementAt(i));
}

void Bookmarks::writeTo(DataOutputStream& out) const {
  Vector<Object*> record(size() + 1, true);
  for (int i = 0; i < nodeCount() * 2; ++i) record.addElement(new String(entries_[i]));
  out.writeShort(1);
  out.writeInt(RecordStore::recordSize(record, u"S"_s));
  out.writeInt(nodeCount());
  for (int i = 0; i < nodeCount() * 2; ++i) out.writeUTF(entries_[i]);
}

void Bookmarks::readFrom(DataInputStream& in, int count, std::vector<String>* target) {
  // count comes from a file: it bounds the reads, never an allocation.
  for (int i = 0; i < count; ++i) {
    String title = in.readUTF();
    String entry = in.readUTF();
    if (static_cast<int>(target->size()) / 2 >= CAPACITY) continue;
    target->push_back(title);
    target->push_back(entry);
  }
}

int Bookmarks::insertChild(int parent, const String& title, const String& payload) {
  if (nodeCount() >= CAPACITY) return -1;
  int at = subtreeEnd(parent);
  entries_.insert(entries_.begin() + at, {title, entryAt(depth(parent) + 1, payload)});
  return at;
}

String Bookmarks::readShortcutUrl(const String& path) {
  String url;
  try {
    InputStreamReader reader(new BufferedInputStream(new FileInputStream(path)), String::DEFAULT);
    String line;
    while (reader.readLine(line))
      if (line.startsWith(u"URL=")) url = line.substring(4);
  } catch (const Exception&) {
    return String();
  }
  return url;
}

int Bookmarks::importFavorites(const String& directory, int parent, int count,
                               const std::function<void(int)>& progress) {
  if (parent >= 0 && !isFolder(parent)) return count;
  return importDirectory(directory, parent, count, 0, progress);
}

int Bookmarks::importDirectory(const String& directory, int parent, int count, int nesting,
                               const std::function<void(int)>& progress) {
  // Linked directories can form a cycle.
  static const int MAX_NESTING = 16;
  if (nesting > MAX_NESTING) return count;
  VectorV<String> names;
  try {
    File(directory).list(false, &names);
  } catch (const Exception&) {
    return count;
  }
  String base = directory.endsWith(File::separator) ? directory : directory + File::separator;
  for (int i = 0; i < names.size(); ++i) {
    String name = names.elementAt(i);
    if (name.endsWith(File::separator)) {
      String title = name.substring(0, name.length() - 1);
      // Folders go under the parent they were found in, so that a second
      // import finds them again.
      int folder = findFolder(parent, title);
      if (folder < 0) folder = insertChild(parent, title, u"f:"_s);
      if (folder < 0) return count;
      count = importDirectory(base + name, folder, count, nesting + 1, progress);
    } else if (name.endsWithIgnoreCase(u".url"_s)) {
      String title = name.substring(0, name.length() - 4);
      if (findLink(parent, title) >= 0) continue;
      String url = readShortcutUrl(base + name);
      if (url.length() == 0) continue;
      if (insertChild(parent, title, url) < 0) return count;
      ++count;
      if (progress) progress(count);
    }
  }
  return count;
}

String Bookmarks::toString() const { return u"Bookmarks["_s + nodeCount() + u"]"; }

bool Bookmarks::equals(const Object& other) const {
  const Bookmarks* b = dynamic_cast<const Bookmarks*>(&other);
  if (!b) return false;
  if (b == this) return true;
  if (b->size() != size()) return false;
  for (int i = 0; i < size(); ++i)
    if (!entries_[i].equals(b->entries_[i])) return false;
  return true;
}
