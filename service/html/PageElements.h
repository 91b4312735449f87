#pragma once

#include <litehtml.h>

#include <memory>

namespace vesk {

class PageContainer;

// The elements the page needs beyond litehtml's own: links that tell what they cover, pictures, sized
// form controls, frames and embedded objects that record themselves as page items, and bounded
// attributes where litehtml would allocate from them.
class PageElements {
 public:
  // nullptr: litehtml makes its own element for the tag.
  static std::shared_ptr<litehtml::element> create(const char* tag, const litehtml::string_map& attributes,
                                                   const std::shared_ptr<litehtml::document>& doc,
                                                   PageContainer& container);
  // The control an element stands for (TEXT_FIELD, SELECT, HIDDEN_FIELD...), or 0 when it is none.
  static int controlType(const litehtml::element& el);
  // The text of an element and its descendants, with runs of white space as one space.
  static std::string text(const litehtml::element& el);
};

}  // namespace vesk
