#pragma once

#include <string>

#include "vwt/lang/String.h"

class Bookmarks;

// The desktop browsers' bookmark file: an HTML page of nested <DL> lists,
// folders as <DT><H3>, links as <DT><A HREF>. Folders and their order are
// kept both ways.
class BookmarkFile {
 public:
  // The whole list as a bookmark page (UTF-8).
  static std::string write(const Bookmarks& marks);
  // Reads a bookmark page into the list as a whole: its folders and links
  // are appended at the top level. Throws an Exception with a message that
  // says what is wrong when the page is not a bookmark file or does not fit
  // in the list; the list is then unchanged. Returns the number of links
  // added.
  static int read(const std::string& html, Bookmarks& marks);

  // The same through files; a file that cannot be read or written throws.
  static void writeFile(const String& path, const Bookmarks& marks);
  static int readFile(const String& path, Bookmarks& marks);
};
