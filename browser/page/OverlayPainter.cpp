#include "browser/page/OverlayPainter.h"

#include <algorithm>
#include <cstdint>

#include "browser/page/DrawingRoutines.h"
#include "browser/page/Palette.h"
#include "browser/page/RenderItem.h"
#include "vwt/lang/Boolean.h"
#include "vwt/lang/Integer.h"
#include "vwt/ui/Font.h"
#include "vwt/ui/Graphics.h"

namespace {

const int FRAME_BLUE = 0x8080FF;
const int BLACK = static_cast<int>(0xFF000000u);
const int MAX_INDENT = 8;
const int KNOB_WIDTH = 10;
// Without a font the toolkit draws with its stock face at this height.
const int STOCK_LINE_HEIGHT = 16;

// Palette entries of the items.
enum Entry : int {
  CORNER_MARK = 0,
  MENU_TEXT = 1,
  MENU_FRAME = 2,
  MENU_SELECTED = 5,
  MENU_DISABLED = 6,
  SIDE_BACKGROUND = 11,
  SIDE_HEADING_TEXT = 14,
  SIDE_TEXT = 15,
  SIDE_LIGHT = 16,
  SIDE_DARK = 17,
  SIDE_SELECTED = 18,
  FOCUS = 19,
  PANEL_BODY = 21,
  PANEL_TITLE_TEXT = 22,
  PANEL_TITLE = 23,
  PANEL_FRAME = 24,
  SLIDER_RAIL = 25,
  SLIDER_HIGHLIGHT = 26,
  SLIDER_KNOB = 27,
  MENU_BODY = 29,
};

// The drawing state every item shares: palette, font measures, zoom.
class Pen {
 public:
  // A pen that clips leaves the clip cleared; one that does not leaves the caller's clip alone.
  Pen(Graphics& g, const OverlayPainter::Style& style, bool clips)
      : g(g), style(style), clips_(clips), savedFont_(g.getFont()) {
    if (style.interfaceFont) {
      g.setFont(style.interfaceFont);
      lineHeight = std::max(1, style.interfaceFont->getHeight());
      ascent = style.interfaceFont->getAscent();
    }
    zoom = style.zoom > 0 ? style.zoom : 100;
  }
  ~Pen() {
    if (clips_) g.clearClip();
    g.setFont(savedFont_);
  }
  Pen(const Pen&) = delete;
  Pen& operator=(const Pen&) = delete;

  int colour(int entry) const {
    return Palette::forDrawing(Palette::colour(style.paletteSet, entry), style.translucent, true);
  }
  void use(int entry) { g.setColorARGB(colour(entry)); }
  int scaled(int v) const { return static_cast<int>(int64_t{v} * zoom / 100); }
  int unscaled(int v) const { return static_cast<int>(int64_t{v} * 100 / zoom); }
  // Baseline of one line of text centred in a band from top, height high.
  int baseline(int top, int height) const { return top + (height - lineHeight) / 2 + ascent; }

  Graphics& g;
  const OverlayPainter::Style& style;
  int lineHeight = STOCK_LINE_HEIGHT;
  int ascent = STOCK_LINE_HEIGHT;
  int zoom = 100;

 private:
  bool clips_;
  vwt::Font* savedFont_;
};

RenderItem::ValueList* listOf(RenderItem* item, int i) {
  if (!item->lists.get() || i < 0 || i >= item->lists->size()) return nullptr;
  return item->lists->elementAt(i);
}

Object* entryOf(RenderItem::ValueList* list, int i) {
  return list && i >= 0 && i < list->size() ? list->elementAt(i) : nullptr;
}

int intAt(RenderItem::ValueList* list, int i, int fallback) {
  Integer* v = dynamic_cast<Integer*>(entryOf(list, i));
  return v ? v->intValue() : fallback;
}

bool boolAt(RenderItem::ValueList* list, int i, bool fallback) {
  Boolean* v = dynamic_cast<Boolean*>(entryOf(list, i));
  return v ? v->boolValue() : fallback;
}

String stringAt(RenderItem::ValueList* list, int i) {
  String* v = dynamic_cast<String*>(entryOf(list, i));
  return v ? *v : String();
}

int clampInt(int v, int lo, int hi) { return v < lo ? lo : (v > hi ? hi : v); }

// Upper half top to middle, lower half back: the bars of menu and panel titles.
void twoBandGradient(Graphics& g, int x, int y, int w, int h, int edge, int middle) {
  int half = h / 2;
  DrawingRoutines::verticalGradient(g, x, y, w, half, edge, middle);
  DrawingRoutines::verticalGradient(g, x, y + half, w, h - half, middle, edge);
}

void closeMark(Pen& p, int right, int top, int barHeight) {
  const int w = 2 * DrawingRoutines::ICON_SIZE;
  DrawingRoutines::drawIcon(p.g, p.style.iconStrip, DrawingRoutines::CLOSE_MARK, right - w,
                            top + (barHeight - DrawingRoutines::ICON_SIZE) / 2, 100);
}

void drawScrollBar(Pen& p, RenderItem* item, int x, int y, int w, int h) {
  if (w < 3 || h < 3) return;
  Graphics& g = p.g;
  g.setColor(FRAME_BLUE);
  g.drawLine(x + w / 2, y, x + w / 2, y + h - 1);

  const int margin = p.zoom / 50;
  int track = h - margin;
  if (track < 3) track = h;
  const int total = item->color2;
  const int visible = std::max(item->color, 0);
  int top = 0, bottom = track;
  const bool fills = total <= 0 || visible >= total;
  if (!fills) {
    const int first = clampInt(item->value1, 0, total - visible);
    top = static_cast<int>(int64_t{track} * first / total);
    bottom = static_cast<int>(int64_t{track} * (first + visible) / total);
    // A thumb never shrinks below something a finger can see.
    const int least = std::min(track, w / 2 + 2);
    if (bottom - top < least) {
      bottom = std::min(track, top + least);
      top = bottom - least;
    }
  }
  const int ty = y + margin / 2 + top, th = bottom - top;
  if (fills)
    DrawingRoutines::verticalGradient(g, x + 1, ty + 1, w - 2, th - 2, static_cast<int>(0xFFFFFFFFu),
                                      static_cast<int>(0xFFEEEEEEu));
  else
    DrawingRoutines::verticalGradient(g, x + 1, ty + 1, w - 2, th - 2, static_cast<int>(0xFFF0F0F0u),
                                      static_cast<int>(0xFFCCCCDDu));
  if (item->flags & 1)
    p.use(FOCUS);
  else
    g.setColor(FRAME_BLUE);
  g.drawRect(x, ty, w - 1, th - 1);

  // Grips: three light-over-blue pairs, three pixels apart, around the thumb's middle.
  if (th > w && th >= 12 && w >= 7) {
    const int mid = ty + th / 2;
    for (int k = -1; k <= 1; ++k) {
      const int gy = mid + 3 * k - 1;
      g.setColor(0xF0F0F0);
      g.drawLine(x + 3, gy, x + w - 4, gy);
      g.setColor(FRAME_BLUE);
      g.drawLine(x + 3, gy + 1, x + w - 4, gy + 1);
    }
  }
}

void drawArrow(Pen& p, RenderItem* item, int x, int y, int w, int h) {
  if (w < 2 || h < 2) return;
  const bool right = (item->flags & 1) != 0;
  const int base = right ? x : x + w - 1;
  const int tip = right ? x + w - 1 - w / 10 : x + w / 10;
  const int xs[3] = {base, tip, base};
  const int ys[3] = {y, y + h / 2, y + h - 1};
  DrawingRoutines::fillPolygon(p.g, xs, ys, 3, 1, 1, p.colour(SIDE_DARK));
  DrawingRoutines::fillPolygon(p.g, xs, ys, 3, 0, 0, p.colour(SIDE_SELECTED));
}

// The scroll-bar child of an item whose rows do not fit: made or dropped, its fields set in the item's
// own (unzoomed) coordinates for hit-testing, and drawn at (x, y, w, h); the owner is drawn at (ownerX,
// ownerY).
void scrollBarChild(Pen& p, RenderItem* owner, int ownerX, int ownerY, bool needed, int first, int visible,
                    int total, int x, int y, int w, int h) {
  if (!needed) {
    if (owner->child && owner->child->type == RenderItem::SCROLL_BAR) owner->setChild(nullptr);
    return;
  }
  if (!owner->child || owner->child->type != RenderItem::SCROLL_BAR) {
    RenderItem* bar = new RenderItem();
    bar->type = RenderItem::SCROLL_BAR;
    owner->setChild(bar);
  }
  RenderItem* bar = owner->child;
  bar->x = owner->x + p.unscaled(x - ownerX);
  bar->y = owner->y + p.unscaled(y - ownerY);
  bar->width = p.unscaled(w);
  bar->height = p.unscaled(h);
  bar->color = visible;
  bar->color2 = total;
  bar->value1 = first;
  bar->flags = (bar->flags & ~RenderItem::INTERFACE_FONT) | (owner->flags & RenderItem::INTERFACE_FONT);
  drawScrollBar(p, bar, x, y, w, h);
}

// One line of a row's label: the part before a tab at textX, the part after it at tabX (right-aligned
// at rightEdge when tabX is 0), each clipped to the row.
void rowLabel(Pen& p, const String& label, int textX, int tabX, int rightEdge, int baseline) {
  Graphics& g = p.g;
  const int tab = label.indexOf(u'\t');
  if (tab < 0) {
    g.drawString(label, textX, baseline);
    return;
  }
  const String after = label.substring(tab + 1);
  const int afterX = tabX > 0 ? tabX : rightEdge - g.stringWidth(after);
  g.drawString(label.substring(0, tab), textX, baseline);
  g.drawString(after, std::max(afterX, textX), baseline);
}

void drawMenu(Pen& p, RenderItem* item, int x, int y, int w, int h) {
  if (w < 3 || h < 3) return;
  Graphics& g = p.g;
  const int gap = OverlayPainter::GAP;
  const int titleHeight = std::max(p.lineHeight, DrawingRoutines::ICON_SIZE) + gap;
  if (p.style.translucent) DrawingRoutines::dropShadow(g, x, y, w, h);
  g.clipRect(x, y, w, h);
  p.use(MENU_BODY);
  g.fillRect(x, y, w, h);

  // Title bar, the close mark at its right end.
  const int closeWidth = 2 * DrawingRoutines::ICON_SIZE;
  if (p.style.translucent) {
    p.use(MENU_FRAME);
    g.fillRect(x + 1, y + 1, w - 2, titleHeight);
  } else {
    twoBandGradient(g, x + 1, y + 1, w - 2, titleHeight, static_cast<int>(0xFFFFFFFFu),
                    static_cast<int>(0xFFE7E7E7u));
  }
  closeMark(p, x + w - 1 - 1, y + 1, titleHeight);
  g.clipRect(x + 1, y + 1, std::max(0, w - 2 - closeWidth - gap), titleHeight);
  // The fixed light gradient needs dark text; the translucent bar takes the palette's.
  if (p.style.translucent)
    p.use(MENU_TEXT);
  else
    g.setColorARGB(BLACK);
  const int titleBase = p.baseline(y + 1, titleHeight);
  g.drawString(item->text, x + 1 + gap, titleBase);
  if (p.style.translucent && p.style.paletteSet == 1) g.drawString(item->text, x + 2 + gap, titleBase);
  g.setClip(x, y, w, h);

  // Rows.
  RenderItem::ValueList* labels = listOf(item, 0);
  RenderItem::ValueList* enabled = listOf(item, 2);
  RenderItem::ValueList* icons = listOf(item, 3);
  RenderItem::ValueList* indents = listOf(item, 4);
  const int count = labels ? labels->size() : 0;
  const int rowHeight = p.lineHeight + gap;
  const int rowsTop = y + 1 + titleHeight + 1, rowsBottom = y + h - 1;
  const int visible = std::max(0, rowsBottom - rowsTop) / rowHeight;
  const int first = clampInt(item->value1, 0, std::max(0, count - visible));
  const bool needsBar = count > visible && visible > 0;
  const int barWidth = p.scaled(OverlayPainter::SCROLL_BAR_WIDTH);
  const int barX = x + w - p.scaled(OverlayPainter::SCROLL_BAR_INSET);
  const int rowLeft = x + 1, rowRight = needsBar ? barX - 1 : x + w - 1;
  const int iconSize = p.scaled(DrawingRoutines::ICON_SIZE);

  int markWidth = 0;
  for (int r = 0; r < 12; ++r)
    markWidth = std::max(markWidth, g.stringWidth(String(OverlayPainter::rowMark(r), false)));
  bool anyIcon = false;
  for (int r = 0; icons && r < icons->size(); ++r) anyIcon = anyIcon || intAt(icons, r, -1) >= 0;
  const int markX = rowLeft + gap, contentX = markX + markWidth + gap;
  const int tabX = item->param1 > 0 ? x + p.scaled(item->param1) : 0;

  for (int k = 0; k < visible && first + k < count; ++k) {
    const int row = first + k, top = rowsTop + k * rowHeight;
    const bool selected = row == item->value2;
    if (selected) {
      p.use(MENU_SELECTED);
      if (p.style.translucent)
        g.drawRect(rowLeft, top, rowRight - rowLeft - 1, rowHeight - 1);
      else
        g.fillRect(rowLeft, top, rowRight - rowLeft, rowHeight);
    }
    g.setClip(rowLeft, top, std::max(0, rowRight - rowLeft - gap), rowHeight);
    if (!boolAt(enabled, row, true))
      p.use(MENU_DISABLED);
    else if (selected && !p.style.translucent)
      g.setColorARGB(BLACK);  // on the light selection bar in either set
    else
      p.use(MENU_TEXT);
    const int base = p.baseline(top, rowHeight);
    const String mark(OverlayPainter::rowMark(row), false);
    g.drawString(mark, markX + (markWidth - g.stringWidth(mark)) / 2, base);
    int textX = contentX + clampInt(intAt(indents, row, 0), 0, MAX_INDENT) * iconSize;
    if (anyIcon) {
      const int colour = g.getColor();
      DrawingRoutines::drawIcon(g, p.style.iconStrip, intAt(icons, row, -1), textX,
                                top + (rowHeight - iconSize) / 2, p.zoom);
      g.setColorARGB(colour);
      textX += iconSize + gap;
    }
    rowLabel(p, stringAt(labels, row), textX, tabX, rowRight - gap, base);
    g.setClip(x, y, w, h);
  }
  scrollBarChild(p, item, x, y, needsBar, first, visible, count, barX, rowsTop, barWidth,
                 rowsBottom - rowsTop);

  p.use(MENU_FRAME);
  g.drawLine(x, y + 1 + titleHeight, x + w - 1, y + 1 + titleHeight);
  g.drawRect(x, y, w - 1, h - 1);
}

void drawSideMenu(Pen& p, RenderItem* item, int x, int y, int w, int h) {
  if (w < 3 || h < 3) return;
  Graphics& g = p.g;
  const int gap = OverlayPainter::GAP;
  g.clipRect(x, y, w, h);
  p.use(SIDE_BACKGROUND);
  g.fillRect(x, y, w, h);

  RenderItem::ValueList* labels = listOf(item, 0);
  RenderItem::ValueList* selectable = listOf(item, 2);
  const int count = labels ? labels->size() : 0;
  const int rowHeight = p.lineHeight + 2 * gap;
  const int rowsTop = y + 1, rowsBottom = y + h - 1;
  const int visible = std::max(0, rowsBottom - rowsTop) / rowHeight;
  const int first = clampInt(item->value1, 0, std::max(0, count - visible));
  const bool needsBar = count > visible && visible > 0;
  const int barX = x + w - p.scaled(OverlayPainter::SCROLL_BAR_INSET);
  const int rowLeft = x + 1, rowRight = needsBar ? barX - 1 : x + w - 1;
  const int markWidth = std::max(3, p.lineHeight / 3);
  const int textX = rowLeft + gap + markWidth + gap;

  for (int k = 0; k < visible && first + k < count; ++k) {
    const int row = first + k, top = rowsTop + k * rowHeight;
    const bool heading = !boolAt(selectable, row, true);
    const bool current = row == item->value2;
    if (current) {
      p.use(SIDE_SELECTED);
      g.fillRect(rowLeft, top + 1, rowRight - rowLeft, rowHeight - 2);
    }
    p.use(SIDE_LIGHT);
    g.drawLine(rowLeft, top, rowRight - 1, top);
    p.use(SIDE_DARK);
    g.drawLine(rowLeft, top + rowHeight - 1, rowRight - 1, top + rowHeight - 1);
    if (heading)
      DrawingRoutines::verticalGradient(g, rowLeft + gap, top + gap, markWidth, rowHeight - 2 * gap,
                                        static_cast<int>(0xFF0077FFu), static_cast<int>(0xFF0000FFu));
    g.setClip(rowLeft, top, std::max(0, rowRight - rowLeft - gap), rowHeight);
    if (current)
      g.setColorARGB(BLACK);  // on the light selection bar in either set
    else
      p.use(heading ? SIDE_HEADING_TEXT : SIDE_TEXT);
    rowLabel(p, stringAt(labels, row), textX, 0, rowRight - gap, p.baseline(top, rowHeight));
    g.setClip(x, y, w, h);
  }
  scrollBarChild(p, item, x, y, needsBar, first, visible, count, barX, rowsTop,
                 p.scaled(OverlayPainter::SCROLL_BAR_WIDTH), rowsBottom - rowsTop);
  p.use(SIDE_DARK);
  g.drawRect(x, y, w - 1, h - 1);
}

void cornerMarks(Pen& p, int x, int y, int w, int h) {
  const int len = 6;
  p.use(CORNER_MARK);
  const int left = x - 2, top = y - 2, right = x + w, bottom = y + h;
  p.g.fillRect(left, top, len, 2);
  p.g.fillRect(left, top + 2, 2, len - 2);
  p.g.fillRect(right + 2 - len, top, len, 2);
  p.g.fillRect(right, top + 2, 2, len - 2);
  p.g.fillRect(left, bottom, len, 2);
  p.g.fillRect(left, bottom + 2 - len, 2, len - 2);
  p.g.fillRect(right + 2 - len, bottom, len, 2);
  p.g.fillRect(right, bottom + 2 - len, 2, len - 2);
}

void drawPanel(Pen& p, RenderItem* item, int x, int y, int w, int h) {
  if (w < 5 || h < 5) return;
  Graphics& g = p.g;
  const int gap = OverlayPainter::GAP;
  const bool glass = p.style.translucent;
  const int inset = glass ? 2 : 1;
  const int titleHeight = std::max(p.lineHeight, DrawingRoutines::ICON_SIZE) + gap;

  if (glass) {
    DrawingRoutines::dropShadow(g, x, y, w, h);
    cornerMarks(p, x, y, w, h);
  }
  g.clipRect(x, y, w, h);
  p.use(glass ? PANEL_TITLE : PANEL_BODY);
  g.fillRect(x, y, w, h);
  int titleX = x + inset + gap;
  if (glass) {
    p.use(PANEL_TITLE);
    g.fillRect(x + inset, y + inset, w - 2 * inset, titleHeight);
    DrawingRoutines::drawIcon(g, p.style.iconStrip, 36, titleX,
                              y + inset + (titleHeight - DrawingRoutines::ICON_SIZE) / 2, 100);
    titleX += DrawingRoutines::ICON_SIZE + gap;
  } else {
    twoBandGradient(g, x + inset, y + inset, w - 2 * inset, titleHeight, static_cast<int>(0xFF0000FFu),
                    static_cast<int>(0xFF0077FFu));
  }
  closeMark(p, x + w - inset - 1, y + inset, titleHeight);
  g.clipRect(x + inset, y + inset, std::max(0, w - 2 * inset - 2 * DrawingRoutines::ICON_SIZE - gap),
             titleHeight);
  p.use(PANEL_TITLE_TEXT);
  g.drawString(item->text, titleX, p.baseline(y + inset, titleHeight));

  // Children, scrolled by whole rows, inside the content area.
  const int contentX = x + inset + gap, contentY = y + inset + titleHeight + gap;
  const int contentW = w - 2 * (inset + gap), contentH = y + h - inset - gap - contentY;
  RenderItem::ValueList* children = listOf(item, 0);
  const int count = children ? children->size() : 0;
  const int step = item->param1 > 0 ? item->param1 : p.lineHeight + gap;
  int extent = 0;
  for (int i = 0; i < count; ++i)
    if (RenderItem* c = dynamic_cast<RenderItem*>(children->elementAt(i)))
      extent =
          std::max<int64_t>(extent, std::min<int64_t>(int64_t{c->y} + std::max(c->height, 0), INT32_MAX / 2));
  const int total = static_cast<int>((int64_t{extent} + step - 1) / step);
  const int visible = contentH > 0 ? contentH * 100 / p.zoom / step : 0;
  const int first = clampInt(item->value1, 0, std::max(0, total - visible));
  const bool needsBar = total > visible && visible > 0;
  const int barWidth = p.scaled(OverlayPainter::SCROLL_BAR_WIDTH);
  const int originY =
      contentY - p.scaled(static_cast<int>(std::min<int64_t>(int64_t{first} * step, INT32_MAX / 2)));
  const int focused = item->value2;
  if (contentW > 0 && contentH > 0 && p.style.drawChild) {
    const int clipW = needsBar ? contentW - barWidth - gap : contentW;
    for (int pass = 0; pass < 2; ++pass)
      for (int i = 0; i < count; ++i) {
        RenderItem* c = dynamic_cast<RenderItem*>(children->elementAt(i));
        if (!c || c == item || (i == focused) != (pass == 1)) continue;
        g.setClip(contentX, contentY, std::max(0, clipW), contentH);
        p.style.drawChild(g, c, contentX, originY);
        if (pass == 1) {
          g.setClip(contentX - 1, contentY - 1, std::max(0, clipW) + 2, contentH + 2);
          p.use(FOCUS);
          g.drawRect(contentX + p.scaled(c->x) - 1, originY + p.scaled(c->y) - 1, p.scaled(c->width) + 1,
                     p.scaled(c->height) + 1);
        }
      }
  }
  g.setClip(x, y, w, h);
  scrollBarChild(p, item, x, y, needsBar, first, visible, total, x + w - inset - gap - barWidth, contentY,
                 barWidth, contentH);

  p.use(PANEL_FRAME);
  g.drawRect(x, y, w - 1, h - 1);
  if (glass) {
    g.setColor(0xB4B4B4);
    g.drawRect(x + 1, y + 1, w - 3, h - 3);
  }
}

void drawSlider(Pen& p, RenderItem* item, int x, int y, int w, int h) {
  if (w < 3 || h < 3) return;
  Graphics& g = p.g;
  RenderItem::ValueList* values = listOf(item, 0);
  const int minimum = intAt(values, 0, 0), maximum = std::max(minimum, intAt(values, 2, minimum));
  const int value = clampInt(intAt(values, 1, minimum), minimum, maximum);
  const String maxText = String(maximum);
  const int reserved = g.stringWidth(u" 000"_s);
  const int travel = std::max(0, w - reserved - KNOB_WIDTH);
  const int64_t range = int64_t{maximum} - minimum;
  const int knobX = x + (range > 0 ? static_cast<int>((int64_t{value} - minimum) * travel / range) : 0);
  g.clipRect(x, y, w, h);

  const int mid = y + h / 2, railRight = x + travel + KNOB_WIDTH - 1;
  p.use(SLIDER_RAIL);
  g.drawLine(x, mid - 1, railRight, mid - 1);
  g.drawLine(x, mid + 1, railRight, mid + 1);
  p.use(SLIDER_KNOB);
  g.drawLine(x, mid, railRight, mid);

  g.fillRect(knobX + 1, y + 2, KNOB_WIDTH - 2, h - 4);
  p.use((item->flags & 0x20) ? SLIDER_HIGHLIGHT : SLIDER_RAIL);
  g.drawRect(knobX, y + 1, KNOB_WIDTH - 1, h - 3);

  p.use(MENU_TEXT);
  g.drawString(maxText, x + w - g.stringWidth(maxText), p.baseline(y, h));
}

}  // namespace

const char16_t* OverlayPainter::rowMark(int row) {
  static const char16_t* const marks[12] = {u"1", u"2", u"3", u"4", u"5", u"6",
                                            u"7", u"8", u"9", u"*", u"0", u"#"};
  return row >= 0 && row < 12 ? marks[row] : u"";
}

bool OverlayPainter::draw(Graphics& g, RenderItem* item, int x, int y, int w, int h, const Style& style) {
  if (!item) return false;
  const int type = item->type;
  if (type != RenderItem::SCROLL_BAR && type != ARROW && type != MENU && type != SIDE_MENU && type != PANEL &&
      type != SLIDER)
    return false;
  Pen p(g, style, type != RenderItem::SCROLL_BAR && type != ARROW);
  switch (type) {
    case RenderItem::SCROLL_BAR:
      drawScrollBar(p, item, x, y, w, h);
      break;
    case ARROW:
      drawArrow(p, item, x, y, w, h);
      break;
    case MENU:
      drawMenu(p, item, x, y, w, h);
      break;
    case SIDE_MENU:
      drawSideMenu(p, item, x, y, w, h);
      break;
    case PANEL:
      drawPanel(p, item, x, y, w, h);
      break;
    default:
      drawSlider(p, item, x, y, w, h);
      break;
  }
  return true;
}
