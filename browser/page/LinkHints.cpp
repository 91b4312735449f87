#include "browser/page/LinkHints.h"

#include <algorithm>
#include <string>

#include "browser/page/HitTest.h"
#include "vwt/ui/Font.h"
#include "vwt/ui/Graphics.h"

namespace {

const char16_t ESCAPE = 0x1B;
const char16_t BACKSPACE = 0x08;
// Space between a label's frame and its letters.
const int PAD_X = 2;
const int PAD_Y = 1;
// How many times a label moves right off the labels before it.
const int MAX_NUDGES = 8;

bool isHintItem(const RenderItem* item) {
  return item && (item->type == RenderItem::LINK || item->type == RenderItem::AREA ||
                  item->type == RenderItem::CONTROL);
}

char16_t lowerLetter(char16_t c) {
  return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c;
}

bool overlaps(int ax, int ay, int aw, int ah, int bx, int by, int bw, int bh) {
  return ax < bx + bw && bx < ax + aw && ay < by + bh && by < ay + ah;
}

}  // namespace

LinkHints::LinkHints() : outline_(&HitTest::outline) {}

LinkHints::LinkHints(Outline outline) : outline_(std::move(outline)) {}

String LinkHints::labelFor(int i, int count) {
  int length = 1;
  for (int reach = ALPHABET_SIZE; reach < count; reach *= ALPHABET_SIZE) ++length;
  std::u16string letters(static_cast<size_t>(length), u'a');
  for (int k = length - 1; k >= 0; --k) {
    letters[static_cast<size_t>(k)] = ALPHABET[i % ALPHABET_SIZE];
    i /= ALPHABET_SIZE;
  }
  return String(letters.data(), 0, length);
}

void LinkHints::show(Page& page, int scrollX, int scrollY, int viewWidth, int viewHeight, int zoom,
                     bool reflow) {
  close();
  viewWidth_ = std::max(0, viewWidth);
  viewHeight_ = std::max(0, viewHeight);
  if (viewWidth_ == 0 || viewHeight_ == 0 || !outline_) return;
  std::vector<int> rects;
  for (int i = 0; i < page.structureCount(); ++i) {
    RenderItem* item = page.structure->elementAt(i);
    if (!isHintItem(item)) continue;
    rects.clear();
    outline_(item, zoom, reflow, &rects);
    // The label goes to the first of the item's rectangles that shows, at the part of it in view.
    for (size_t r = 0; r + 3 < rects.size(); r += 4) {
      int x = rects[r], y = rects[r + 1], w = rects[r + 2], h = rects[r + 3];
      if (w <= 0 || h <= 0 || !overlaps(x, y, w, h, scrollX, scrollY, viewWidth_, viewHeight_)) continue;
      hints_.push_back(Hint{item, std::max(x, scrollX), std::max(y, scrollY), String()});
      break;
    }
  }
  std::stable_sort(hints_.begin(), hints_.end(),
                   [](const Hint& a, const Hint& b) { return a.y != b.y ? a.y < b.y : a.x < b.x; });
  if (hints_.size() > static_cast<size_t>(MAX_LABELS)) hints_.resize(static_cast<size_t>(MAX_LABELS));
  int n = count();
  for (int i = 0; i < n; ++i) hints_[static_cast<size_t>(i)].label = labelFor(i, n);
}

bool LinkHints::matches(const Hint& hint) const { return hint.label.startsWith(typed_); }

LinkHints::Answer LinkHints::type(char16_t c) {
  if (!active()) return IGNORED;
  if (c == ESCAPE) {
    close();
    return CLOSED;
  }
  if (c == BACKSPACE) {
    if (typed_.isNull()) {
      close();
      return CLOSED;
    }
    typed_ = typed_.substring(0, typed_.length() - 1);
    return PENDING;
  }
  c = lowerLetter(c);
  if (c < u'a' || c > u'z') return IGNORED;
  typed_ = typed_ + c;
  for (const Hint& hint : hints_) {
    if (!matches(hint)) continue;
    if (hint.label.length() != typed_.length()) return PENDING;
    RenderItem* item = hint.item;
    close();
    chosen_ = item;
    return CHOSEN;
  }
  close();
  return CLOSED;
}

void LinkHints::close() {
  hints_.clear();
  typed_ = String();
  chosen_ = nullptr;
}

String LinkHints::label(int i) const {
  return i >= 0 && i < count() ? hints_[static_cast<size_t>(i)].label : String();
}

RenderItem* LinkHints::item(int i) const {
  return i >= 0 && i < count() ? hints_[static_cast<size_t>(i)].item : nullptr;
}

void LinkHints::draw(Graphics& g, vwt::Font* font, int scrollX, int scrollY) {
  if (!active()) return;
  vwt::Font* savedFont = g.getFont();
  if (font) g.setFont(font);
  // Without a font the toolkit's stock face draws: 20 pixels high, ascent 16.
  int ascent = font ? font->getAscent() : 16;
  int textHeight = font ? font->getHeight() : 20;
  int boxHeight = textHeight + 2 * PAD_Y + 2;
  std::vector<int> placed;  // (x, y, w, h) of the boxes drawn, screen pixels
  int typedLength = typed_.length();
  for (const Hint& hint : hints_) {
    if (!matches(hint)) continue;
    // One pixel wider for the doubled strokes.
    int boxWidth = g.stringWidth(hint.label) + 1 + 2 * PAD_X + 2;
    int x = std::max(0, hint.x - scrollX);
    int y = std::max(0, std::min(hint.y - scrollY, viewHeight_ - boxHeight));
    for (int nudge = 0; nudge < MAX_NUDGES; ++nudge) {
      bool moved = false;
      for (size_t p = 0; p < placed.size(); p += 4) {
        if (overlaps(x, y, boxWidth, boxHeight, placed[p], placed[p + 1], placed[p + 2], placed[p + 3])) {
          x = placed[p] + placed[p + 2];
          moved = true;
        }
      }
      if (!moved) break;
    }
    x = std::max(0, std::min(x, viewWidth_ - boxWidth));
    placed.insert(placed.end(), {x, y, boxWidth, boxHeight});
    g.setColor(FILL_COLOR);
    g.fillRect(x, y, boxWidth, boxHeight);
    g.setColor(FRAME_COLOR);
    g.drawRect(x, y, boxWidth - 1, boxHeight - 1);
    // Letters drawn twice a pixel apart read as bold in any face; the typed ones are dimmed.
    int textX = x + 1 + PAD_X;
    int baseline = y + 1 + PAD_Y + ascent;
    String done = hint.label.substring(0, typedLength);
    String rest = hint.label.substring(typedLength);
    int doneWidth = g.stringWidth(done);
    for (int dx = 0; dx < 2; ++dx) {
      if (!done.isNull()) {
        g.setColor(TYPED_COLOR);
        g.drawString(done, textX + dx, baseline);
      }
      g.setColor(TEXT_COLOR);
      g.drawString(rest, textX + doneWidth + dx, baseline);
    }
  }
  g.setFont(savedFont);
}
