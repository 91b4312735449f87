// The drawn edit control: its state per window, the layout of its lines, keys, stylus and paint.

#include "vwt/platform/EditControl.h"

#include <algorithm>
#include <climits>
#include <map>
#include <vector>

#include "vwt/platform/Clipboard.h"
#include "vwt/platform/ControlLook.h"
#include "vwt/platform/FontEngine.h"
#include "vwt/platform/MessageKinds.h"
#include "vwt/platform/RasterRects.h"
#include "vwt/platform/Surface.h"
#include "vwt/platform/VirtualKeys.h"

namespace vwt {
namespace platform {

const char16_t EditControl::CLASS_NAME[] = u"vwt.Edit";

namespace {

// The shared look of the drawn controls; the field's own parts below.
const int FONT_HEIGHT = ControlLook::FONT_HEIGHT;
const int BORDER = ControlLook::BORDER;
const int PADDING = 2;          // a field is one line high: less room than a dialog's
const int INDICATOR_WIDTH = 4;  // the multi-line scroll indicator, inside the border
const int INDICATOR_GAP = 1;
const int MIN_KNOB = 6;
const uint32_t BACKGROUND_RGB = ControlLook::EDIT_FACE;
const uint32_t DISABLED_BACKGROUND_RGB = ControlLook::FACE;
const uint32_t BORDER_RGB = ControlLook::OUTLINE;
const uint32_t FOCUS_BORDER_RGB = ControlLook::HIGHLIGHT;
const uint32_t TEXT_RGB = ControlLook::TEXT;
const uint32_t DISABLED_TEXT_RGB = ControlLook::GREYED_TEXT;
const uint32_t SELECTION_RGB = ControlLook::HIGHLIGHT;
const uint32_t SELECTED_TEXT_RGB = ControlLook::HIGHLIGHT_TEXT;
const uint32_t TRACK_RGB = ControlLook::FACE;
const uint32_t KNOB_RGB = ControlLook::SEPARATOR;

struct Edit {
  uint32_t style = 0;
  int anchor = 0;
  int caret = 0;
  int limit = 0;
  int scrollX = 0;
  int firstLine = 0;
  int wantX = -1;  // the column the caret keeps going up and down, in pixels
  bool dragging = false;
  bool updating = false;  // our own text change: not a new text from outside
};

// A line of the laid-out text: [start, end) is drawn, next is where the following line starts (after
// a line break, or at end when the line was wrapped).
struct Line {
  int start;
  int end;
  int next;
};

// What the control shows now.
struct View {
  std::u16string text;   // the window's text
  std::u16string shown;  // the same with '*' for a password
  std::vector<Line> lines;
  PixelRect area;  // where the text goes, client coordinates
  int lineHeight = 1;
  int visibleLines = 1;
  bool indicator = false;
  FontFace* face = nullptr;
};

std::map<WindowHandle, Edit>& edits() {
  static std::map<WindowHandle, Edit> all;
  return all;
}

// The state of the control whose WM_CREATE is on its way.
thread_local const Edit* tCreating = nullptr;

Edit* find(WindowHandle h) {
  auto it = edits().find(h);
  return it == edits().end() ? nullptr : &it->second;
}

FontFace* editFace() {
  return FontEngine::instance().face(String(ControlLook::FONT_FACE, false), FONT_HEIGHT, false);
}

bool isBreak(char16_t c) { return c == u'\r' || c == u'\n'; }

// One step forward and back: a CR LF pair and a surrogate pair are one character.
int nextPos(const std::u16string& t, int p) {
  int n = static_cast<int>(t.size());
  if (p >= n) return n;
  if (t[p] == u'\r' && p + 1 < n && t[p + 1] == u'\n') return p + 2;
  if (t[p] >= 0xD800 && t[p] <= 0xDBFF && p + 1 < n && t[p + 1] >= 0xDC00 && t[p + 1] <= 0xDFFF) return p + 2;
  return p + 1;
}

int prevPos(const std::u16string& t, int p) {
  if (p <= 0) return 0;
  if (p >= 2 && t[p - 2] == u'\r' && t[p - 1] == u'\n') return p - 2;
  if (p >= 2 && t[p - 1] >= 0xDC00 && t[p - 1] <= 0xDFFF && t[p - 2] >= 0xD800 && t[p - 2] <= 0xDBFF)
    return p - 2;
  return p - 1;
}

// A position in range and not inside a pair.
int clampPos(const std::u16string& t, int p) {
  int n = static_cast<int>(t.size());
  p = std::max(0, std::min(p, n));
  if (p > 0 && p < n && ((t[p - 1] == u'\r' && t[p] == u'\n') || (t[p - 1] >= 0xD800 && t[p - 1] <= 0xDBFF)))
    --p;
  return p;
}

// Wraps at width, after the last blank when the line has one, else before the character that does not
// fit; every line holds at least one character.
std::vector<Line> layout(const std::u16string& shown, int width, FontFace* face, bool wrap) {
  FontEngine& engine = FontEngine::instance();
  std::vector<Line> lines;
  const int n = static_cast<int>(shown.size());
  int i = 0;
  for (;;) {
    const int start = i;
    int w = 0;
    int lastBlank = -1;
    bool wrapped = false;
    while (i < n && !isBreak(shown[i])) {
      int a = engine.advance(face, shown[i]);
      if (wrap && i > start && w + a > width) {
        int at = lastBlank >= start ? lastBlank + 1 : i;
        lines.push_back(Line{start, at, at});
        i = at;
        wrapped = true;
        break;
      }
      if (shown[i] == u' ') lastBlank = i;
      w += a;
      ++i;
    }
    if (wrapped) continue;
    if (i >= n) {
      lines.push_back(Line{start, n, n});
      return lines;
    }
    int next = i + (shown[i] == u'\r' && i + 1 < n && shown[i + 1] == u'\n' ? 2 : 1);
    lines.push_back(Line{start, i, next});
    i = next;
  }
}

View makeView(WindowHandle h, const Edit& e) {
  WindowSystem& ws = WindowSystem::get();
  View v;
  v.text = ws.getText(h);
  v.shown = v.text;
  if (e.style & EditControl::EDIT_PASSWORD)
    for (char16_t& c : v.shown)
      if (!isBreak(c)) c = u'*';
  v.face = editFace();
  const bool multi = (e.style & EditControl::EDIT_MULTILINE) != 0;
  v.lineHeight = std::max(1, FontEngine::instance().height(v.face) + (multi ? ControlLook::LINE_GAP : 0));
  PixelRect r = ws.getRect(h);
  const int inset = BORDER + PADDING;
  v.area =
      PixelRect{inset, inset, std::max(inset, r.x1 - r.x0 - inset), std::max(inset, r.y1 - r.y0 - inset)};
  if (!multi) {
    // One line, centred in the height.
    int top = std::max(inset, (r.y1 - r.y0 - v.lineHeight) / 2);
    v.area.y0 = top;
    v.area.y1 = std::max(top, std::min(r.y1 - r.y0 - inset, top + v.lineHeight));
    v.lines.push_back(Line{0, static_cast<int>(v.shown.size()), static_cast<int>(v.shown.size())});
    return v;
  }
  v.visibleLines = std::max(1, (v.area.y1 - v.area.y0) / v.lineHeight);
  v.lines = layout(v.shown, v.area.x1 - v.area.x0, v.face, true);
  if (static_cast<int>(v.lines.size()) > v.visibleLines) {
    // Room for the indicator, and the text wrapped again in what is left.
    v.indicator = true;
    v.area.x1 = std::max(v.area.x0, v.area.x1 - INDICATOR_WIDTH - INDICATOR_GAP);
    v.lines = layout(v.shown, v.area.x1 - v.area.x0, v.face, true);
  }
  return v;
}

int lineOf(const View& v, int pos) {
  int k = 0;
  for (int i = 0; i < static_cast<int>(v.lines.size()); ++i)
    if (v.lines[i].start <= pos) k = i;
  return k;
}

int widthOf(const View& v, int from, int to) {
  if (to <= from) return 0;
  return FontEngine::instance().measure(v.face, v.shown.data() + from, to - from);
}

// The position in line k nearest to x (pixels from the line's left edge).
int positionIn(const View& v, int k, int x) {
  const Line& line = v.lines[k];
  FontEngine& engine = FontEngine::instance();
  int acc = 0;
  for (int i = line.start; i < line.end; ++i) {
    int a = engine.advance(v.face, v.shown[i]);
    if (x < acc + (a + 1) / 2) return clampPos(v.text, i);
    acc += a;
  }
  return line.end;
}

// The position under a client point.
int hitTest(const View& v, const Edit& e, int x, int y) {
  int k = 0;
  if (e.style & EditControl::EDIT_MULTILINE) {
    int row = y < v.area.y0 ? -1 - (v.area.y0 - y - 1) / v.lineHeight : (y - v.area.y0) / v.lineHeight;
    k = std::max(0, std::min(e.firstLine + row, static_cast<int>(v.lines.size()) - 1));
  }
  return positionIn(v, k, x - v.area.x0 + e.scrollX);
}

// Scrolls so that the caret shows.
void keepCaretInView(const View& v, Edit& e) {
  if (!(e.style & EditControl::EDIT_MULTILINE)) {
    const int width = v.area.x1 - v.area.x0;
    const int caretX = widthOf(v, 0, e.caret);
    const int total = widthOf(v, 0, static_cast<int>(v.shown.size()));
    // The caret is one pixel wide and sits after the character before it.
    if (caretX - e.scrollX > width - 1) e.scrollX = caretX - width + 1;
    if (caretX < e.scrollX) e.scrollX = caretX;
    // A text that got shorter comes back into the field.
    e.scrollX = std::max(0, std::min(e.scrollX, total + 1 - width));
    e.firstLine = 0;
    return;
  }
  e.scrollX = 0;
  const int k = lineOf(v, e.caret);
  if (k < e.firstLine) e.firstLine = k;
  if (k >= e.firstLine + v.visibleLines) e.firstLine = k - v.visibleLines + 1;
  e.firstLine = std::max(0, std::min(e.firstLine, static_cast<int>(v.lines.size()) - v.visibleLines));
}

void refresh(WindowHandle h, Edit& e) {
  keepCaretInView(makeView(h, e), e);
  WindowSystem::get().invalidate(h, nullptr, false);
}

void storeText(WindowHandle h, Edit& e, const std::u16string& text) {
  e.updating = true;
  WindowSystem::get().setText(h, text);
  e.updating = false;
}

// What typing or pasting `text` would put in: digits only, one line, CR LF line ends.
std::u16string admissible(const Edit& e, const std::u16string& text) {
  std::u16string out;
  const bool multi = (e.style & EditControl::EDIT_MULTILINE) != 0;
  for (size_t i = 0; i < text.size(); ++i) {
    char16_t c = text[i];
    if (isBreak(c)) {
      if (!multi) break;
      if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ++i;
      out += u"\r\n";
      continue;
    }
    if ((e.style & EditControl::EDIT_DIGITS) && (c < u'0' || c > u'9')) continue;
    if (c < 0x20 && c != u'\t') continue;
    out += c;
  }
  return out;
}

bool replace(WindowHandle h, Edit& e, const std::u16string& typed) {
  std::u16string text = WindowSystem::get().getText(h);
  const int n = static_cast<int>(text.size());
  const int s = clampPos(text, std::min(e.anchor, e.caret));
  const int t = clampPos(text, std::max(e.anchor, e.caret));
  std::u16string in = admissible(e, typed);
  // A refused character leaves the selection as it was.
  if (!typed.empty() && in.empty()) return false;
  if (e.limit > 0) {
    const int room = std::max(0, e.limit - (n - (t - s)));
    if (static_cast<int>(in.size()) > room) {
      in.resize(room);
      // Never half a line break or half a surrogate pair.
      if (!in.empty() && (in.back() == u'\r' || (in.back() >= 0xD800 && in.back() <= 0xDBFF))) in.pop_back();
    }
  }
  if ((in.empty() && !typed.empty()) || (in.empty() && s == t)) return false;
  text.replace(s, t - s, in);
  e.anchor = e.caret = s + static_cast<int>(in.size());
  e.wantX = -1;
  storeText(h, e, text);
  refresh(h, e);
  return true;
}

void moveCaret(WindowHandle h, Edit& e, int pos, bool extend) {
  e.caret = pos;
  if (!extend) e.anchor = pos;
  refresh(h, e);
}

void postCommand(WindowHandle h, int id) {
  WindowSystem& ws = WindowSystem::get();
  WindowHandle parent = ws.getParent(h);
  if (parent) ws.post(parent, WM_COMMAND, makeWParam(static_cast<uint32_t>(id), 0), static_cast<intptr_t>(h));
}

void keyDown(WindowHandle h, Edit& e, int vk) {
  WindowSystem& ws = WindowSystem::get();
  const bool shift = ws.isKeyDown(VK_SHIFT);
  const bool multi = (e.style & EditControl::EDIT_MULTILINE) != 0;
  View v = makeView(h, e);
  const int s = std::min(e.anchor, e.caret), t = std::max(e.anchor, e.caret);
  switch (vk) {
    case VK_LEFT:
      e.wantX = -1;
      moveCaret(h, e, !shift && s != t ? s : prevPos(v.text, e.caret), shift);
      break;
    case VK_RIGHT:
      e.wantX = -1;
      moveCaret(h, e, !shift && s != t ? t : nextPos(v.text, e.caret), shift);
      break;
    case VK_UP:
    case VK_DOWN: {
      if (!multi) break;
      int k = lineOf(v, e.caret) + (vk == VK_UP ? -1 : 1);
      if (k < 0 || k >= static_cast<int>(v.lines.size())) break;
      if (e.wantX < 0) e.wantX = widthOf(v, v.lines[lineOf(v, e.caret)].start, e.caret);
      moveCaret(h, e, positionIn(v, k, e.wantX), shift);
      break;
    }
    case VK_BACK:
      if (s == t) e.anchor = prevPos(v.text, e.caret);
      replace(h, e, std::u16string());
      break;
    case VK_DELETE:
      if (s == t) e.anchor = nextPos(v.text, e.caret);
      replace(h, e, std::u16string());
      break;
    case VK_RETURN:
      if (multi)
        replace(h, e, u"\r\n");
      else
        postCommand(h, EditControl::ENTER_COMMAND);
      break;
    case VK_ESCAPE:
      postCommand(h, EditControl::ESCAPE_COMMAND);
      break;
    default:
      break;
  }
}

void drawRun(Surface& s, FontFace* face, int x, int top, const char16_t* text, int n, uint32_t rgb) {
  if (n <= 0) return;
  FontEngine& engine = FontEngine::instance();
  for (const PixelRect& c : s.clipRects())
    engine.draw(s.target(), c, face, x + s.originX(), top + s.originY(), text, n, rgb);
}

void paint(WindowHandle h, const Edit& e) {
  WindowSystem& ws = WindowSystem::get();
  Surface* s = ws.getSurface(h);
  if (!s) return;
  View v = makeView(h, e);
  PixelRect r = ws.getRect(h);
  const int w = r.x1 - r.x0, ht = r.y1 - r.y0;
  const bool enabled = ws.isEnabled(h);
  const bool focused = ws.getFocus() == h;
  fillRect(*s, 0, 0, w, ht, enabled ? BACKGROUND_RGB : DISABLED_BACKGROUND_RGB);
  drawRectOutline(*s, 0, 0, w - 1, ht - 1, focused ? FOCUS_BORDER_RGB : BORDER_RGB);

  const int selStart = std::min(e.anchor, e.caret), selEnd = std::max(e.anchor, e.caret);
  const uint32_t ink = enabled ? TEXT_RGB : DISABLED_TEXT_RGB;
  s->setClip(v.area.x0, v.area.y0, v.area.x1 - v.area.x0, v.area.y1 - v.area.y0);
  const int last = std::min(static_cast<int>(v.lines.size()), e.firstLine + v.visibleLines + 1);
  for (int k = e.firstLine; k < last; ++k) {
    const Line& line = v.lines[k];
    const int top = v.area.y0 + (k - e.firstLine) * v.lineHeight;
    const int left = v.area.x0 - e.scrollX;
    // Before, in and after the selection: three runs, each where the whole line would put it.
    const int a = std::max(line.start, std::min(selStart, line.end));
    const int b = std::max(a, std::min(selEnd, line.end));
    const int xa = left + widthOf(v, line.start, a), xb = xa + widthOf(v, a, b);
    drawRun(*s, v.face, left, top, v.shown.data() + line.start, a - line.start, ink);
    if (b > a) {
      fillRect(*s, xa, top, xb - xa, v.lineHeight, SELECTION_RGB);
      drawRun(*s, v.face, xa, top, v.shown.data() + a, b - a, SELECTED_TEXT_RGB);
    }
    // A selected line break shows as a little of the selection colour.
    if (selStart <= line.end && selEnd >= line.next && line.next > line.end)
      fillRect(*s, xb, top, FONT_HEIGHT / 4, v.lineHeight, SELECTION_RGB);
    drawRun(*s, v.face, xb, top, v.shown.data() + b, line.end - b, ink);
  }
  if (focused && enabled) {
    // A steady caret: the same picture every time it is painted.
    const int k = lineOf(v, e.caret);
    if (k >= e.firstLine && k < e.firstLine + v.visibleLines) {
      const int x = v.area.x0 - e.scrollX + widthOf(v, v.lines[k].start, e.caret);
      fillRect(*s, std::min(x, v.area.x1 - 1), v.area.y0 + (k - e.firstLine) * v.lineHeight, 1, v.lineHeight,
               TEXT_RGB);
    }
  }
  s->clearClip();
  if (v.indicator) {
    const int total = static_cast<int>(v.lines.size());
    const int x = w - BORDER - PADDING - INDICATOR_WIDTH, top = v.area.y0, track = v.area.y1 - v.area.y0;
    fillRect(*s, x, top, INDICATOR_WIDTH, track, TRACK_RGB);
    const int knob = std::min(track, std::max(MIN_KNOB, v.visibleLines * track / total));
    const int y = top + (track - knob) * e.firstLine / std::max(1, total - v.visibleLines);
    fillRect(*s, x, y, INDICATOR_WIDTH, knob, KNOB_RGB);
  }
}

intptr_t procedure(WindowHandle h, uint32_t kind, uintptr_t wParam, intptr_t lParam) {
  WindowSystem& ws = WindowSystem::get();
  if (kind == WM_CREATE) {
    if (!tCreating) return -1;
    edits()[h] = *tCreating;
    tCreating = nullptr;
    return 0;
  }
  Edit* e = find(h);
  if (!e) return 0;
  switch (kind) {
    case WM_DESTROY:
      edits().erase(h);
      return 0;
    case WM_PAINT:
      paint(h, *e);
      return 0;
    case WM_ERASEBKGND:
      return 1;  // the paint covers every pixel
    case WM_SETTEXT:
      if (!e->updating) {
        e->anchor = e->caret = 0;
        e->scrollX = e->firstLine = 0;
        e->wantX = -1;
        ws.invalidate(h, nullptr, false);
      }
      return 0;
    case WM_SIZE:
      refresh(h, *e);
      return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_ENABLE:
      ws.invalidate(h, nullptr, false);
      return 0;
    case WM_KEYDOWN:
      keyDown(h, *e, static_cast<int>(wParam));
      return 0;
    case WM_CHAR: {
      char16_t c = static_cast<char16_t>(wParam);
      // Enter, Backspace and the other controls came as keys.
      if (c >= 0x20 && c != 0x7F) replace(h, *e, std::u16string(1, c));
      return 0;
    }
    case WM_LBUTTONDOWN: {
      if (ws.getFocus() != h) ws.setFocus(h);
      if (!(e = find(h))) return 0;
      View v = makeView(h, *e);
      e->wantX = -1;
      e->dragging = true;
      ws.setCapture(h);
      moveCaret(h, *e, hitTest(v, *e, signedPointX(lParam), signedPointY(lParam)), ws.isKeyDown(VK_SHIFT));
      return 0;
    }
    case WM_MOUSEMOVE:
      if (e->dragging)
        moveCaret(h, *e, hitTest(makeView(h, *e), *e, signedPointX(lParam), signedPointY(lParam)), true);
      return 0;
    case WM_LBUTTONUP:
      if (e->dragging) {
        moveCaret(h, *e, hitTest(makeView(h, *e), *e, signedPointX(lParam), signedPointY(lParam)), true);
        e->dragging = false;
        if (ws.getCapture() == h) ws.releaseCapture();
      }
      return 0;
    case WM_CAPTURECHANGED:
      e->dragging = false;
      return 0;
    default:
      return 0;
  }
}

}  // namespace

WindowHandle EditControl::create(WindowHandle parent, int x, int y, int width, int height, uint32_t style,
                                 const std::u16string& text) {
  WindowSystem& ws = WindowSystem::get();
  if (!ws.isClassRegistered(CLASS_NAME))
    ws.registerClass(WindowClass{CLASS_NAME, &procedure, BACKGROUND_RGB});
  Edit e;
  e.style = style & (EDIT_MULTILINE | EDIT_PASSWORD | EDIT_DIGITS);
  const Edit* outer = tCreating;
  tCreating = &e;
  WindowHandle h = ws.createWindow(CLASS_NAME, text, STYLE_CHILD | (style & (STYLE_VISIBLE | STYLE_DISABLED)),
                                   parent, x, y, width, height);
  tCreating = outer;
  return h;
}

bool EditControl::isEditControl(WindowHandle control) { return find(control) != nullptr; }

void EditControl::setSelection(WindowHandle control, int anchor, int caret) {
  Edit* e = find(control);
  if (!e) return;
  std::u16string text = WindowSystem::get().getText(control);
  e->anchor = clampPos(text, anchor);
  e->caret = clampPos(text, caret);
  e->wantX = -1;
  refresh(control, *e);
}

int EditControl::getAnchor(WindowHandle control) {
  Edit* e = find(control);
  return e ? clampPos(WindowSystem::get().getText(control), e->anchor) : 0;
}

int EditControl::getCaret(WindowHandle control) {
  Edit* e = find(control);
  return e ? clampPos(WindowSystem::get().getText(control), e->caret) : 0;
}

void EditControl::getSelection(WindowHandle control, int* start, int* end) {
  int a = getAnchor(control), c = getCaret(control);
  *start = std::min(a, c);
  *end = std::max(a, c);
}

bool EditControl::replaceSelection(WindowHandle control, const std::u16string& text) {
  Edit* e = find(control);
  return e && replace(control, *e, text);
}

void EditControl::copy(WindowHandle control) {
  Edit* e = find(control);
  // A password is not handed to other programs.
  if (!e || (e->style & EDIT_PASSWORD)) return;
  int s, t;
  getSelection(control, &s, &t);
  if (s < t) Clipboard::setText(WindowSystem::get().getText(control).substr(s, t - s));
}

void EditControl::cut(WindowHandle control) {
  Edit* e = find(control);
  if (!e || (e->style & EDIT_PASSWORD)) return;
  copy(control);
  clear(control);
}

void EditControl::paste(WindowHandle control) {
  std::u16string text = Clipboard::getText();
  if (!text.empty()) replaceSelection(control, text);
}

void EditControl::clear(WindowHandle control) {
  Edit* e = find(control);
  if (e && e->anchor != e->caret) replace(control, *e, std::u16string());
}

void EditControl::selectAll(WindowHandle control) {
  setSelection(control, 0, static_cast<int>(WindowSystem::get().getText(control).size()));
}

void EditControl::setLimit(WindowHandle control, int units) {
  if (Edit* e = find(control)) e->limit = std::max(0, units);
}

int EditControl::getLimit(WindowHandle control) {
  Edit* e = find(control);
  return e ? e->limit : 0;
}

int EditControl::getFirstVisibleLine(WindowHandle control) {
  Edit* e = find(control);
  return e ? e->firstLine : 0;
}

int EditControl::getLineCount(WindowHandle control) {
  Edit* e = find(control);
  return e ? static_cast<int>(makeView(control, *e).lines.size()) : 0;
}

int EditControl::getScrollX(WindowHandle control) {
  Edit* e = find(control);
  return e ? e->scrollX : 0;
}

}  // namespace platform
}  // namespace vwt
