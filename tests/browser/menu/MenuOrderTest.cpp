#include <gtest/gtest.h>

#include "browser/menu/MenuOrder.h"
#include "tests/browser/DrawnScene.h"
#include "vwt/lang/Resource.h"

namespace {

std::string narrow(const String& s) {
  std::string out;
  for (int i = 0; i < s.length(); ++i) out += static_cast<char>(s.charAt(i) < 128 ? s.charAt(i) : '?');
  return out;
}

TEST(MenuOrder, StoredOrdersAreKeptOrMended) {
  struct Case {
    const char16_t* stored;
    const char* letters;
  } cases[] = {
      {u"", "GYgWMyjAK "},           {u"GYgWMyjAK ", "GYgWMyjAK "},
      {u"AKGYgWMyj ", "AKGYgWMyj "}, {u"KA ", "KAGYgWMyj "},  // missing letters go before the closing space
      {u"KA", "KAGYgWMyj "},                                  // a missing space is added
      {u"KKAAK ", "KAGYgWMyj "},                              // repeats are dropped
      {u"K?A\t!x ", "KAGYgWMyj "},                            // so is what is no command letter
      {u"????", "GYgWMyjAK "},                                // nothing usable: the default
      {u"   ", "GYgWMyjAK "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.letters);
    EXPECT_EQ(narrow(MenuOrder(String(c.stored, false)).letters()), c.letters);
  }
  EXPECT_EQ(narrow(MenuOrder(String()).letters()), "GYgWMyjAK ");
}

TEST(MenuOrder, UsingALetterMovesItToTheFront) {
  MenuOrder order{String()};
  order.use(u'A');
  EXPECT_EQ(narrow(order.letters()), "AGYgWMyjK ");
  order.use(u'K');
  EXPECT_EQ(narrow(order.letters()), "KAGYgWMyj ");
  order.use(u'K');  // already first
  EXPECT_EQ(narrow(order.letters()), "KAGYgWMyj ");
  order.use(u' ');  // the closing space stays last
  order.use(u'Z');  // no command letter
  EXPECT_EQ(narrow(order.letters()), "KAGYgWMyj ");
  // The mended order survives being stored and read back.
  EXPECT_EQ(MenuOrder(order.letters()).letters(), order.letters());
}

TEST(MenuOrder, NamesComeFromTheEntriesKeyedAsTheCookieLookupReadsThem) {
  // 'G' + 44 is 's', 'A' + 44 is 'm'.
  String text = u"sWeb search: search.example/find,mShop : shop.example,xOdd"_s;
  EXPECT_EQ(narrow(MenuOrder::nameIn(text, u'G')), "Web search");
  EXPECT_EQ(narrow(MenuOrder::nameIn(text, u'A')), "Shop");
  EXPECT_EQ(narrow(MenuOrder::nameIn(text, u'L')), "Odd");  // 'L' + 44 is 'x': no host, still a name
  EXPECT_EQ(narrow(MenuOrder::nameIn(text, u'K')), "");     // not named
  EXPECT_EQ(narrow(MenuOrder::nameIn(String(), u'G')), "");
  // A marker inside another entry's text does not start an entry.
  EXPECT_EQ(narrow(MenuOrder::nameIn(u"aBs: x,sGood: y"_s, u'G')), "Good");
}

TEST(MenuOrder, TheProgramsTextNamesEveryLetter) {
  drawn::Scene scene;
  const String letters(MenuOrder::DEFAULT_ORDER, false);
  for (int i = 0; i + 1 < letters.length(); ++i) {
    SCOPED_TRACE(static_cast<char>(letters.charAt(i)));
    EXPECT_GT(MenuOrder::nameOf(letters.charAt(i)).length(), 0);
  }
  // Each letter's marker comes first at its own entry, so command addresses find their hosts.
  const String text = Resource::getString(10254);
  for (int i = 0; i + 1 < letters.length(); ++i) {
    const int at = text.indexOf(static_cast<char16_t>(letters.charAt(i) + 44));
    SCOPED_TRACE(static_cast<char>(letters.charAt(i)));
    ASSERT_GE(at, 0);
    EXPECT_TRUE(at == 0 || text.charAt(at - 1) == u',');
  }
}

}  // namespace
