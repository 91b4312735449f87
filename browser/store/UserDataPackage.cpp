#include "browser/store/UserDataPackage.h"

#include <algorithm>

#include "browser/store/Bookmarks.h"
#include "browser/store/RecordStore.h"
#include "vwt/io/ByteArrayInputStream.h"
#include "vwt/io/ByteArrayOutputStream.h"
#include "vwt/io/DataInputStream.h"
#include "vwt/io/DataOutputStream.h"
#include "vwt/lang/AutoPtr.h"
#include "vwt/lang/Exception.h"
#include "vwt/lang/Integer.h"
#include "vwt/lang/Resource.h"
#include "vwt/lang/Vector.h"
#include "vwt/lang/VectorV.h"

namespace {

const int NOT_A_PACKAGE = 10192;
const int DAMAGED = 10193;
// Settings entries 6 to 22.
const int SETTINGS_CARRIED = RecordStore::SETTINGS_COUNT - UserDataPackage::FIRST_SETTING;

std::vector<char> bytesOf(const ByteArrayOutputStream& out) {
  return std::vector<char>(out.toByteArray(), out.toByteArray() + out.size());
}

void writeInts(DataOutputStream& out, int id, const std::vector<int>& values) {
  out.writeShort(static_cast<short>(id));
  out.writeInt(4 + 4 * static_cast<int>(values.size()));
  out.writeInt(static_cast<int>(values.size()));
  for (int v : values) out.writeInt(v);
}

// A count read from the package, checked against the bytes that hold its
// values (each at least minBytes long).
int checkedCount(DataInputStream& in, int length, int minBytes) {
  int count = in.readInt();
  if (count < 0 || count > (length - 4) / minBytes) throw Exception(Resource::getString(DAMAGED));
  return count;
}

std::vector<int> readInts(DataInputStream& in, int length) {
  int count = checkedCount(in, length, 4);
  std::vector<int> values;
  values.reserve(count);
  for (int i = 0; i < count; ++i) values.push_back(in.readInt());
  return values;
}

}  // namespace

std::vector<char> UserDataPackage::build(RecordStore& store, const Bookmarks& marks,
                                         const String& portalUrl) {
  ByteArrayOutputStream bytes;
  DataOutputStream out(&bytes);
  out.setDeleteSource(false);
  out.writeInt(MAGIC);
  marks.writeTo(out);

  out.writeShort(FLAGS);
  out.writeInt(4);
  out.writeInt(store.readValue(RecordStore::FLAGS));

  std::vector<int> shortcuts;
  AutoPtr<Vector<Object*>> keys(store.readRecord(RecordStore::SHORTCUTS, u"I"_s));
  for (int i = 0; keys && i < keys->size(); ++i) {
    Integer* v = dynamic_cast<Integer*>(keys->elementAt(i));
    shortcuts.push_back(v ? v->intValue() : 0);
  }
  writeInts(out, SHORTCUTS, shortcuts);

  std::vector<int> settings;
  for (int i = FIRST_SETTING; i < RecordStore::SETTINGS_COUNT; ++i) settings.push_back(store.getSetting(i));
  writeInts(out, SETTINGS, settings);

  String home = store.readString(RecordStore::HOME_URL, String());
  if (home.isNull() || home.length() == 0) home = portalUrl;
  // The length is the text's encoded size, which only equals its characters
  // plus two for plain ASCII.
  ByteArrayOutputStream text;
  DataOutputStream textOut(&text);
  textOut.setDeleteSource(false);
  textOut.writeUTF(home);
  out.writeShort(HOME_URL);
  out.writeInt(text.size());
  out.write(text.toByteArray(), 0, text.size());
  return bytesOf(bytes);
}

UserDataPackage UserDataPackage::read(const std::vector<char>& package) {
  int size = static_cast<int>(package.size());
  ByteArrayInputStream whole(package.data(), 0, size);
  DataInputStream in(&whole);
  in.setDeleteSource(false);
  if (size < 4 || in.readInt() != MAGIC) throw Exception(Resource::getString(NOT_A_PACKAGE));

  UserDataPackage p;
  int at = 4;
  try {
    while (at < size) {
      if (size - at < 6) throw Exception(Resource::getString(DAMAGED));
      int id = static_cast<unsigned short>(in.readShort());
      int length = in.readInt();
      at += 6;
      if (length < 0 || length > size - at) throw Exception(Resource::getString(DAMAGED));
      // Each section is read from its own bytes only.
      ByteArrayInputStream part(package.data(), at, length);
      DataInputStream section(&part);
      section.setDeleteSource(false);
      switch (id) {
        case BOOKMARKS: {
          int pairs = checkedCount(section, length, 4);
          std::vector<String> list;
          Bookmarks::readFrom(section, pairs, &list);
          p.bookmarks_.swap(list);
          p.found_ |= FOUND_BOOKMARKS;
          break;
        }
        case FLAGS:
          p.flags_ = section.readInt();
          p.found_ |= FOUND_FLAGS;
          break;
        case SHORTCUTS:
          p.shortcuts_ = readInts(section, length);
          // Only a whole key list means anything.
          if (p.shortcuts_.size() == SHORTCUT_COUNT)
            p.found_ |= FOUND_SHORTCUTS;
          else
            p.found_ &= ~FOUND_SHORTCUTS;
          break;
        case SETTINGS:
          p.settings_ = readInts(section, length);
          if (p.settings_.size() > SETTINGS_CARRIED) p.settings_.resize(SETTINGS_CARRIED);
          p.found_ |= FOUND_SETTINGS;
          break;
        case HOME_URL:
          p.homeUrl_ = section.readUTF();
          p.found_ |= FOUND_HOME_URL;
          break;
        default:
          break;  // a section of a later kind: skipped by its length
      }
      at += length;
      in.skip(length);
    }
  } catch (const Exception&) {
    // Also when a section's data ended early or held a bad text.
    throw Exception(Resource::getString(DAMAGED));
  }
  return p;
}

int UserDataPackage::apply(int chosenBits, RecordStore& store, Bookmarks& marks, int* flags) const {
  int bits = chosenBits & found_;
  if (bits & FOUND_FLAGS) {
    store.writeValue(RecordStore::FLAGS, flags_);
    if (flags) *flags = flags_;
  }
  if (bits & FOUND_SHORTCUTS) {
    Vector<Object*> record(SHORTCUT_COUNT, true);
    for (int v : shortcuts_) record.addElement(new Integer(v));
    store.writeRecord(RecordStore::SHORTCUTS, record, u"I"_s);
  }
  if (bits & FOUND_SETTINGS) {
    Vector<Object*>* settings = store.getSettings();
    for (size_t i = 0; i < settings_.size(); ++i) {
      int entry = FIRST_SETTING + static_cast<int>(i);
      // The checksum belongs to the list this store holds, which save() below
      // sums anew when the list is restored too.
      if (entry >= settings->size() || entry == Bookmarks::SETTING_CHECKSUM) continue;
      Object* old = settings->elementAt(entry);
      settings->setElementAt(new Integer(settings_[i]), entry);
      delete old;
    }
    store.writeRecord(RecordStore::SETTINGS, *settings, u"I"_s);
  }
  if (bits & FOUND_HOME_URL) {
    Vector<Object*> record(1, true);
    record.addElement(new String(homeUrl_));
    store.writeRecord(RecordStore::HOME_URL, record, u"S"_s);
  }
  if (bits & FOUND_BOOKMARKS) {
    VectorV<String> list(static_cast<int>(bookmarks_.size()) + 1);
    for (const String& s : bookmarks_) list.addElement(s);
    marks.replaceAll(list);
    marks.save();
  }
  return bits;
}
