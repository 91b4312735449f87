#include <gtest/gtest.h>

#include "service/html/MarkupBounds.h"

namespace vesktest {

using vesk::MarkupBounds;

TEST(MarkupBoundsTest, KeepsWhatIsWithinTheBounds) {
  struct Case {
    const char* html;
    int depth;
    size_t tags, words;
    const char* want;
  } cases[] = {
      {"<div><div><div>x</div></div></div>", 2, 100, 100, "<div><div>x</div></div>"},
      {"<p>a<p>b<p>c", 1, 100, 100, "<p>a<p>b<p>c"},  // left-open paragraphs are not nesting
      {"<div><br><img src=a><div>x</div></div>", 1, 100, 100, "<div><br><img src=a>x</div>"},
      {"<script>if (a<b) { x = '<div>'; }</script><div>y</div>", 1, 100, 100,
       "<script>if (a<b) { x = '<div>'; }</script><div>y</div>"},
      {"<b>1</b><b>2</b><b>3</b>", 10, 2, 100, "<b>1</b><b>2</b>"},  // start tags count
      {"one two three four", 10, 100, 2, "one two "},
      {"<!-- <div><div> -->text", 0, 100, 100, "<!-- <div><div> -->text"},
      {"a < b and <", 1, 100, 100, "a < b and <"},
      {"<div title='>'>q</div>", 5, 100, 100, "<div title='>'>q</div>"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(MarkupBounds::apply(c.html, c.depth, 1 << 20, c.tags, c.words), c.want) << c.html;
  }
  EXPECT_EQ(MarkupBounds::apply(std::string(100, 'x'), 5, 10).size(), 10u);
  std::string nested, kept;
  for (int i = 0; i < 12; ++i) nested += "<table><tr><td>";
  for (int i = 0; i < 12; ++i) kept += i < MarkupBounds::MAX_TABLE_DEPTH ? "<table><tr><td>" : "<tr><td>";
  EXPECT_EQ(MarkupBounds::apply(nested + "x" + "</table></table>"), kept + "x")
      << "tables nest a few levels deep";
}

}  // namespace vesktest
