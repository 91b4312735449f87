#pragma once

#include <functional>
#include <vector>

#include "vwt/lang/Object.h"
#include "vwt/lang/String.h"
#include "vwt/lang/VectorV.h"

class BookmarkHost;
class DataInputStream;
class DataOutputStream;

// The user's bookmarks: a tree of folders and links kept as one flat list of
// (title, entry) pairs at indexes 2k and 2k + 1. A node is named by the index
// of its title. Entries read "I<level>,<url>" for a link, "I<level>,f:" for a
// folder; any other entry is a top-level link whose URL is the whole entry.
// A node's children are the following nodes one level deeper, up to the
// first node at its own level or above. Node -1 is the top level.
//
// Stored as record 30720; the checksum of the list sits in settings entry 21
// so that a list changed behind the program's back is noticed at load.
class Bookmarks : public Object {
 public:
  static const int CAPACITY = 100;
  static const int TITLE_LIMIT = 40;
  static const int SETTING_SYNC = 1;
  static const int SETTING_VERSION = 5;
  static const int SETTING_CHECKSUM = 21;
  static const int FLAG_UPLOAD_PENDING = 0x800;
  static const int FLAG_LIST_EMPTIED = 0x200000;

  // host is not owned and must outlive the bookmarks.
  explicit Bookmarks(BookmarkHost* host);
  Bookmarks(const Bookmarks&) = delete;
  Bookmarks& operator=(const Bookmarks&) = delete;

  // Replaces the list with the stored one and checks its checksum. Values
  // that are not texts, an unpaired last title and pairs past the capacity
  // are dropped.
  void load();
  // Stores the checksum in the settings, then the list.
  void save();
  // After a user edit: with synchronisation on (settings entry 1), marks the
  // upload as pending and whether the list is now empty; stores the flags.
  void markChanged();

  // The number of strings in the list (twice the number of nodes).
  int size() const { return static_cast<int>(entries_.size()); }
  int nodeCount() const { return size() / 2; }
  const std::vector<String>& getEntries() const { return entries_; }
  // Empty texts for an index outside the list.
  String getTitle(int n) const;
  String getEntry(int n) const;
  // The sum of the hash codes of every string, wrapping.
  int checksum() const;
  static int checksumOf(const std::vector<String>& entries);

  // The level of an entry; 0 when it has none or it cannot be read.
  static int levelOf(const String& entry);
  static bool isFolderEntry(const String& entry);
  // The entry without its level prefix.
  static String urlOf(const String& entry);

  bool isFolder(int n) const;
  String getUrl(int n) const;
  // Level of node n; -1 for n < 0 (the top level).
  int depth(int n) const;
  // Index just after node n's subtree; the list length for n = -1.
  int subtreeEnd(int n) const;
  int lastChild(int n) const;
  std::vector<int> children(int n) const;
  int findLink(int folder, const String& title) const;
  int findFolder(int folder, const String& title) const;

  // Appends a top-level link; false when the list is full.
  bool add(const String& title, const String& url);
  void setUrl(int n, const String& url);
  // The title of node n becomes title, cut to 40 characters.
  void setTitle(int n, const String& title);
  // Inserts a folder right after the reference node's subtree, at its level,
  // with the title cut to 40 characters. The new folder's index, or -1 when
  // the list is full.
  int addFolder(int reference, const String& title);
  // Removes node n (a folder with every deeper node that follows it); saves.
  void remove(int n);
  // Moves node n (with its subtree when it is a folder) to the end of the
  // folder's subtree as its child; nothing when the folder is n or lies
  // inside n's subtree. Saves.
  void moveInto(int n, int folder);
  // Moves node n (with its subtree when it is a folder) before the node at
  // position, or after that node's subtree; levels stay. Nothing when the
  // place lies inside what is moved. Saves.
  void moveBefore(int n, int position, bool afterSubtree);
  // Every node becomes a top-level link or folder.
  void resetLevels();
  // The service's list replaces this one (cut to whole pairs within the
  // capacity). Does not save.
  void replaceAll(const VectorV<String>& list);

  // Section 1 of the user-data package: id 1, the byte length (the list's
  // stored record size), the pair count and every string. Throws when a
  // text is too long to write.
  void writeTo(DataOutputStream& out) const;
  // Reads count pairs, appending them to target while it holds fewer than
  // the capacity and skipping the rest. Throws when the data ends early; the
  // pairs read before stay.
  static void readFrom(DataInputStream& in, int count, std::vector<String>* target);

  // Imports the ".url" files of a favorites directory into the parent node,
  // subdirectories as child folders of the same title (reused when there).
  // A title the parent already has as a link is skipped. progress hears the
  // running count after every link. Returns the running count, starting
  // from count. Does not save.
  int importFavorites(const String& directory, int parent, int count,
                      const std::function<void(int)>& progress = std::function<void(int)>());
  // The URL of a ".url" file: the text after "URL=" on its last such line;
  // empty when there is none or the file cannot be read.
  static String readShortcutUrl(const String& path);

  String toString() const override;
  bool equals(const Object& other) const override;

 private:
  bool isNode(int n) const { return n >= 0 && n % 2 == 0 && n + 1 < size(); }
  // The end of what moves with node n.
  int movedEnd(int n) const;
  static String entryAt(int level, const String& url);
  // Appends a child at the end of the parent's subtree; its index, or -1
  // when the list is full.
  int insertChild(int parent, const String& title, const String& payload);
  int importDirectory(const String& directory, int parent, int count, int nesting,
                      const std::function<void(int)>& progress);

  BookmarkHost* host_;
  std::vector<String> entries_;
};
