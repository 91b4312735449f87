#include "downloader/ContentDisposition.h"

String ContentDisposition::fileName(const String& headerValue) {
  static const String KEY = u"filename="_s;
  int at = headerValue.toLowerCase().indexOf(KEY);
  if (at < 0) return String::null;
  String rest = headerValue.substring(at + KEY.length());
  if (rest.isNull()) return String::null;
  char16_t quote = rest.charAt(0);
  if (quote == u'"' || quote == u'\'') {
    int end = rest.indexOf(quote, 1);
    return end < 0 ? rest.substring(1) : rest.substring(1, end);
  }
  // An unquoted name ends at the next parameter (filename*=... often follows).
  int semicolon = rest.indexOf(u';');
  return (semicolon < 0 ? rest : rest.substring(0, semicolon)).trim();
}
