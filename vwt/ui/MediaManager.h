#pragma once

#include "vwt/lang/String.h"

class InputStream;
class MediaImage;

// Makes encoded pictures from memory, from a stream or from the program's res/ folder. Every
// MediaImage returned belongs to the caller.
class MediaManager {
 public:
  // Borrows data[offset..offset+length): the caller keeps the bytes alive.
  static MediaImage* getImage(const char* data, int offset, int length);
  // Reads the stream to its end; the caller keeps the stream.
  static MediaImage* getImage(InputStream* in);
  // "resource:///NAME": the file NAME of res/ in the program directory, read whole. Any other
  // address throws -1702; a missing file throws the file layer's error.
  static MediaImage* getImage(const String& uri);

  MediaManager() = delete;
};
