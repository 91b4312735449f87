#include "vwt/platform/DrawnMessageBox.h"

#include <algorithm>
#include <map>
#include <vector>

#include "vwt/lang/Resource.h"
#include "vwt/platform/ControlLook.h"
#include "vwt/platform/ControlPainter.h"
#include "vwt/platform/MessageKinds.h"
#include "vwt/platform/ModalLoop.h"
#include "vwt/platform/VirtualKeys.h"

namespace vwt {
namespace platform {

namespace {

using Look = ControlLook;

const char16_t* const CLASS_NAME = u"vwtMessageBox";
const int MAX_BOX_WIDTH = 280;
// Button labels in the message file.
const int LABEL_OK = -3000;
const int LABEL_YES = -3001;
const int LABEL_NO = -3002;
const int LABEL_CANCEL = -3003;

std::u16string label(int id) {
  const String& s = Resource::getString(id);
  return std::u16string(s.getCString(), static_cast<size_t>(s.length()));
}

// One open box: what it shows, where its parts are, and the loop it ends.
struct Box {
  ModalLoop* loop = nullptr;
  std::u16string caption;
  std::vector<std::u16string> lines;
  int icon = DrawnMessageBox::ICON_NONE;
  std::vector<int> results;
  std::vector<std::u16string> labels;
  std::vector<PixelRect> buttons;  // client coordinates
  int focus = 0;
  int pressed = -1;  // the button the stylus went down on
  int escapeResult = DrawnMessageBox::RESULT_CANCEL;
  int width = 0, height = 0;
  int iconX = 0, iconY = 0, textX = 0, textY = 0;
};

// The boxes open now, by window; the UI thread's only.
std::map<WindowHandle, Box*>& boxes() {
  static std::map<WindowHandle, Box*> open;
  return open;
}

void drawIcon(ControlPainter& p, int icon, int x, int y) {
  const int s = Look::ICON_SIZE;
  switch (icon) {
    case DrawnMessageBox::ICON_STOP: {
      p.ellipse(x, y, s, s, Look::ICON_STOP, true);
      // A cross three pixels thick.
      for (int d = -1; d <= 1; ++d) {
        p.line(x + 7 + d, y + 7, x + 16 + d, y + 16, Look::ICON_MARK);
        p.line(x + 16 + d, y + 7, x + 7 + d, y + 16, Look::ICON_MARK);
      }
      break;
    }
    case DrawnMessageBox::ICON_WARNING: {
      const int xs[] = {x + s / 2, x + s - 1, x};
      const int ys[] = {y + 1, y + s - 2, y + s - 2};
      p.polygon(xs, ys, 3, Look::ICON_WARNING);
      p.fill(x + 11, y + 8, 3, 8, Look::ICON_WARNING_MARK);
      p.fill(x + 11, y + 18, 3, 2, Look::ICON_WARNING_MARK);
      break;
    }
    case DrawnMessageBox::ICON_INFORMATION: {
      p.ellipse(x, y, s, s, Look::ICON_INFORMATION, true);
      p.fill(x + 11, y + 5, 3, 3, Look::ICON_MARK);
      p.fill(x + 11, y + 10, 3, 9, Look::ICON_MARK);
      p.fill(x + 9, y + 10, 2, 2, Look::ICON_MARK);
      p.fill(x + 9, y + 18, 7, 1, Look::ICON_MARK);
      break;
    }
    case DrawnMessageBox::ICON_QUESTION: {
      p.ellipse(x, y, s, s, Look::ICON_QUESTION, true);
      // The hook of the question mark, two pixels thick, and its dot.
      const int hx[] = {8, 10, 14, 16, 16, 12, 12};
      const int hy[] = {8, 5, 5, 8, 10, 13, 15};
      for (int i = 0; i + 1 < 7; ++i)
        for (int d = 0; d <= 1; ++d)
          p.line(x + hx[i] + d, y + hy[i], x + hx[i + 1] + d, y + hy[i + 1], Look::ICON_MARK);
      p.fill(x + 12, y + 17, 2, 2, Look::ICON_MARK);
      break;
    }
    default:
      break;
  }
}

void paint(WindowHandle window, const Box& b) {
  WindowSystem& ws = WindowSystem::get();
  Surface* surface = ws.getSurface(window);
  if (!surface) return;
  ControlPainter p(*surface);
  p.fill(0, 0, b.width, b.height, Look::FACE);
  p.frame(0, 0, b.width, b.height, Look::OUTLINE);
  p.fill(Look::BORDER, Look::BORDER, b.width - 2 * Look::BORDER, Look::CAPTION_HEIGHT, Look::CAPTION);
  std::u16string caption = ControlPainter::fit(b.caption, b.width - 2 * Look::PADDING);
  p.text(caption, Look::PADDING, Look::BORDER + (Look::CAPTION_HEIGHT - ControlPainter::lineHeight()) / 2,
         Look::CAPTION_TEXT);
  drawIcon(p, b.icon, b.iconX, b.iconY);
  const int lineStep = ControlPainter::lineHeight() + Look::LINE_GAP;
  for (size_t i = 0; i < b.lines.size(); ++i)
    p.text(b.lines[i], b.textX, b.textY + static_cast<int>(i) * lineStep, Look::TEXT);
  for (size_t i = 0; i < b.buttons.size(); ++i) {
    const PixelRect& r = b.buttons[i];
    p.button(r.x0, r.y0, r.x1 - r.x0, r.y1 - r.y0, b.labels[i], static_cast<int>(i) == b.focus,
             static_cast<int>(i) == b.pressed);
  }
}

int buttonAt(const Box& b, int x, int y) {
  for (size_t i = 0; i < b.buttons.size(); ++i) {
    const PixelRect& r = b.buttons[i];
    if (x >= r.x0 && x < r.x1 && y >= r.y0 && y < r.y1) return static_cast<int>(i);
  }
  return -1;
}

void key(WindowHandle window, Box& b, int vk) {
  const int n = static_cast<int>(b.results.size());
  switch (vk) {
    case VK_LEFT:
    case VK_RIGHT:
      b.focus = (b.focus + (vk == VK_LEFT ? n - 1 : 1)) % n;
      WindowSystem::get().invalidate(window, nullptr, false);
      break;
    case VK_SELECT:
      b.loop->done(b.results[b.focus]);
      break;
    case VK_ESCAPE:
    case VK_BACK:
      b.loop->done(b.escapeResult);
      break;
    case VK_SOFT1:
      b.loop->done(b.results.front());
      break;
    case VK_SOFT2:
      b.loop->done(b.results.back());
      break;
    default:
      break;
  }
}

intptr_t procedure(WindowHandle window, uint32_t kind, uintptr_t wParam, intptr_t lParam) {
  auto found = boxes().find(window);
  if (found == boxes().end()) return 0;
  Box& b = *found->second;
  WindowSystem& ws = WindowSystem::get();
  switch (kind) {
    case WM_PAINT:
      paint(window, b);
      return 0;
    case WM_ERASEBKGND:
      return 1;  // the paint covers everything
    case WM_KEYDOWN:
      key(window, b, static_cast<int>(wParam));
      return 0;
    case WM_LBUTTONDOWN:
      b.pressed = buttonAt(b, signedPointX(lParam), signedPointY(lParam));
      if (b.pressed >= 0) {
        b.focus = b.pressed;
        ws.setCapture(window);
        ws.invalidate(window, nullptr, false);
      }
      return 0;
    case WM_LBUTTONUP: {
      if (b.pressed < 0) return 0;
      ws.releaseCapture();
      int at = buttonAt(b, signedPointX(lParam), signedPointY(lParam));
      int pressed = b.pressed;
      b.pressed = -1;
      ws.invalidate(window, nullptr, false);
      if (at == pressed) b.loop->done(b.results[at]);
      return 0;
    }
    case WM_CLOSE:
      b.loop->done(b.escapeResult);
      return 0;
    default:
      return 0;
  }
}

// Places the parts for a screen of screenW x screenH.
void layOut(Box& b, const std::u16string& text, int screenW, int screenH) {
  b.width = std::max(1, std::min(screenW - 2 * Look::SCREEN_MARGIN, MAX_BOX_WIDTH));
  const int inner = Look::BORDER + Look::PADDING;
  const int iconRoom = b.icon != DrawnMessageBox::ICON_NONE ? Look::ICON_SIZE + Look::GAP : 0;
  b.iconX = inner;
  b.textX = inner + iconRoom;
  b.lines = ControlPainter::wrap(text, b.width - b.textX - inner);
  // A text longer than the screen holds is cut, its last line ended with an ellipsis.
  const int lineH = ControlPainter::lineHeight();
  const int lineStep = lineH + Look::LINE_GAP;
  const int chrome = 2 * Look::BORDER + Look::CAPTION_HEIGHT + 3 * Look::PADDING + Look::BUTTON_HEIGHT;
  const int maxLines = std::max(1, (screenH - 2 * Look::SCREEN_MARGIN - chrome + Look::LINE_GAP) / lineStep);
  if (static_cast<int>(b.lines.size()) > maxLines) {
    b.lines.resize(maxLines);
    b.lines.back() = ControlPainter::fit(b.lines.back() + u"\u2026", b.width - b.textX - inner);
  }
  const int textH = static_cast<int>(b.lines.size()) * lineStep - Look::LINE_GAP;
  const int bodyH = std::max(textH, iconRoom ? Look::ICON_SIZE : 0);
  const int bodyTop = Look::BORDER + Look::CAPTION_HEIGHT + Look::PADDING;
  b.iconY = bodyTop;
  b.textY = bodyTop + (bodyH - textH) / 2;
  const int buttonsTop = bodyTop + bodyH + Look::PADDING;
  b.height = buttonsTop + Look::BUTTON_HEIGHT + Look::PADDING + Look::BORDER;

  const int n = static_cast<int>(b.labels.size());
  std::vector<int> widths;
  int total = Look::GAP * (n - 1);
  for (const std::u16string& l : b.labels) {
    widths.push_back(std::max(Look::BUTTON_MIN_WIDTH, ControlPainter::textWidth(l) + 2 * Look::PADDING));
    total += widths.back();
  }
  const int room = b.width - 2 * inner;
  if (total > room) {
    for (int& w : widths) w = (room - Look::GAP * (n - 1)) / n;
    total = room;
  }
  int x = (b.width - total) / 2;
  for (int w : widths) {
    b.buttons.push_back(PixelRect{x, buttonsTop, x + w, buttonsTop + Look::BUTTON_HEIGHT});
    x += w + Look::GAP;
  }
}

}  // namespace

int DrawnMessageBox::show(WindowHandle owner, const std::u16string& caption, const std::u16string& text,
                          int buttons, int icon) {
  if (!WindowSystem::exists()) return RESULT_CANCEL;
  WindowSystem& ws = WindowSystem::get();
  if (!ws.isUiThread()) {
    int result = RESULT_CANCEL;
    ws.call([&] {
      result = show(owner, caption, text, buttons, icon);
      return 0;
    });
    return result;
  }
  if (!ws.isClassRegistered(CLASS_NAME) && !ws.registerClass(WindowClass{CLASS_NAME, &procedure, Look::FACE}))
    return RESULT_CANCEL;

  Box b;
  b.caption = caption;
  b.icon = icon >= ICON_STOP && icon <= ICON_QUESTION ? icon : ICON_NONE;
  if (buttons == BUTTONS_YES_NO || buttons == BUTTONS_YES_NO_CANCEL) {
    b.results = {RESULT_YES, RESULT_NO};
    b.labels = {label(LABEL_YES), label(LABEL_NO)};
    b.escapeResult = RESULT_NO;
    if (buttons == BUTTONS_YES_NO_CANCEL) {
      b.results.push_back(RESULT_CANCEL);
      b.labels.push_back(label(LABEL_CANCEL));
      b.escapeResult = RESULT_CANCEL;
    }
  } else {
    b.results = {RESULT_OK};
    b.labels = {label(LABEL_OK)};
    b.escapeResult = RESULT_OK;
  }
  int screenW, screenH;
  ws.screenSize(&screenW, &screenH);
  layOut(b, text, screenW, screenH);

  WindowHandle window = ws.createWindow(CLASS_NAME, caption, 0, 0, (screenW - b.width) / 2,
                                        std::max(0, (screenH - b.height) / 2), b.width, b.height);
  if (!window) return RESULT_CANCEL;
  ModalLoop loop(window, owner);
  b.loop = &loop;
  boxes()[window] = &b;
  ws.show(window, true);
  int result = loop.exec(RESULT_CANCEL);
  boxes().erase(window);
  if (ws.getCapture() == window) ws.releaseCapture();
  ws.destroyWindow(window);
  return result;
}

}  // namespace platform
}  // namespace vwt
