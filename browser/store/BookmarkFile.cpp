#include "browser/store/BookmarkFile.h"

#include <cctype>
#include <cstring>

#include "browser/store/Bookmarks.h"
#include "vwt/io/FileInputStream.h"
#include "vwt/io/FileOutputStream.h"
#include "vwt/lang/Exception.h"
#include "vwt/lang/Resource.h"
#include "vwt/lang/VectorV.h"
#include "vwt/platform/Text.h"

namespace {

const int NOT_A_BOOKMARK_FILE = 10500;
const int TAG_NOT_CLOSED = 10501;
const int TITLE_NOT_ENDED = 10502;
const int LIST_NOT_BEGUN = 10503;
const int LIST_NOT_ENDED = 10504;
const int NO_ROOM = 10505;
const int TEXT_TOO_LONG = 10506;
const int FILE_TOO_LARGE = 10507;
const int CANNOT_READ = 10508;
const int CANNOT_WRITE = 10509;
const int PAGE_TITLE = 10514;

const char DOCTYPE[] = "<!DOCTYPE NETSCAPE-Bookmark-file-1>";
// Longer titles or addresses are not bookmarks a person made.
const int MAX_TEXT = 4096;
const int MAX_FILE_BYTES = 4 << 20;

// ---- text between UTF-16 and UTF-8

void appendUtf8(std::string& out, unsigned int c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | c >> 6);
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | c >> 12);
    out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | c >> 18);
    out += static_cast<char>(0x80 | (c >> 12 & 0x3F));
    out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

std::string toUtf8(const String& s) {
  return vwt::platform::utf8FromUtf16(s.getCString(), static_cast<size_t>(s.length()));
}

String toString(const std::u16string& s) { return String(s.data(), 0, static_cast<int>(s.size())); }

// ---- HTML text

std::string escape(const std::string& s) {
  std::string out;
  for (char c : s) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

// Character references and the named entities bookmark files use; anything
// else stays as written.
std::string unescape(const std::string& s) {
  static const struct {
    const char* name;
    unsigned int c;
  } NAMED[] = {{"amp", '&'}, {"lt", '<'}, {"gt", '>'}, {"quot", '"'}, {"apos", '\''}, {"nbsp", 0xA0}};
  std::string out;
  size_t i = 0;
  while (i < s.size()) {
    size_t semi = s[i] == '&' ? s.find(';', i + 1) : std::string::npos;
    if (semi == std::string::npos || semi - i > 10) {
      out += s[i++];
      continue;
    }
    std::string name = s.substr(i + 1, semi - i - 1);
    long c = -1;
    if (name.size() > 1 && name[0] == '#') {
      bool hex = name[1] == 'x' || name[1] == 'X';
      std::string digits = name.substr(hex ? 2 : 1);
      bool ok = !digits.empty();
      for (char d : digits)
        ok = ok && (hex ? std::isxdigit(static_cast<unsigned char>(d))
                        : std::isdigit(static_cast<unsigned char>(d)));
      if (ok) c = std::strtol(digits.c_str(), nullptr, hex ? 16 : 10);
      if (c <= 0 || c > 0x10FFFF || (c >= 0xD800 && c < 0xE000)) c = ok ? 0xFFFD : -1;
    } else {
      for (const auto& e : NAMED)
        if (name == e.name) c = e.c;
    }
    if (c < 0) {
      out += s[i++];
      continue;
    }
    appendUtf8(out, static_cast<unsigned int>(c));
    i = semi + 1;
  }
  return out;
}

bool startsWithNoCase(const std::string& s, size_t at, const char* prefix) {
  size_t n = std::strlen(prefix);
  if (s.size() - at < n || at > s.size()) return false;
  for (size_t k = 0; k < n; ++k)
    if (std::toupper(static_cast<unsigned char>(s[at + k])) !=
        std::toupper(static_cast<unsigned char>(prefix[k])))
      return false;
  return true;
}

size_t findNoCase(const std::string& s, size_t from, const char* what) {
  for (size_t i = from; i < s.size(); ++i)
    if (startsWithNoCase(s, i, what)) return i;
  return std::string::npos;
}

// ---- the tree read from a file

struct Node {
  String title;
  String url;
  bool folder = false;
  std::vector<Node> children;
};

class Parser {
 public:
  explicit Parser(const std::string& html) : html_(html) {}

  std::vector<Node> parse() {
    size_t at = 0;
    if (startsWithNoCase(html_, 0, "\xEF\xBB\xBF")) at = 3;
    while (at < html_.size() && std::isspace(static_cast<unsigned char>(html_[at]))) ++at;
    if (!startsWithNoCase(html_, at, DOCTYPE)) throw Exception(Resource::getString(NOT_A_BOOKMARK_FILE));
    at += std::strlen(DOCTYPE);

    std::vector<Node> root;
    // The lists open at the moment, innermost last, with where each began.
    std::vector<std::pair<std::vector<Node>*, size_t>> open;
    Node* folderWithoutList = nullptr;
    while ((at = html_.find('<', at)) != std::string::npos) {
      if (html_.compare(at, 4, "<!--") == 0) {
        size_t end = html_.find("-->", at + 4);
        if (end == std::string::npos) fail(TAG_NOT_CLOSED, at);
        at = end + 3;
        continue;
      }
      size_t close = html_.find('>', at);
      if (close == std::string::npos) fail(TAG_NOT_CLOSED, at);
      std::string tag = html_.substr(at + 1, close - at - 1);
      std::string name = tagName(tag);
      std::vector<Node>& list = open.empty() ? root : *open.back().first;
      size_t tagStart = at;
      at = close + 1;
      if (name == "DL") {
        // A list right after a folder's title holds the folder's children.
        open.push_back({folderWithoutList ? &folderWithoutList->children : &list, tagStart});
        folderWithoutList = nullptr;
      } else if (name == "/DL") {
        if (open.empty()) fail(LIST_NOT_BEGUN, tagStart);
        open.pop_back();
        folderWithoutList = nullptr;
      } else if (name == "H3") {
        Node folder;
        folder.folder = true;
        folder.title = text(elementText(&at, "</H3>", tagStart), tagStart);
        if (folder.title.length() > Bookmarks::TITLE_LIMIT)
          folder.title = folder.title.substring(0, Bookmarks::TITLE_LIMIT);
        list.push_back(std::move(folder));
        folderWithoutList = &list.back();
      } else if (name == "A") {
        Node link;
        link.url = text(attribute(tag, "HREF"), tagStart);
        link.title = text(elementText(&at, "</A>", tagStart), tagStart);
        if (link.title.length() == 0) link.title = link.url;
        // A link without an address has nothing to open.
        if (link.url.length() > 0) list.push_back(std::move(link));
        folderWithoutList = nullptr;
      }
    }
    if (!open.empty()) fail(LIST_NOT_ENDED, open.front().second);
    return root;
  }

 private:
  [[noreturn]] void fail(int message, size_t at) const {
    int line = 1;
    for (size_t i = 0; i < at && i < html_.size(); ++i)
      if (html_[i] == '\n') ++line;
    throw Exception(Resource::getString(message, String(line), String(MAX_TEXT)));
  }

  static std::string tagName(const std::string& tag) {
    std::string name;
    for (char c : tag) {
      if (std::isspace(static_cast<unsigned char>(c)) || (c == '/' && !name.empty())) break;
      name += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return name;
  }

  // The raw text up to the end tag, past which *at moves; tags inside are
  // dropped.
  std::string elementText(size_t* at, const char* endTag, size_t tagStart) const {
    size_t end = findNoCase(html_, *at, endTag);
    if (end == std::string::npos) fail(TITLE_NOT_ENDED, tagStart);
    std::string raw = html_.substr(*at, end - *at);
    *at = end + std::strlen(endTag);
    std::string plain;
    bool inTag = false;
    for (char c : raw) {
      if (c == '<') inTag = true;
      if (!inTag) plain += c;
      if (c == '>') inTag = false;
    }
    return plain;
  }

  // An attribute's raw value, quoted or not; empty when missing.
  static std::string attribute(const std::string& tag, const char* name) {
    size_t n = std::strlen(name);
    for (size_t i = 0; i < tag.size(); ++i) {
      bool boundary = i > 0 && std::isspace(static_cast<unsigned char>(tag[i - 1]));
      if (!boundary || !startsWithNoCase(tag, i, name)) continue;
      size_t j = i + n;
      while (j < tag.size() && std::isspace(static_cast<unsigned char>(tag[j]))) ++j;
      if (j >= tag.size() || tag[j] != '=') continue;
      ++j;
      while (j < tag.size() && std::isspace(static_cast<unsigned char>(tag[j]))) ++j;
      if (j < tag.size() && (tag[j] == '"' || tag[j] == '\'')) {
        size_t end = tag.find(tag[j], j + 1);
        return tag.substr(j + 1, end == std::string::npos ? std::string::npos : end - j - 1);
      }
      size_t end = j;
      while (end < tag.size() && !std::isspace(static_cast<unsigned char>(tag[end]))) ++end;
      return tag.substr(j, end - j);
    }
    return std::string();
  }

  // The text of raw HTML, trimmed, with its references resolved.
  String text(const std::string& raw, size_t tagStart) const {
    std::string s = unescape(raw);
    size_t first = 0, last = s.size();
    while (first < last && std::isspace(static_cast<unsigned char>(s[first]))) ++first;
    while (last > first && std::isspace(static_cast<unsigned char>(s[last - 1]))) --last;
    std::u16string units = vwt::platform::utf16FromUtf8(s.substr(first, last - first));
    if (units.size() > static_cast<size_t>(MAX_TEXT)) fail(TEXT_TOO_LONG, tagStart);
    return toString(units);
  }

  const std::string& html_;
};

// ---- merging into the flat list

int subtreeEnd(const std::vector<String>& list, int n) {
  if (n < 0) return static_cast<int>(list.size());
  int level = Bookmarks::levelOf(list[n + 1]);
  int i = n + 2;
  while (i + 1 < static_cast<int>(list.size()) && Bookmarks::levelOf(list[i + 1]) > level) i += 2;
  return i;
}

int depth(const std::vector<String>& list, int n) { return n < 0 ? -1 : Bookmarks::levelOf(list[n + 1]); }

// The child of parent with that title (and address, for a link), or -1.
int findChild(const std::vector<String>& list, int parent, const Node& node) {
  int level = depth(list, parent) + 1;
  int end = subtreeEnd(list, parent);
  for (int i = parent < 0 ? 0 : parent + 2; i < end; i += 2) {
    const String& entry = list[i + 1];
    if (Bookmarks::levelOf(entry) != level || !list[i].equals(node.title)) continue;
    if (node.folder ? Bookmarks::isFolderEntry(entry)
                    : !Bookmarks::isFolderEntry(entry) && Bookmarks::urlOf(entry).equals(node.url))
      return i;
  }
  return -1;
}

// Adds what the list lacks; *links counts the links added.
void merge(std::vector<String>& list, int parent, const std::vector<Node>& nodes, int* links) {
  for (const Node& node : nodes) {
    int at = findChild(list, parent, node);
    if (at < 0) {
      at = subtreeEnd(list, parent);
      String entry = (u"I"_s + (depth(list, parent) + 1) + u",") + (node.folder ? String(u"f:"_s) : node.url);
      list.insert(list.begin() + at, {node.title, entry});
      if (!node.folder) ++*links;
    }
    if (node.folder) merge(list, at, node.children, links);
  }
}

}  // namespace

std::string BookmarkFile::write(const Bookmarks& marks) {
  std::string title = escape(toUtf8(Resource::getString(PAGE_TITLE)));
  std::string out = std::string(DOCTYPE) + "\n";
  out += "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=UTF-8\">\n";
  out += "<TITLE>" + title + "</TITLE>\n<H1>" + title + "</H1>\n<DL><p>\n";
  // The levels of the folders open at the moment: a node goes inside every
  // folder of a lower level before it.
  std::vector<int> open;
  auto indent = [&](size_t extra) { return std::string(4 * (open.size() + extra), ' '); };
  for (int n = 0; n + 1 < marks.size(); n += 2) {
    int level = marks.depth(n);
    while (!open.empty() && level <= open.back()) {
      open.pop_back();
      out += indent(1) + "</DL><p>\n";
    }
    std::string name = escape(toUtf8(marks.getTitle(n)));
    if (marks.isFolder(n)) {
      out += indent(1) + "<DT><H3>" + name + "</H3>\n";
      out += indent(1) + "<DL><p>\n";
      open.push_back(level);
    } else {
      out += indent(1) + "<DT><A HREF=\"" + escape(toUtf8(marks.getUrl(n))) + "\">" + name + "</A>\n";
    }
  }
  while (!open.empty()) {
    open.pop_back();
    out += indent(1) + "</DL><p>\n";
  }
  out += "</DL><p>\n";
  return out;
}

int BookmarkFile::read(const std::string& html, Bookmarks& marks) {
  std::vector<Node> tree = Parser(html).parse();
  std::vector<String> list = marks.getEntries();
  list.resize(list.size() - list.size() % 2);
  int before = static_cast<int>(list.size()) / 2;
  int links = 0;
  merge(list, -1, tree, &links);
  int added = static_cast<int>(list.size()) / 2 - before;
  if (before + added > Bookmarks::CAPACITY)
    throw Exception(Resource::getString(NO_ROOM, String(added), String(Bookmarks::CAPACITY - before)));
  VectorV<String> all(static_cast<int>(list.size()) + 1);
  for (const String& s : list) all.addElement(s);
  marks.replaceAll(all);
  return links;
}

void BookmarkFile::writeFile(const String& path, const Bookmarks& marks) {
  std::string html = write(marks);
  try {
    FileOutputStream out(path);
    out.write(html.data(), 0, static_cast<int>(html.size()));
    out.close();
  } catch (const Exception& e) {
    throw Exception(Resource::getString(CANNOT_WRITE, path, e.getRawMessage()));
  }
}

int BookmarkFile::readFile(const String& path, Bookmarks& marks) {
  std::string html;
  bool tooLarge = false;
  try {
    FileInputStream in(path);
    char buffer[8192];
    int n;
    while (!tooLarge && (n = in.read(buffer, 0, sizeof buffer)) > 0) {
      tooLarge = html.size() + n > static_cast<size_t>(MAX_FILE_BYTES);
      if (!tooLarge) html.append(buffer, n);
    }
  } catch (const Exception& e) {
    throw Exception(Resource::getString(CANNOT_READ, path, e.getRawMessage()));
  }
  if (tooLarge) throw Exception(Resource::getString(FILE_TOO_LARGE, path, String(MAX_FILE_BYTES)));
  return read(html, marks);
}
