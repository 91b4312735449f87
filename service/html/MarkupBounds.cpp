#include "service/html/MarkupBounds.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace vesk {

namespace {

// Elements that never hold content, and those whose content is raw text.
const char* const VOID_TAGS[] = {"area",  "base",  "br",    "col",      "embed",   "hr",
                                 "img",   "input", "link",  "meta",     "param",   "source",
                                 "track", "wbr",   "frame", "basefont", "isindex", "keygen"};
// Their end tags are often left out; the parser closes them itself, so they do not count as depth.
const char* const OPTIONAL_END_TAGS[] = {"p",  "li", "dt",    "dd",    "option", "optgroup", "tr",
                                         "td", "th", "thead", "tbody", "tfoot",  "colgroup", "rb",
                                         "rt", "rp", "html",  "head",  "body"};
const char* const RAW_TAGS[] = {"script", "style",   "textarea", "title",    "xmp",
                                "iframe", "noembed", "noframes", "plaintext"};

bool inList(const std::string& name, const char* const* list, size_t n) {
  for (size_t i = 0; i < n; ++i) {
    if (name == list[i]) return true;
  }
  return false;
}

size_t findCaseless(const std::string& s, const std::string& needle, size_t from) {
  for (size_t i = from; i + needle.size() <= s.size(); ++i) {
    size_t k = 0;
    while (k < needle.size() && std::tolower(static_cast<unsigned char>(s[i + k])) == needle[k]) ++k;
    if (k == needle.size()) return i;
  }
  return std::string::npos;
}

// End of a tag starting at '<', skipping quoted attribute values.
size_t tagEnd(const std::string& s, size_t i) {
  char quote = 0;
  for (++i; i < s.size(); ++i) {
    char c = s[i];
    if (quote) {
      if (c == quote) quote = 0;
    } else if (c == '"' || c == '\'') {
      quote = c;
    } else if (c == '>') {
      return i;
    }
  }
  return std::string::npos;
}

// Appends text, counting its words; false once the page has had its share of words.
bool appendText(std::string& out, const std::string& html, size_t from, size_t to, size_t& words,
                size_t maxWords) {
  bool inWord = false;
  for (size_t i = from; i < to; ++i) {
    bool space = std::isspace(static_cast<unsigned char>(html[i])) != 0;
    if (!space && !inWord && ++words > maxWords) {
      out.append(html, from, i - from);
      return false;
    }
    inWord = !space;
  }
  out.append(html, from, to - from);
  return true;
}

}  // namespace

std::string MarkupBounds::apply(const std::string& input, int maxDepth, size_t maxBytes, size_t maxTags,
                                size_t maxWords) {
  const std::string html = input.size() > maxBytes ? input.substr(0, maxBytes) : input;
  std::string out;
  out.reserve(html.size());
  int depth = 0;
  size_t i = 0, tags = 0, words = 0;
  int tableDepth = 0, droppedTables = 0;
  while (i < html.size()) {
    size_t lt = html.find('<', i);
    if (!appendText(out, html, i, lt == std::string::npos ? html.size() : lt, words, maxWords)) break;
    if (lt == std::string::npos) break;
    i = lt;
    if (html.compare(i, 4, "<!--") == 0) {
      size_t end = html.find("-->", i + 4);
      size_t stop = end == std::string::npos ? html.size() : end + 3;
      out.append(html, i, stop - i);
      i = stop;
      continue;
    }
    size_t j = i + 1;
    bool closing = j < html.size() && html[j] == '/';
    if (closing) ++j;
    size_t nameStart = j;
    while (j < html.size() &&
           (std::isalnum(static_cast<unsigned char>(html[j])) || html[j] == '-' || html[j] == ':'))
      ++j;
    if (j == nameStart) {
      out += '<';
      ++i;
      continue;
    }
    std::string name = html.substr(nameStart, j - nameStart);
    for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    size_t end = tagEnd(html, i);
    if (end == std::string::npos) {
      out.append(html, i, std::string::npos);
      break;
    }
    bool selfClosing = end > i && html[end - 1] == '/';
    bool isVoid = inList(name, VOID_TAGS, sizeof VOID_TAGS / sizeof *VOID_TAGS) ||
                  inList(name, OPTIONAL_END_TAGS, sizeof OPTIONAL_END_TAGS / sizeof *OPTIONAL_END_TAGS);
    if (name == "table") {
      bool drop = closing ? droppedTables > 0 : tableDepth >= MAX_TABLE_DEPTH;
      if (drop) {
        droppedTables += closing ? -1 : 1;
        i = end + 1;
        continue;
      }
      tableDepth = std::max(0, tableDepth + (closing ? -1 : 1));
    }
    if (closing) {
      if (depth <= maxDepth) out.append(html, i, end + 1 - i);
      if (depth > 0 && !isVoid) --depth;
      i = end + 1;
      continue;
    }
    if (++tags > maxTags) break;
    bool keep = true;
    if (!isVoid && !selfClosing) {
      ++depth;
      keep = depth <= maxDepth;
    }
    if (keep) out.append(html, i, end + 1 - i);
    i = end + 1;
    if (inList(name, RAW_TAGS, sizeof RAW_TAGS / sizeof *RAW_TAGS)) {
      // Raw text runs to the matching end tag; tags inside it are text.
      size_t close = findCaseless(html, "</" + name, i);
      size_t stop = close == std::string::npos ? html.size() : close;
      out.append(html, i, stop - i);
      i = stop;
    }
  }
  return out;
}

}  // namespace vesk
