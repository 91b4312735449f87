#pragma once

#include <vector>

#include "vwt/lang/String.h"

class Bookmarks;
class RecordStore;

// The user's data in one byte package: the bookmark list, the flag word, the
// shortcut keys, settings entries 6 to 22 and the home URL. It is what the
// bookmark upload carries and what a backup picture holds. The layout is the
// int32 1505, then sections of int16 id, int32 byte length and the payload.
class UserDataPackage {
 public:
  static const int MAGIC = 1505;
  // Section ids; section n is found bit 1 << (n - 1).
  enum Section { BOOKMARKS = 1, FLAGS = 2, SHORTCUTS = 3, SETTINGS = 4, HOME_URL = 5 };
  enum Found {
    FOUND_BOOKMARKS = 1,
    FOUND_FLAGS = 2,
    FOUND_SHORTCUTS = 4,
    FOUND_SETTINGS = 8,
    FOUND_HOME_URL = 0x10
  };
  static const int SHORTCUT_COUNT = 12;
  // The settings a package carries: entries FIRST_SETTING to 22.
  static const int FIRST_SETTING = 6;

  // Every section, from the store and the list; portalUrl stands for the
  // home URL when none is stored. Throws when a text is too long to write.
  static std::vector<char> build(RecordStore& store, const Bookmarks& marks, const String& portalUrl);

  // Reads a package; throws an Exception with message 10192 when it does not
  // begin with the magic and with 10193 when it is damaged (a section that
  // overruns the data or its own length). Sections of unknown id are skipped.
  static UserDataPackage read(const std::vector<char>& package);

  // What was found, as FOUND_* bits.
  int found() const { return found_; }
  const std::vector<String>& bookmarks() const { return bookmarks_; }
  int flags() const { return flags_; }
  const std::vector<int>& shortcuts() const { return shortcuts_; }
  // Settings entries 6 onward, as many as the package held (at most 17).
  const std::vector<int>& settings() const { return settings_; }
  const String& homeUrl() const { return homeUrl_; }

  // Stores the chosen sections among those found: the list replaces the
  // bookmarks (and is saved), the flag word goes to *flags and the store, the
  // shortcut keys, the settings and the home URL to their records. Returns
  // the bits applied.
  int apply(int chosenBits, RecordStore& store, Bookmarks& marks, int* flags) const;

 private:
  int found_ = 0;
  std::vector<String> bookmarks_;
  int flags_ = 0;
  std::vector<int> shortcuts_;
  std::vector<int> settings_;
  String homeUrl_;
};
