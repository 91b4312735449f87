#include <gtest/gtest.h>

#include "tests/vwt/ScratchDirectory.h"
#include "tests/vwt/TestText.h"
#include "vwt/lang/Exception.h"
#include "vwt/lang/LanguageTable.h"
#include "vwt/lang/Resource.h"

namespace {

class ResourceTest : public ::testing::Test {
 protected:
  void SetUp() override { setenv("LANG", "en_US.UTF-8", 1); }
  void TearDown() override { unsetenv("LANG"); }
  ScratchProgram program;
};
}  // namespace

TEST_F(ResourceTest, ParsesLinesOfAMessageFile) {
  program.write("res/message.txt",
                "\xEF\xBB\xBF# a comment\r\n"
                "\n"
                "10=Hello\n"
                "10=Bye\n"
                "no equals sign\n"
                "11=line\\none\\tand \\\\ back\n"
                "12=100%%\r\n"
                "-2600=Bad URL: %1\n"
                "13= kept as it stands \n"
                "14=a=b\n");
  EXPECT_EQ(narrow(Resource::getString(10)), "Hello");
  EXPECT_EQ(narrow(Resource::getString(11)), "line\none\tand \\ back");
  EXPECT_EQ(narrow(Resource::getString(13)), " kept as it stands ");
  EXPECT_EQ(narrow(Resource::getString(14)), "a=b");
  EXPECT_EQ(narrow(Resource::getString(-2600, u"ftp:"_s)), "Bad URL: ftp:");
  EXPECT_EQ(narrow(Resource::getString(12, String::null)), "100%");
  EXPECT_TRUE(Resource::getString(99).isNull());
  EXPECT_TRUE(Resource::getString(99, u"x"_s).isNull());
}

TEST_F(ResourceTest, FillsPlaceholders) {
  const String a[9] = {u"A"_s, u"B"_s, u"C"_s, u"D"_s, u"E"_s, u"F"_s, u"G"_s, u"H"_s, u"I"_s};
  const String* const args[9] = {&a[0], &a[1], &a[2], &a[3], &a[4], &a[5], &a[6], &a[7], &a[8]};
  struct Case {
    const char16_t* text;
    const char* expected;
  } cases[] = {
      {u"%9%1%5", "IAE"}, {u"50%% off", "50% off"}, {u"%0x%ay", "xy"},
      {u"end%", "end"},   {u"%2%%1", "B%1"},        {u"none", "none"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(narrow(Resource::format(String(c.text, false), args)), c.expected)
        << narrow(String(c.text, false));
}

TEST_F(ResourceTest, UnknownEscapeThrows2800WithTheCharacter) {
  program.write("res/message.txt", "-2800=Unknown escape %1\n1=fine\n2=bad \\q here\n3=never read\n");
  try {
    Resource::getString(1);
    FAIL() << "no exception";
  } catch (const Exception& e) {
    EXPECT_EQ(narrow(e.getRawMessage()), "Unknown escape q");
  }
  EXPECT_EQ(narrow(Resource::getString(1)), "fine");
  EXPECT_TRUE(Resource::getString(3).isNull());
}

// The escape's report takes its text from message.txt even when the table that
// is loading does not hold -2800 (yet).
TEST_F(ResourceTest, UnknownEscapeIsReportedWhileTheTableLoads) {
  struct Case {
    const char* english;
    const char* german;  // message0407.txt, or none
  } cases[] = {
      {"1=bad \\q\n-2800=Unknown escape \\\\%1.\n", nullptr},
      {"5=five\n-2800=Unknown escape \\\\%1.\n", "6=sechs\n7=bad \\q\n"},
  };
  for (const Case& c : cases) {
    ScratchProgram scratch;
    scratch.write("res/message.txt", c.english);
    if (c.german) scratch.write("res/message0407.txt", c.german);
    try {
      if (c.german)
        Resource::setLanguage(0x0407);
      else
        Resource::getString(1);
      ADD_FAILURE() << "no exception for " << c.english;
    } catch (const Exception& e) {
      EXPECT_EQ(narrow(e.getRawMessage()), "Unknown escape \\q.");
    }
  }
}

TEST_F(ResourceTest, LanguageFileFirstThenEnglishForItsGaps) {
  program.write("res/message.txt", "5=five\n6=six (en)\n");
  program.write("res/message0407.txt", "6=sechs\n7=sieben\n");
  Resource::setLanguage(0x0407);
  EXPECT_EQ(narrow(Resource::getString(6)), "sechs");
  EXPECT_EQ(narrow(Resource::getString(5)), "five");
  EXPECT_EQ(narrow(Resource::getString(7)), "sieben");
  EXPECT_EQ(narrow(Resource::getString(6)), "sechs");
}

TEST_F(ResourceTest, OnlyEnglishPresentGivesEveryText) {
  program.write("res/message.txt", "5=five\n6=six\n");
  Resource::setLanguage(0x0411);
  EXPECT_EQ(narrow(Resource::getString(5)), "five");
  EXPECT_EQ(narrow(Resource::getString(6)), "six");
}

TEST_F(ResourceTest, AnotherRegionOfTheSameLanguageIsAccepted) {
  program.write("res/message0c0a.txt", "1=hola\n");
  program.write("res/message0409.txt", "1=hello\n");
  Resource::setLanguage(0x040a);
  EXPECT_EQ(narrow(Resource::getString(1)), "hola");
}

TEST_F(ResourceTest, MissingFilesGiveNullAndAFallbackAddedLaterIsFound) {
  EXPECT_TRUE(Resource::getString(1).isNull());
  program.write("res/message.txt", "1=late\n");
  EXPECT_EQ(narrow(Resource::getString(1)), "late");
}

TEST_F(ResourceTest, UserLanguageComesFromTheLocale) {
  struct Case {
    const char* lang;
    int id;
  } cases[] = {{"de_DE.UTF-8", 0x0407}, {"ja_JP.UTF-8", 0x0411}, {"de", 0x0407},
               {"sr_RS@latin", 0x081a}, {"C", 0x0409},           {"xx_YY", 0x0409}};
  for (const Case& c : cases) {
    setenv("LANG", c.lang, 1);
    EXPECT_EQ(Resource::getLanguageID(), c.id) << c.lang;
  }
}

TEST_F(ResourceTest, SetLanguageZeroLoadsTheUsersLanguage) {
  program.write("res/message0411.txt", "1=konnichiwa\n");
  program.write("res/message.txt", "1=hello\n");
  setenv("LANG", "ja_JP.UTF-8", 1);
  Resource::setLanguage(0);
  EXPECT_EQ(narrow(Resource::getString(1)), "konnichiwa");
}

TEST(LanguageTable, NamesAndOrder) {
  EXPECT_EQ(narrow(Resource::getLanguageName(0x0407)), "German(Germany)");
  EXPECT_EQ(narrow(Resource::getLanguageName(0x0411)), "Japanese(Japan)");
  EXPECT_TRUE(Resource::getLanguageName(0x7777).isNull());
  ASSERT_EQ(LanguageTable::size(), 135);
  for (int i = 1; i < LanguageTable::size(); ++i) {
    String a(LanguageTable::rowAt(i - 1).name, false), b(LanguageTable::rowAt(i).name, false);
    EXPECT_LT(narrow(a.toLowerCase()), narrow(b.toLowerCase()));
    for (int k = 0; k < i; ++k) EXPECT_NE(LanguageTable::rowAt(k).langId, LanguageTable::rowAt(i).langId);
  }
}

// The shipped English file parses and has the toolkit's texts.
TEST(MessageFile, ShippedEnglishFileLoads) {
  const char* root = getenv("VWT_TEST_SOURCE_DIR");
  ASSERT_NE(root, nullptr);
  ScratchProgram program;
  std::ifstream in(std::string(root) + "/res/message.txt", std::ios::binary);
  program.write("res/message.txt",
                std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()));
  Resource::setLanguage(0x0409);
  EXPECT_EQ(narrow(Resource::getString(-2501, u"example.com"_s, u"80"_s)),
            "Cannot connect to example.com port 80.");
  const int ids[] = {-400, -500, -600, -800, -801, -1100, -1108, -2000, -2800};
  for (int id : ids) EXPECT_FALSE(Resource::getString(id).isNull()) << id;
}
