#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "tests/vwt/ScratchDirectory.h"
#include "tests/vwt/TestText.h"
#include "vwt/io/RandomAccessFile.h"
#include "vwt/lang/Exception.h"

namespace {

class RandomAccessFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    program.write("res/message.txt", "-300=E300\n-500=E500 %1\n-501=E501\n-601=E601\n");
  }
  std::string raw(const Exception& e) { return narrow(e.getRawMessage()); }
  ScratchProgram program;
};

}  // namespace

TEST_F(RandomAccessFileTest, ReadsAndWritesInPlaceAndEveryWriteIsInTheFileAtOnce) {
  program.dir.write("f.bin", "0123456789");
  RandomAccessFile f;
  f.open(wide(program.dir / "f.bin"));
  EXPECT_TRUE(f.isWritable());
  char b[4];
  f.readFully(3, b, 4);
  EXPECT_EQ("3456", std::string(b, 4));
  f.write(2, "ab", 2);
  EXPECT_EQ("01ab456789", program.dir.read("f.bin")) << "nothing waits in the process";
  f.write(12, "z", 1);
  EXPECT_EQ(std::string("01ab456789\0\0z", 13), program.dir.read("f.bin")) << "grows past its end";
  // Another writer's bytes are seen by the next read.
  program.dir.write("f.bin", "ABCDEFGHIJKLM");
  f.readFully(10, b, 3);
  EXPECT_EQ("KLM", std::string(b, 3));
  f.close();
  EXPECT_FALSE(f.isOpen());
}

TEST_F(RandomAccessFileTest, FailuresAreExceptionsWithTheirTexts) {
  program.dir.write("short.bin", "abc");
  std::string missing = program.dir / "missing.bin";
  RandomAccessFile f;
  struct Case {
    const char* name;
    std::function<void()> run;
    std::string text;
  } cases[] = {
      {"missing file", [&] { f.open(wide(missing)); }, "E500 " + missing},
      {"read when closed",
       [&] {
         char b[1];
         f.readFully(0, b, 1);
       },
       "E501"},
      {"write when closed", [&] { f.write(0, "x", 1); }, "E601"},
      {"read past the end",
       [&] {
         f.open(wide(program.dir / "short.bin"));
         char b[4];
         f.readFully(1, b, 4);
       },
       "E300"},
      {"negative position",
       [&] {
         char b[1];
         f.readFully(-1, b, 1);
       },
       "E501"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    try {
      c.run();
      ADD_FAILURE() << "no exception";
    } catch (const Exception& e) {
      EXPECT_EQ(c.text, raw(e));
    }
  }
}
