#include <gtest/gtest.h>

#include <string>

#include "browser/page/VisitedList.h"
#include "tests/vwt/TestText.h"

namespace {

// The list as "text|text ..." pairs joined by spaces.
std::string shown(const Vector<Object*>& rows) {
  std::string out;
  for (int i = 0; i < rows.size(); ++i) {
    String* s = dynamic_cast<String*>(rows.elementAt(i));
    out += (i % 2 ? "|" : (i ? " " : "")) + (s ? narrow(*s) : std::string("?"));
  }
  return out;
}

}  // namespace

TEST(VisitedList, NewestEntryGoesFirstUnderTodaysHeader) {
  struct Visit {
    const char* title;
    const char* url;
    const char* date;
    const char* want;
  } visits[] = {
      {"A", "http://a/", "12/09", "12/09|I0,f: A|I1,http://a/"},
      {"", "http://b/", "12/09", "12/09|I0,f: http://b/|I1,http://b/ A|I1,http://a/"},
      // A new day gets its header at the end; a page seen again leaves its old place.
      {"A again", "http://a/", "12/10",
       "12/09|I0,f: http://b/|I1,http://b/ 12/10|I0,f: A again|I1,http://a/"},
      {"B", "http://b/", "12/10", "12/09|I0,f: 12/10|I0,f: B|I1,http://b/ A again|I1,http://a/"},
  };
  Vector<Object*> rows;
  for (const Visit& v : visits) {
    VisitedList::record(rows, String(v.title), String(v.url), String(v.date));
    EXPECT_EQ(v.want, shown(rows)) << v.url;
  }
}

TEST(VisitedList, AStrayTextIsDropped) {
  Vector<Object*> rows;
  rows.addElement(new String(u"odd"_s));
  VisitedList::record(rows, u"T"_s, u"http://t/"_s, u"d"_s);
  EXPECT_EQ("d|I0,f: T|I1,http://t/", shown(rows));
}
