#pragma once

#include <string>

class Page;
class SessionCore;

// The canonical text form of a decoded page, the image table and the
// cookies for it: one line per header field, per item, per frame and per
// image (see the README). Diagnostics and golden tests use it.
class PageDump {
 public:
  static std::string dump(const Page& page, SessionCore& core);
  // A text as the dump writes it: quoted, ASCII, escapes for the rest.
  static std::string quote(const class String& text);
};
