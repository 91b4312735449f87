#include <gtest/gtest.h>
#include <stdlib.h>

#include <string>
#include <vector>

#include "tests/vwt/ScratchDirectory.h"
#include "vwt/platform/FileDialogModel.h"

using vwt::platform::FileDialogModel;

namespace {

std::u16string u16(const std::string& s) { return std::u16string(s.begin(), s.end()); }
std::string u8(const std::u16string& s) { return std::string(s.begin(), s.end()); }

std::string namesOf(const FileDialogModel& model) {
  std::string out;
  for (const FileDialogModel::Entry& e : model.entries())
    out += (out.empty() ? "" : " ") + u8(e.name) + (e.isFolder && e.name != u".." ? "/" : "");
  return out;
}

std::vector<FileDialogModel::Filter> filtersOf(const char16_t* text) {
  return FileDialogModel::parseFilters(text, u"All files");
}

// HOME points into the scratch folder for the life of the object.
class ScratchHome {
 public:
  explicit ScratchHome(const std::string& home) {
    const char* old = getenv("HOME");
    if (old) old_ = old, hadOld_ = true;
    setenv("HOME", home.c_str(), 1);
  }
  ~ScratchHome() {
    if (hadOld_)
      setenv("HOME", old_.c_str(), 1);
    else
      unsetenv("HOME");
  }

 private:
  std::string old_;
  bool hadOld_ = false;
};

}  // namespace

TEST(FileDialogModel, ParsesFilterPairs) {
  struct Case {
    const char16_t* text;
    std::string want;  // description: patterns; ...
  } cases[] = {
      {u"GIF pictures (*.gif)|*.gif", "GIF pictures (*.gif): *.gif"},
      {u"Pictures|*.gif;*.JPG; *.png|All files|*.*|", "Pictures: *.gif *.JPG *.png; All files: *.*"},
      {u"|*.txt", "*.txt: *.txt"},
      // Malformed: an odd count, an empty pattern, nothing at all.
      {u"Pictures|*.gif|Text", "All files: *"},
      {u"Pictures|", "All files: *"},
      {u"Pictures| ; ", "All files: *"},
      {u"", "All files: *"},
      {u"||", "All files: *"},
  };
  for (const Case& c : cases) {
    std::string got;
    for (const FileDialogModel::Filter& f : filtersOf(c.text)) {
      got += (got.empty() ? "" : "; ") + u8(f.description) + ":";
      for (const std::u16string& p : f.patterns) got += " " + u8(p);
    }
    EXPECT_EQ(got, c.want) << u8(c.text);
  }
}

TEST(FileDialogModel, MatchesPatternsWithoutRegardToCase) {
  struct Case {
    const char16_t* name;
    const char16_t* pattern;
    bool want;
  } cases[] = {
      {u"a.gif", u"*.gif", true},
      {u"A.GIF", u"*.gif", true},
      {u"a.gif.txt", u"*.gif", false},
      {u"agif", u"*.gif", false},
      {u"README", u"*.*", true},
      {u"x", u"*", true},
      {u"photo1.jpg", u"photo?.JPG", true},
      {u"photo12.jpg", u"photo?.jpg", false},
      {u"a.b.c", u"*.b*", true},
      {u"\u00C9t\u00E9.txt", u"\u00E9T\u00C9.*", true},
  };
  for (const Case& c : cases)
    EXPECT_EQ(FileDialogModel::matches(c.name, c.pattern), c.want) << u8(c.name) << " " << u8(c.pattern);
}

TEST(FileDialogModel, ListsFoldersFirstThenFilteredFilesWithoutHiddenOnes) {
  ScratchDirectory dir;
  dir.write("b.GIF", "x");
  dir.write("a.jpg", "x");
  dir.write("C.png", "x");
  dir.write("notes.txt", "x");
  dir.write(".hidden.gif", "x");
  dir.write(".config/x", "x");
  dir.write("Zoo/x", "x");
  dir.write("apple/x", "x");
  FileDialogModel model(FileDialogModel::OPEN, u16(dir.path()),
                        filtersOf(u"Pictures|*.gif;*.jpg|Text|*.TXT|All|*.*"));
  EXPECT_EQ(u8(model.folder()), dir.path());
  EXPECT_EQ(namesOf(model), ".. apple/ Zoo/ a.jpg b.GIF");
  model.setFilterIndex(1);
  EXPECT_EQ(namesOf(model), ".. apple/ Zoo/ notes.txt");
  model.setFilterIndex(2);
  EXPECT_EQ(namesOf(model), ".. apple/ Zoo/ a.jpg b.GIF C.png notes.txt");
  model.setFilterIndex(3);  // wraps round to the first
  EXPECT_EQ(model.filterIndex(), 0);

  ASSERT_TRUE(model.enterFolder(u"Zoo"));
  EXPECT_EQ(u8(model.folder()), dir.path() + "/Zoo");
  EXPECT_EQ(namesOf(model), "..");
  ASSERT_TRUE(model.goUp());
  EXPECT_EQ(u8(model.folder()), dir.path());
  EXPECT_FALSE(model.enterFolder(u"missing"));
  EXPECT_EQ(u8(model.folder()), dir.path());

  ASSERT_TRUE(model.enterFolder(u"/"));
  EXPECT_TRUE(model.entries().empty() || model.entries()[0].name != u"..");
  EXPECT_FALSE(model.goUp());
}

TEST(FileDialogModel, StartsInTheRequestedFolderOrTheHomeFolder) {
  ScratchDirectory dir;
  dir.write("home/x", "x");
  dir.write("pics/x", "x");
  ScratchHome home(dir / "home");
  struct Case {
    std::string requested;
    std::string want;
  } cases[] = {
      {"\\", dir / "home"},
      {"", dir / "home"},
      {dir / "pics", dir / "pics"},
      {dir / "pics/", dir / "pics"},
      {dir / "pics/missing/deeper", dir / "pics"},
      {"~", dir / "home"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(u8(FileDialogModel::startFolder(u16(c.requested))), c.want) << c.requested;
}

TEST(FileDialogModel, ChecksTypedPaths) {
  ScratchDirectory dir;
  dir.write("home/mine.txt", "x");
  dir.write("docs/a.txt", "x");
  dir.write("docs/sub/b.txt", "x");
  ScratchHome home(dir / "home");
  using P = FileDialogModel;
  const std::string docs = dir / "docs";
  const std::string tooLong(P::MAX_PATH_UNITS, 'n');
  struct Case {
    P::Purpose purpose;
    std::u16string typed;
    P::PathProblem want;
    std::string resolved;  // when OK
    bool exists;
  } cases[] = {
      {P::OPEN, u"a.txt", P::PATH_OK, docs + "/a.txt", true},
      {P::OPEN, u"sub/b.txt", P::PATH_OK, docs + "/sub/b.txt", true},
      {P::OPEN, u"sub/../a.txt", P::PATH_OK, docs + "/a.txt", true},
      {P::OPEN, u"../home/mine.txt", P::PATH_OK, dir / "home/mine.txt", true},
      {P::OPEN, u"~/mine.txt", P::PATH_OK, dir / "home/mine.txt", true},
      {P::OPEN, u16(docs + "/a.txt"), P::PATH_OK, docs + "/a.txt", true},
      {P::OPEN, u"missing.txt", P::PATH_NO_FILE, "", false},
      {P::OPEN, u"sub", P::PATH_IS_FOLDER, "", false},
      {P::OPEN, u"..", P::PATH_IS_FOLDER, "", false},
      {P::OPEN, u"~", P::PATH_IS_FOLDER, "", false},
      {P::OPEN, u"", P::PATH_EMPTY, "", false},
      {P::OPEN, u"   ", P::PATH_EMPTY, "", false},
      {P::OPEN, std::u16string(u"a\0.txt", 6), P::PATH_CONTROL_CHARACTER, "", false},
      {P::OPEN, u"a\t.txt", P::PATH_CONTROL_CHARACTER, "", false},
      {P::SAVE, u"a\n", P::PATH_CONTROL_CHARACTER, "", false},
      {P::SAVE, u16(tooLong), P::PATH_TOO_LONG, "", false},
      {P::SAVE, u"new.txt", P::PATH_OK, docs + "/new.txt", false},
      {P::SAVE, u"a.txt", P::PATH_OK, docs + "/a.txt", true},
      // The trailing dot goes when the name is used: "a." is the existing "a" for the question.
      {P::SAVE, u"sub/b.txt.", P::PATH_OK, docs + "/sub/b.txt.", true},
      {P::SAVE, u"~/new.txt", P::PATH_OK, dir / "home/new.txt", false},
      {P::SAVE, u"nowhere/new.txt", P::PATH_NO_FOLDER, "", false},
      {P::SAVE, u"nowhere/", P::PATH_NO_FOLDER, "", false},
      {P::SAVE, u"a.txt/new.txt", P::PATH_NO_FOLDER, "", false},
      {P::SAVE, u"sub", P::PATH_IS_FOLDER, "", false},
      {P::SAVE, u"sub/", P::PATH_IS_FOLDER, "", false},
  };
  for (const Case& c : cases) {
    FileDialogModel model(c.purpose, u16(docs), filtersOf(u"Text|*.txt"));
    std::u16string resolved = u"unchanged";
    bool exists = !c.exists;
    EXPECT_EQ(model.checkPath(c.typed, &resolved, &exists), c.want) << u8(c.typed);
    if (c.want == P::PATH_OK) {
      EXPECT_EQ(u8(resolved), c.resolved) << u8(c.typed);
      EXPECT_EQ(exists, c.exists) << u8(c.typed);
    } else {
      EXPECT_EQ(resolved, u"unchanged") << u8(c.typed);
    }
  }
}

TEST(FileDialogModel, ResolvesWithoutTheFileSystem) {
  struct Case {
    const char16_t* folder;
    const char16_t* typed;
    const char16_t* want;
  } cases[] = {
      {u"/a/b", u"c", u"/a/b/c"},        {u"/a/b", u"../c", u"/a/c"}, {u"/", u"../../x", u"/x"},
      {u"/a", u"/x//y/./z/", u"/x/y/z"}, {u"/a/b", u"..", u"/a"},     {u"/a", u".", u"/a"},
  };
  for (const Case& c : cases) EXPECT_EQ(FileDialogModel::resolve(c.folder, c.typed), c.want) << u8(c.typed);
  EXPECT_EQ(FileDialogModel::parentOf(u"/a/b"), u"/a");
  EXPECT_EQ(FileDialogModel::parentOf(u"/a"), u"/");
}
