#include <gtest/gtest.h>

#include <string>

#include "downloader/ContentDisposition.h"
#include "downloader/SafeFileName.h"
#include "downloader/SaveNaming.h"
#include "tests/vwt/TestText.h"

TEST(SaveNamingTest, ContentDispositionNameQuotedOrNot) {
  struct Case {
    const char* value;
    const char* name;
  };
  const Case cases[] = {
      {"attachment; filename=\"my report.pdf\"", "my report.pdf"},  // blank kept, quotes gone
      {"attachment; filename='a b.txt'; size=3", "a b.txt"},
      {"attachment; filename=report.pdf", "report.pdf"},
      {"attachment; filename=plain name.zip", "plain name.zip"},  // the rest of the value
      {"attachment; filename=a.bin; filename*=UTF-8''b.bin", "a.bin"},
      {"attachment; FileName=\"up.txt\"", "up.txt"},
      {"attachment; filename=\"unterminated.txt", "unterminated.txt"},
      {"attachment; filename=", ""},
      {"attachment", ""},
      {"", ""},
  };
  for (const Case& c : cases)
    EXPECT_EQ(c.name, narrow(ContentDisposition::fileName(wide(c.value)))) << c.value;
}

TEST(SaveNamingTest, NamesFromTheNetworkStayInTheirFolder) {
  struct Case {
    std::string name;
    const char* clean;
  };
  const Case cases[] = {
      {"report.pdf", "report.pdf"},
      {"my report.pdf", "my report.pdf"},
      {"../../x", "x"},
      {"/etc/passwd", "passwd"},
      {"a\x01"
       "b",
       "ab"},
      {"..\\..\\x", "x"},
      {"dir/", ""},
      {"..", ""},
      {".", ""},
      {"...hidden", "hidden"},
      {".\x01./x", "x"},  // a control character cannot hide a ".."
      {"a\tb\x7f.txt", "ab.txt"},
      {"  name.txt  ", "name.txt"},
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(c.clean, narrow(SafeFileName::clean(wide(c.name)))) << c.name;

  // A very long name is cut, keeping its extension.
  String longName = SafeFileName::clean(wide(std::string(1000, 'a') + ".pdf"));
  EXPECT_LE(longName.length(), 200);
  EXPECT_TRUE(longName.endsWith(u".pdf")) << narrow(longName);
}

TEST(SaveNamingTest, ProposedNameAndExtension) {
  struct Case {
    const char* url;
    const char* suggested;
    const char* name;
    const char* extension;
  };
  const Case cases[] = {
      {"http://h/dir/file.pdf", "", "file.pdf", ".pdf"},
      {"http://h/dir/archive.tar.gz?x=1", "", "archive.tar.gz", ".gz"},
      {"http://h/dir/", "", "", ".html"},  // no file name
      {"http://h", "", "", ".html"},
      {"http://h/dir/README", "", "README", ""},
      {"http://h/dir/.profile", "", ".profile", ""},  // a leading dot is no extension
      {"http://h/get.cgi", "Report.PDF", "Report.PDF", ".PDF"},
      {"http://h/get.cgi", "notes", "notes", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.name, narrow(SaveNaming::proposedName(wide(c.url), wide(c.suggested)))) << c.url;
    EXPECT_EQ(c.extension, narrow(SaveNaming::extension(wide(c.url), wide(c.suggested)))) << c.url;
  }
}

TEST(SaveNamingTest, FilterAndChosenNameWithExtension) {
  EXPECT_EQ("pdf file|*.pdf", narrow(SaveNaming::filter(u".pdf"_s)));
  EXPECT_EQ("html file|*.html", narrow(SaveNaming::filter(u".html"_s)));
  EXPECT_EQ(" file|*", narrow(SaveNaming::filter(u""_s)));

  struct Case {
    const char* chosen;
    const char* extension;
    const char* path;
  };
  const Case cases[] = {
      {"report", ".pdf", "report.pdf"},     {"REPORT.PDF", ".pdf", "REPORT.PDF"},  // kept in its own case
      {"report.pdf", ".pdf", "report.pdf"}, {"report.txt", ".pdf", "report.txt.pdf"}, {"notes", "", "notes"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(c.path, narrow(SaveNaming::withExtension(wide(c.chosen), wide(c.extension)))) << c.chosen;
}
