#include "vwt/platform/ControlPainter.h"

#include "vwt/platform/ControlLook.h"
#include "vwt/platform/FontEngine.h"
#include "vwt/platform/RasterArcs.h"
#include "vwt/platform/RasterLines.h"
#include "vwt/platform/RasterPolygons.h"
#include "vwt/platform/RasterRects.h"

namespace vwt {
namespace platform {

namespace {

FontFace* controlFace() {
  static FontFace* face =
      FontEngine::instance().face(String(ControlLook::FONT_FACE, false), ControlLook::FONT_HEIGHT, false);
  return face;
}

int measure(const std::u16string& s, size_t from, size_t count) {
  return FontEngine::instance().measure(controlFace(), s.data() + from, static_cast<int>(count));
}

bool isSpace(char16_t c) { return c == u' ' || c == u'\t'; }

// Appends the lines of one paragraph (no line ends in it).
void wrapParagraph(const std::u16string& p, int width, std::vector<std::u16string>* lines) {
  size_t start = 0;
  const size_t n = p.size();
  if (n == 0) {
    lines->push_back(std::u16string());
    return;
  }
  while (start < n) {
    // The longest run of whole words that fits; else as many characters as fit (at least one).
    size_t end = start, lastBreak = std::u16string::npos;
    while (end < n && measure(p, start, end - start + 1) <= width) {
      ++end;
      if (end < n && isSpace(p[end])) lastBreak = end;
    }
    if (end < n && lastBreak != std::u16string::npos && !isSpace(p[end])) end = lastBreak;
    if (end == start) end = start + 1;
    size_t trimmed = end;
    while (trimmed > start && isSpace(p[trimmed - 1])) --trimmed;
    lines->push_back(p.substr(start, trimmed - start));
    start = end;
    while (start < n && isSpace(p[start])) ++start;
  }
}

}  // namespace

int ControlPainter::textWidth(const std::u16string& text) { return measure(text, 0, text.size()); }

int ControlPainter::lineHeight() { return FontEngine::instance().height(controlFace()); }

std::vector<std::u16string> ControlPainter::wrap(const std::u16string& text, int width) {
  std::vector<std::u16string> lines;
  size_t start = 0;
  for (size_t i = 0; i <= text.size(); ++i) {
    if (i < text.size() && text[i] != u'\r' && text[i] != u'\n') continue;
    wrapParagraph(text.substr(start, i - start), width, &lines);
    if (i + 1 < text.size() && text[i] == u'\r' && text[i + 1] == u'\n') ++i;
    start = i + 1;
  }
  return lines;
}

std::u16string ControlPainter::fit(const std::u16string& text, int width) {
  if (textWidth(text) <= width) return text;
  const std::u16string ellipsis = u"\u2026";
  int room = width - textWidth(ellipsis);
  size_t n = text.size();
  while (n > 0 && measure(text, 0, n) > room) --n;
  return text.substr(0, n) + ellipsis;
}

void ControlPainter::fill(int x, int y, int w, int h, uint32_t rgb) { fillRect(surface_, x, y, w, h, rgb); }

void ControlPainter::frame(int x, int y, int w, int h, uint32_t rgb) {
  if (w > 0 && h > 0) drawRectOutline(surface_, x, y, w - 1, h - 1, rgb);
}

void ControlPainter::line(int x1, int y1, int x2, int y2, uint32_t rgb) {
  drawLine(surface_, x1, y1, x2, y2, rgb);
}

void ControlPainter::polygon(const int* xs, const int* ys, int n, uint32_t rgb) {
  fillPolygon(surface_, xs, ys, n, rgb);
}

void ControlPainter::ellipse(int x, int y, int w, int h, uint32_t rgb, bool filled) {
  if (filled)
    fillEllipse(surface_, x, y, w, h, rgb);
  else
    drawEllipse(surface_, x, y, w, h, rgb);
}

void ControlPainter::text(const std::u16string& text, int x, int top, uint32_t rgb) {
  FontEngine& engine = FontEngine::instance();
  for (const PixelRect& clip : surface_.clipRects())
    engine.draw(surface_.target(), clip, controlFace(), x + surface_.originX(), top + surface_.originY(),
                text.data(), static_cast<int>(text.size()), rgb);
}

void ControlPainter::button(int x, int y, int w, int h, const std::u16string& label, bool focused,
                            bool pressed) {
  uint32_t face = pressed   ? ControlLook::PRESSED_FACE
                  : focused ? ControlLook::HIGHLIGHT
                            : ControlLook::BUTTON_FACE;
  uint32_t ink = focused && !pressed ? ControlLook::HIGHLIGHT_TEXT : ControlLook::TEXT;
  fill(x, y, w, h, face);
  frame(x, y, w, h, ControlLook::OUTLINE);
  std::u16string shown = fit(label, w - 2 * ControlLook::PADDING);
  text(shown, x + (w - textWidth(shown)) / 2, y + (h - lineHeight()) / 2, ink);
}

}  // namespace platform
}  // namespace vwt
