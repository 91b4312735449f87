#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "tests/vwt/ScratchDirectory.h"
#include "tests/vwt/TestText.h"
#include "vwt/io/File.h"
#include "vwt/io/FileInputStream.h"
#include "vwt/io/FileOutputStream.h"
#include "vwt/lang/Exception.h"

namespace {

class FileMessages : public ::testing::Test {
 protected:
  void SetUp() override {
    program.write(
        "res/message.txt",
        "-400=E400 %1\n-500=E500 %1\n-501=E501\n-502=E502\n-600=E600 %1\n-601=E601\n-603=E603\n-605=E605\n");
  }
  std::string raw(const Exception& e) { return narrow(e.getRawMessage()); }
  ScratchProgram program;
};
}  // namespace

TEST(File, Names) {
  struct Case {
    const char16_t* path;
    const char* name;
    const char* noExt;
  } cases[] = {
      {u"/x/y.txt", "y.txt", "y"},  {u"/x/y/", "y/", "y"},        {u"/x/y.tar.gz", "y.tar.gz", "y.tar"},
      {u"/x/.cfg", ".cfg", ".cfg"}, {u"plain", "plain", "plain"}, {u"/", "/", ""},
      {u"a.b/c", "c", "c"},
  };
  for (const Case& c : cases) {
    File f(String(c.path, false));
    EXPECT_EQ(narrow(f.getName()), c.name) << narrow(f.getAbsolutePath());
    EXPECT_EQ(narrow(f.getNameNoExt()), c.noExt) << narrow(f.getAbsolutePath());
  }
}

TEST(File, MkdirsWithAndWithoutTrailingSeparator) {
  ScratchDirectory dir;
  EXPECT_TRUE(File(wide(dir / "a/b/c/")).mkdirs());
  EXPECT_TRUE(dir.exists("a/b/c"));
  EXPECT_TRUE(File(wide(dir / "p/q/r")).mkdirs());
  EXPECT_TRUE(dir.exists("p/q"));
  EXPECT_FALSE(dir.exists("p/q/r"));
  EXPECT_FALSE(File(u"nosep"_s).mkdirs());
  dir.write("file", "x");
  EXPECT_FALSE(File(wide(dir / "file/sub/")).mkdirs());
  EXPECT_TRUE(File(wide(dir / "a")).mkdir());  // exists already
}

TEST(File, QueriesRenameAndDelete) {
  ScratchDirectory dir;
  dir.write("f.bin", "12345");
  File f(wide(dir / "f.bin"));
  EXPECT_TRUE(f.exists());
  EXPECT_TRUE(f.isFile());
  EXPECT_FALSE(f.isDirectory());
  EXPECT_EQ(f.length(), 5);
  File d(wide(dir.path()));
  EXPECT_TRUE(d.isDirectory());
  EXPECT_FALSE(d.isFile());
  File missing(wide(dir / "none"));
  EXPECT_FALSE(missing.exists());
  EXPECT_EQ(missing.length(), 0);
  EXPECT_FALSE(missing.doDelete());
  EXPECT_TRUE(f.renameTo(File(wide(dir / "g.bin"))));
  EXPECT_FALSE(f.exists());
  EXPECT_TRUE(File::exists(wide(dir / "g.bin")));
  EXPECT_FALSE(missing.renameTo(f));
  File sub(wide(dir / "sub"));
  ASSERT_TRUE(sub.mkdir());
  dir.write("sub/inner", "");
  EXPECT_FALSE(sub.doDelete());  // not empty
  EXPECT_TRUE(File(wide(dir / "sub/inner")).doDelete());
  EXPECT_TRUE(sub.doDelete());
  EXPECT_FALSE(sub.exists());
}

TEST_F(FileMessages, ListsFilesAndDirectories) {
  ScratchDirectory dir;
  dir.write("f", "");
  File(wide(dir / "d")).mkdir();
  String base = wide(dir.path() + "/");
  auto listed = [&](File::FileType type, bool full) {
    VectorV<String> out;
    File(base).list(type, full, &out);
    std::set<std::string> names;
    for (int i = 0; i < out.size(); ++i) names.insert(narrow(out.elementAt(i)));
    return names;
  };
  EXPECT_EQ(listed(File::ALL, true), (std::set<std::string>{dir / "f", dir / "d/"}));
  EXPECT_EQ(listed(File::FILES, false), (std::set<std::string>{"f"}));
  EXPECT_EQ(listed(File::DIRECTORIES, false), (std::set<std::string>{"d/"}));
  VectorV<String> empty;
  File(wide(dir / "d/")).list(true, &empty);
  EXPECT_EQ(empty.size(), 0);
  try {
    File(wide(dir / "none/")).list(true, &empty);
    FAIL();
  } catch (const Exception& e) {
    EXPECT_EQ(raw(e), "E400 " + dir / "none/");
    EXPECT_EQ(e.getCode(), 2u);
  }
}

TEST_F(FileMessages, InputStreamReadsSkipsAndFails) {
  ScratchDirectory dir;
  dir.write("data", "0123456789");
  FileInputStream in(wide(dir / "data"));
  char buf[16];
  EXPECT_EQ(in.read(buf, 0, 0), 0);
  EXPECT_EQ(in.read(buf, 1, 3), 3);
  EXPECT_EQ(std::string(buf + 1, 3), "012");
  EXPECT_EQ(in.skip(4), 4);
  EXPECT_EQ(in.read(), '7');
  EXPECT_EQ(in.read(buf, 0, 16), 2);
  EXPECT_EQ(in.read(buf, 0, 16), -1);
  EXPECT_EQ(in.read(), -1);
  in.close();
  try {
    in.read(buf, 0, 1);
    FAIL();
  } catch (const Exception& e) {
    EXPECT_EQ(raw(e), "E501");
  }
  try {
    in.skip(1);
    FAIL();
  } catch (const Exception& e) {
    EXPECT_EQ(raw(e), "E502");
  }
  try {
    FileInputStream missing(wide(dir / "missing"));
    FAIL();
  } catch (const Exception& e) {
    EXPECT_EQ(raw(e), "E500 " + dir / "missing");
  }
  in.open(wide(dir / "data"));
  EXPECT_EQ(in.read(), '0');
}

TEST_F(FileMessages, OutputModes) {
  ScratchDirectory dir;
  String path = wide(dir / "out");
  {
    FileOutputStream out(path);  // create
    out.write("hello", 0, 5);
  }
  {
    FileOutputStream out(path, true, false);  // append
    out.write("!!", 1, 1);
  }
  EXPECT_EQ(dir.read("out"), "hello!");
  {
    FileOutputStream out(path, false, true);  // update in place
    out.skip(1);
    out.write('E');
    out.flush();
  }
  EXPECT_EQ(dir.read("out"), "hEllo!");
  {
    FileOutputStream out(path, true, true);  // append, readable
    out.write("?", 0, 1);
  }
  EXPECT_EQ(dir.read("out"), "hEllo!?");
  {
    FileOutputStream out(path);  // empties
  }
  EXPECT_EQ(dir.read("out"), "");
  { FileOutputStream out(wide(dir / "fresh"), true, true); }
  EXPECT_TRUE(dir.exists("fresh"));
  try {
    FileOutputStream out(wide(dir / "nothing"), false, true);
    FAIL();
  } catch (const Exception& e) {
    EXPECT_EQ(raw(e), "E600 " + dir / "nothing");
  }
  EXPECT_FALSE(dir.exists("nothing"));
  FileOutputStream closed(path);
  closed.close();
  const struct {
    void (*op)(FileOutputStream&);
    const char* message;
  } ops[] = {
      {[](FileOutputStream& o) { o.write("x", 0, 1); }, "E601"},
      {[](FileOutputStream& o) { o.flush(); }, "E603"},
      {[](FileOutputStream& o) { o.skip(1); }, "E605"},
  };
  for (const auto& op : ops) {
    try {
      op.op(closed);
      FAIL() << op.message;
    } catch (const Exception& e) {
      EXPECT_EQ(raw(e), op.message);
    }
  }
}
