#include "browser/page/ReflowLayout.h"

#include <algorithm>

#include "browser/page/LineBreakRule.h"
#include "browser/page/Page.h"
#include "browser/page/ReflowHost.h"
#include "browser/page/RenderItem.h"
#include "browser/page/TextWrapper.h"
#include "vwt/lang/Lock.h"
#include "vwt/lang/StringBuffer.h"

namespace {

// Face type of the fonts whose characters are measured as half or whole line heights.
const int FIXED_CELL_FACE = 0x72000000;
// Bounds on what the host reports, so that no product leaves 64 bits and no division is by zero.
const int MAX_ZOOM = 1000;
const int MAX_FONT_HEIGHT = 1024;
const int MAX_CHAR_WIDTH = 4096;
const int MAX_VIEW_SIDE = 1 << 16;

int clampInt(int64_t v, int64_t lo, int64_t hi) { return static_cast<int>(std::max(lo, std::min(v, hi))); }

// Packed pairs: horizontal value in the low 16 bits, vertical in the high 16.
int low(int packed) { return static_cast<int16_t>(packed & 0xFFFF); }
int high(int packed) { return static_cast<int16_t>((static_cast<uint32_t>(packed) >> 16) & 0xFFFF); }
int pack(int64_t h, int64_t v) {
  uint32_t lo = static_cast<uint16_t>(clampInt(h, INT16_MIN, INT16_MAX));
  uint32_t hi = static_cast<uint16_t>(clampInt(v, INT16_MIN, INT16_MAX));
  return static_cast<int>((hi << 16) | lo);
}

bool isImage(int type) {
  return type == RenderItem::IMAGE || type == RenderItem::IMAGE_ALT || type == RenderItem::IMAGE_BUTTON;
}
bool isControl(int type) { return type >= RenderItem::BUTTON && type <= RenderItem::TEXT_AREA; }
// The page items the layout derives items from; their refs hold only derived items.
bool derivesItems(int type) {
  return type == RenderItem::TEXT || type == RenderItem::ANCHOR || isImage(type) || isControl(type);
}

RenderItem* itemAt(const Vector<Object*>* refs, int i) {
  return refs && i >= 0 && i < refs->size() ? dynamic_cast<RenderItem*>(refs->elementAt(i)) : nullptr;
}

}  // namespace

ReflowLayout::ReflowLayout(ReflowHost* host)
    : host_(host), lines_(true), loose_(true), currentLine_(new Line()) {}

ReflowLayout::~ReflowLayout() = default;

void ReflowLayout::start(Page* page) {
  page_ = page;
  lines_.clear();
  loose_.clear();
  currentLine_ = new Line();
  linkPositions_.clear();

  viewWidth_ = clampInt(host_->viewWidth(), 1, MAX_VIEW_SIDE);
  viewHeight_ = clampInt(host_->viewHeight(), 1, MAX_VIEW_SIDE);
  zoom_ = clampInt(host_->zoom(), 1, MAX_ZOOM);
  fontHeight_ = clampInt(host_->pageLineHeight(), 0, MAX_FONT_HEIGHT);
  halfWidthFace_ = host_->pageFaceType() == FIXED_CELL_FACE;
  canvasFlags_ = host_->canvasFlags();
  // The page being laid out may not be the one on screen yet.
  background_ = page ? page->backgroundColor : host_->pageBackground();
  available_ = std::max(viewWidth_ - 3, 1);
  lineHeight_ = std::max(fontHeight_ + zoom_ * 3 / 100, 1);
  lineBottom_ = firstLineBottom();
  lineDepth_ = lineHeight_;
  x_ = 0;
  lineLooseStart_ = 0;
  afterImage_ = false;
  placedAny_ = lastWasText_ = false;
  anchorsWaiting_.clear();
  placedTops_.clear();
  placed_.clear();
  imagesShown_ = (canvasFlags_ & FLAG_NO_IMAGES) == 0;
  pageWidth_ = pageHeight_ = 0;

  resetItems(page);
  linksIndexed_ = page && page->structureCount() > 0;
  if (linksIndexed_) markLinkText(page);
}

void ReflowLayout::build(Page* page) {
  start(page);
  if (page && page->items) {
    Lock held(page->items->getLock());
    for (int i = 0; i < page->items->size(); ++i) addItem(page->items->elementAt(i));
  }
  finish();
}

void ReflowLayout::addItem(RenderItem* item) {
  if (!item || lineBottom_ > MAX_DEPTH) return;
  const int type = item->type;
  if (type == RenderItem::TEXT) {
    addText(item);
  } else if (isImage(type)) {
    if (imagesShown_) addImage(item);
  } else if (isControl(type)) {
    addControl(item);
  } else if (type == RenderItem::ANCHOR) {
    addAnchor(item);
  }
  if ((item->flags & LINE_END) && lineHoldsAnything()) endLine();
}

int64_t ReflowLayout::charWidth(char16_t c) const {
  if (halfWidthFace_) return TextWrapper::isHalfWidth(c) ? fontHeight_ / 2 : fontHeight_;
  return clampInt(host_->pageCharWidth(c), 0, MAX_CHAR_WIDTH);
}

int ReflowLayout::textColour(const RenderItem* item) const {
  if (canvasFlags_ & FLAG_PAGE_COLOURS)
    return (item->color & 0xFFFFFF) == (background_ & 0xFFFFFF) ? WHITE : item->color;
  if (item->color2 > 0) return item->color2;
  if ((item->flags & 0x1) && !linksIndexed_) return LINK_COLOUR;
  return BLACK;
}

void ReflowLayout::addAnchor(RenderItem* item) {
  // An anchor the page puts above what was placed last (pages may list their anchors at the end)
  // goes where the first thing placed at or below it is.
  if (placedAny_ && item->y < lastTop_) {
    auto at = std::lower_bound(placedTops_.begin(), placedTops_.end(), static_cast<int64_t>(item->y));
    if (at != placedTops_.end()) {
      RenderItem* target = placed_[at - placedTops_.begin()];
      RenderItem* anchor = derive(item, RenderItem::ANCHOR);
      anchor->y = target->y;
      anchor->name = item->name;
      const int64_t line =
          (static_cast<int64_t>(target->y) + target->height - firstLineBottom()) / lineHeight_;
      if (line >= 0 && line < lines_.size())
        lines_.elementAt(static_cast<int>(line))->addElement(anchor);
      else
        currentLine_->addElement(anchor);
      return;
    }
  }
  // Otherwise it goes on the line where what follows it starts, which may be a new block.
  anchorsWaiting_.push_back(item);
  if (!lineHoldsAnything()) placeAnchors();
}

void ReflowLayout::record(const RenderItem* parent, RenderItem* derived) {
  int64_t top = parent->y;
  if (!placedTops_.empty()) top = std::max(top, placedTops_.back());
  placedTops_.push_back(top);
  placed_.push_back(derived);
}

void ReflowLayout::placeAnchors() {
  for (RenderItem* item : anchorsWaiting_) {
    RenderItem* anchor = derive(item, RenderItem::ANCHOR);
    anchor->y = clampInt(lineBottom_ - lineHeight_, INT32_MIN, INT32_MAX);
    anchor->name = item->name;
    currentLine_->addElement(anchor);
  }
  anchorsWaiting_.clear();
}

void ReflowLayout::separate(RenderItem* item) {
  if (!placedAny_ || !lineHoldsAnything()) return;
  const int64_t top = item->y;
  if (top >= lastBottom_ + BLOCK_GAP) {
    endLine();
    return;
  }
  if (item->type != RenderItem::TEXT || !lastWasText_ || item->text.length() == 0) return;
  // Runs without a size say nothing of where they are.
  if (item->height <= 0 || lastBottom_ <= lastTop_) return;
  const char16_t first = item->text.charAt(0);
  if (first == u' ' || lastChar_ == u' ') return;
  bool sameRow = top < lastBottom_ && top + item->height > lastTop_;
  bool space;
  if (sameRow)
    space = item->x >= lastRight_ + WORD_GAP;
  else
    // The page broke the line here: between words of a Latin script there was a space.
    space = top >= lastBottom_ - 1 && first < 128 && lastChar_ < 128;
  if (!space) return;
  const int64_t w = charWidth(u' ');
  if (x_ + w <= available_) x_ += w;
}

void ReflowLayout::remember(const RenderItem* item) {
  placedAny_ = true;
  lastWasText_ = item->type == RenderItem::TEXT;
  lastRight_ = static_cast<int64_t>(item->x) + item->width;
  lastTop_ = item->y;
  lastBottom_ = static_cast<int64_t>(item->y) + item->height;
  if (lastWasText_ && item->text.length() > 0) lastChar_ = item->text.charAt(item->text.length() - 1);
}

void ReflowLayout::addText(RenderItem* item) {
  const int colour = textColour(item);
  if (imagesShown_ && afterImage_ && x_ > viewWidth_ / 2) endLine();
  separate(item);
  placeAnchors();
  const String& text = item->text;
  const int length = text.length();
  int pending = 0;  // the pending text is text[pending, i)
  int64_t pendingWidth = 0;
  int fruitless = 0;
  bool openedByBreak = false;
  for (int i = 0; i < length; ++i) {
    const char16_t c = text.charAt(i);
    const int64_t w = charWidth(c);
    // Each round emits text or ends a line that holds something, so it ends within three.
    while (x_ + pendingWidth + w > available_ && (pending < i || x_ > 0)) {
      int at = i;
      // A run without break places (a long address) is searched a few times, then cut where it is full.
      if (pending < i && fruitless < MAX_FRUITLESS_SEARCHES) {
        at = LineBreakRule::findBreak(text, pending, i);
        if (at < 0) {
          ++fruitless;
          at = x_ > 0 ? pending : i;
        }
      }
      int64_t width = 0;
      for (int k = pending; k < at; ++k) width += charWidth(text.charAt(k));
      if (at > pending) emitText(item, pending, at, width, colour);
      endLine();
      openedByBreak = true;
      pending = at;
      pendingWidth -= width;
      while (pending < i && text.charAt(pending) == u' ') pendingWidth -= charWidth(text.charAt(pending++));
    }
    // Spaces do not open a line a break made.
    if (openedByBreak && pending == i && c == u' ') {
      pending = i + 1;
      continue;
    }
    openedByBreak = false;
    pendingWidth += w;
  }
  if (pending < length) {
    emitText(item, pending, length, pendingWidth, colour);
    x_ += pendingWidth;
  }
  if (length > 0) remember(item);
  RenderItem* first = itemAt(item->refs, 0);
  if (first && first->type == RenderItem::TEXT) record(item, first);
}

void ReflowLayout::emitText(RenderItem* parent, int from, int to, int64_t width, int colour) {
  RenderItem* run = derive(parent, RenderItem::TEXT);
  run->x = clampInt(x_, 0, INT32_MAX);
  run->y = clampInt(lineBottom_ - lineHeight_, INT32_MIN, INT32_MAX);
  run->width = clampInt(width, 0, INT32_MAX);
  run->height = lineHeight_;
  run->color = colour;
  run->text = parent->text.substring(from, to);
  run->value1 = parent->value1;
  run->flags = parent->flags & TEXT_STYLE;
  currentLine_->addElement(run);
}

void ReflowLayout::addImage(RenderItem* item) {
  // The natural size is the part of the picture shown when the page gives one.
  int64_t naturalW = low(item->value2), naturalH = high(item->value2);
  if (naturalW <= 0 || naturalH <= 0) {
    naturalW = item->width;
    naturalH = item->height;
  }
  if (naturalW <= 0 || naturalH <= 0) return;
  int64_t w = naturalW, h = naturalH;
  // One-pixel lines and spacers keep their size.
  if (w != 1 && h != 1) {
    w = std::max<int64_t>(w * zoom_ / 100, 1);
    h = std::max<int64_t>(h * zoom_ / 100, 1);
  }
  if (w > available_) {
    h = std::max<int64_t>(h * available_ / w, 1);
    w = available_;
  }
  const int64_t maxHeight = std::max(viewHeight_ - (fontHeight_ + 7), 1);
  if (h > maxHeight) {
    w = std::max<int64_t>(w * maxHeight / h, 1);
    h = maxHeight;
  }
  RenderItem* image = place(item, static_cast<int>(w), static_cast<int>(h));
  image->text = item->text;
  image->imageIndex = item->imageIndex;
  image->param1 = item->param1;
  image->param2 = item->param2;
  image->value1 = pack(low(item->value1) * w / naturalW, high(item->value1) * h / naturalH);
  image->value2 = pack(low(item->value2) * w / naturalW, high(item->value2) * h / naturalH);
}

void ReflowLayout::addControl(RenderItem* item) {
  int64_t w = static_cast<int64_t>(item->width) * zoom_ / 100;
  int64_t h = static_cast<int64_t>(item->height) * zoom_ / 100;
  if (w <= 0 || h <= 0) return;
  const int type = item->type;
  if (type == RenderItem::TEXT_FIELD || type == RenderItem::PASSWORD_FIELD)
    w = std::min<int64_t>(w, viewWidth_ / 2);
  if (type == RenderItem::TEXT_AREA) {
    w = std::min<int64_t>(w, viewWidth_ - 10);
    h = std::min<int64_t>(h, 3 * fontHeight_ + 3);
    // Its lines were wrapped for the layout's width.
    item->dropLists();
  }
  // Every control fits the view, as images do: the view only scrolls up and down.
  w = std::max<int64_t>(std::min<int64_t>(w, available_), 1);
  h = std::max<int64_t>(std::min<int64_t>(h, std::max(viewHeight_ - (fontHeight_ + 7), 1)), 1);
  RenderItem* control = place(item, static_cast<int>(w), static_cast<int>(h));
  control->source = item;
  control->value1 = -1;
}

RenderItem* ReflowLayout::place(RenderItem* parent, int width, int height) {
  separate(parent);
  placeAnchors();
  remember(parent);
  if (x_ > 0 && x_ + width > available_) endLine();
  if (height > lineDepth_) pushDown(height);
  RenderItem* box = derive(parent, parent->type);
  record(parent, box);
  box->x = clampInt(x_, 0, INT32_MAX);
  box->y = clampInt(lineBottom_ - height, INT32_MIN, INT32_MAX);
  box->width = width;
  box->height = height;
  loose_.addElement(box);
  x_ += width;
  afterImage_ = true;
  return box;
}

void ReflowLayout::pushDown(int height) {
  const int64_t lines = (height - lineDepth_ - 1) / lineHeight_ + 1;
  const int64_t shift = lines * lineHeight_;
  for (int i = 0; i < currentLine_->size(); ++i) {
    RenderItem* item = currentLine_->elementAt(i);
    item->y = clampInt(item->y + shift, INT32_MIN, INT32_MAX);
  }
  // Pictures already on the line stay on it, bottoms aligned.
  for (int i = lineLooseStart_; i < loose_.size(); ++i) {
    RenderItem* item = loose_.elementAt(i);
    item->y = clampInt(item->y + shift, INT32_MIN, INT32_MAX);
  }
  // The room above the line is empty lines, so that line i still starts at i line heights.
  for (int64_t k = 0; k < lines; ++k) lines_.addElement(new Line(1, true));
  lineBottom_ += shift;
  lineDepth_ = static_cast<int64_t>(lineHeight_) * ((height - 1) / lineHeight_ + 1);
}

RenderItem* ReflowLayout::derive(RenderItem* parent, int type) {
  AutoPtr<RenderItem> item(new RenderItem());
  item->owner = parent->owner;
  item->type = type;
  item->refs = new Vector<Object*>(1, false);
  item->refs->addElement(parent);
  if (!parent->refs) parent->refs = new Vector<Object*>(1, false);
  parent->refs->addElement(item.get());
  return item.release();
}

void ReflowLayout::endLine() {
  lines_.addElement(currentLine_.release());
  currentLine_ = new Line();
  lineBottom_ += lineHeight_;
  x_ = 0;
  lineDepth_ = lineHeight_;
  lineLooseStart_ = loose_.size();
  afterImage_ = false;
}

void ReflowLayout::finish() {
  placeAnchors();
  if (currentLine_->size() > 0) {
    lines_.addElement(currentLine_.release());
    currentLine_ = new Line();
  }
  if (!linksIndexed_) {
    markLinkText(page_);
    linksIndexed_ = true;
    colourDerivedText();
  }
  collectLinkPositions();
  pageWidth_ = viewWidth_;
  pageHeight_ = clampInt(
      std::max<int64_t>(lineBottom_ + clampInt(host_->interfaceLineHeight(), 0, MAX_FONT_HEIGHT) + 12,
                        viewHeight_),
      0, INT32_MAX);
  if (page_) page_->carriedValue = pageHeight_;
  host_->setPageExtent(pageWidth_, pageHeight_);
}

void ReflowLayout::resetItems(Page* page) {
  if (!page || !page->items) return;
  Lock held(page->items->getLock());
  for (int i = 0; i < page->items->size(); ++i) {
    RenderItem* item = page->items->elementAt(i);
    if (!item) continue;
    item->setChild(nullptr);
    if (item->type == RenderItem::TEXT_AREA) item->dropLists();
    if (derivesItems(item->type) && item->refs) item->refs->clear();
  }
}

void ReflowLayout::markLinkText(Page* page) {
  if (!page || !page->structure) return;
  Lock held(page->structure->getLock());
  for (int i = 0; i < page->structure->size(); ++i) {
    RenderItem* s = page->structure->elementAt(i);
    if (!s || !s->refs) continue;
    for (int k = 0; k < s->refs->size(); ++k) {
      RenderItem* r = itemAt(s->refs, k);
      if (r && r->type == RenderItem::TEXT) r->color2 = LINK_COLOUR;
    }
  }
}

void ReflowLayout::colourDerivedText() {
  if (!page_ || !page_->items) return;
  Lock held(page_->items->getLock());
  for (int i = 0; i < page_->items->size(); ++i) {
    RenderItem* item = page_->items->elementAt(i);
    if (!item || item->type != RenderItem::TEXT || !item->refs) continue;
    const int colour = textColour(item);
    for (int k = 0; k < item->refs->size(); ++k) {
      RenderItem* run = itemAt(item->refs, k);
      if (run && run->type == RenderItem::TEXT) run->color = colour;
    }
  }
}

void ReflowLayout::collectLinkPositions() {
  linkPositions_.clear();
  if (!page_ || !page_->structure) return;
  auto addDerived = [this](RenderItem* parent) {
    if (!parent || !derivesItems(parent->type)) return;
    for (int k = 0; parent->refs && k < parent->refs->size(); ++k) {
      RenderItem* d = itemAt(parent->refs, k);
      if (d && itemAt(d->refs, 0) == parent)
        linkPositions_.push_back(static_cast<int64_t>(d->y) * viewWidth_ + d->x);
    }
  };
  Lock held(page_->structure->getLock());
  for (int i = 0; i < page_->structure->size(); ++i) {
    RenderItem* s = page_->structure->elementAt(i);
    if (!s) continue;
    if (s->type == RenderItem::LINK) {
      for (int k = 0; s->refs && k < s->refs->size(); ++k) addDerived(itemAt(s->refs, k));
    } else if (s->type == RenderItem::CONTROL) {
      // Form controls are stops too: without them a form could not be reached by keys.
      addDerived(itemAt(s->refs, 0));
    }
  }
  std::sort(linkPositions_.begin(), linkPositions_.end());
  linkPositions_.erase(std::unique(linkPositions_.begin(), linkPositions_.end()), linkPositions_.end());
}

String ReflowLayout::text() const {
  StringBuffer out;
  for (int i = 0; i < lines_.size(); ++i) {
    Line* line = lines_.elementAt(i);
    for (int k = 0; k < line->size(); ++k) {
      RenderItem* item = line->elementAt(k);
      if (item->type == RenderItem::TEXT) out.append(item->text);
    }
    out.append(u'\n');
  }
  return out.toString();
}

RenderItem* ReflowLayout::findAnchor(const String& fragment) const {
  for (int i = 0; i < lines_.size(); ++i) {
    Line* line = lines_.elementAt(i);
    for (int k = 0; k < line->size(); ++k) {
      RenderItem* item = line->elementAt(k);
      if (item->type == RenderItem::ANCHOR && item->name.toLowerCase().equals(fragment)) return item;
    }
  }
  return nullptr;
}
