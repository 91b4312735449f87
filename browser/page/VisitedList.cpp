#include "browser/page/VisitedList.h"

namespace {
const char16_t HEADER_TAG[] = u"I0,f:";
const char16_t ENTRY_PREFIX[] = u"I1,";

bool isText(Object* o, const String& text) {
  String* s = dynamic_cast<String*>(o);
  return s && s->equals(text);
}
}  // namespace

void VisitedList::record(Vector<Object*>& rows, const String& title, const String& url,
                         const String& dateText) {
  // A stray text without its pair is not part of the list.
  if (rows.size() % 2 != 0) rows.setSize(rows.size() - 1);
  String tag = String(ENTRY_PREFIX, false) + url;
  String header(HEADER_TAG, false);
  for (int i = 0; i + 1 < rows.size(); i += 2) {
    if (!isText(rows.elementAt(i + 1), tag)) continue;
    rows.remove(i, i + 2);
    break;
  }
  int today = -1;
  for (int i = 0; i + 1 < rows.size(); i += 2)
    if (isText(rows.elementAt(i + 1), header) && isText(rows.elementAt(i), dateText)) today = i;
  if (today < 0) {
    rows.addElement(new String(dateText));
    rows.addElement(new String(header));
    today = rows.size() - 2;
  }
  String shown = title.isNull() || title.length() == 0 ? url : title;
  Object* entry[2] = {new String(shown), new String(tag)};
  // Inserted behind today's header: the vector grows by two and the rest moves down.
  int at = today + 2;
  rows.setSize(rows.size() + 2);
  for (int i = rows.size() - 1; i >= at + 2; --i) rows.setElementAt(rows.elementAt(i - 2), i);
  rows.setElementAt(entry[0], at);
  rows.setElementAt(entry[1], at + 1);
}
