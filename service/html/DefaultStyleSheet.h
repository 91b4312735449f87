#pragma once

namespace vesk {

// The style every page starts from: block elements, headings, lists, tables, links, forms, pre and
// the elements that are never shown. Headings keep the text size: the handset has one page font.
class DefaultStyleSheet {
 public:
  static const char* text();
};

}  // namespace vesk
