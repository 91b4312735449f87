#include "vwt/io/OutputStreamWriter.h"

#include <memory>

void OutputStreamWriter::write(const String& s, int off, int len) {
  if (off < 0) off = 0;
  if (off > s.length()) off = s.length();
  if (len > s.length() - off) len = s.length() - off;
  if (len <= 0) return;
  String part = off == 0 && len == s.length() ? s : s.substring(off, off + len);
  // Room for the widest encoding of every unit, not just two bytes each.
  int max = String::maxAsciiBytes(len);
  std::unique_ptr<char[]> bytes(new char[max + 1]);
  int n = part.getCStringAsAscii(bytes.get(), max);
  sink_->write(bytes.get(), 0, n);
}
