#pragma once

#include <cstdint>

#include "vwt/lang/String.h"

// What a partial file needs to resume: the URL it came from, the validator
// the server gave (ETag or Last-Modified) and the full length. Kept beside
// the data file as dataPath + ".resume".
class ResumeRecord {
 public:
  String url, etag, lastModified;
  int64_t totalLength = -1;

  bool hasValidator() const;
  static String pathFor(const String& dataPath);
  // False when the record is missing or malformed.
  bool load(const String& dataPath);
  // Throws Exception when it cannot write.
  void save(const String& dataPath) const;
  static void remove(const String& dataPath);
  // The data path of a partial download of url in directory that can
  // resume, String::null when none.
  static String findPartial(const String& directory, const String& url);
};
