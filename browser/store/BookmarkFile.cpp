#include "browser/store/BookmarkFile.h"

std::string BookmarkFile::write(const Bookmarks&) { return std::string(); }

int BookmarkFile::read(const std::string&, Bookmarks&) { return 0; }

void BookmarkFile::writeFile(const String&, const Bookmarks&) {}

int BookmarkFile::readFile(const String&, Bookmarks&) { return 0; }
