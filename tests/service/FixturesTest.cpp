#include <gtest/gtest.h>

#include <optional>

#include "service/FixtureLibrary.h"
#include "service/FixtureParser.h"
#include "service/ProtocolError.h"

namespace vesktest {
namespace {

using vesk::FixtureLibrary;
using vesk::FixtureParser;
using vesk::ProtocolError;

TEST(Fixtures, EveryShippedFixtureParses) {
  FixtureLibrary lib(VESK_FIXTURE_DIR);
  auto names = lib.list(100);
  ASSERT_GE(names.size(), 4u);
  for (const auto& n : names) {
    try {
      EXPECT_NE(lib.find("http://h/" + n), nullptr) << n;
    } catch (const ProtocolError& e) {
      ADD_FAILURE() << n << ": " << e.what();
    }
  }
}

TEST(Fixtures, ParsesValuesEscapesAndReferencesById) {
  auto p = FixtureParser("/nonexistent", "t")
               .parse(
                   "# comment\n"
                   "page title=\"A \\\"quoted\\\" \\u00e9\" width=100 height=0x20\n"
                   "item TEXT id=a x=-1 y=2 w=3 h=4 color=0xFFFFFFFF text=bare  # trailing comment\n"
                   "item 4\n"
                   "struct CONTROL id=c refs=a,f\n"
                   "struct FORM id=f refs=c,7\n");
  EXPECT_EQ(p.title, "A \"quoted\" \xC3\xA9");
  EXPECT_EQ(p.height, 32);
  ASSERT_EQ(p.items.size(), 2u);
  EXPECT_EQ(p.items[0].x, -1);
  EXPECT_EQ(p.items[0].color, -1);
  EXPECT_EQ(p.items[0].text, "bare");
  EXPECT_EQ(p.items[1].type, 4);
  EXPECT_EQ(p.structure[0].refs, std::vector<int32_t>({0, 3}));
  EXPECT_EQ(p.structure[1].refs, std::vector<int32_t>({2, 7}));
}

TEST(Fixtures, MistakesAreReportedWithTheirLine) {
  struct Case {
    const char* text;
    const char* expected;
  } cases[] = {
      {"bogus x=1", "t:1: unknown directive bogus"},
      {"\nitem NOPE", "t:2: unknown item type NOPE"},
      {"item TEXT x=abc", "t:1: bad number: abc"},
      {"item TEXT text=\"open", "t:1: unterminated string"},
      {"item TEXT wat=1", "t:1: unknown item key wat"},
      {"item BOX top=1,2", "t:1: a border is colour,width,style"},
      {"image", "t:1: image needs file=, hex=, data= or size="},
      {"image file=../secret", "t:1: file must stay inside the fixture folder: ../secret"},
      {"image file=missing.gif", "t:1: cannot read missing.gif"},
      {"item TEXT id=a\nitem TEXT id=a", "t:2: duplicate id a"},
      {"struct LINK refs=nothere", "t: bad number: nothere"},
      {"item TEXT x", "t:1: expected key=value near ''"},
  };
  for (const auto& c : cases) {
    try {
      FixtureParser(VESK_FIXTURE_DIR, "t").parse(c.text);
      ADD_FAILURE() << "accepted: " << c.text;
    } catch (const ProtocolError& e) {
      EXPECT_EQ(std::string(e.what()), c.expected) << c.text;
    }
  }
}

TEST(Fixtures, AddressesMapToFixturePathsInsideTheFolder) {
  struct Case {
    const char* url;
    std::optional<std::string> path;
  } cases[] = {
      {"http://host/", std::string("index")},
      {"http://host", std::string("index")},
      {"http://host:81/a/b?x=1#y", std::string("a/b")},
      {"http://host/a/;jsessionid=1", std::string("a/index")},
      {"https://host/a/b/", std::string("a/b/index")},
      {"/plain/path", std::string("plain/path")},
      {"http://host/a/../b", std::nullopt},
      {"http://host/./a", std::nullopt},
      {"http://host/a//b", std::nullopt},
      {"http://host/a\\b", std::nullopt},
      {"http://host/a\x01", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(FixtureLibrary::fixturePath(c.url), c.path) << c.url;
}

}  // namespace
}  // namespace vesktest
