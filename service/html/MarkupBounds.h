#pragma once

#include <cstddef>
#include <string>

namespace vesk {

// Keeps a page's markup within what the layout can take: the parser and the layout recurse once per
// level of nesting, so start tags below a fixed depth are dropped (their content stays, flattened
// into the deepest kept element). Layout time grows with elements and words, so the page is cut after
// a fixed number of tags or words, and at a fixed size. Each level of nested tables lays its cells out
// again, so tables deeper than a few levels are flattened into their enclosing cell.
class MarkupBounds {
 public:
  static constexpr int MAX_DEPTH = 256;
  static constexpr size_t MAX_BYTES = 2 * 1024 * 1024;
  static constexpr size_t MAX_TAGS = 20000;
  static constexpr size_t MAX_WORDS = 100000;
  static constexpr int MAX_TABLE_DEPTH = 4;

  static std::string apply(const std::string& html, int maxDepth = MAX_DEPTH, size_t maxBytes = MAX_BYTES,
                           size_t maxTags = MAX_TAGS, size_t maxWords = MAX_WORDS);
};

}  // namespace vesk
