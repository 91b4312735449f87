#pragma once

#include "vwt/lang/String.h"

// The file name a Content-Disposition header suggests.
class ContentDisposition {
 public:
  // The text after "filename=": when it starts with a double quote or an
  // apostrophe, up to the next one of the same kind, else the rest of the
  // value. String::null when there is no "filename=". Not yet safe to use
  // as a file name: see SafeFileName.
  static String fileName(const String& headerValue);
};
