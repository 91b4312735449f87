#include "browser/page/ItemPainter.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "browser/page/DrawingRoutines.h"
#include "browser/page/OverlayPainter.h"
#include "browser/page/PageFonts.h"
#include "browser/page/Palette.h"
#include "browser/page/RenderItem.h"
#include "browser/page/RendererHost.h"
#include "browser/page/TextWrapper.h"
#include "browser/page/TileCache.h"
#include "vwt/io/File.h"
#include "vwt/lang/Boolean.h"
#include "vwt/lang/Integer.h"
#include "vwt/lang/System.h"
#include "vwt/ui/Font.h"
#include "vwt/ui/Graphics.h"
#include "vwt/ui/Image.h"

namespace {

// Drawn coordinates stay well inside int, whatever a page claims.
const int64_t COORD_LIMIT = 1 << 28;
// Shapes reaching past this distance from the drawn area are cut before they reach the rasteriser.
const int64_t FAR_OUT = 1 << 14;

const int INTERFACE_FONT = RenderItem::INTERFACE_FONT;
const int SCROLLBAR_WIDTH = OverlayPainter::SCROLL_BAR_WIDTH;
const int SCROLLBAR_INSET = OverlayPainter::SCROLL_BAR_INSET;
const int CHECKED = 0x4;
const int BOLD = 0x2, UNDERLINE = 0x1, LINE_THROUGH = 0x4;
const int BOX_IMAGE = 0x10, BOX_THIN_BORDERS = 0x20, BOX_OUTLINE = 0x40;
const int TYPE_ARROW = OverlayPainter::ARROW, TYPE_MENU = OverlayPainter::MENU,
          TYPE_SLIDER = OverlayPainter::SLIDER;

const String OBJECT_LOADING = u"OBJECT\u63CF\u753B\u6E96\u5099\u4E2D"_s;
const String OBJECT_UNSUPPORTED = u"\u975E\u5BFE\u5FDC\u8981\u7D20\u3067\u3059\uFF08OBJECT\uFF09"_s;

int clampCoord(int64_t v) {
  return static_cast<int>(v < -COORD_LIMIT ? -COORD_LIMIT : (v > COORD_LIMIT ? COORD_LIMIT : v));
}

int low(int packed) { return static_cast<int16_t>(packed & 0xFFFF); }
int high(int packed) { return static_cast<int16_t>((static_cast<uint32_t>(packed) >> 16) & 0xFFFF); }

int opaque(int rgb) { return static_cast<int>(static_cast<uint32_t>(rgb) | 0xFF000000u); }

RenderItem::ValueList* listOf(const RenderItem* item, int i) { return item->getList(i); }

int listSize(const RenderItem* item, int i) {
  RenderItem::ValueList* list = listOf(item, i);
  return list ? list->size() : 0;
}

// Entry i of value list n when it is a String; null otherwise.
const String* stringAt(const RenderItem* item, int n, int i) {
  RenderItem::ValueList* list = listOf(item, n);
  if (!list || i < 0 || i >= list->size()) return nullptr;
  return dynamic_cast<String*>(list->elementAt(i));
}

bool flagAt(const RenderItem* item, int n, int i) {
  RenderItem::ValueList* list = listOf(item, n);
  if (!list || i < 0 || i >= list->size()) return false;
  Boolean* b = dynamic_cast<Boolean*>(list->elementAt(i));
  return b && b->boolValue();
}

bool intAt(const RenderItem* item, int n, int i, int* out) {
  RenderItem::ValueList* list = listOf(item, n);
  if (!list || i < 0 || i >= list->size()) return false;
  Integer* v = dynamic_cast<Integer*>(list->elementAt(i));
  if (!v) return false;
  *out = v->intValue();
  return true;
}

int clampInt(int v, int lo, int hi) { return v < lo ? lo : (v > hi ? hi : v); }

// The page item a re-flowed item derives from is its first reference.
const RenderItem* firstRef(const RenderItem* item) {
  if (!item->refs || item->refs->size() == 0) return nullptr;
  return dynamic_cast<const RenderItem*>(item->refs->elementAt(0));
}

// Liang-Barsky: the part of a segment inside the rectangle; false when none.
bool clipSegment(double& x1, double& y1, double& x2, double& y2, double left, double top, double right,
                 double bottom) {
  double t0 = 0, t1 = 1, dx = x2 - x1, dy = y2 - y1;
  const double p[4] = {-dx, dx, -dy, dy};
  const double q[4] = {x1 - left, right - x1, y1 - top, bottom - y1};
  for (int i = 0; i < 4; ++i) {
    if (p[i] == 0) {
      if (q[i] < 0) return false;
      continue;
    }
    double t = q[i] / p[i];
    if (p[i] < 0) {
      if (t > t1) return false;
      if (t > t0) t0 = t;
    } else {
      if (t < t0) return false;
      if (t < t1) t1 = t;
    }
  }
  double ox = x1, oy = y1;
  x1 = ox + t0 * dx;
  y1 = oy + t0 * dy;
  x2 = ox + t1 * dx;
  y2 = oy + t1 * dy;
  return true;
}

}  // namespace

ItemPainter::ItemPainter(RendererHost* host, PageFonts* fonts, TileCache* tiles)
    : host_(host), fonts_(fonts), tiles_(tiles) {}

int ItemPainter::zoomed(int v, int zoom) { return clampCoord(static_cast<int64_t>(zoom) * v / 100); }

ItemPainter::Box ItemPainter::drawnBox(const RenderItem* item) const {
  Box b{z(item->x), z(item->y), z(item->width), z(item->height)};
  bool partType = (item->type >= RenderItem::IMAGE && item->type <= RenderItem::TILED_IMAGE) ||
                  item->type == RenderItem::BOX;
  // A re-flowed image's rectangle is already the part it shows.
  if (partType && !pass_.reflow && low(item->value2) != 0 && high(item->value2) != 0) {
    b.x = clampCoord(static_cast<int64_t>(b.x) + z(low(item->value1)));
    b.y = clampCoord(static_cast<int64_t>(b.y) + z(high(item->value1)));
    b.w = z(low(item->value2));
    b.h = z(high(item->value2));
  }
  return b;
}

void ItemPainter::copyFromSource(RenderItem* item) {
  RenderItem* s = item->source;
  if (!s || s == item) return;
  item->text = s->text;
  item->color = s->color;
  item->color2 = s->color2;
  item->flags = s->flags;
  item->value1 = s->value1;
  item->value2 = s->value2;
  item->name = s->name;
  item->lists = s->lists;
}

vwt::Font* ItemPainter::fontFor(const RenderItem* item) {
  return (item->flags & INTERFACE_FONT) ? fonts_->interfaceFont() : fonts_->pageFont();
}

int ItemPainter::pageColour(int rgb) const { return Palette::forDrawing(rgb, host_->isTranslucent(), true); }

int ItemPainter::palette(int entry) const { return Palette::colour(host_->paletteSet(), entry); }

void ItemPainter::restoreClip(Graphics& g) const {
  g.setClip(pass_.clipX, pass_.clipY, pass_.clipW, pass_.clipH);
}

void ItemPainter::clipTo(Graphics& g, int x, int y, int w, int h) const {
  int64_t l = std::max<int64_t>(x, pass_.clipX), t = std::max<int64_t>(y, pass_.clipY);
  int64_t r = std::min<int64_t>(static_cast<int64_t>(x) + w, static_cast<int64_t>(pass_.clipX) + pass_.clipW);
  int64_t b = std::min<int64_t>(static_cast<int64_t>(y) + h, static_cast<int64_t>(pass_.clipY) + pass_.clipH);
  if (r < l) r = l;
  if (b < t) b = t;
  g.setClip(static_cast<int>(l), static_cast<int>(t), static_cast<int>(r - l), static_cast<int>(b - t));
}

void ItemPainter::fill(Graphics& g, int x, int y, int w, int h) const {
  if (w <= 0 || h <= 0) return;
  int64_t l = std::max<int64_t>(x, pass_.clipX - 1), t = std::max<int64_t>(y, pass_.clipY - 1);
  int64_t r =
      std::min<int64_t>(static_cast<int64_t>(x) + w, static_cast<int64_t>(pass_.clipX) + pass_.clipW + 1);
  int64_t b =
      std::min<int64_t>(static_cast<int64_t>(y) + h, static_cast<int64_t>(pass_.clipY) + pass_.clipH + 1);
  if (r <= l || b <= t) return;
  g.fillRect(static_cast<int>(l), static_cast<int>(t), static_cast<int>(r - l), static_cast<int>(b - t));
}

void ItemPainter::line(Graphics& g, int x1, int y1, int x2, int y2) const {
  // Lines are only cut when they reach far out: a cut moves the pixels of a slanted line a little, and
  // a strip drawn after a scroll must match the same area drawn whole.
  const int64_t margin = FAR_OUT;
  int64_t left = pass_.clipX - margin, top = pass_.clipY - margin;
  int64_t right = static_cast<int64_t>(pass_.clipX) + pass_.clipW + margin;
  int64_t bottom = static_cast<int64_t>(pass_.clipY) + pass_.clipH + margin;
  bool inside = x1 >= left && x1 <= right && x2 >= left && x2 <= right && y1 >= top && y1 <= bottom &&
                y2 >= top && y2 <= bottom;
  if (inside) {
    g.drawLine(x1, y1, x2, y2);
    return;
  }
  // A long line is cut to the area first, so that the rasteriser never walks a page-sized length.
  double ax = x1, ay = y1, bx = x2, by = y2;
  if (!clipSegment(ax, ay, bx, by, static_cast<double>(left), static_cast<double>(top),
                   static_cast<double>(right), static_cast<double>(bottom)))
    return;
  g.drawLine(static_cast<int>(ax), static_cast<int>(ay), static_cast<int>(bx), static_cast<int>(by));
}

void ItemPainter::outline(Graphics& g, int x, int y, int w, int h) const {
  if (w < 0 || h < 0) return;
  int64_t right = static_cast<int64_t>(x) + w, bottom = static_cast<int64_t>(y) + h;
  bool small = x >= pass_.clipX - FAR_OUT && y >= pass_.clipY - FAR_OUT &&
               right <= static_cast<int64_t>(pass_.clipX) + pass_.clipW + FAR_OUT &&
               bottom <= static_cast<int64_t>(pass_.clipY) + pass_.clipH + FAR_OUT;
  if (small) {
    g.drawRect(x, y, w, h);
    return;
  }
  int r = clampCoord(right), b = clampCoord(bottom);
  line(g, x, y, r, y);
  line(g, x, b, r, b);
  line(g, x, y, x, b);
  line(g, r, y, r, b);
}

void ItemPainter::draw(Graphics& g, RenderItem* item, int ox, int oy) {
  if (!item) return;
  copyFromSource(item);
  vwt::Font* font = fontFor(item);
  if (font) g.setFont(font);
  Box b = drawnBox(item);
  b.x = clampCoord(static_cast<int64_t>(b.x) + ox);
  b.y = clampCoord(static_cast<int64_t>(b.y) + oy);
  switch (item->type) {
    case RenderItem::TEXT:
      drawText(g, item, b, false);
      break;
    case RenderItem::IMAGE:
    case RenderItem::IMAGE_ALT:
      drawImage(g, item, b, true);
      break;
    case RenderItem::IMAGE_BUTTON:
      drawImage(g, item, b, false);
      break;
    case RenderItem::PLACEHOLDER:
      drawPlaceholder(g, item, b);
      break;
    case RenderItem::LINE:
      g.setColorARGB(pageColour(item->color));
      line(g, b.x, b.y, clampCoord(static_cast<int64_t>(b.x) + b.w),
           clampCoord(static_cast<int64_t>(b.y) + b.h));
      break;
    case RenderItem::RECT:
      if (b.w > 0 && b.h > 0) {
        g.setColorARGB(pageColour(item->color));
        outline(g, b.x, b.y, std::max(b.w - 1, 1), std::max(b.h - 1, 1));
      }
      break;
    case RenderItem::FILLED_RECT:
      if (b.w > 0 && b.h > 0) {
        g.setColorARGB(pageColour(item->color));
        fill(g, b.x, b.y, b.w, b.h);
      }
      break;
    case RenderItem::TILED_IMAGE: {
      Image* image = host_->pageImage(item->imageIndex);
      if (image && b.w > 0 && b.h > 0) {
        int px = z(high(item->param1)), py = z(high(item->param2));
        drawTiled(g, image, item->imageIndex, clampCoord(static_cast<int64_t>(b.x) + px),
                  clampCoord(static_cast<int64_t>(b.y) + py), b.x, b.y, b.w, b.h);
      }
      break;
    }
    case RenderItem::BUTTON:
      drawButton(g, item, b);
      break;
    case RenderItem::TEXT_FIELD:
      drawTextField(g, item, b, false);
      break;
    case RenderItem::PASSWORD_FIELD:
      drawTextField(g, item, b, true);
      break;
    case RenderItem::CHECKBOX:
      if (b.w > 1 && b.h > 1)
        DrawingRoutines::drawIcon(g, host_->iconStrip(), (item->flags & CHECKED) ? 41 : 40, b.x, b.y - 1,
                                  pass_.zoom);
      break;
    case RenderItem::RADIO: {
      int lh = font ? font->getHeight() : 0;
      DrawingRoutines::drawIcon(g, host_->iconStrip(), (item->flags & CHECKED) ? 43 : 42, b.x,
                                b.y + (lh - zoomed(12, pass_.zoom)) / 2 - 1, pass_.zoom);
      break;
    }
    case RenderItem::SELECT:
      drawSelect(g, item, b);
      break;
    case RenderItem::LIST:
      drawList(g, item, b);
      break;
    case RenderItem::TEXT_AREA:
      drawTextArea(g, item, b);
      break;
    case RenderItem::BOX:
      drawBox(g, item, b);
      break;
    case RenderItem::OBJECT:
      drawObject(g, item, b);
      break;
    case RenderItem::SCROLL_BAR:
    case TYPE_ARROW:
      drawBrowserMade(g, item, b.x, b.y, b.w, b.h);
      break;
    default:
      if (item->type >= TYPE_MENU && item->type <= TYPE_SLIDER) drawBrowserMade(g, item, b.x, b.y, b.w, b.h);
      // Structure items, hidden fields, anchors and unknown codes have nothing to show.
      break;
  }
  if (fonts_->pageFont()) g.setFont(fonts_->pageFont());
}

void ItemPainter::drawText(Graphics& g, RenderItem* item, const Box& b, bool inverted) {
  vwt::Font* font = fontFor(item);
  if (!font) return;
  int zoom = pass_.zoom;
  int s1 = zoom / 100, s2 = zoom / 50, s3 = zoom * 3 / 100;
  int a = font->getAscent();
  item->value1 = zoom * fonts_->textOffset() / 100;
  g.setColorARGB(inverted ? opaque(0xFFFFFF) : pageColour(item->color));
  int baseline = b.y + item->value1 + a;
  g.drawString(item->text, b.x, baseline);
  // Bold is one more copy per zoom step; zoomed out it still shows as one.
  int extra = (item->flags & BOLD) ? std::max(s1, 1) : 0;
  for (int i = 1; i <= extra; ++i) g.drawString(item->text, b.x + i, baseline);
  int thickness = std::max(s1, 1);
  int barWidth = std::max(b.w + extra - 1, 1);
  if (item->flags & UNDERLINE) fill(g, b.x, b.y + s3 + item->value1 + a, barWidth, thickness);
  if (item->flags & LINE_THROUGH) fill(g, b.x, b.y + s2 + item->value1 + a - a / 2, barWidth, thickness);
}

void ItemPainter::drawImage(Graphics& g, RenderItem* item, const Box& b, bool sourcePart) {
  Image* image = host_->pageImage(item->imageIndex);
  if (!image || image->getWidth() <= 0 || image->getHeight() <= 0) {
    drawPlaceholder(g, item, b);
    return;
  }
  if (b.w <= 0 || b.h <= 0) return;
  int iw = image->getWidth(), ih = image->getHeight();
  if (!sourcePart || low(item->value2) <= 0 || high(item->value2) <= 0) {
    g.drawScaledImage(image, b.x, b.y, b.w, b.h, 0, 0, iw, ih);
    return;
  }
  // A re-flowed image shows the part its page item shows: the page item's offset and size are in
  // page pixels, while the re-flowed ones are scaled to the view's width.
  const RenderItem* part = item;
  if (pass_.reflow) {
    const RenderItem* parent = firstRef(item);
    if (parent && parent->type == item->type && parent->width > 0 && parent->height > 0) part = parent;
  }
  int64_t sx = low(part->value1), sy = high(part->value1), sw = low(part->value2), sh = high(part->value2);
  // The service may send the picture at another resolution than the page lays it out.
  if ((!pass_.reflow || part != item) && part->width > 0 && part->height > 0) {
    sx = sx * iw / part->width;
    sw = sw * iw / part->width;
    sy = sy * ih / part->height;
    sh = sh * ih / part->height;
  }
  sx = std::max<int64_t>(0, std::min<int64_t>(sx, iw - 1));
  sy = std::max<int64_t>(0, std::min<int64_t>(sy, ih - 1));
  sw = std::max<int64_t>(1, std::min<int64_t>(sw, iw - sx));
  sh = std::max<int64_t>(1, std::min<int64_t>(sh, ih - sy));
  g.drawScaledImage(image, b.x, b.y, b.w, b.h, static_cast<int>(sx), static_cast<int>(sy),
                    static_cast<int>(sw), static_cast<int>(sh));
}

void ItemPainter::drawPlaceholder(Graphics& g, RenderItem* item, const Box& b) {
  if ((item->param1 <= 8 || item->param2 <= 8) && (item->width <= 16 || item->height <= 16)) return;
  if (b.w <= 0 || b.h <= 0) return;
  vwt::Font* font = fonts_->pageFont();
  g.setColor(0xFFFFFF);
  fill(g, b.x, b.y, b.w + 1, b.h + 1);
  clipTo(g, b.x, b.y, b.w + 1, b.h + 1);
  g.setColor(PLACEHOLDER_GREY);
  if (font) {
    g.setFont(font);
    g.drawString(item->text, b.x + 2, b.y + font->getAscent() + 2);
  }
  restoreClip(g);
  outline(g, b.x, b.y, b.w, b.h);
}

void ItemPainter::drawTiled(Graphics& g, Image* image, int index, int originX, int originY, int areaX,
                            int areaY, int areaW, int areaH) {
  Image* tile = tiles_ ? tiles_->tileFor(index, image) : image;
  if (!tile || tile->getWidth() <= 0 || tile->getHeight() <= 0) return;
  int tw = z(tile->getWidth()), th = z(tile->getHeight());
  if (tw < 1 || th < 1) return;
  // The area is cut to what is being drawn; tiles are then counted from there.
  int64_t l = std::max<int64_t>(areaX, pass_.clipX), t = std::max<int64_t>(areaY, pass_.clipY);
  int64_t r =
      std::min<int64_t>(static_cast<int64_t>(areaX) + areaW, static_cast<int64_t>(pass_.clipX) + pass_.clipW);
  int64_t bt =
      std::min<int64_t>(static_cast<int64_t>(areaY) + areaH, static_cast<int64_t>(pass_.clipY) + pass_.clipH);
  if (r <= l || bt <= t) return;
  // The first tile covers the area's corner: a phase that moves it inwards is taken back by whole tiles.
  int64_t startX = originX, startY = originY;
  if (startX > areaX) startX -= ((startX - areaX + tw - 1) / tw) * tw;
  if (startY > areaY) startY -= ((startY - areaY + th - 1) / th) * th;
  if (startX + tw <= l) startX += ((l - startX) / tw) * tw;
  if (startY + th <= t) startY += ((t - startY) / th) * th;
  g.setClip(static_cast<int>(l), static_cast<int>(t), static_cast<int>(r - l), static_cast<int>(bt - t));
  bool scaled = tw != tile->getWidth() || th != tile->getHeight();
  for (int64_t y = startY; y < bt; y += th)
    for (int64_t x = startX; x < r; x += tw) {
      if (scaled)
        g.drawScaledImage(tile, static_cast<int>(x), static_cast<int>(y), tw, th, 0, 0, tile->getWidth(),
                          tile->getHeight());
      else
        g.drawImage(tile, static_cast<int>(x), static_cast<int>(y));
    }
  restoreClip(g);
}

void ItemPainter::drawButton(Graphics& g, RenderItem* item, const Box& b) {
  if (b.w <= 2 || b.h <= 11) return;
  vwt::Font* font = fontFor(item);
  DrawingRoutines::verticalGradient(g, b.x + 1, b.y + 1, b.w - 2, b.h - 2, opaque(GRADIENT_TOP),
                                    opaque(GRADIENT_BOTTOM));
  if (font) {
    clipTo(g, b.x, b.y, b.w, b.h);
    g.setColorARGB(pageColour(item->color));
    int tw = g.stringWidth(item->text);
    g.drawString(item->text, b.x + (b.w - tw) / 2, b.y + pass_.zoom / 50 + font->getAscent());
    restoreClip(g);
  }
  g.setColor(CONTROL_FRAME);
  int r = b.x + b.w - 1, bt = b.y + b.h - 1;
  line(g, b.x + 1, b.y, r - 1, b.y);
  line(g, b.x + 1, bt, r - 1, bt);
  line(g, b.x, b.y + 1, b.x, bt - 1);
  line(g, r, b.y + 1, r, bt - 1);
}

void ItemPainter::drawTextField(Graphics& g, RenderItem* item, const Box& b, bool password) {
  if (b.w <= 1 || b.h <= 11) return;
  vwt::Font* font = fontFor(item);
  int s3 = pass_.zoom * 3 / 100;
  g.setColorARGB(pageColour(item->color2));
  fill(g, b.x, b.y, b.w, b.h);
  if (font) {
    clipTo(g, b.x, b.y, b.w, b.h);
    g.setColorARGB(pageColour(item->color));
    int lh = font->getHeight();
    if (!password) {
      g.drawString(item->text, b.x + s3, b.y + s3 + font->getAscent());
    } else {
      int d = lh - pass_.zoom / 25;
      // Only the dots that can show are drawn, however long the value.
      int n = std::min(item->text.length(), lh > 0 ? b.w / lh + 1 : 0);
      for (int i = 0; d > 0 && i < n; ++i)
        g.fillArc(b.x + s3 + i * lh, b.y + s3 + (lh - d) / 2, d, d, 0, 360);
    }
    restoreClip(g);
  }
  g.setColor(CONTROL_FRAME);
  outline(g, b.x, b.y, b.w - 1, b.h - 1);
}

void ItemPainter::drawSelect(Graphics& g, RenderItem* item, const Box& b) {
  if (b.w <= 14 || b.h <= 11) return;
  vwt::Font* font = fontFor(item);
  int zoom = pass_.zoom;
  int s2 = zoom / 50, s3 = zoom * 3 / 100, s12 = zoom * 12 / 100;
  int count = listSize(item, 0);
  item->value1 = count > 0 ? clampInt(item->value1, 0, count - 1) : 0;
  g.setColorARGB(pageColour(item->color2));
  fill(g, b.x, b.y, b.w, b.h);
  int buttonX = b.x + b.w - zoom * 14 / 100;
  const String* label = stringAt(item, 0, item->value2);
  if (font && label) {
    clipTo(g, b.x, b.y, buttonX - b.x, b.h);
    g.setColorARGB(pageColour(item->color));
    g.drawString(*label, b.x + s3, b.y + s2 + font->getAscent());
    restoreClip(g);
  }
  // The drop button: gradient, a green arrow pointing down, a frame.
  DrawingRoutines::verticalGradient(g, buttonX, b.y + 1, s12, b.h - 2, opaque(GRADIENT_TOP),
                                    opaque(GRADIENT_BOTTOM));
  g.setColor(0x008000);
  int rows = std::max(s12 / 3, 2);
  int mid = buttonX + s12 / 2, top = b.y + (b.h - rows) / 2;
  for (int i = 0; i < rows; ++i) line(g, mid - (rows - 1 - i), top + i, mid + (rows - 1 - i), top + i);
  g.setColor(CONTROL_FRAME);
  outline(g, buttonX, b.y, s12, b.h - 1);
  outline(g, b.x, b.y, b.w - 1, b.h - 1);
  if (item->flags & ACTIVE) drawOpenList(g, item, b);
}

void ItemPainter::drawOpenList(Graphics& g, RenderItem* item, const Box& b) {
  vwt::Font* font = fontFor(item);
  int count = listSize(item, 0);
  if (!font || count <= 0) return;
  int lh = std::max(font->getHeight(), 1);
  int s1 = pass_.zoom / 100, s3 = pass_.zoom * 3 / 100;
  int64_t below = static_cast<int64_t>(pass_.viewHeight) - (static_cast<int64_t>(b.y) + b.h);
  int64_t above = b.y;
  int lo = std::max(5 - s1, 1);
  auto rowsIn = [&](int64_t space) {
    return static_cast<int>(
        std::min<int64_t>(std::max<int64_t>(std::max<int64_t>(space, 0) / lh, lo), count));
  };
  if (item->scrollState <= 0) {
    int n = rowsIn(below);
    // Too long for the room below: it opens above, as long as the room there allows.
    if (static_cast<int64_t>(lh) * n + 3 > below) n = rowsIn(std::max(above, below));
    item->scrollState = n;
  }
  int n = clampInt(item->scrollState, 1, count);
  item->value1 = clampInt(item->value1, 0, count - n);
  int height = lh * n + 3;
  bool down = height <= below || above < height;
  int top = down ? b.y + b.h : b.y - height;
  item->param3 =
      static_cast<int>((static_cast<uint32_t>(top) << 16) | (static_cast<uint32_t>(height) & 0xFFFF));
  bool themed = (item->flags & INTERFACE_FONT) != 0;
  g.setColorARGB(pageColour(item->color2));
  fill(g, b.x, top, b.w, height);
  clipTo(g, b.x, top, b.w, height);
  for (int i = 0; i < n; ++i) {
    int option = item->value1 + i;
    int rowTop = top + 1 + i * lh;
    bool selected = option == item->value2;
    if (selected) {
      g.setColorARGB(themed ? palette(31) : opaque(0x0000FF));
      fill(g, b.x + 1, rowTop, b.w - 2, lh);
    }
    const String* label = stringAt(item, 0, option);
    if (!label) continue;
    if (selected)
      g.setColorARGB(themed ? palette(30) : opaque(0xFFFFFF));
    else
      g.setColorARGB(themed ? palette(28) : opaque(0x000000));
    g.drawString(*label, b.x + s3, rowTop + font->getAscent());
  }
  restoreClip(g);
  g.setColor(CONTROL_FRAME);
  outline(g, b.x, top, b.w - 1, height - 1);
  int bw = zoomed(SCROLLBAR_WIDTH, pass_.zoom);
  drawScrollBar(g, item, n, count, item->value1, true, b.x + b.w - zoomed(SCROLLBAR_INSET, pass_.zoom), top,
                bw, height);
}

void ItemPainter::drawList(Graphics& g, RenderItem* item, const Box& b) {
  if (b.w <= 18 || b.h <= 11) return;
  vwt::Font* font = fontFor(item);
  if (!font) return;
  int lh = font->getHeight();
  int rowHeight = std::max(lh + 1, 1);
  int count = listSize(item, 0);
  g.setColorARGB(pageColour(item->color2));
  fill(g, b.x, b.y, b.w, b.h);
  if (item->scrollState <= 0) item->scrollState = std::max(b.h / rowHeight, 1);
  int visible = item->scrollState;
  item->value1 = clampInt(item->value1, 0, std::max(count - visible, 0));
  clipTo(g, b.x, b.y, b.w, b.h);
  for (int i = 0; i < visible && item->value1 + i < count; ++i) {
    int option = item->value1 + i;
    int rowTop = b.y + i * rowHeight;
    bool selected = flagAt(item, 2, option);
    if (selected) {
      g.setColor(0x0000FF);
      fill(g, b.x + 1, rowTop + 1, b.w - 2, lh);
    }
    const String* label = stringAt(item, 0, option);
    if (label) {
      g.setColor(selected ? 0xFFFFFF : 0x000000);
      g.drawString(*label, b.x + 3, rowTop + font->getAscent() + 1);
    }
    if ((item->flags & ACTIVE) && option == item->value2) {
      g.setColorARGB(palette(19));
      outline(g, b.x + 1, rowTop + 1, b.w - 3, lh - 1);
    }
  }
  restoreClip(g);
  if (count > 0)
    drawScrollBar(g, item, visible, count, item->value1, (item->flags & ACTIVE) != 0,
                  b.x + b.w - zoomed(SCROLLBAR_INSET, pass_.zoom), b.y, zoomed(SCROLLBAR_WIDTH, pass_.zoom),
                  b.h);
  g.setColor(CONTROL_FRAME);
  outline(g, b.x, b.y, b.w - 1, b.h - 1);
}

void ItemPainter::drawTextArea(Graphics& g, RenderItem* item, const Box& b) {
  if (b.w <= 18 || b.h <= 11) return;
  vwt::Font* font = fontFor(item);
  int zoom = pass_.zoom;
  int s3 = zoom * 3 / 100;
  g.setColorARGB(pageColour(item->color2));
  fill(g, b.x, b.y, b.w, b.h);
  if (font && !item->text.isNull() && item->text.length() > 0) {
    int lh = std::max(font->getHeight(), 1);
    int width = b.w - zoom * 18 / 100;
    // Lines are kept in list 0 with what they were made from in list 1, and made again only when the
    // text or the width changed.
    const String* madeFrom = stringAt(item, 1, 0);
    int madeWidth = -1;
    intAt(item, 1, 1, &madeWidth);
    if (!madeFrom || !madeFrom->equals(item->text) || madeWidth != width || !listOf(item, 0)) {
      std::vector<String> wrapped = TextWrapper::wrap(item->text, width, lh);
      RenderItem::ValueList* lines = new RenderItem::ValueList(static_cast<int>(wrapped.size()) + 1, true);
      for (const String& l : wrapped) lines->addElement(new String(l));
      RenderItem::ValueList* key = new RenderItem::ValueList(2, true);
      key->addElement(new String(item->text));
      key->addElement(new Integer(width));
      item->ensureLists(2);
      item->setList(0, lines);
      item->setList(1, key);
    }
    int total = listSize(item, 0);
    int visible = std::max((b.h - s3) / lh, 1);
    item->value1 = clampInt(item->value1, 0, std::max(total - 1, 0));
    clipTo(g, b.x, b.y, b.w, b.h);
    g.setColorARGB(pageColour(item->color));
    for (int k = 0; k <= visible && item->value1 + k < total; ++k) {
      const String* l = stringAt(item, 0, item->value1 + k);
      if (l) g.drawString(*l, b.x + s3, b.y + s3 + font->getAscent() + k * lh);
    }
    restoreClip(g);
    drawScrollBar(g, item, visible, total, item->value1, (item->flags & ACTIVE) != 0,
                  b.x + b.w - zoomed(SCROLLBAR_INSET, zoom), b.y, zoomed(SCROLLBAR_WIDTH, zoom), b.h);
  }
  g.setColor(CONTROL_FRAME);
  outline(g, b.x, b.y, b.w - 1, b.h - 1);
  if (fonts_->pageFont()) g.setFont(fonts_->pageFont());
}

void ItemPainter::drawBox(Graphics& g, RenderItem* item, const Box& b) {
  if (item->width == 0 || item->height == 0 || b.w < 0 || b.h < 0) return;
  if (item->color2 != NO_BACKGROUND) {
    g.setColorARGB(Palette::forDrawing(item->color2, host_->isTranslucent(), false));
    fill(g, b.x, b.y, std::max(b.w, 1), std::max(b.h, 1));
  }
  if (item->flags & BOX_IMAGE) {
    Image* image = host_->pageImage(item->imageIndex);
    if (image) {
      int mode = (item->flags >> 12) & 3;
      int offX = high(item->param1), offY = high(item->param2);
      int endX = z(low(item->param1)), endY = z(low(item->param2));
      int ax = b.x, ay = b.y, aw = b.w, ah = b.h;
      if (mode == 1 || mode == 3) {
        ay = b.y + offY;
        ah = endY - offY;
      }
      if (mode == 2 || mode == 3) {
        ax = b.x + offX;
        aw = endX - offX;
      }
      // Never outside the box.
      int64_t l = std::max(ax, b.x), t = std::max(ay, b.y);
      int64_t r = std::min<int64_t>(static_cast<int64_t>(ax) + aw, static_cast<int64_t>(b.x) + b.w);
      int64_t bt = std::min<int64_t>(static_cast<int64_t>(ay) + ah, static_cast<int64_t>(b.y) + b.h);
      if (r > l && bt > t) {
        if (mode == 3) {
          clipTo(g, static_cast<int>(l), static_cast<int>(t), static_cast<int>(r - l),
                 static_cast<int>(bt - t));
          g.drawScaledImage(image, ax, ay, std::max(z(image->getWidth()), 1),
                            std::max(z(image->getHeight()), 1), 0, 0, image->getWidth(), image->getHeight());
          restoreClip(g);
        } else {
          drawTiled(g, image, item->imageIndex, ax, ay, static_cast<int>(l), static_cast<int>(t),
                    static_cast<int>(r - l), static_cast<int>(bt - t));
        }
      }
    }
  }
  drawBoxBorders(g, item, b);
}

void ItemPainter::drawBoxBorders(Graphics& g, RenderItem* item, const Box& b) {
  int right = b.x + b.w - 1, bottom = b.y + b.h - 1;
  if (item->flags & BOX_THIN_BORDERS) {
    if (item->flags & BOX_OUTLINE) {
      g.setColorARGB(pageColour(item->color));
      outline(g, b.x, b.y, b.w - 1, b.h - 1);
      return;
    }
    // Right, bottom, left, top, each in its side's colour where the side has one.
    const int order[4] = {1, 2, 3, 0};
    for (int side : order) {
      int colour;
      if (!intAt(item, 0, 3 * side, &colour)) continue;
      g.setColorARGB(pageColour(colour));
      if (side == 0) line(g, b.x, b.y, right, b.y);
      if (side == 1) line(g, right, b.y, right, bottom);
      if (side == 2) line(g, b.x, bottom, right, bottom);
      if (side == 3) line(g, b.x, b.y, b.x, bottom);
    }
    return;
  }
  int width[4] = {0, 0, 0, 0}, colour[4] = {0, 0, 0, 0};
  for (int side = 0; side < 4; ++side) {
    if (!(item->flags & (1 << side))) continue;
    int w = 0, c = 0;
    if (!intAt(item, 0, 3 * side, &c) || !intAt(item, 0, 3 * side + 1, &w) || w <= 0) continue;
    // Borders are pixels at every zoom; one wider than the box is the box.
    width[side] = std::min(w, side % 2 == 0 ? std::max(b.h, 1) : std::max(b.w, 1));
    colour[side] = c;
  }
  // Inclusive pixel corners: the polygon fill covers its edges.
  int x0 = b.x, y0 = b.y, x1 = right, y1 = bottom;
  int wt = width[0], wr = width[1], wb = width[2], wl = width[3];
  auto in = [](int w) { return w > 0 ? w - 1 : 0; };
  for (int side = 0; side < 4; ++side) {
    if (width[side] == 0) continue;
    int c = pageColour(colour[side]);
    g.setColorARGB(c);
    if (width[side] == 1) {
      if (side == 0) line(g, x0, y0, x1, y0);
      if (side == 1) line(g, x1, y0, x1, y1);
      if (side == 2) line(g, x0, y1, x1, y1);
      if (side == 3) line(g, x0, y0, x0, y1);
      continue;
    }
    // A trapezoid whose inner corners are set in by the neighbours: mitred corners.
    int xs[4], ys[4];
    if (side == 0) {
      int px[4] = {x0, x1, x1 - in(wr), x0 + in(wl)}, py[4] = {y0, y0, y0 + in(wt), y0 + in(wt)};
      std::copy(px, px + 4, xs);
      std::copy(py, py + 4, ys);
    } else if (side == 1) {
      int px[4] = {x1, x1, x1 - in(wr), x1 - in(wr)}, py[4] = {y0, y1, y1 - in(wb), y0 + in(wt)};
      std::copy(px, px + 4, xs);
      std::copy(py, py + 4, ys);
    } else if (side == 2) {
      int px[4] = {x0, x1, x1 - in(wr), x0 + in(wl)}, py[4] = {y1, y1, y1 - in(wb), y1 - in(wb)};
      std::copy(px, px + 4, xs);
      std::copy(py, py + 4, ys);
    } else {
      int px[4] = {x0, x0, x0 + in(wl), x0 + in(wl)}, py[4] = {y0, y1, y1 - in(wb), y0 + in(wt)};
      std::copy(px, px + 4, xs);
      std::copy(py, py + 4, ys);
    }
    DrawingRoutines::fillPolygon(g, xs, ys, 4, 0, 0, c);
  }
}

void ItemPainter::drawObject(Graphics& g, RenderItem* item, const Box& b) {
  bool playback = host_->moviePlaybackOn();
  if (playback) {
    const String& name = item->name;
    // A name from the page stays inside the data directory.
    bool plain = !name.isNull() && name.length() > 0 && name.indexOf(u'/') < 0 && name.indexOf(u'\\') < 0 &&
                 !name.equals(u".."_s);
    if (plain) {
      String dir = System::getDataDirectory(u"vesk"_s, u"veskBrowserQK"_s);
      String path = (dir.endsWith(u"/"_s) ? dir : dir + u"/"_s) + name;
      File file(path);
      if (file.exists() && file.length() > 0 &&
          host_->placeMovie(path, item->x, item->y, item->width, item->height))
        return;
    }
  }
  item->text = playback ? OBJECT_LOADING : OBJECT_UNSUPPORTED;
  drawPlaceholder(g, item, b);
}

void ItemPainter::drawScrollBar(Graphics& g, RenderItem* owner, int visible, int total, int first,
                                bool active, int x, int y, int w, int h) {
  RenderItem* bar = owner->child;
  if (!bar || bar->type != RenderItem::SCROLL_BAR) {
    bar = new RenderItem();
    bar->type = RenderItem::SCROLL_BAR;
    owner->setChild(bar);
  }
  bar->x = owner->x + owner->width - SCROLLBAR_INSET;
  bar->y = owner->y;
  bar->width = SCROLLBAR_WIDTH;
  bar->height = owner->height;
  bar->color = visible;
  bar->color2 = total;
  bar->value1 = first;
  bar->flags = (active ? 1 : 0) | (owner->flags & INTERFACE_FONT);
  drawBrowserMade(g, bar, x, y, w, h);
}

bool ItemPainter::drawBrowserMade(Graphics& g, RenderItem* item, int x, int y, int w, int h) {
  OverlayPainter::Style style;
  style.paletteSet = host_->paletteSet();
  style.translucent = host_->isTranslucent();
  style.interfaceFont = fonts_->interfaceFont();
  style.iconStrip = host_->iconStrip();
  style.zoom = pass_.zoom;
  // A panel's children stay inside the panel even where they clip themselves.
  Pass inside = pass_;
  int64_t l = std::max<int64_t>(x, pass_.clipX), t = std::max<int64_t>(y, pass_.clipY);
  int64_t r = std::min<int64_t>(static_cast<int64_t>(x) + w, static_cast<int64_t>(pass_.clipX) + pass_.clipW);
  int64_t b = std::min<int64_t>(static_cast<int64_t>(y) + h, static_cast<int64_t>(pass_.clipY) + pass_.clipH);
  inside.clipX = static_cast<int>(l);
  inside.clipY = static_cast<int>(t);
  inside.clipW = static_cast<int>(std::max<int64_t>(r - l, 0));
  inside.clipH = static_cast<int>(std::max<int64_t>(b - t, 0));
  style.drawChild = [this, inside](Graphics& cg, RenderItem* child, int ox, int oy) {
    Pass outer = pass_;
    pass_ = inside;
    draw(cg, child, ox, oy);
    pass_ = outer;
  };
  bool drawn = OverlayPainter::draw(g, item, x, y, w, h, style);
  // Menus and panels leave the clip cleared; the next item expects the pass's.
  restoreClip(g);
  return drawn;
}

void ItemPainter::drawFocus(Graphics& g, RenderItem* item, int ox, int oy) {
  if (!item) return;
  copyFromSource(item);
  Box b = drawnBox(item);
  b.x = clampCoord(static_cast<int64_t>(b.x) + ox);
  b.y = clampCoord(static_cast<int64_t>(b.y) + oy);
  if (item->type == RenderItem::TEXT) {
    vwt::Font* font = fontFor(item);
    if (font) g.setFont(font);
    g.setColor(CONTROL_FRAME);
    fill(g, b.x, b.y, b.w + 1, b.h + 1);
    drawText(g, item, b, true);
    return;
  }
  g.setColorARGB(static_cast<int>(0xFFFF0000u));
  outline(g, b.x, b.y, b.w, b.h);
}
