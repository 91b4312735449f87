#include "service/html/PageContainer.h"

#include <algorithm>
#include <cstring>

#include "service/html/PageElements.h"
#include "service/html/PageUrl.h"

namespace vesk {

namespace {

constexpr size_t MAX_STYLE_SHEET_BYTES = 512 * 1024;
constexpr size_t MAX_STYLE_BYTES = 2 * 1024 * 1024;
constexpr int MAX_STYLE_SHEETS = 32;
constexpr int CLIENT_HEIGHT = 320;
constexpr int32_t NO_COLOR = static_cast<int32_t>(0x80000000);

int32_t rgb(const litehtml::web_color& c) { return (c.red << 16) | (c.green << 8) | c.blue; }

bool isSpace(uint32_t cp) { return cp == ' ' || cp == '\t' || cp == '\n' || cp == '\r' || cp == '\f'; }

// Alphabetic and roman numbering of list items.
std::string markerText(litehtml::list_style_type type, int index) {
  using namespace litehtml;
  index = std::clamp(index, 1, 99999);
  switch (type) {
    case list_style_type_lower_alpha:
    case list_style_type_lower_latin:
    case list_style_type_upper_alpha:
    case list_style_type_upper_latin: {
      char first = (type == list_style_type_upper_alpha || type == list_style_type_upper_latin) ? 'A' : 'a';
      std::string s;
      for (int n = index; n > 0; n = (n - 1) / 26)
        s.insert(s.begin(), static_cast<char>(first + (n - 1) % 26));
      return s + ".";
    }
    case list_style_type_lower_roman:
    case list_style_type_upper_roman: {
      static const int VALUES[] = {1000, 900, 500, 400, 100, 90, 50, 40, 10, 9, 5, 4, 1};
      static const char* UPPER[] = {"M", "CM", "D", "CD", "C", "XC", "L", "XL", "X", "IX", "V", "IV", "I"};
      static const char* LOWER[] = {"m", "cm", "d", "cd", "c", "xc", "l", "xl", "x", "ix", "v", "iv", "i"};
      std::string s;
      int n = std::min(index, 3999);
      for (int k = 0; k < 13; ++k) {
        while (n >= VALUES[k]) {
          s += type == list_style_type_upper_roman ? UPPER[k] : LOWER[k];
          n -= VALUES[k];
        }
      }
      return s + ".";
    }
    case list_style_type_decimal_leading_zero:
      return (index < 10 ? "0" : "") + std::to_string(index) + ".";
    default:
      return std::to_string(index) + ".";
  }
}

}  // namespace

PageContainer::PageContainer(const ClientMetrics& metrics, const std::string& url, PictureStore& pictures,
                             ResourceLoader& loader)
    : text_(metrics),
      width_(std::clamp(metrics.width, 16, 4096)),
      url_(url),
      base_(url),
      pictures_(pictures),
      loader_(loader) {
  drawn_.reserve(1024);
}

std::string PageContainer::resolve(const std::string& ref) const { return PageUrl::resolve(base_, ref); }

const PageContainer::Font& PageContainer::font(litehtml::uint_ptr handle) const {
  static const Font NONE;
  if (handle == 0 || handle > fonts_.size()) return NONE;
  return fonts_[handle - 1];
}

void PageContainer::add(RenderItem item, const litehtml::element* source, DrawnItem::Kind kind,
                        const std::string& url) {
  DrawnItem d;
  d.kind = kind;
  d.url = url;
  d.item = std::move(item);
  d.link = links_.empty() ? nullptr : links_.back();
  d.source = source;
  drawn_.push_back(std::move(d));
}

litehtml::uint_ptr PageContainer::create_font(const litehtml::tchar_t*, int size, int weight,
                                              litehtml::font_style, unsigned int decoration,
                                              litehtml::font_metrics* fm) {
  Font f;
  f.size = std::clamp(size, 1, 256);
  f.bold = weight >= 600;
  f.underline = (decoration & litehtml::font_decoration_underline) != 0;
  f.strike = (decoration & litehtml::font_decoration_linethrough) != 0;
  fonts_.push_back(f);
  if (fm) {
    fm->ascent = text_.ascent(f.size);
    fm->descent = text_.descent(f.size);
    fm->height = fm->ascent + fm->descent;
    fm->x_height = std::max(1, fm->ascent / 2);
    fm->draw_spaces = true;
  }
  return fonts_.size();
}

void PageContainer::delete_font(litehtml::uint_ptr) {}

int PageContainer::text_width(const litehtml::tchar_t* text, litehtml::uint_ptr handle) {
  const Font& f = font(handle);
  return text_.textWidth(text ? text : "", f.size, f.bold);
}

void PageContainer::draw_text(litehtml::uint_ptr, const litehtml::tchar_t* text, litehtml::uint_ptr handle,
                              litehtml::web_color color, const litehtml::position& pos) {
  if (!text || !*text || color.alpha == 0) return;
  const Font& f = font(handle);
  int32_t flags = (f.underline ? 0x1 : 0) | (f.bold ? 0x2 : 0) | (f.strike ? 0x4 : 0);
  int height = text_.lineHeight(f.size);
  bool blank = true;
  for (const char* p = text; *p && blank; ++p) blank = isSpace(static_cast<unsigned char>(*p));
  const litehtml::element* link = links_.empty() ? nullptr : links_.back();
  if (!drawn_.empty()) {
    DrawnItem& last = drawn_.back();
    RenderItem& run = last.item;
    if (last.kind == DrawnItem::PLAIN && run.type == TEXT && last.link == link && run.y == pos.y &&
        run.height == height && run.color == rgb(color) && run.flags == flags && run.x + run.width == pos.x) {
      run.text += text;
      run.width += pos.width;
      if (!last.inked && blank) last.leading += pos.width;
      last.trailing = blank ? last.trailing + pos.width : 0;
      last.inked = last.inked || !blank;
      return;
    }
  }
  RenderItem it;
  it.type = TEXT;
  it.x = pos.x;
  it.y = pos.y;
  it.width = pos.width;
  it.height = height;
  it.color = rgb(color);
  it.text = text;
  it.flags = flags;
  add(std::move(it), nullptr);
  DrawnItem& d = drawn_.back();
  d.inked = !blank;
  d.leading = d.trailing = blank ? pos.width : 0;
}

int PageContainer::pt_to_px(int pt) const { return pt * 4 / 3; }

int PageContainer::get_default_font_size() const { return text_.baseSize(); }

const litehtml::tchar_t* PageContainer::get_default_font_name() const { return "sans-serif"; }

void PageContainer::draw_list_marker(litehtml::uint_ptr, const litehtml::list_marker& marker) {
  using namespace litehtml;
  RenderItem it;
  it.color = rgb(marker.color);
  switch (marker.marker_type) {
    case list_style_type_none:
      return;
    case list_style_type_disc:
    case list_style_type_square:
    case list_style_type_circle:
      it.type = marker.marker_type == list_style_type_circle ? RECT : FILLED_RECT;
      it.x = marker.pos.x;
      it.y = marker.pos.y;
      it.width = std::max(2, marker.pos.width);
      it.height = std::max(2, marker.pos.height);
      break;
    default: {
      // Numbers end where the marker box ends, on the baseline of the item's first line.
      const Font& f = font(marker.font);
      it.type = TEXT;
      it.text = markerText(marker.marker_type, marker.index);
      it.width = text_.textWidth(it.text, f.size, f.bold);
      it.height = text_.lineHeight(f.size);
      it.x = std::max(0, marker.pos.right() - it.width);
      it.y = marker.pos.bottom() - text_.ascent(f.size);
      break;
    }
  }
  add(std::move(it), nullptr);
}

void PageContainer::load_image(const litehtml::tchar_t* src, const litehtml::tchar_t* baseurl, bool) {
  if (!src || !*src) return;
  pictures_.request(PageUrl::resolve(baseurl && *baseurl ? baseurl : base_, src));
}

void PageContainer::get_image_size(const litehtml::tchar_t* src, const litehtml::tchar_t* baseurl,
                                   litehtml::size& sz) {
  sz.width = sz.height = 0;
  if (!src || !*src) return;
  int w = 0, h = 0;
  if (pictures_.naturalSize(PageUrl::resolve(baseurl && *baseurl ? baseurl : base_, src), w, h)) {
    sz.width = w;
    sz.height = h;
  }
}

void PageContainer::draw_background(litehtml::uint_ptr, const litehtml::background_paint& bg) {
  bool image = !bg.image.empty() && bg.image_size.width > 0 && bg.image_size.height > 0;
  if (bg.is_root || drawingBody_) {
    // The page's own colour: the handset fills the whole view with it.
    if (bg.color.alpha != 0) background_ = rgb(bg.color);
    return;
  }
  if ((bg.color.alpha == 0 && !image) || bg.border_box.width <= 0 || bg.border_box.height <= 0) return;
  RenderItem it;
  it.type = BOX;
  it.x = bg.border_box.x;
  it.y = bg.border_box.y;
  it.width = bg.border_box.width;
  it.height = bg.border_box.height;
  it.color2 = bg.color.alpha != 0 ? rgb(bg.color) : NO_COLOR;
  if (!image) {
    add(std::move(it), nullptr);
    return;
  }
  // The picture's placement inside the box: offsets in the high halves, far edges in the low ones.
  int repeat = 0;
  switch (bg.repeat) {
    case litehtml::background_repeat_repeat_x:
      repeat = 1;
      break;
    case litehtml::background_repeat_repeat_y:
      repeat = 2;
      break;
    case litehtml::background_repeat_no_repeat:
      repeat = 3;
      break;
    default:
      break;
  }
  int left = std::clamp(bg.position_x - it.x, -0x7FFF, 0x7FFF);
  int top = std::clamp(bg.position_y - it.y, -0x7FFF, 0x7FFF);
  int right = std::clamp(left + bg.image_size.width, 0, 0xFFFF);
  int bottom = std::clamp(top + bg.image_size.height, 0, 0xFFFF);
  it.flags = 0x10 | (repeat << 12);
  it.param1 = static_cast<int32_t>((static_cast<uint32_t>(left) << 16) | static_cast<uint32_t>(right));
  it.param2 = static_cast<int32_t>((static_cast<uint32_t>(top) << 16) | static_cast<uint32_t>(bottom));
  it.value1 = bg.image_size.width;
  it.value2 = bg.image_size.height;
  add(std::move(it), nullptr, DrawnItem::PICTURE,
      PageUrl::resolve(bg.baseurl.empty() ? base_ : bg.baseurl, bg.image));
}

void PageContainer::draw_borders(litehtml::uint_ptr, const litehtml::borders& borders,
                                 const litehtml::position& pos, bool) {
  const litehtml::border* sides[4] = {&borders.top, &borders.right, &borders.bottom, &borders.left};
  int32_t flags = 0;
  for (int k = 0; k < 4; ++k) {
    const litehtml::border& b = *sides[k];
    if (b.width > 0 && b.style != litehtml::border_style_none && b.style != litehtml::border_style_hidden &&
        b.color.alpha != 0)
      flags |= 1 << k;
  }
  if (!flags || pos.width <= 0 || pos.height <= 0) return;
  RenderItem* box = nullptr;
  // An element draws its background and then its borders: one box carries both.
  if (!drawn_.empty()) {
    RenderItem& last = drawn_.back().item;
    if (last.type == BOX && last.x == pos.x && last.y == pos.y && last.width == pos.width &&
        last.height == pos.height && (last.flags & 0xF) == 0 && drawn_.back().kind != DrawnItem::FRAME)
      box = &last;
  }
  if (!box) {
    RenderItem it;
    it.type = BOX;
    it.x = pos.x;
    it.y = pos.y;
    it.width = pos.width;
    it.height = pos.height;
    it.color2 = NO_COLOR;
    add(std::move(it), nullptr);
    box = &drawn_.back().item;
  }
  box->flags |= flags;
  for (int k = 0; k < 4; ++k) {
    if (!(flags & (1 << k))) continue;
    box->border[k].color = rgb(sides[k]->color);
    box->border[k].width = std::min(sides[k]->width, 0x7FFF);
    box->border[k].style = static_cast<int32_t>(sides[k]->style);
  }
}

void PageContainer::set_caption(const litehtml::tchar_t* caption) {
  if (title_.empty() && caption) title_ = std::string(caption).substr(0, 1024);
}

void PageContainer::set_base_url(const litehtml::tchar_t* base_url) {
  if (base_url && *base_url) base_ = PageUrl::resolve(url_, base_url);
}

std::string PageContainer::fetchStyleSheet(const std::string& url) {
  if (styleSheets_ >= MAX_STYLE_SHEETS || styleBytes_ >= MAX_STYLE_BYTES) return {};
  ++styleSheets_;
  FetchedResource r = loader_.load(url, std::min(MAX_STYLE_SHEET_BYTES, MAX_STYLE_BYTES - styleBytes_));
  if (r.status < 200 || r.status >= 300) return {};
  styleBytes_ += r.body.size();
  return r.body;
}

void PageContainer::link(const std::shared_ptr<litehtml::document>& doc, const litehtml::element::ptr& el) {
  const char* rel = el->get_attr("rel");
  const char* href = el->get_attr("href");
  if (!rel || !href || strcasecmp(rel, "stylesheet") != 0) return;
  std::string url = resolve(href);
  std::string css = fetchStyleSheet(url);
  const char* media = el->get_attr("media");
  if (!css.empty()) doc->add_stylesheet(css.c_str(), url.c_str(), media ? media : nullptr);
}

void PageContainer::on_anchor_click(const litehtml::tchar_t*, const litehtml::element::ptr&) {}

void PageContainer::set_cursor(const litehtml::tchar_t*) {}

void PageContainer::transform_text(litehtml::tstring& text, litehtml::text_transform tt) {
  if (tt == litehtml::text_transform_uppercase) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  } else if (tt == litehtml::text_transform_lowercase) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  } else if (tt == litehtml::text_transform_capitalize && !text.empty()) {
    text[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
  }
}

void PageContainer::import_css(litehtml::tstring& text, const litehtml::tstring& url,
                               litehtml::tstring& baseurl) {
  std::string absolute = PageUrl::resolve(baseurl.empty() ? base_ : baseurl, url);
  text = fetchStyleSheet(absolute);
  baseurl = absolute;
}

void PageContainer::set_clip(const litehtml::position&, const litehtml::border_radiuses&, bool, bool) {}

void PageContainer::del_clip() {}

void PageContainer::get_client_rect(litehtml::position& client) const {
  client = litehtml::position(0, 0, width_, CLIENT_HEIGHT);
}

std::shared_ptr<litehtml::element> PageContainer::create_element(
    const litehtml::tchar_t* tag, const litehtml::string_map& attributes,
    const std::shared_ptr<litehtml::document>& doc) {
  return PageElements::create(tag, attributes, doc, *this);
}

void PageContainer::get_media_features(litehtml::media_features& media) const {
  media.type = litehtml::media_type_screen;
  media.width = media.device_width = width_;
  media.height = media.device_height = CLIENT_HEIGHT;
  media.color = 8;
  media.color_index = 0;
  media.monochrome = 0;
  media.resolution = 96;
}

void PageContainer::get_language(litehtml::tstring& language, litehtml::tstring& culture) const {
  language = "en";
  culture = "";
}

void PageContainer::split_text(const char* text, const std::function<void(const litehtml::tchar_t*)>& on_word,
                               const std::function<void(const litehtml::tchar_t*)>& on_space) {
  // Ideographs break anywhere: each is a word of its own, so Japanese text wraps at the width.
  std::string s(text ? text : ""), word;
  auto flush = [&]() {
    if (!word.empty()) on_word(word.c_str());
    word.clear();
  };
  for (size_t i = 0; i < s.size();) {
    size_t start = i;
    uint32_t cp = TextMetrics::nextCodePoint(s, i);
    std::string ch = s.substr(start, i - start);
    if (isSpace(cp)) {
      flush();
      on_space(ch.c_str());
    } else if (TextMetrics::isWide(cp) || (cp >= 0x3000 && cp <= 0x30FF)) {
      flush();
      on_word(ch.c_str());
    } else {
      word += ch;
    }
  }
  flush();
}

}  // namespace vesk
