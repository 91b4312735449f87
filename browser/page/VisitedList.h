#pragma once

#include "vwt/lang/Object.h"
#include "vwt/lang/String.h"
#include "vwt/lang/Vector.h"

// The list of visited pages as it is stored (record 30760, texts in pairs):
// a date header pair (date text, "I0,f:") followed by its entry pairs
// (title, "I1," + URL), the newest day last.
class VisitedList {
 public:
  // Puts the page first under today's header (appended when the list has
  // none for dateText), after removing the entry of the same URL; a page
  // without a title is listed by its URL. rows owns its Strings.
  static void record(Vector<Object*>& rows, const String& title, const String& url, const String& dateText);
};
