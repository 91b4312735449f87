#include <litehtml.h>

#include <algorithm>
#include <map>
#include <set>

#include "service/AsciiText.h"
#include "service/html/DefaultStyleSheet.h"
#include "service/html/HtmlEngine.h"
#include "service/html/MarkupBounds.h"
#include "service/html/PageContainer.h"
#include "service/html/PageElements.h"
#include "service/html/PageUrl.h"
#include "service/html/PictureStore.h"

namespace vesk {

namespace {

constexpr size_t MAX_ITEMS = 20000;
constexpr int MAX_FRAMES = 8;
constexpr int MAX_FRAME_DEPTH = 2;
constexpr size_t MAX_FRAME_BYTES = 1024 * 1024;
constexpr size_t MAX_FILES = 4;
constexpr int MAX_PAGE_HEIGHT = 1000000;
constexpr int32_t NO_COLOR = static_cast<int32_t>(0x80000000);
constexpr int32_t FRAME_BORDER = 0x808080;
// Link flag: the link asks for a window of its own.
constexpr int32_t LINK_NEW_WINDOW = 0x4;

// Texts travel with a 16-bit byte count in modified UTF-8 (up to twice as long): cut them at a
// character boundary well below it.
constexpr size_t MAX_TEXT_BYTES = 16000;
constexpr size_t MAX_RUN_BYTES = 2000;
constexpr int MAX_COORDINATE = 1000000;

void cut(std::string& s, size_t max) {
  if (s.size() <= max) return;
  size_t n = max;
  while (n > 0 && (static_cast<unsigned char>(s[n]) & 0xC0) == 0x80) --n;
  s.resize(n);
}

void bound(RenderItem& it) {
  cut(it.text, it.type == TEXT ? MAX_RUN_BYTES : MAX_TEXT_BYTES);
  cut(it.name, MAX_TEXT_BYTES);
  cut(it.extra, MAX_TEXT_BYTES);
  for (auto& s : it.labels) cut(s, MAX_TEXT_BYTES / 4);
  for (auto& s : it.values) cut(s, MAX_TEXT_BYTES / 4);
  it.x = std::clamp(it.x, -MAX_COORDINATE, MAX_COORDINATE);
  it.y = std::clamp(it.y, -MAX_COORDINATE, MAX_COORDINATE);
  it.width = std::clamp(it.width, 0, MAX_COORDINATE);
  it.height = std::clamp(it.height, 0, MAX_COORDINATE);
}

bool isBlank(const std::string& s) { return s.find_first_not_of(" \t\r\n\f") == std::string::npos; }

// Builds one page from a document and the frames it holds; each document is laid out on its own.
class PageAssembler {
 public:
  PageAssembler(Page& page, const ClientMetrics& metrics, ResourceLoader& loader)
      : page_(page), metrics_(metrics), loader_(loader), pictures_(loader, metrics.imageMemoryLimit) {}

  void document(const std::string& html, const std::string& url, int x0, int y0, int width, int clipHeight,
                int depth);
  void finish();

 private:
  struct Link {
    std::string url;
    std::vector<int32_t> items;
    int32_t flags = 0;
  };
  // Forms are told apart by number: the elements are gone once their document is done.
  struct Control {
    int32_t item = -1;
    int form = -1;
  };
  struct Form {
    int id = -1;
    std::string action, name;
    int m = 0;
  };
  struct Area {
    RenderItem item;
    int32_t target = -1;
  };
  struct PendingFrame {
    std::string url;
    int x, y, width, height;
  };

  int32_t addItem(RenderItem item, const litehtml::element* link, PageContainer& container);
  void walk(const litehtml::element::ptr& el, PageContainer& container, int x0, int y0, int level);
  void addFrame(const std::string& url, int32_t firstItem);

  Page& page_;
  const ClientMetrics& metrics_;
  ResourceLoader& loader_;
  PictureStore pictures_;
  int frameCount_ = 0;
  std::vector<Link> links_;
  std::map<const litehtml::element*, size_t> linkIndex_;
  std::map<const litehtml::element*, int32_t> drawnControls_;
  std::map<const litehtml::element*, int> formIds_;
  std::vector<Control> controls_;
  std::vector<Form> forms_;
  std::map<std::string, int32_t> mapTargets_;
  std::vector<std::pair<std::string, std::vector<Area>>> maps_;
  int bottom_ = 0;
};

int32_t PageAssembler::addItem(RenderItem item, const litehtml::element* link, PageContainer& container) {
  if (page_.items.size() >= MAX_ITEMS) return -1;
  int32_t index = static_cast<int32_t>(page_.items.size());
  bottom_ = std::max(bottom_, std::min(MAX_PAGE_HEIGHT, item.y + item.height));
  page_.items.push_back(std::move(item));
  if (link) {
    const char* href = link->get_attr("href");
    std::string ref = href ? href : "";
    if (!isBlank(ref) && asciiLower(ref.c_str()).rfind("javascript:", 0) != 0) {
      auto found = linkIndex_.find(link);
      if (found == linkIndex_.end()) {
        found = linkIndex_.emplace(link, links_.size()).first;
        const char* target = link->get_attr("target");
        // A link meant for a window of its own says so; the handset decides whether it opens one.
        int32_t flags = target && asciiLower(target) == "_blank" ? LINK_NEW_WINDOW : 0;
        links_.push_back({container.resolve(ref), {}, flags});
      }
      links_[found->second].items.push_back(index);
    }
  }
  return index;
}

void PageAssembler::addFrame(const std::string& url, int32_t firstItem) {
  int32_t last = static_cast<int32_t>(page_.items.size()) - 1;
  page_.frames.push_back({url, last >= firstItem ? last : -1});
}

void PageAssembler::document(const std::string& html, const std::string& url, int x0, int y0, int width,
                             int clipHeight, int depth) {
  // Element addresses of an earlier document may come back in this one.
  linkIndex_.clear();
  drawnControls_.clear();
  formIds_.clear();
  ClientMetrics metrics = metrics_;
  metrics.width = width;
  PageContainer container(metrics, url, pictures_, loader_);
  litehtml::context context;
  context.load_master_stylesheet(DefaultStyleSheet::text());
  std::string markup = MarkupBounds::apply(html);
  litehtml::document::ptr doc = litehtml::document::createFromUTF8(markup.c_str(), &container, &context);
  if (!doc || !doc->root()) return;
  if (depth == 0) page_.title = container.title();

  // A frame set: each frame is a page of its own, one below the other.
  litehtml::elements_vector frames = doc->root()->select_all("frame");
  if (!doc->root()->select_all("frameset").empty() && !frames.empty()) {
    int y = y0;
    for (const auto& frame : frames) {
      const char* src = frame->get_attr("src");
      if (!src || depth >= MAX_FRAME_DEPTH || frameCount_ >= MAX_FRAMES) continue;
      ++frameCount_;
      std::string frameUrl = container.resolve(src);
      FetchedResource r = loader_.load(frameUrl, MAX_FRAME_BYTES);
      bottom_ = y;
      document(r.status >= 200 && r.status < 300 ? r.body : std::string(), r.url.empty() ? frameUrl : r.url,
               x0, y, width, -1, depth + 1);
      y = bottom_ + 4;
    }
    return;
  }

  int32_t firstItem = static_cast<int32_t>(page_.items.size());
  doc->render(width);
  doc->draw(0, 0, 0, nullptr);
  if (depth == 0) page_.background = container.background();
  int clipBottom = clipHeight >= 0 ? y0 + clipHeight : MAX_PAGE_HEIGHT;

  std::vector<PictureStore::Use> uses;
  for (const DrawnItem& d : container.drawn()) {
    if (d.kind != DrawnItem::PICTURE || d.url.empty()) continue;
    bool tile = d.item.type == BOX;
    uses.push_back({d.url, tile ? d.item.value1 : d.item.width, tile ? d.item.value2 : d.item.height});
  }
  pictures_.plan(uses);

  std::vector<PendingFrame> pending;
  for (DrawnItem& d : container.drawn()) {
    RenderItem it = std::move(d.item);
    it.x += x0;
    it.y += y0;
    if (it.y >= clipBottom) continue;
    if (it.type == TEXT && d.kind == DrawnItem::PLAIN) {
      // Spaces at either end of a line are not drawn.
      if (!d.inked) continue;
      size_t first = it.text.find_first_not_of(" \t\r\n\f");
      size_t last = it.text.find_last_not_of(" \t\r\n\f");
      it.text = it.text.substr(first, last + 1 - first);
      it.x += d.leading;
      it.width -= d.leading + d.trailing;
      addItem(std::move(it), d.link, container);
      continue;
    }
    switch (d.kind) {
      case DrawnItem::PICTURE: {
        int sentW = 0, sentH = 0;
        if (it.type == BOX) {
          // A background picture is sent at its own size; the handset repeats it over the box.
          int index = pictures_.place(d.url, it.value1, it.value2, page_.images, sentW, sentH);
          it.value1 = it.value2 = 0;
          if (index >= 0) {
            it.image = index;
          } else {
            it.flags &= ~0x3010;
            it.param1 = it.param2 = 0;
          }
          if (index >= 0 || it.color2 != NO_COLOR) addItem(std::move(it), nullptr, container);
          break;
        }
        int index =
            d.url.empty() ? -1 : pictures_.place(d.url, it.width, it.height, page_.images, sentW, sentH);
        if (index >= 0) {
          it.image = index;
          it.param1 = sentW;
          it.param2 = sentH;
        } else if (it.type == IMAGE) {
          it.type = PLACEHOLDER;
          it.param1 = it.width;
          it.param2 = it.height;
        } else {
          it.image = -1;
        }
        std::string map = it.type == IMAGE ? it.extra : std::string();
        it.extra.clear();
        int32_t index2 = addItem(std::move(it), d.link, container);
        if (index2 >= 0 && !map.empty()) mapTargets_.emplace(map, index2);
        if (index2 >= 0 && d.source && PageElements::controlType(*d.source))
          drawnControls_[d.source] = index2;
        break;
      }
      case DrawnItem::FRAME:
        pending.push_back({d.url, it.x, it.y, it.width, it.height});
        it.type = BOX;
        it.color2 = NO_COLOR;
        it.flags = 0xF;
        for (auto& side : it.border) side = {FRAME_BORDER, 1, 4};
        addItem(std::move(it), nullptr, container);
        break;
      case DrawnItem::OBJECT: {
        it.name = PageUrl::fileName(d.url);
        const std::string* data =
            d.url.empty() || page_.files.size() >= MAX_FILES ? nullptr : pictures_.raw(d.url);
        if (data && !data->empty()) page_.files.push_back({it.text, it.name, *data});
        it.text.clear();
        addItem(std::move(it), d.link, container);
        break;
      }
      default: {
        int32_t index = addItem(std::move(it), d.link, container);
        if (index >= 0 && d.source && PageElements::controlType(*d.source)) drawnControls_[d.source] = index;
        break;
      }
    }
  }
  walk(doc->root(), container, x0, y0, 0);
  bottom_ = std::max(bottom_, std::min(clipBottom, y0 + doc->height()));

  if (depth > 0 || !pending.empty()) addFrame(url, firstItem);
  for (const PendingFrame& f : pending) {
    if (f.url.empty() || depth >= MAX_FRAME_DEPTH || frameCount_ >= MAX_FRAMES) continue;
    ++frameCount_;
    FetchedResource r = loader_.load(f.url, MAX_FRAME_BYTES);
    int keep = bottom_;
    document(r.status >= 200 && r.status < 300 ? r.body : std::string(), r.url.empty() ? f.url : r.url,
             f.x + 1, f.y + 1, std::max(16, f.width - 2), std::max(0, f.height - 2), depth + 1);
    bottom_ = std::max(keep, f.y + f.height);
  }
}

void PageAssembler::walk(const litehtml::element::ptr& el, PageContainer& container, int x0, int y0,
                         int level) {
  if (!el || level > MarkupBounds::MAX_DEPTH + 16) return;
  std::string tag = asciiLower(el->get_tagName());
  const char* id = el->get_attr("id");
  const char* name = tag == "a" ? el->get_attr("name") : nullptr;
  for (const char* anchor : {id, name}) {
    if (!anchor || !*anchor || page_.items.size() >= MAX_ITEMS) continue;
    litehtml::position p = el->get_placement();
    RenderItem it;
    it.type = ANCHOR;
    it.x = p.x + x0;
    it.y = p.y + y0;
    it.name = std::string(anchor).substr(0, 256);
    page_.items.push_back(std::move(it));
  }
  int control = PageElements::controlType(*el);
  if (control) {
    Control c;
    for (auto p = el->parent(); p; p = p->parent()) {
      auto found = formIds_.find(p.get());
      if (found != formIds_.end()) {
        c.form = found->second;
        break;
      }
    }
    if (control == HIDDEN_FIELD) {
      RenderItem it;
      it.type = HIDDEN_FIELD;
      const char* n = el->get_attr("name");
      const char* v = el->get_attr("value");
      it.name = n ? n : "";
      it.text = v ? v : "";
      c.item = addItem(std::move(it), nullptr, container);
    } else {
      auto found = drawnControls_.find(el.get());
      if (found != drawnControls_.end()) c.item = found->second;
    }
    if (c.item >= 0) controls_.push_back(c);
    return;
  }
  if (tag == "form") {
    Form f;
    f.id = static_cast<int>(forms_.size());
    formIds_[el.get()] = f.id;
    const char* action = el->get_attr("action");
    f.action = container.resolve(action ? action : "");
    f.name = el->get_attr("name") ? el->get_attr("name") : "";
    if (asciiLower(el->get_attr("method")) == "post") f.m |= 0x2;
    if (asciiLower(el->get_attr("enctype")) == "multipart/form-data") f.m |= 0x4;
    forms_.push_back(f);
  }
  if (tag == "map") {
    const char* mapName = el->get_attr("name");
    std::vector<Area> areas;
    for (const auto& area : el->select_all("area")) {
      const char* href = area->get_attr("href");
      if (!href) continue;
      std::vector<int> coords;
      std::string list = area->get_attr("coords") ? area->get_attr("coords") : "";
      for (size_t i = 0; i < list.size() && coords.size() < 200;) {
        char* end = nullptr;
        long v = std::strtol(list.c_str() + i, &end, 10);
        size_t used = static_cast<size_t>(end - list.c_str());
        if (used == i) {
          ++i;
          continue;
        }
        coords.push_back(static_cast<int>(std::clamp<long>(v, -100000, 100000)));
        i = used;
      }
      std::string shape = asciiLower(area->get_attr("shape"));
      Area a;
      a.item.type = AREA;
      a.item.text = container.resolve(href);
      a.item.name = area->get_attr("alt") ? area->get_attr("alt") : "";
      if (shape.rfind("circ", 0) == 0 && coords.size() >= 3) {
        a.item.color = 2;
        a.item.x = coords[0];
        a.item.y = coords[1];
        a.item.width = coords[2];
      } else if (shape.rfind("poly", 0) == 0 && coords.size() >= 6) {
        a.item.color = 3;
        int minX = coords[0], maxX = coords[0], minY = coords[1], maxY = coords[1];
        for (size_t k = 0; k + 1 < coords.size(); k += 2) {
          minX = std::min(minX, coords[k]);
          maxX = std::max(maxX, coords[k]);
          minY = std::min(minY, coords[k + 1]);
          maxY = std::max(maxY, coords[k + 1]);
        }
        a.item.x = minX;
        a.item.y = minY;
        a.item.width = maxX - minX;
        a.item.height = maxY - minY;
      } else if (coords.size() >= 4) {
        a.item.color = 1;
        a.item.x = coords[0];
        a.item.y = coords[1];
        a.item.width = coords[2] - coords[0];
        a.item.height = coords[3] - coords[1];
      } else {
        continue;
      }
      areas.push_back(a);
    }
    if (mapName) maps_.emplace_back(mapName, std::move(areas));
    return;
  }
  for (size_t i = 0; i < el->get_children_count(); ++i)
    walk(el->get_child(static_cast<int>(i)), container, x0, y0, level + 1);
}

void PageAssembler::finish() {
  const int32_t m = static_cast<int32_t>(page_.items.size());
  auto& s = page_.structure;
  for (const Link& link : links_) {
    RenderItem it;
    it.type = LINK;
    it.text = link.url;
    it.refs = link.items;
    it.flags = link.flags;
    // The handset reads no rectangle for a link; it is kept for the dump: the union of what it covers.
    int left = INT32_MAX, top = INT32_MAX, right = INT32_MIN, bottom = INT32_MIN;
    for (int32_t r : link.items) {
      const RenderItem& c = page_.items[r];
      left = std::min(left, c.x);
      top = std::min(top, c.y);
      right = std::max(right, c.x + c.width);
      bottom = std::max(bottom, c.y + c.height);
    }
    if (!link.items.empty()) {
      it.x = left;
      it.y = top;
      it.width = right - left;
      it.height = bottom - top;
    }
    s.push_back(std::move(it));
  }
  // Controls come before their form: the handset resolves a form's references to items already read.
  auto addControls = [&](int form, int32_t formIndex) {
    std::vector<int32_t> refs;
    for (const Control& c : controls_) {
      if (c.form != form) continue;
      RenderItem it;
      it.type = CONTROL;
      it.refs.push_back(c.item);
      if (formIndex >= 0) it.refs.push_back(formIndex);
      refs.push_back(m + static_cast<int32_t>(s.size()));
      s.push_back(std::move(it));
    }
    return refs;
  };
  for (const Form& f : forms_) {
    size_t count = 0;
    for (const Control& c : controls_) count += c.form == f.id ? 1 : 0;
    int32_t formIndex = m + static_cast<int32_t>(s.size() + count);
    std::vector<int32_t> refs = addControls(f.id, formIndex);
    RenderItem it;
    it.type = FORM;
    it.text = f.action;
    it.formM = f.m;
    it.extra = f.name;
    it.refs = std::move(refs);
    s.push_back(std::move(it));
  }
  addControls(-1, -1);
  for (auto& [name, areas] : maps_) {
    auto target = mapTargets_.find(name);
    for (Area& a : areas) {
      if (target != mapTargets_.end()) {
        const RenderItem& image = page_.items[target->second];
        a.item.x += image.x;
        a.item.y += image.y;
        a.item.refs.push_back(target->second);
      }
      s.push_back(std::move(a.item));
    }
  }
  page_.height = std::max(bottom_ + 4, 16);
  for (auto& it : page_.items) bound(it);
  for (auto& it : page_.structure) bound(it);
  for (auto& f : page_.frames) cut(f.name, MAX_TEXT_BYTES);
  for (auto& f : page_.files) {
    cut(f.label, 256);
    cut(f.name, 256);
  }
  cut(page_.title, 1024);
  cut(page_.url, MAX_TEXT_BYTES);
}

class LiteHtmlEngine : public HtmlEngine {
 public:
  Page layout(const std::string& html, const std::string& url, const ClientMetrics& metrics,
              ResourceLoader& resources) override {
    Page page;
    page.url = url;
    page.width = std::clamp(metrics.width, 16, 4096);
    page.imageMemoryLimit = metrics.imageMemoryLimit;
    PageAssembler assembler(page, metrics, resources);
    assembler.document(html, url, 0, 0, page.width, -1, 0);
    assembler.finish();
    return page;
  }
};

}  // namespace

std::unique_ptr<HtmlEngine> makeLiteHtmlEngine() { return std::make_unique<LiteHtmlEngine>(); }

}  // namespace vesk
