#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "vwt/lang/String.h"
#include "vwt/lang/StringBuffer.h"
#include "vwt/lang/VectorV.h"

namespace {

std::u16string units(const String& s) { return std::u16string(s.getCString(), s.length()); }

std::vector<std::u16string> fields(const VectorV<String>& v) {
  std::vector<std::u16string> out;
  for (int i = 0; i < v.size(); ++i) out.push_back(units(v.elementAt(i)));
  return out;
}

}  // namespace

TEST(String, EmptyForms) {
  String literal(u"", false);
  const String* forms[] = {&String::null, &literal};
  for (const String* s : forms) {
    EXPECT_EQ(s->length(), 0);
    EXPECT_TRUE(s->isNull());
    EXPECT_EQ(s->getCString()[0], 0);
    EXPECT_EQ(s->hashCode(), 0u);
  }
  EXPECT_TRUE(String().isNull());
  EXPECT_TRUE(String(new char16_t[1]{0}, true).isNull());
  EXPECT_TRUE(String(u"abc", 1, 0).isNull());
  EXPECT_FALSE(u"a"_s.isNull());
}

TEST(String, Constructors) {
  EXPECT_EQ(String(u'x'), u"x");
  EXPECT_EQ(String(u"hello", 1, 3), u"ell");
  EXPECT_EQ(String(-42), u"-42");
  EXPECT_EQ(String(4000000000u), u"4000000000");
  EXPECT_EQ(String(int64_t(5000000000LL)), u"5000000000");
  EXPECT_EQ(String(int64_t(INT64_MIN)), u"-9223372036854775808");
  EXPECT_EQ(String(uint64_t(UINT64_MAX)), u"18446744073709551615");
  EXPECT_EQ(String(true), u"true");
  EXPECT_EQ(String(false), u"false");
  EXPECT_EQ(String(u"ab", u"cd"), u"abcd");
  EXPECT_EQ(String(u"ab"_s, u"cd"_s), u"abcd");
  EXPECT_EQ(String(u"ab"_s, u'!'), u"ab!");
  EXPECT_EQ(String(u'!', u"ab"_s), u"!ab");
  EXPECT_EQ(String(u"a.b.c"_s, u'.', u'/'), u"a/b/c");
  EXPECT_EQ(String(u"aXbXc"_s, u"X"_s, u"--"_s), u"a--b--c");
  EXPECT_EQ(String("plain bytes"), u"plain bytes");
  EXPECT_EQ(String("\xE3\x81\x82"), u"\u3042");
  StringBuffer b(u"buf"_s);
  EXPECT_EQ(String(b), u"buf");
}

TEST(String, AdoptedArrayIsFreedWithTheBody) {
  char16_t* heap = new char16_t[4]{u'a', u'b', u'c', 0};
  String s(heap, true);
  String copy = s;
  EXPECT_EQ(copy.getCString(), heap);  // shared, not copied
  EXPECT_EQ(copy.length(), 3);
  // The sanitizer build reports a leak or double free if ownership is wrong.
}

TEST(String, LiteralsAreWrappedWithoutCopy) {
  static const char16_t text[] = u"static";
  String s(text, false);
  EXPECT_EQ(s.getCString(), text);
  String t = s;
  EXPECT_EQ(t.getCString(), text);
}

TEST(String, Equality) {
  String a = u"abc"_s;
  String b(u"abc", 0, 3);
  EXPECT_TRUE(a.equals(b));
  EXPECT_TRUE(a == b);
  EXPECT_FALSE(a != b);
  EXPECT_TRUE(a.equals(u"abc"));
  EXPECT_FALSE(a.equals(u"abcd"));
  EXPECT_FALSE(a.equals(static_cast<const char16_t*>(nullptr)));
  EXPECT_FALSE(a == u"ab"_s);
  Object plain;
  EXPECT_FALSE(a.equals(plain));
  EXPECT_TRUE(u"HeLLo"_s.equalsIgnoreCase(u"hello"_s));
  EXPECT_TRUE(u"\u00C4rger"_s.equalsIgnoreCase(u"\u00E4RGER"));  // the system mapping covers more than ASCII
  EXPECT_FALSE(u"hello"_s.equalsIgnoreCase(u"hell"_s));
}

TEST(String, PrefixAndSuffix) {
  String s = u"Content-Type"_s;
  EXPECT_TRUE(s.startsWith(u"Content"_s));
  EXPECT_TRUE(s.startsWith(String::null));
  EXPECT_FALSE(s.startsWith(u"Content-Type-X"));
  EXPECT_TRUE(s.endsWith(u"Type"));
  EXPECT_TRUE(s.endsWith(u""_s));
  EXPECT_FALSE(s.endsWith(u"type"));
  EXPECT_TRUE(s.startsWithIgnoreCase(u"CONTENT-"_s));
  EXPECT_TRUE(s.endsWithIgnoreCase(u"-TYPE"_s));
  EXPECT_FALSE(u"ab"_s.endsWithIgnoreCase(u"xab"_s));
}

TEST(String, HashCode) {
  EXPECT_EQ(u"abc"_s.hashCode(), 3014u);
  EXPECT_EQ(String::null.hashCode(), 0u);
  String long_text(u"the quick brown fox jumps over the lazy dog", false);
  unsigned int h = 0;
  for (char16_t c : std::u16string(u"the quick brown fox jumps over the lazy dog")) h = h * 5 + c;
  EXPECT_EQ(long_text.hashCode(), h);  // wraps modulo 2^32
  EXPECT_EQ(long_text.hashCode(), h);  // the cached value
}

TEST(String, IndexOf) {
  String s = u"abcabc"_s;
  struct Case {
    int got, want;
  } cases[] = {
      {s.indexOf(u'b'), 1},
      {s.indexOf(u'b', 2), 4},
      {s.indexOf(u'c', 6), -1},
      {s.indexOf(u'z'), -1},
      {s.indexOf(u"ca"_s), 2},
      {s.indexOf(u"abc"_s, 1), 3},
      {s.indexOf(u"abc"_s, 4), -1},
      {s.indexOf(u""_s, 2), 2},
      {s.indexOf(u""_s, 6), -1},
      {s.lastIndexOf(u'a'), 3},
      {s.lastIndexOf(u'a', 2), 0},
      {s.lastIndexOf(u'c', 100), 5},
      {s.lastIndexOf(u'a', -1), -1},
      {s.lastIndexOf(u"abc"_s, 2), -1},
      {s.lastIndexOf(u"abc"_s, 5), 3},
      {s.lastIndexOf(u"abc"_s), 3},
      {s.lastIndexOf(u"bc"_s, 3), 1},
      {s.lastIndexOf(u"x"_s), -1},
      {String::null.indexOf(u'a'), -1},
      {String::null.lastIndexOf(u'a'), -1},
  };
  for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i)
    EXPECT_EQ(cases[i].got, cases[i].want) << "case " << i;
}

TEST(String, DerivedTexts) {
  String s = u"Hello World"_s;
  EXPECT_EQ(s.substring(6), u"World");
  EXPECT_EQ(s.substring(0, 5), u"Hello");
  EXPECT_TRUE(s.substring(3, 3).isNull());
  EXPECT_EQ(s.toLowerCase(), u"hello world");
  EXPECT_EQ(s.toUpperCase(), u"HELLO WORLD");
  EXPECT_EQ(u"\uFF41bc"_s.toUpperCase(), u"\uFF41BC");  // full-width letters stay
  EXPECT_EQ(u"\uFF21"_s.toLowerCase(), u"\uFF21");
  EXPECT_EQ(s.replace(u'o', u'0'), u"Hell0 W0rld");
  EXPECT_EQ(s.replace(u"World"_s, u"There"_s), u"Hello There");
  EXPECT_EQ(u"aaaa"_s.replace(u"aa"_s, u"b"_s), u"bb");  // matches do not overlap
  EXPECT_EQ(u"abab"_s.replace(u"ab"_s, u""_s), u"");
  EXPECT_EQ(u"abc"_s.replace(u""_s, u"x"_s), u"abc");  // nothing to look for
  EXPECT_EQ(s.concat(u"!"_s), u"Hello World!");
}

TEST(String, Trim) {
  EXPECT_TRUE(u"  "_s.trim().isNull());
  EXPECT_TRUE(String::null.trim().isNull());
  EXPECT_EQ(String(u"\u8140a ", false).trim(), u"a");
  EXPECT_EQ(u" a b "_s.trim(), u"a b");
  EXPECT_EQ(String(u"\u3000a", false).trim(), u"\u3000a");  // U+3000 is not blank here
  EXPECT_EQ(u"\ta"_s.trim(), u"\ta");
}

TEST(String, Operators) {
  String s = u"n="_s;
  EXPECT_EQ(s + u"x"_s, u"n=x");
  EXPECT_EQ(s + u"x", u"n=x");
  EXPECT_EQ(s + u'x', u"n=x");
  EXPECT_EQ(s + -7, u"n=-7");
  EXPECT_EQ(s + 7u, u"n=7");
  EXPECT_EQ(s + int64_t(-5000000000LL), u"n=-5000000000");
  EXPECT_EQ(s + uint64_t(5000000000ULL), u"n=5000000000");
  EXPECT_EQ(s + true, u"n=true");
  String t = u"a"_s;
  String r = (t += u"b"_s);
  EXPECT_EQ(t, u"ab");
  EXPECT_EQ(r, u"ab");
}

TEST(String, ToHexStringOfPointer) {
  int x = 0;
  char expected[32];
  snprintf(expected, sizeof expected, "%p", static_cast<void*>(&x));
  EXPECT_EQ(String::toHexString(&x), String(expected));
}

TEST(String, SplitPositions) {
  int count = 0;
  int* p = u"a,,b"_s.split(u',', &count);
  ASSERT_EQ(count, 3);
  EXPECT_EQ(p[0], 1);
  EXPECT_EQ(p[1], 2);
  EXPECT_EQ(p[2], 4);
  delete[] p;
  p = u"abc"_s.split(u',', &count);
  ASSERT_EQ(count, 1);
  EXPECT_EQ(p[0], 3);
  delete[] p;
  p = u"\"x,y\",z"_s.splitQuoted(u',', &count);
  ASSERT_EQ(count, 2);
  EXPECT_EQ(p[0], 5);
  EXPECT_EQ(p[1], 7);
  delete[] p;
}

TEST(String, SplitFields) {
  typedef std::vector<std::u16string> F;
  struct Case {
    const char16_t* text;
    bool quoted, skipEmpty;
    F want;
  } cases[] = {
      {u"a,,b", false, true, F{u"a", u"b"}},
      {u"a,,b", false, false, F{u"a", u"", u"b"}},
      {u"abc", false, false, F{u"abc"}},
      {u"", false, false, F{u""}},
      {u"", false, true, F{}},
      {u"a,", false, false, F{u"a", u""}},
      {u"\"x,y\",z", true, false, F{u"x,y", u"z"}},
      {u"a\"b,c\",d", true, false, F{u"a\"b", u"c\"", u"d"}},  // a quote inside a field opens nothing
      {u"\"open,z", true, false, F{u"open,z"}},                // never closed: to the end
      {u"x,\"\",y", true, false, F{u"x", u"", u"y"}},
      {u"\"a\"b,c", true, false, F{u"a\"b", u"c"}},  // only a closing quote at the field's end goes
  };
  for (const Case& c : cases) {
    VectorV<String> out;
    if (c.quoted)
      String(c.text, false).splitQuoted(u',', c.skipEmpty, &out);
    else
      String(c.text, false).split(u',', c.skipEmpty, &out);
    EXPECT_EQ(fields(out), c.want) << std::string(c.text, c.text + std::u16string(c.text).size());
  }
}

TEST(String, CStringAsAscii) {
  char buf[32];
  EXPECT_EQ(String::null.getCStringAsAscii(buf, 10), 0);
  EXPECT_EQ(buf[0], 0);
  EXPECT_EQ(u"GET /"_s.getCStringAsAscii(buf, 31), 5);
  EXPECT_STREQ(buf, "GET /");
  // Never more than max bytes, and never half a character.
  EXPECT_EQ(u"abcdef"_s.getCStringAsAscii(buf, 4), 4);
  EXPECT_STREQ(buf, "abcd");
  EXPECT_EQ(u"a\u3042"_s.getCStringAsAscii(buf, 3), 1);
  EXPECT_STREQ(buf, "a");
  EXPECT_GE(String::maxAsciiBytes(1), 3);
}

TEST(String, ReferenceHandling) {
  String a(u"shared", 0, 6);
  String b = a;
  EXPECT_EQ(a.getCString(), b.getCString());
  a.addRef();
  a.release();
  b = String::null;
  EXPECT_EQ(a, u"shared");
  String c = std::move(a);
  EXPECT_TRUE(a.isNull());
  EXPECT_EQ(c, u"shared");
  c = c;  // self-assignment keeps the text
  EXPECT_EQ(c, u"shared");
}

TEST(String, CopiesDroppedOnOtherThreads) {
  // Workers drop copies while this thread copies the same body.
  String text(u"shared between threads", 0, 22);
  std::vector<std::thread> workers;
  for (int t = 0; t < 4; ++t)
    workers.emplace_back([text] {
      for (int i = 0; i < 20000; ++i) {
        String copy = text;
        (void)copy.hashCode();
      }
    });
  for (int i = 0; i < 20000; ++i) {
    String copy = text;
    (void)copy.length();
  }
  for (auto& w : workers) w.join();
  EXPECT_EQ(text, u"shared between threads");
}

TEST(StringBuffer, AppendAndSetLength) {
  StringBuffer b(u"ab"_s);
  b.setLength(4);
  String s = b.toString();
  ASSERT_EQ(s.length(), 4);
  EXPECT_EQ(s.charAt(2), 0);
  EXPECT_EQ(s.charAt(3), 0);
  b.setLength(1);
  b.append(u'-').append(-12);
  EXPECT_EQ(b.toString(), u"a--12");
  StringBuffer grow;
  for (int i = 0; i < 100; ++i) grow.append(u'x');
  EXPECT_EQ(grow.toString().length(), 100);
}
