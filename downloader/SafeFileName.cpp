#include "downloader/SafeFileName.h"

#include "vwt/lang/StringBuffer.h"

namespace {

// Longer names fail to be created on common file systems (255 bytes).
const int MAX_UNITS = 200;
// An extension longer than this is not kept when a long name is cut.
const int MAX_EXTENSION_UNITS = 16;

}  // namespace

String SafeFileName::clean(const String& name) {
  // Control characters go first, so that they cannot hide a separator or a "..".
  StringBuffer printable;
  for (int i = 0; i < name.length(); ++i) {
    char16_t c = name.charAt(i);
    if (c >= 0x20 && c != 0x7F) printable.append(c);
  }
  String text(printable);
  // Only the last path piece is a name; the rest would choose a folder.
  int slash = text.lastIndexOf(u'/');
  int backslash = text.lastIndexOf(u'\\');
  int cut = slash > backslash ? slash : backslash;
  if (cut >= 0) text = text.substring(cut + 1);
  // Leading dots hide a file (and make "." and ".."); surrounding blanks confuse.
  int begin = 0;
  while (begin < text.length() && (text.charAt(begin) == u'.' || text.charAt(begin) == u' ')) ++begin;
  int end = text.length();
  while (end > begin && (text.charAt(end - 1) == u' ' || text.charAt(end - 1) == u'.')) --end;
  if (begin >= end) return String::null;
  text = text.substring(begin, end);
  if (text.length() > MAX_UNITS) {
    int dot = text.lastIndexOf(u'.');
    String extension = dot > 0 && text.length() - dot <= MAX_EXTENSION_UNITS ? text.substring(dot) : String();
    text = text.substring(0, MAX_UNITS - extension.length()) + extension;
  }
  return text;
}
