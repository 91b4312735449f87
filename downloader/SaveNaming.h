#pragma once

#include "vwt/lang/String.h"

// The names the save dialog proposes for a finished download.
class SaveNaming {
 public:
  // The suggested name when there is one, else the URL's file name ("" for
  // a URL ending in '/').
  static String proposedName(const String& url, const String& suggestedName);
  // The proposed name's extension with its '.', ".html" for a URL without
  // file name; "" for a suggested name without '.'.
  static String extension(const String& url, const String& suggestedName);
  // "pdf file|*.pdf"; " file|*" for an empty extension.
  static String filter(const String& extension);
  // chosen + extension unless chosen already ends with it, ignoring case.
  static String withExtension(const String& chosen, const String& extension);
};
