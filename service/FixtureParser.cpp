#include "service/FixtureParser.h"

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <utility>
#include <vector>

#include "service/ProtocolError.h"

namespace vesk {

namespace {

constexpr size_t MAX_FILE_BYTES = 16u << 20;

struct Field {
  std::string key, value;
};

struct Line {
  std::string keyword;
  std::string word;  // item type after "item"/"struct"
  std::vector<Field> fields;
};

void appendUtf8(std::string& out, unsigned cp) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

// Splits one line; throws std::string with the reason.
Line tokenize(const std::string& s) {
  Line line;
  size_t i = 0;
  auto skipSpace = [&] {
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t' || s[i] == '\r')) ++i;
  };
  auto bare = [&] {
    size_t st = i;
    while (i < s.size() && s[i] != ' ' && s[i] != '\t' && s[i] != '\r' && s[i] != '=') ++i;
    return s.substr(st, i - st);
  };
  skipSpace();
  if (i < s.size() && s[i] == '#') return line;  // a comment line
  line.keyword = bare();
  skipSpace();
  if (line.keyword == "item" || line.keyword == "struct") {
    line.word = bare();
    skipSpace();
  }
  while (i < s.size()) {
    if (s[i] == '#') break;
    Field f;
    f.key = bare();
    if (f.key.empty() || i >= s.size() || s[i] != '=')
      throw std::string("expected key=value near '" + s.substr(i) + "'");
    ++i;
    if (i < s.size() && s[i] == '"') {
      ++i;
      bool closed = false;
      while (i < s.size()) {
        char c = s[i++];
        if (c == '"') {
          closed = true;
          break;
        }
        if (c != '\\') {
          f.value.push_back(c);
          continue;
        }
        if (i >= s.size()) break;
        char e = s[i++];
        switch (e) {
          case 'n':
            f.value.push_back('\n');
            break;
          case 't':
            f.value.push_back('\t');
            break;
          case '"':
            f.value.push_back('"');
            break;
          case '\\':
            f.value.push_back('\\');
            break;
          case 'u': {
            if (i + 4 > s.size()) throw std::string("short \\u escape");
            char* end = nullptr;
            std::string hex = s.substr(i, 4);
            unsigned long cp = std::strtoul(hex.c_str(), &end, 16);
            if (end != hex.c_str() + 4) throw std::string("bad \\u escape");
            appendUtf8(f.value, static_cast<unsigned>(cp));
            i += 4;
            break;
          }
          default:
            throw std::string("unknown escape \\") + e;
        }
      }
      if (!closed) throw std::string("unterminated string");
    } else {
      size_t st = i;
      while (i < s.size() && s[i] != ' ' && s[i] != '\t' && s[i] != '\r') ++i;
      f.value = s.substr(st, i - st);
    }
    line.fields.push_back(std::move(f));
    skipSpace();
  }
  return line;
}

int32_t number(const std::string& v) {
  if (v.empty()) throw std::string("empty number");
  errno = 0;
  char* end = nullptr;
  long long n;
  if (v.size() > 2 && v[0] == '0' && (v[1] == 'x' || v[1] == 'X')) {
    n = static_cast<long long>(std::strtoull(v.c_str() + 2, &end, 16));
    if (n > 0xFFFFFFFFLL) throw std::string("number out of range: " + v);
    if (*end != '\0' || errno != 0) throw std::string("bad number: " + v);
    return static_cast<int32_t>(static_cast<uint32_t>(n));
  }
  n = std::strtoll(v.c_str(), &end, 10);
  if (*end != '\0' || errno != 0 || n < INT32_MIN || n > INT32_MAX) throw std::string("bad number: " + v);
  return static_cast<int32_t>(n);
}

std::vector<std::string> splitList(const std::string& v) {
  std::vector<std::string> parts;
  std::string cur;
  for (char c : v) {
    if (c == ',') {
      parts.push_back(cur);
      cur.clear();
    } else {
      cur.push_back(c);
    }
  }
  parts.push_back(cur);
  return parts;
}

std::string fromHex(const std::string& h) {
  if (h.size() % 2) throw std::string("odd hex length");
  std::string out;
  for (size_t i = 0; i < h.size(); i += 2) {
    char* end = nullptr;
    std::string b = h.substr(i, 2);
    long v = std::strtol(b.c_str(), &end, 16);
    if (end != b.c_str() + 2) throw std::string("bad hex");
    out.push_back(static_cast<char>(v));
  }
  return out;
}

// Deterministic filler bytes for pages that need an image of a given size.
std::string pattern(int32_t n) {
  if (n < 0 || static_cast<size_t>(n) > MAX_FILE_BYTES) throw std::string("bad size");
  std::string out(static_cast<size_t>(n), '\0');
  uint32_t x = 2463534242u;
  for (auto& c : out) {
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    c = static_cast<char>(x);
  }
  return out;
}

struct PendingRefs {
  bool structure;
  size_t index;
  std::vector<std::string> names;
};

}  // namespace

FixtureParser::FixtureParser(std::string folder, std::string name)
    : folder_(std::move(folder)), name_(std::move(name)) {}

int FixtureParser::typeCode(const std::string& w) {
  static const std::map<std::string, int> names = {{"TEXT", TEXT},
                                                   {"IMAGE", IMAGE},
                                                   {"PLACEHOLDER", PLACEHOLDER},
                                                   {"LINE", LINE},
                                                   {"RECT", RECT},
                                                   {"FILLED_RECT", FILLED_RECT},
                                                   {"TILED_IMAGE", TILED_IMAGE},
                                                   {"BUTTON", BUTTON},
                                                   {"TEXT_FIELD", TEXT_FIELD},
                                                   {"PASSWORD_FIELD", PASSWORD_FIELD},
                                                   {"CHECKBOX", CHECKBOX},
                                                   {"RADIO", RADIO},
                                                   {"SELECT", SELECT},
                                                   {"LIST", LIST},
                                                   {"TEXT_AREA", TEXT_AREA},
                                                   {"IMAGE_BUTTON", IMAGE_BUTTON},
                                                   {"HIDDEN_FIELD", HIDDEN_FIELD},
                                                   {"ANCHOR", ANCHOR},
                                                   {"BOX", BOX},
                                                   {"OBJECT", OBJECT},
                                                   {"LINK", LINK},
                                                   {"CONTROL", CONTROL},
                                                   {"FORM", FORM},
                                                   {"AREA", AREA}};
  auto it = names.find(w);
  if (it != names.end()) return it->second;
  try {
    int32_t n = number(w);
    return (n >= -128 && n <= 255) ? n : -1;
  } catch (const std::string&) {
    return -1;
  }
}

Page FixtureParser::parse(const std::string& text) const {
  Page page;
  std::map<std::string, std::pair<bool, size_t>> ids;
  std::vector<PendingRefs> pending;
  int lineNo = 0;

  auto readFile = [&](const std::string& rel) {
    if (rel.empty() || rel[0] == '/' || rel.find("..") != std::string::npos)
      throw std::string("file must stay inside the fixture folder: " + rel);
    std::ifstream in(folder_ + "/" + rel, std::ios::binary);
    if (!in) throw std::string("cannot read " + rel);
    std::ostringstream ss;
    ss << in.rdbuf();
    std::string data = ss.str();
    if (data.size() > MAX_FILE_BYTES) throw std::string("file too large: " + rel);
    return data;
  };
  auto content = [&](const Field& f, std::string& into) {
    if (f.key == "data")
      into = f.value;
    else if (f.key == "hex")
      into = fromHex(f.value);
    else if (f.key == "src" || f.key == "file")
      into = readFile(f.value);
    else if (f.key == "size")
      into = pattern(number(f.value));
    else
      return false;
    return true;
  };

  std::istringstream lines(text);
  std::string raw;
  try {
    while (std::getline(lines, raw)) {
      ++lineNo;
      Line line = tokenize(raw);
      if (line.keyword.empty() || line.keyword[0] == '#') continue;
      const std::string& kw = line.keyword;
      if (kw == "page") {
        for (const auto& f : line.fields) {
          if (f.key == "title")
            page.title = f.value;
          else if (f.key == "url")
            page.url = f.value;
          else if (f.key == "number")
            page.pageNo = number(f.value);
          else if (f.key == "flags")
            page.pageFlags = number(f.value);
          else if (f.key == "background")
            page.background = number(f.value);
          else if (f.key == "width")
            page.width = number(f.value);
          else if (f.key == "height")
            page.height = number(f.value);
          else if (f.key == "memory")
            page.imageMemoryLimit = number(f.value);
          else
            throw std::string("unknown page key " + f.key);
        }
      } else if (kw == "item" || kw == "struct") {
        RenderItem it;
        it.type = typeCode(line.word);
        if (it.type < 0) throw std::string("unknown item type " + line.word);
        bool inStructure = kw == "struct";
        auto& list = inStructure ? page.structure : page.items;
        std::vector<std::string> refNames;
        int32_t extraFlags = 0;
        for (const auto& f : line.fields) {
          const std::string& k = f.key;
          if (k == "x")
            it.x = number(f.value);
          else if (k == "y")
            it.y = number(f.value);
          else if (k == "w" || k == "width")
            it.width = number(f.value);
          else if (k == "h" || k == "height")
            it.height = number(f.value);
          else if (k == "color" || k == "shape")
            it.color = number(f.value);
          else if (k == "color2")
            it.color2 = number(f.value);
          else if (k == "text")
            it.text = f.value;
          else if (k == "name")
            it.name = f.value;
          else if (k == "extra")
            it.extra = f.value;
          else if (k == "image") {
            it.image = number(f.value);
            if (it.type == BOX) extraFlags |= 0x10;
          } else if (k == "param1")
            it.param1 = number(f.value);
          else if (k == "param2")
            it.param2 = number(f.value);
          else if (k == "value1")
            it.value1 = number(f.value);
          else if (k == "value2")
            it.value2 = number(f.value);
          else if (k == "flags")
            it.flags = number(f.value);
          else if (k == "m")
            it.formM = number(f.value);
          else if (k == "e")
            it.formE = number(f.value);
          else if (k == "label")
            it.labels.push_back(f.value);
          else if (k == "ovalue")
            it.values.push_back(f.value);
          else if (k == "selected")
            it.selected.push_back(number(f.value) != 0);
          else if (k == "outline") {
            it.color = number(f.value);
            extraFlags |= 0x40;
          } else if (k == "top" || k == "right" || k == "bottom" || k == "left") {
            int side = k == "top" ? 0 : k == "right" ? 1 : k == "bottom" ? 2 : 3;
            auto parts = splitList(f.value);
            if (parts.size() != 3) throw std::string("a border is colour,width,style");
            it.border[side] = {number(parts[0]), number(parts[1]), number(parts[2])};
            extraFlags |= 1 << side;
          } else if (k == "refs" || k == "ref") {
            for (const auto& p : splitList(f.value))
              if (!p.empty()) refNames.push_back(p);
          } else if (k == "id") {
            if (ids.count(f.value)) throw std::string("duplicate id " + f.value);
            ids[f.value] = {inStructure, list.size()};
          } else {
            throw std::string("unknown item key " + k);
          }
        }
        it.flags |= extraFlags;
        if (!refNames.empty()) pending.push_back({inStructure, list.size(), refNames});
        list.push_back(std::move(it));
      } else if (kw == "frame") {
        FrameInfo fr;
        for (const auto& f : line.fields) {
          if (f.key == "name")
            fr.name = f.value;
          else if (f.key == "value")
            fr.value = number(f.value);
          else
            throw std::string("unknown frame key " + f.key);
        }
        page.frames.push_back(fr);
      } else if (kw == "image") {
        PageImage img;
        bool have = false;
        for (const auto& f : line.fields) {
          if (f.key == "transparent")
            img.transparent = number(f.value);
          else if (content(f, img.bytes))
            have = true;
          else
            throw std::string("unknown image key " + f.key);
        }
        if (!have) throw std::string("image needs file=, hex=, data= or size=");
        page.images.push_back(std::move(img));
      } else if (kw == "file") {
        EmbeddedFile ef;
        for (const auto& f : line.fields) {
          if (f.key == "name")
            ef.name = f.value;
          else if (f.key == "label")
            ef.label = f.value;
          else if (!content(f, ef.data))
            throw std::string("unknown file key " + f.key);
        }
        if (ef.name.empty()) throw std::string("file needs name=");
        page.files.push_back(std::move(ef));
      } else if (kw == "params") {
        for (const auto& f : line.fields)
          if (!content(f, page.fileParams)) throw std::string("unknown params key " + f.key);
      } else if (kw == "cookie") {
        Cookie c;
        for (const auto& f : line.fields) {
          if (f.key == "domain")
            c.domain = f.value;
          else if (f.key == "path")
            c.path = f.value;
          else if (f.key == "name")
            c.name = f.value;
          else if (f.key == "value")
            c.value = f.value;
          else if (f.key == "lifetime")
            c.lifetime = number(f.value);
          else if (f.key == "flags")
            c.flags = number(f.value);
          else if (f.key == "group")
            c.group = number(f.value);
          else
            throw std::string("unknown cookie key " + f.key);
        }
        page.cookies.push_back(c);
      } else if (kw == "command") {
        for (const auto& f : line.fields) {
          if (f.key == "status")
            page.command.status = number(f.value);
          else if (f.key == "message")
            page.command.message = f.value;
          else if (f.key == "argument")
            page.command.argument = f.value;
          else
            throw std::string("unknown command key " + f.key);
        }
      } else {
        throw std::string("unknown directive " + kw);
      }
    }
    lineNo = 0;
    const size_t mainCount = page.items.size();
    for (const auto& p : pending) {
      RenderItem& it = p.structure ? page.structure[p.index] : page.items[p.index];
      for (const auto& r : p.names) {
        auto found = ids.find(r);
        if (found != ids.end())
          it.refs.push_back(
              static_cast<int32_t>(found->second.second + (found->second.first ? mainCount : 0)));
        else
          it.refs.push_back(number(r));
      }
    }
  } catch (const std::string& why) {
    throw ProtocolError(name_ + (lineNo ? ":" + std::to_string(lineNo) : std::string()) + ": " + why);
  }
  return page;
}

}  // namespace vesk
