#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "browser/store/BookmarkFile.h"
#include "browser/store/Bookmarks.h"
#include "tests/browser/store/StoreFixture.h"
#include "tests/vwt/TestText.h"
#include "vwt/lang/Exception.h"
#include "vwt/lang/Resource.h"
#include "vwt/lang/VectorV.h"

namespace {

const char HEAD[] = "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n<TITLE>Bookmarks</TITLE>\n<DL><p>\n";

// The list as "level:F|L:title:url" lines.
std::vector<std::string> tree(const Bookmarks& marks) {
  std::vector<std::string> out;
  for (int n = 0; n + 1 < marks.size(); n += 2)
    out.push_back(std::to_string(marks.depth(n)) + (marks.isFolder(n) ? ":F:" : ":L:") +
                  narrow(marks.getTitle(n)) + (marks.isFolder(n) ? "" : ":" + narrow(marks.getUrl(n))));
  return out;
}

class BookmarkFileTest : public StoreFixture {
 protected:
  void fill(std::initializer_list<std::pair<const char16_t*, const char16_t*>> items) {
    VectorV<String> list;
    for (const auto& item : items) {
      list.addElement(String(item.first, false));
      list.addElement(String(item.second, false));
    }
    marks_->replaceAll(list);
  }
  // The message read() throws, or "none".
  std::string failure(const std::string& html) {
    try {
      BookmarkFile::read(html, *marks_);
    } catch (const Exception& e) {
      return narrow(e.getRawMessage());
    }
    return "none";
  }
};

TEST_F(BookmarkFileTest, ExportThenImportGivesTheSameTree) {
  fill({{u"News & <weather>", u"I0,f:"},
        {u"Quote \"q\" \u00fcber \u4e2d", u"I1,http://a.example/?x=1&y=\"2\""},
        {u"Empty", u"I1,f:"},
        {u"Deep", u"I1,f:"},
        {u"Leaf", u"I2,http://leaf/"},
        {u"Plain", u"http://plain.example/"},
        {u"Top", u"I0,https://top/"}});
  std::vector<std::string> before = tree(*marks_);
  std::string html = BookmarkFile::write(*marks_);
  EXPECT_EQ(0u, html.find("<!DOCTYPE NETSCAPE-Bookmark-file-1>"));
  EXPECT_NE(std::string::npos, html.find("<DT><H3>News &amp; &lt;weather&gt;</H3>")) << html;
  EXPECT_NE(std::string::npos, html.find("HREF=\"http://a.example/?x=1&amp;y=&quot;2&quot;\"")) << html;

  marks_->replaceAll(VectorV<String>());
  EXPECT_EQ(4, BookmarkFile::read(html, *marks_));
  EXPECT_EQ(before, tree(*marks_));
  EXPECT_TRUE(marks_->getTitle(2).equals(u"Quote \"q\" \u00fcber \u4e2d"_s));
  // Reading it again adds nothing: the same titles under the same folders are there.
  EXPECT_EQ(0, BookmarkFile::read(html, *marks_));
  EXPECT_EQ(before, tree(*marks_));
}

TEST_F(BookmarkFileTest, DesktopFilesWithAttributesCommentsAndReferencesAreRead) {
  fill({{u"Kept", u"I0,http://kept/"}});
  std::string html =
      std::string("\xEF\xBB\xBF  <!doctype netscape-bookmark-file-1>\n") +
      "<!-- comment with <DL> inside -->\n<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html\">\n"
      "<dl><p>\n"
      "  <DT><H3 ADD_DATE=\"1\" PERSONAL_TOOLBAR_FOLDER=\"true\">Bar</H3>\n"
      "  <DL><p>\n"
      "    <DT><a href='http://x/?a=1&amp;b=2' ADD_DATE=\"3\" ICON=\"data:x\">X &#38; &#x263A; "
      "&nbsp;<b>bold</b></a>\n"
      "    <DD>a description\n"
      "    <DT><A HREF=\"\">no address</A>\n"
      "    <DT><A HREF=\"http://untitled/\"></A>\n"
      "  </DL><p>\n"
      "  <DT><H3>" +
      std::string(45, 'f') +
      "</H3>\n"
      "</DL><p>\n";
  EXPECT_EQ(2, BookmarkFile::read(html, *marks_));
  std::vector<std::string> expected = {"0:L:Kept:http://kept/", "0:F:Bar",
                                       "1:L:X & : \xA0"
                                       "bold:http://x/?a=1&b=2",
                                       "1:L:http://untitled/:http://untitled/",
                                       "0:F:" + std::string(40, 'f')};
  EXPECT_EQ(expected, tree(*marks_));
  EXPECT_EQ(0x263A, marks_->getTitle(4).charAt(4));
}

TEST_F(BookmarkFileTest, MalformedFilesSayWhatIsWrongAndLeaveTheListAlone) {
  fill({{u"Kept", u"I0,http://kept/"}});
  std::vector<std::string> before = tree(*marks_);
  std::string dt = "<DT><A HREF=\"http://a/\">A</A>\n";
  const struct {
    const char* name;
    std::string html;
    std::string expected;
  } cases[] = {
      {"not a bookmark file", "<html><body>" + dt, narrow(Resource::getString(10500))},
      {"empty", "", narrow(Resource::getString(10500))},
      {"open tag", std::string(HEAD) + dt + "<DT><A HREF=\"http://b/\"",
       narrow(Resource::getString(10501, u"5"_s))},
      {"open comment", std::string(HEAD) + "<!-- never ends\n", narrow(Resource::getString(10501, u"4"_s))},
      {"link without end", std::string(HEAD) + "<DT><A HREF=\"http://b/\">B\n</DL>",
       narrow(Resource::getString(10502, u"4"_s))},
      {"folder without end", std::string(HEAD) + dt + "<DT><H3>F\n",
       narrow(Resource::getString(10502, u"5"_s))},
      {"list closed twice", std::string(HEAD) + dt + "</DL><p>\n</DL><p>\n",
       narrow(Resource::getString(10503, u"6"_s))},
      {"list never closed", std::string(HEAD) + dt + "<DT><H3>F</H3>\n<DL><p>\n" + dt + "</DL>\n",
       narrow(Resource::getString(10504, u"3"_s))},
      {"address too long",
       std::string(HEAD) + "<DT><A HREF=\"http://" + std::string(5000, 'x') + "\">L</A>\n</DL>",
       narrow(Resource::getString(10506, u"4"_s, u"4096"_s))},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.expected, failure(c.html)) << c.name;
    EXPECT_EQ(before, tree(*marks_)) << c.name;
  }
}

TEST_F(BookmarkFileTest, AFileThatDoesNotFitIsRefusedWhole) {
  std::string html = HEAD;
  for (int i = 0; i < 100; ++i) html += "<DT><A HREF=\"http://s/" + std::to_string(i) + "\">S</A>\n";
  html += "</DL>\n";
  fill({{u"Kept", u"I0,http://kept/"}});
  EXPECT_EQ(narrow(Resource::getString(10505, u"100"_s, u"99"_s)), failure(html));
  EXPECT_EQ(1, marks_->nodeCount());
  marks_->replaceAll(VectorV<String>());
  EXPECT_EQ(100, BookmarkFile::read(html, *marks_)) << "exactly the capacity fits";
}

TEST_F(BookmarkFileTest, FilesThatCannotBeReadOrWrittenSaySo) {
  fill({{u"Kept", u"I0,http://kept/"}});
  String missing = wide(program_.dir / "missing.html");
  try {
    BookmarkFile::readFile(missing, *marks_);
    ADD_FAILURE();
  } catch (const Exception& e) {
    EXPECT_EQ(0u, narrow(e.getRawMessage()).find(narrow(Resource::getString(10508, missing, String()))));
  }
  try {
    BookmarkFile::writeFile(wide(program_.dir / "no/such/folder/out.html"), *marks_);
    ADD_FAILURE();
  } catch (const Exception& e) {
    EXPECT_NE(std::string::npos, narrow(e.getRawMessage()).find("could not be written"));
  }
  EXPECT_EQ(1, marks_->nodeCount());
}

// Shortcut files that are not what they claim add nothing and disturb nothing.
TEST_F(BookmarkFileTest, MalformedShortcutFilesAreSkipped) {
  fill({{u"Kept", u"I0,http://kept/"}});
  program_.dir.write("fav/none.url", "[InternetShortcut]\nIconIndex=0\n");
  program_.dir.write("fav/empty.url", "URL=\n");
  program_.dir.write("fav/binary.url", std::string("\0\xFF\xFE\x01URL", 8));
  program_.dir.write("fav/two.url", "URL=http://first/\r\nURL=http://last/\r\n");
  EXPECT_EQ(1, marks_->importFavorites(wide(program_.dir / "fav"), -1, 0));
  std::vector<std::string> expected = {"0:L:Kept:http://kept/", "0:L:two:http://last/"};
  EXPECT_EQ(expected, tree(*marks_));
}

// The program's command line, run on a program directory of its own.
class BookmarkCommandLineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = scratch_.path() + "/program";
    std::filesystem::create_directories(dir_ + "/res");
    std::filesystem::copy_file(VESK_BROWSER_PROGRAM, dir_ + "/veskBrowserQK");
    std::filesystem::permissions(dir_ + "/veskBrowserQK", std::filesystem::perms::owner_all);
    for (const char* name : {"message.txt", "vesklogo.gif"})
      scratch_.write(std::string("program/res/") + name,
                     loopback::readFile(loopback::sourceDir() + "/res/" + name));
  }
  // Exit status; out gets what it printed on both streams.
  int run(const std::string& arguments, std::string* out) {
    std::string command = "'" + dir_ + "/veskBrowserQK' " + arguments + " 2>&1";
    FILE* p = popen(command.c_str(), "r");
    char buffer[512];
    size_t n;
    out->clear();
    while ((n = fread(buffer, 1, sizeof buffer, p)) > 0) out->append(buffer, n);
    int status = pclose(p);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  ScratchDirectory scratch_;
  std::string dir_;
};

TEST_F(BookmarkCommandLineTest, ImportExportAndABadFile) {
  scratch_.write("in.html", std::string(HEAD) +
                                "<DT><H3>Folder</H3>\n<DL><p>\n<DT><A HREF=\"http://a/\">A</A>\n</DL><p>\n"
                                "<DT><A HREF=\"http://b/\">B</A>\n</DL><p>\n");
  scratch_.write("bad.html", "<html>not bookmarks</html>");
  std::string out;
  EXPECT_EQ(0, run("--import-bookmarks '" + scratch_.path() + "/in.html'", &out));
  EXPECT_NE(std::string::npos, out.find("Imported 2 links")) << out;
  EXPECT_TRUE(std::filesystem::exists(dir_ + "/data0.bin")) << "the store beside the program";

  EXPECT_EQ(1, run("--import-bookmarks '" + scratch_.path() + "/bad.html'", &out));
  EXPECT_NE(std::string::npos, out.find("not a bookmark file")) << out;
  EXPECT_NE(std::string::npos, out.find("not changed")) << out;

  EXPECT_EQ(0, run("--export-bookmarks '" + scratch_.path() + "/out.html'", &out));
  EXPECT_NE(std::string::npos, out.find("Exported 3 bookmarks and folders")) << out;
  std::string written = scratch_.read("out.html");
  EXPECT_NE(std::string::npos, written.find("<DT><H3>Folder</H3>"));
  EXPECT_NE(std::string::npos, written.find("        <DT><A HREF=\"http://a/\">A</A>")) << written;
  EXPECT_NE(std::string::npos, written.find("    <DT><A HREF=\"http://b/\">B</A>")) << written;

  EXPECT_EQ(2, run("--export-bookmarks", &out));
  EXPECT_NE(std::string::npos, out.find("usage")) << out;
}

}  // namespace
