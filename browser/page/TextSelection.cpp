#include "browser/page/TextSelection.h"

#include <algorithm>
#include <cstdlib>

#include "browser/page/ItemPainter.h"
#include "browser/page/Page.h"
#include "browser/page/PageFonts.h"
#include "browser/page/ReflowLayout.h"
#include "browser/page/RenderItem.h"
#include "vwt/lang/StringBuffer.h"
#include "vwt/lang/System.h"
#include "vwt/ui/Clipboard.h"
#include "vwt/ui/Font.h"
#include "vwt/ui/Window.h"

namespace {

bool isSpace(char16_t c) { return c == u' ' || c == u'\t' || c == 0x3000 || c == 0xA0; }
bool isHigh(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool isLow(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// The units of the character at i: two for a surrogate pair.
int unitsAt(const String& t, int i) {
  return i + 1 < t.length() && isHigh(t.charAt(i)) && isLow(t.charAt(i + 1)) ? 2 : 1;
}

// A place between the two halves of a surrogate pair, which no selection may end at.
bool splitsPair(const String& t, int i) {
  return i > 0 && i < t.length() && isHigh(t.charAt(i - 1)) && isLow(t.charAt(i));
}

// Characters of one class make a word together: Latin letters and digits, each Japanese script,
// spaces. Anything else is a word of its own.
int wordClass(char16_t c) {
  if (isSpace(c)) return 1;
  if ((c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || c == u'_' ||
      (c >= 0xC0 && c <= 0x24F && c != 0xD7 && c != 0xF7))
    return 2;
  if ((c >= 0xFF10 && c <= 0xFF19) || (c >= 0xFF21 && c <= 0xFF3A) || (c >= 0xFF41 && c <= 0xFF5A)) return 3;
  if (c >= 0x3041 && c <= 0x309F) return 4;                                    // hiragana
  if ((c >= 0x30A0 && c <= 0x30FF) || (c >= 0xFF66 && c <= 0xFF9F)) return 5;  // katakana, long vowel
  if ((c >= 0x4E00 && c <= 0x9FFF) || (c >= 0x3400 && c <= 0x4DBF) || c == 0x3005) return 6;
  if (isHigh(c) || isLow(c)) return 7;  // pictographs and rare ideographs keep their halves together
  return 0;
}

}  // namespace

TextSelection::TextSelection(PageFonts* fonts) : fonts_(fonts) {}

TextSelection::~TextSelection() {}

void TextSelection::setView(const View& view) {
  bool other = view.page != view_.page || view.layout != view_.layout;
  view_ = view;
  int before = total_;
  // Made again every time: a layout may have been built again in the same object, and a long page
  // takes some microseconds.
  buildRuns();
  if (other || total_ != before) clear();
}

void TextSelection::buildRuns() {
  runs_.clear();
  lineCount_ = 0;
  total_ = 0;
  if (view_.layout) {
    const Vector<ReflowLayout::Line*>& lines = view_.layout->lines();
    for (int i = 0; i < lines.size(); ++i) {
      ReflowLayout::Line* line = lines.elementAt(i);
      bool any = false;
      for (int k = 0; line && k < line->size(); ++k) {
        RenderItem* item = line->elementAt(k);
        if (!item || item->type != RenderItem::TEXT || item->text.length() == 0) continue;
        // Re-flowed rectangles are drawn as they are.
        addRun(item, item->x, item->y, item->width, item->height, lineCount_);
        any = true;
      }
      if (any) ++lineCount_;
    }
    return;
  }
  if (!view_.page || !view_.page->items) return;
  Vector<RenderItem*>* items = view_.page->items.get();
  const Run* last = nullptr;
  for (int i = 0; i < items->size(); ++i) {
    RenderItem* item = items->elementAt(i);
    if (!item || item->type != RenderItem::TEXT || item->text.length() == 0) continue;
    int zoom = view_.zoom;
    int x = ItemPainter::zoomed(item->x, zoom), y = ItemPainter::zoomed(item->y, zoom);
    int w = ItemPainter::zoomed(item->width, zoom), h = ItemPainter::zoomed(item->height, zoom);
    // A run beside the last one, overlapping it in height, continues its line; one below it or back
    // to the left starts the next.
    bool sameLine = last && x >= last->x + last->w / 2 &&
                    std::min(y + h, last->y + last->h) - std::max(y, last->y) > std::min(h, last->h) / 2;
    if (last && !sameLine) ++lineCount_;
    addRun(item, x, y, w, h, lineCount_);
    last = &runs_.back();
  }
  if (!runs_.empty()) ++lineCount_;
}

void TextSelection::addRun(const RenderItem* item, int x, int y, int w, int h, int line) {
  Run run;
  run.text = item->text;
  run.x = x;
  run.y = y;
  run.w = std::max(w, 0);
  run.h = std::max(h, 0);
  run.line = line;
  run.start = total_;
  run.interfaceFont = (item->flags & RenderItem::INTERFACE_FONT) != 0;
  total_ += run.text.length();
  runs_.push_back(run);
}

vwt::Font* TextSelection::fontOf(const Run& run) const {
  if (!fonts_) return nullptr;
  return run.interfaceFont ? fonts_->interfaceFont() : fonts_->pageFont();
}

int TextSelection::xOf(const Run& run, int offset) const {
  vwt::Font* font = fontOf(run);
  if (offset <= 0) return run.x;
  if (!font) return run.x + static_cast<int>(static_cast<int64_t>(run.w) * offset / run.text.length());
  return run.x + font->substringWidth(run.text, 0, offset);
}

int TextSelection::offsetAt(const Run& run, int x) const {
  vwt::Font* font = fontOf(run);
  int n = run.text.length();
  int left = run.x;
  for (int i = 0; i < n;) {
    int units = unitsAt(run.text, i);
    int w =
        !font ? run.w / n * units
              : (units == 1 ? font->charWidth(run.text.charAt(i)) : font->substringWidth(run.text, i, units));
    // The nearer edge of the character under the point.
    if (x < left + (w + 1) / 2) return i;
    left += w;
    i += units;
  }
  return n;
}

int TextSelection::runOf(int place) const {
  // The first run whose end reaches the place.
  int lo = 0, hi = static_cast<int>(runs_.size()) - 1;
  while (lo < hi) {
    int mid = (lo + hi) / 2;
    const Run& r = runs_[mid];
    if (r.start + r.text.length() >= place)
      hi = mid;
    else
      lo = mid + 1;
  }
  return lo;
}

int TextSelection::placeOnLine(int line, int x) const {
  const Run* best = nullptr;
  int64_t bestDistance = 0;
  for (const Run& r : runs_) {
    if (r.line != line) continue;
    int64_t d = x < r.x ? static_cast<int64_t>(r.x) - x
                        : (x >= r.x + r.w ? static_cast<int64_t>(x) - (r.x + r.w) + 1 : 0);
    if (!best || d < bestDistance) {
      best = &r;
      bestDistance = d;
    }
  }
  if (!best) return -1;
  return best->start + offsetAt(*best, x);
}

int TextSelection::placeAt(int x, int y) const {
  if (runs_.empty()) return -1;
  // The line whose band holds y, else the nearest one; the earliest wins a tie.
  int bestLine = -1;
  int64_t bestDistance = 0;
  for (const Run& r : runs_) {
    int64_t d = y < r.y ? static_cast<int64_t>(r.y) - y
                        : (y >= r.y + r.h ? static_cast<int64_t>(y) - (r.y + r.h) + 1 : 0);
    if (bestLine < 0 || d < bestDistance) {
      bestLine = r.line;
      bestDistance = d;
    }
  }
  return placeOnLine(bestLine, x);
}

void TextSelection::select(int from, int to) {
  if (runs_.empty()) return;
  from = std::max(0, std::min(from, total_));
  to = std::max(0, std::min(to, total_));
  if (from == anchor_ && to == focus_) return;
  anchor_ = from;
  focus_ = to;
  changed_ = true;
}

void TextSelection::setFocus(int place) {
  if (place < 0 || place == focus_) return;
  focus_ = std::min(place, total_);
  changed_ = true;
}

void TextSelection::clear() {
  dragging_ = false;
  if (anchor_ < 0) return;
  anchor_ = focus_ = -1;
  changed_ = true;
}

bool TextSelection::selectWordAt(int x, int y) {
  for (const Run& r : runs_) {
    if (x < r.x || x >= r.x + r.w || y < r.y || y >= r.y + r.h) continue;
    int n = r.text.length();
    // The character under the point, not the nearer edge.
    int left = r.x, k = 0;
    vwt::Font* font = fontOf(r);
    for (; k < n - 1; ++k) {
      int w = font ? font->charWidth(r.text.charAt(k)) : r.w / n;
      if (x < left + w) break;
      left += w;
    }
    int cls = wordClass(r.text.charAt(k));
    int from = k, to = k + 1;
    if (cls != 0) {
      while (from > 0 && wordClass(r.text.charAt(from - 1)) == cls) --from;
      while (to < n && wordClass(r.text.charAt(to)) == cls) ++to;
    }
    select(r.start + from, r.start + to);
    return true;
  }
  return false;
}

bool TextSelection::pointerPressed(int x, int y, bool shift) {
  return pointerPressedAt(x, y, shift, System::currentTimeMillis());
}

bool TextSelection::sameSpot(int x, int y, int64_t timeMs) const {
  return lastPressValid_ && timeMs - lastPressTime_ >= 0 && timeMs - lastPressTime_ <= DOUBLE_TAP_MS &&
         std::abs(x - lastPressX_) <= DOUBLE_TAP_DISTANCE && std::abs(y - lastPressY_) <= DOUBLE_TAP_DISTANCE;
}

bool TextSelection::pointerPressedAt(int x, int y, bool shift, int64_t timeMs) {
  if (shift) {
    lastPressValid_ = false;
    int place = placeAt(x, y);
    if (place < 0) return false;
    if (anchor_ < 0)
      select(place, place);
    else
      setFocus(place);
    dragging_ = true;
    return true;
  }
  if (sameSpot(x, y, timeMs)) {
    lastPressValid_ = false;
    if (selectWordAt(x, y)) return true;
  } else {
    lastPressValid_ = true;
    lastPressTime_ = timeMs;
    lastPressX_ = x;
    lastPressY_ = y;
  }
  clear();
  return false;
}

bool TextSelection::dragged(int x, int y) {
  if (!dragging_) return false;
  setFocus(placeAt(x, y));
  return true;
}

bool TextSelection::released(int x, int y) {
  if (!dragging_) return false;
  setFocus(placeAt(x, y));
  dragging_ = false;
  return true;
}

void TextSelection::moveFocus(int key) {
  int place = focus_;
  switch (key) {
    case Window::KEY_LEFT:
      place = std::max(place - 1, 0);
      break;
    case Window::KEY_RIGHT:
      place = std::min(place + 1, total_);
      break;
    case Window::KEY_UP:
    case Window::KEY_DOWN: {
      const Run& r = runs_[runOf(place)];
      int line = r.line + (key == Window::KEY_UP ? -1 : 1);
      if (line < 0)
        place = 0;
      else if (line >= lineCount_)
        place = total_;
      else
        place = placeOnLine(line, xOf(r, place - r.start));
      break;
    }
    default:
      return;
  }
  if (key == Window::KEY_LEFT || key == Window::KEY_RIGHT) {
    const Run& r = runs_[runOf(place)];
    if (splitsPair(r.text, place - r.start)) place += key == Window::KEY_LEFT ? -1 : 1;
  }
  setFocus(place);
}

bool TextSelection::keyDown(int key, bool shift, int pointerX, int pointerY) {
  if (key == Window::KEY_ESCAPE) {
    if (!hasSelection()) return false;
    clear();
    swallowedKey_ = key;
    return true;
  }
  bool arrow =
      key == Window::KEY_LEFT || key == Window::KEY_RIGHT || key == Window::KEY_UP || key == Window::KEY_DOWN;
  if (!arrow || !shift || runs_.empty()) return false;
  if (anchor_ < 0) {
    int place = placeAt(pointerX, pointerY);
    select(place, place);
  }
  moveFocus(key);
  swallowedKey_ = key;
  return true;
}

bool TextSelection::keyUp(int key) {
  if (key != swallowedKey_) return false;
  swallowedKey_ = -1;
  return true;
}

String TextSelection::selectedText() const {
  if (!hasSelection()) return String();
  int from = std::min(anchor_, focus_), to = std::max(anchor_, focus_);
  StringBuffer out;
  const Run* last = nullptr;
  for (size_t i = runOf(from + 1); i < runs_.size(); ++i) {
    const Run& r = runs_[i];
    if (r.start >= to) break;
    int a = std::max(from - r.start, 0), b = std::min(to - r.start, r.text.length());
    if (a >= b) continue;
    if (last) {
      if (r.line != last->line) {
        out.append(u'\n');
      } else if (r.x - (last->x + last->w) >=
                 ItemPainter::zoomed(WORD_GAP, view_.layout ? 100 : view_.zoom)) {
        char16_t before = last->text.charAt(last->text.length() - 1), after = r.text.charAt(0);
        if (!isSpace(before) && !isSpace(after)) out.append(u' ');
      }
    }
    out.append(r.text.substring(a, b));
    last = &r;
  }
  return out.toString();
}

bool TextSelection::copy() const {
  if (!hasSelection()) return false;
  Clipboard::setText(selectedText());
  return true;
}

std::vector<TextSelection::Rect> TextSelection::highlightRects() const {
  std::vector<Rect> rects;
  if (!hasSelection()) return rects;
  int from = std::min(anchor_, focus_), to = std::max(anchor_, focus_);
  for (size_t i = runOf(from + 1); i < runs_.size(); ++i) {
    const Run& r = runs_[i];
    if (r.start >= to) break;
    int a = std::max(from - r.start, 0), b = std::min(to - r.start, r.text.length());
    if (a >= b) continue;
    int left = xOf(r, a), right = xOf(r, b);
    // Selected on into the next run of the line: the word gap between them is part of it.
    if (b == r.text.length() && i + 1 < runs_.size()) {
      const Run& next = runs_[i + 1];
      if (next.line == r.line && next.start < to && next.x > right) right = next.x;
    }
    if (right > left) rects.push_back(Rect{left, r.y, right - left, r.h});
  }
  return rects;
}

bool TextSelection::takeChanged() {
  bool c = changed_;
  changed_ = false;
  return c;
}
