#include "service/html/PageElements.h"

#include <el_anchor.h>
#include <el_body.h>
#include <el_image.h>
#include <el_td.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "service/AsciiText.h"
#include "service/html/PageContainer.h"

namespace vesk {

namespace {

using litehtml::element;
using litehtml::position;
using litehtml::uint_ptr;

constexpr size_t MAX_ATTRIBUTE_BYTES = 16 * 1024;
constexpr size_t MAX_VALUE_BYTES = 4096;
constexpr int MAX_DECLARED_SIDE = 4096;
constexpr int MAX_SPAN = 64;
constexpr int MAX_OPTIONS = 512;

int intAttribute(const element& el, const char* name, int fallback, int lo, int hi) {
  const char* v = el.get_attr(name);
  if (!v || !*v) return fallback;
  char* end = nullptr;
  long n = std::strtol(v, &end, 10);
  if (end == v) return fallback;
  return static_cast<int>(std::clamp<long>(n, lo, hi));
}

std::string attribute(const element& el, const char* name, const char* fallback = "") {
  const char* v = el.get_attr(name);
  return std::string(v ? v : fallback).substr(0, MAX_VALUE_BYTES);
}

// Values a page gives are cut to a bounded length; sizes and spans litehtml allocates from are clamped.
std::string boundedValue(const std::string& name, const char* value) {
  std::string v(value ? value : "");
  if (v.size() > MAX_ATTRIBUTE_BYTES) v.resize(MAX_ATTRIBUTE_BYTES);
  if (name == "colspan" || name == "rowspan") {
    long n = std::strtol(v.c_str(), nullptr, 10);
    v = std::to_string(std::clamp<long>(n, 1, name == "colspan" ? MAX_SPAN : MAX_SPAN * 4));
  } else if (name == "width" || name == "height") {
    char* end = nullptr;
    long n = std::strtol(v.c_str(), &end, 10);
    if (end != v.c_str() && n > MAX_DECLARED_SIDE) v = std::to_string(MAX_DECLARED_SIDE) + end;
  }
  return v;
}

template <class Base>
class Bounded : public Base {
 public:
  explicit Bounded(const std::shared_ptr<litehtml::document>& doc) : Base(doc) {}
  void set_attr(const char* name, const char* value) override {
    if (!name) return;
    Base::set_attr(name, boundedValue(asciiLower(name), value).c_str());
  }
};

PageContainer& containerOf(const element& el) {
  return *static_cast<PageContainer*>(el.get_document()->container());
}

class AnchorElement : public Bounded<litehtml::el_anchor> {
 public:
  using Bounded::Bounded;
  void draw(uint_ptr hdc, int x, int y, const position* clip) override {
    PageContainer& c = containerOf(*this);
    c.pushLink(this);
    Bounded::draw(hdc, x, y, clip);
    c.popLink();
  }
  void draw_children(uint_ptr hdc, int x, int y, const position* clip, litehtml::draw_flag flag,
                     int zindex) override {
    PageContainer& c = containerOf(*this);
    c.pushLink(this);
    Bounded::draw_children(hdc, x, y, clip, flag, zindex);
    c.popLink();
  }
};

class BodyElement : public Bounded<litehtml::el_body> {
 public:
  using Bounded::Bounded;
  void draw(uint_ptr hdc, int x, int y, const position* clip) override {
    PageContainer& c = containerOf(*this);
    c.setDrawingBody(true);
    Bounded::draw(hdc, x, y, clip);
    c.setDrawingBody(false);
  }
};

class PictureElement : public Bounded<litehtml::el_image> {
 public:
  using Bounded::Bounded;
  void draw(uint_ptr hdc, int x, int y, const position* clip) override {
    // Background and borders as any element; the picture itself becomes an item.
    litehtml::html_tag::draw(hdc, x, y, clip);
    position pos = this->m_pos;
    pos.x += x;
    pos.y += y;
    if (pos.width <= 0 || pos.height <= 0) return;
    PageContainer& c = containerOf(*this);
    RenderItem it;
    it.type = IMAGE;
    it.x = pos.x;
    it.y = pos.y;
    it.width = pos.width;
    it.height = pos.height;
    it.text = attribute(*this, "alt");
    std::string src = attribute(*this, "src");
    it.name = src.empty() ? std::string() : c.resolve(src);
    std::string map = attribute(*this, "usemap");
    it.extra = map.empty() || map[0] != '#' ? map : map.substr(1);
    if (this->get_attr("ismap")) it.flags |= 0x10;
    std::string url = it.name;
    c.add(std::move(it), this, DrawnItem::PICTURE, url);
  }
};

// A form control, frame or embedded object: a box of its own size that draws one item and none of
// its content.
class BoxElement : public Bounded<litehtml::html_tag> {
 public:
  BoxElement(const std::shared_ptr<litehtml::document>& doc, const std::string& tag)
      : Bounded(doc), tag_(tag) {}

  const char* get_attr(const char* name, const char* def = nullptr) const override {
    if (name && std::strcmp(name, "style") == 0 && !style_.empty()) return style_.c_str();
    return Bounded::get_attr(name, def);
  }
  void parse_attributes() override {
    Bounded::parse_attributes();
    const char* own = Bounded::get_attr("style");
    style_ = std::string(own ? own : "") + ";" + sizeStyle();
  }
  void draw(uint_ptr hdc, int x, int y, const position* clip) override {
    litehtml::html_tag::draw(hdc, x, y, clip);
    position pos = m_pos;
    pos.x += x;
    pos.y += y;
    record(pos);
  }
  void draw_children(uint_ptr, int, int, const position*, litehtml::draw_flag, int) override {}

  int type() const;

 private:
  std::string sizeStyle();
  void record(const position& pos);
  std::string label() const;

  std::string tag_;
  std::string style_;
};

std::string BoxElement::label() const {
  std::string type = asciiLower(Bounded::get_attr("type"));
  if (tag_ == "button") return PageElements::text(*this);
  const char* value = Bounded::get_attr("value");
  if (value) return std::string(value).substr(0, MAX_VALUE_BYTES);
  if (type == "reset") return "Reset";
  if (type == "file") return "Browse...";
  return type == "button" ? "" : "Submit";
}

int BoxElement::type() const {
  if (tag_ == "textarea") return TEXT_AREA;
  if (tag_ == "button") return BUTTON;
  if (tag_ == "select") {
    return Bounded::get_attr("multiple") || intAttribute(*this, "size", 1, 1, 100) > 1 ? LIST : SELECT;
  }
  if (tag_ != "input") return 0;
  std::string type = asciiLower(Bounded::get_attr("type"));
  if (type == "hidden") return HIDDEN_FIELD;
  if (type == "password") return PASSWORD_FIELD;
  if (type == "checkbox") return CHECKBOX;
  if (type == "radio") return RADIO;
  if (type == "submit" || type == "reset" || type == "button" || type == "file") return BUTTON;
  if (type == "image") return IMAGE_BUTTON;
  return TEXT_FIELD;
}

std::string BoxElement::sizeStyle() {
  PageContainer& c = containerOf(*this);
  const TextMetrics& m = c.text();
  int lh = m.lineHeight(m.baseSize());
  int digit = std::max(1, m.charWidth('0'));
  int maxWidth = std::max(16, c.width() - 4);
  int w = 0, h = lh + 6;
  if (tag_ == "iframe" || tag_ == "object" || tag_ == "embed") {
    w = intAttribute(*this, "width", tag_ == "iframe" ? maxWidth : 120, 1, MAX_DECLARED_SIDE);
    h = intAttribute(*this, "height", tag_ == "iframe" ? 150 : 90, 1, MAX_DECLARED_SIDE);
    const char* pw = Bounded::get_attr("width");
    if (pw && std::strchr(pw, '%')) w = maxWidth * std::clamp(std::atoi(pw), 1, 100) / 100;
    w = std::min(w, maxWidth);
  } else {
    switch (type()) {
      case HIDDEN_FIELD:
        return "display:none";
      case CHECKBOX:
      case RADIO:
        w = h = 12;
        break;
      case BUTTON:
        w = m.textWidth(label(), m.baseSize(), false) + 12;
        break;
      case IMAGE_BUTTON: {
        w = intAttribute(*this, "width", 0, 1, MAX_DECLARED_SIDE);
        h = intAttribute(*this, "height", 0, 1, MAX_DECLARED_SIDE);
        int nw = 0, nh = 0;
        std::string src = attribute(*this, "src");
        if ((!w || !h) && !src.empty() && c.pictures().naturalSize(c.resolve(src), nw, nh)) {
          if (!w) w = nw;
          if (!h) h = nh;
        }
        if (!w) w = 24;
        if (!h) h = 24;
        break;
      }
      case SELECT:
      case LIST: {
        int widest = 0, count = 0;
        for (size_t i = 0; i < get_children_count(); ++i) {
          element::ptr child = get_child(static_cast<int>(i));
          std::vector<element::ptr> options{child};
          if (asciiLower(child->get_tagName()) == "optgroup") {
            options.clear();
            for (size_t k = 0; k < child->get_children_count(); ++k)
              options.push_back(child->get_child(static_cast<int>(k)));
          }
          for (const auto& o : options) {
            if (asciiLower(o->get_tagName()) != "option") continue;
            widest = std::max(widest, m.textWidth(PageElements::text(*o), m.baseSize(), false));
            ++count;
          }
        }
        w = widest + 6 + 14;
        if (type() == LIST) {
          int rows = intAttribute(*this, "size", 4, 1, 100);
          if (rows < 2) rows = std::clamp(count, 2, 4);
          w += 12;
          h = rows * (lh + 1) + 2;
        }
        break;
      }
      case TEXT_AREA:
        w = intAttribute(*this, "cols", 20, 1, 1000) * digit + 18;
        h = intAttribute(*this, "rows", 2, 1, 1000) * lh + 6;
        break;
      default:
        w = intAttribute(*this, "size", 20, 1, 1000) * digit + 6;
        break;
    }
    w = std::min(std::max(w, 12), maxWidth);
    h = std::min(h, MAX_DECLARED_SIDE);
  }
  return "display:inline-block;overflow:hidden;vertical-align:middle;width:" + std::to_string(w) +
         "px;height:" + std::to_string(h) + "px";
}

void BoxElement::record(const position& pos) {
  PageContainer& c = containerOf(*this);
  RenderItem it;
  it.x = pos.x;
  it.y = pos.y;
  it.width = pos.width;
  it.height = pos.height;
  if (tag_ == "iframe") {
    it.type = PLACEHOLDER;
    std::string src = attribute(*this, "src");
    c.add(std::move(it), this, DrawnItem::FRAME, src.empty() ? std::string() : c.resolve(src));
    return;
  }
  if (tag_ == "object" || tag_ == "embed") {
    it.type = OBJECT;
    std::string src = attribute(*this, tag_ == "object" ? "data" : "src");
    std::string url = src.empty() ? std::string() : c.resolve(src);
    it.text = attribute(*this, "type");
    c.add(std::move(it), this, DrawnItem::OBJECT, url);
    return;
  }
  it.type = type();
  it.name = attribute(*this, "name");
  it.color = 0x000000;
  it.color2 = 0xFFFFFF;
  switch (it.type) {
    case TEXT_FIELD:
    case PASSWORD_FIELD:
      it.text = attribute(*this, "value");
      break;
    case CHECKBOX:
    case RADIO:
      it.text = attribute(*this, "value", "on");
      if (Bounded::get_attr("checked")) it.flags |= 0x4;
      break;
    case BUTTON: {
      it.text = label();
      std::string type = asciiLower(Bounded::get_attr("type"));
      if (type == "reset") {
        it.flags |= 0x100;
      } else if (type == "file") {
        it.flags |= 0x40;
      } else if (type == "submit" || (tag_ == "button" && type != "button")) {
        it.flags |= 0x80;
      }
      break;
    }
    case IMAGE_BUTTON: {
      it.text = attribute(*this, "alt");
      std::string src = attribute(*this, "src");
      c.add(std::move(it), this, DrawnItem::PICTURE, src.empty() ? std::string() : c.resolve(src));
      return;
    }
    case SELECT:
    case LIST: {
      std::vector<element::ptr> options;
      for (size_t i = 0; i < get_children_count(); ++i) {
        element::ptr child = get_child(static_cast<int>(i));
        if (asciiLower(child->get_tagName()) == "optgroup") {
          for (size_t k = 0; k < child->get_children_count(); ++k)
            options.push_back(child->get_child(static_cast<int>(k)));
        } else {
          options.push_back(child);
        }
      }
      for (const auto& o : options) {
        if (asciiLower(o->get_tagName()) != "option" || it.labels.size() >= static_cast<size_t>(MAX_OPTIONS))
          continue;
        std::string label = PageElements::text(*o);
        it.labels.push_back(label);
        const char* v = o->get_attr("value");
        it.values.push_back(v ? std::string(v).substr(0, MAX_VALUE_BYTES) : label);
        bool selected = o->get_attr("selected") != nullptr;
        if (selected && it.value2 == 0 &&
            std::find(it.selected.begin(), it.selected.end(), true) == it.selected.end())
          it.value2 = static_cast<int32_t>(it.selected.size());
        it.selected.push_back(selected);
      }
      if (it.type == SELECT && !it.selected.empty() &&
          std::find(it.selected.begin(), it.selected.end(), true) == it.selected.end())
        it.selected[0] = true;
      it.value1 = it.value2;
      if (it.type == LIST && Bounded::get_attr("multiple")) it.flags |= 0x8;
      break;
    }
    case TEXT_AREA: {
      std::string text;
      const_cast<BoxElement*>(this)->get_text(text);
      if (!text.empty() && text[0] == '\n') text.erase(0, 1);
      it.text = text.substr(0, 64 * 1024);
      break;
    }
    default:
      return;
  }
  c.add(std::move(it), this);
}

}  // namespace

std::shared_ptr<element> PageElements::create(const char* tagName, const litehtml::string_map&,
                                              const std::shared_ptr<litehtml::document>& doc,
                                              PageContainer&) {
  std::string tag = asciiLower(tagName);
  if (tag == "a") return std::make_shared<AnchorElement>(doc);
  if (tag == "img") return std::make_shared<PictureElement>(doc);
  if (tag == "body") return std::make_shared<BodyElement>(doc);
  if (tag == "td" || tag == "th") return std::make_shared<Bounded<litehtml::el_td>>(doc);
  if (tag == "input" || tag == "select" || tag == "textarea" || tag == "button" || tag == "iframe" ||
      tag == "object" || tag == "embed")
    return std::make_shared<BoxElement>(doc, tag);
  return nullptr;
}

int PageElements::controlType(const element& el) {
  const auto* box = dynamic_cast<const BoxElement*>(&el);
  return box ? box->type() : 0;
}

std::string PageElements::text(const element& el) {
  std::string raw;
  const_cast<element&>(el).get_text(raw);
  std::string out;
  bool space = false;
  for (char ch : raw) {
    bool ws = ch == ' ' || ch == '\n' || ch == '\t' || ch == '\r' || ch == '\f';
    if (ws) {
      space = !out.empty();
      continue;
    }
    if (space) out += ' ';
    space = false;
    out += ch;
    if (out.size() >= MAX_VALUE_BYTES) break;
  }
  return out;
}

}  // namespace vesk
