#include "vwt/ui/Flash.h"

#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

#include "vwt/io/DataInputStream.h"
#include "vwt/io/FileInputStream.h"
#include "vwt/lang/Exception.h"
#include "vwt/lang/Integer.h"
#include "vwt/lang/Resource.h"
#include "vwt/lang/System.h"
#include "vwt/platform/MessageKinds.h"
#include "vwt/platform/WindowSystem.h"
#include "vwt/ui/ATLModule.h"
#include "vwt/ui/Application.h"
#include "vwt/ui/Font.h"
#include "vwt/ui/Graphics.h"

using namespace vwt::platform;

namespace {
const char16_t CONTROL_CLASS[] = u"veskFlashControl";
const int NAME_FONT_SIZE = 12;
const int NAME_MARGIN = 4;

std::u16string units(const String& s) {
  return std::u16string(s.getCString(), static_cast<size_t>(s.length()));
}

// Optional sign and decimal digits that fit an int, nothing else.
bool parseDecimal(const String& s, int* value) {
  int i = 0, n = s.length();
  bool negative = false;
  if (n > 0 && (s.charAt(0) == u'-' || s.charAt(0) == u'+')) negative = s.charAt(i++) == u'-';
  if (i == n) return false;
  int64_t v = 0;
  for (; i < n; ++i) {
    char16_t c = s.charAt(i);
    if (c < u'0' || c > u'9') return false;
    v = v * 10 + (c - u'0');
    if (v > static_cast<int64_t>(INT32_MAX) + 1) return false;
  }
  if (negative) v = -v;
  if (v < INT32_MIN || v > INT32_MAX) return false;
  *value = static_cast<int>(v);
  return true;
}

// False exactly for "FALSE" in any case.
bool parseFlag(const String& s) { return !s.toUpperCase().equals(u"FALSE"); }

Flash* flashOf(int handle) {
  Application* app = Application::getCurrentApp();
  return app ? dynamic_cast<Flash*>(app->getWindowFromHandle(handle)) : nullptr;
}
}  // namespace

Flash::Flash(const Window* parent, const String& moviePath, int x, int y, int width, int height)
    : rectX_(x),
      rectY_(y),
      rectWidth_(width),
      rectHeight_(height),
      moviePath_(moviePath),
      className_(u"veskFlash"_s + moviePath),
      clock_([] { return System::currentTimeMillisBoot(); }),
      font_(vwt::Font::getFont(vwt::Font::FACE_VARIABLE_PITCH, NAME_FONT_SIZE)) {
  WindowSystem& ws = WindowSystem::get();
  // One class per movie.
  if (!ws.isClassRegistered(units(className_)))
    ws.registerClass(WindowClass{units(className_), &Flash::flashProcedure});
  int parentHandle = parent ? parent->getHandle() : 0;
  uint32_t style = (parentHandle ? uint32_t{STYLE_CHILD} : 0u) | uint32_t{STYLE_VISIBLE};
  x_ = x;
  y_ = y;
  handle_ = ws.createWindow(units(className_), std::u16string(), style, parentHandle, x, y, width, height);
  if (!handle_) throw Exception(Resource::getString(-3302));

  Application* app = Application::getCurrentApp();
  if (app) {
    app->getATLModule()->attachFlash(this);
    app->addWindowHandle(handle_, this);
  }
  // The stand-in control's own window fills the host; its messages find this object.
  if (!ws.isClassRegistered(CONTROL_CLASS))
    ws.registerClass(WindowClass{CONTROL_CLASS, &Flash::controlProcedure});
  int control = ws.createWindow(CONTROL_CLASS, std::u16string(), STYLE_CHILD | STYLE_VISIBLE, handle_, 0, 0,
                                width, height);
  if (control) {
    atlWindow_ = new Window(control);
    if (app) app->addWindowHandle(control, this);
  }

  properties_.wMode = u"Transparent"_s;
  properties_.movie = u"file://"_s + moviePath.replace(u'\\', u'/');
  // The stand-in has the movie at once (ready state 4): it starts without waiting.
  properties_.playing = true;
  try {
    readParameter(moviePath);
  } catch (...) {
    release();
    throw;
  }
}

Flash::~Flash() {
  properties_.playing = false;
  release();
}

void Flash::release() {
  if (!atlWindow_) return;
  // The control's window goes with the host window; only the wrapper is ours.
  if (Application* app = Application::getCurrentApp()) app->removeWindowHandle(atlWindow_->getHandle());
  atlWindow_->setHandle(0);
  delete atlWindow_;
  atlWindow_ = nullptr;
}

Graphics* Flash::getGraphics() { return atlWindow_ ? atlWindow_->getGraphics() : nullptr; }

void Flash::readParameter(const String& moviePath) {
  AutoPtr<DataInputStream> in(new DataInputStream(new FileInputStream(moviePath + u".param"_s)));
  int count = in->readInt();
  if (count < 0) throw Exception(Resource::getString(-3304, moviePath));
  // Read everything before applying anything: a damaged file changes nothing. The list grows with
  // what the file holds, never with the count it claims.
  std::vector<std::pair<String, String>> pairs;
  for (int i = 0; i < count; ++i) {
    String key = in->readUTF();
    String value = in->readUTF();
    pairs.emplace_back(key, value);
  }
  for (const auto& p : pairs) setParameter(p.first, p.second);
}

void Flash::setParameter(const String& key, const String& value) {
  String k = key.toUpperCase();
  Properties& p = properties_;
  int number;
  if (k.equals(u"ALIGNMODE")) {
    if (parseDecimal(value, &number)) p.alignMode = number;
  } else if (k.equals(u"BACKGROUNDCOLOR")) {
    p.backgroundColor = parseColor(value);
  } else if (k.equals(u"BASE")) {
    p.base = value;
  } else if (k.equals(u"BGCOLOR")) {
    // The control reads the text as a colour too.
    p.bgColor = value;
    p.backgroundColor = parseColor(value);
  } else if (k.equals(u"DEVICEFONT")) {
    p.deviceFont = parseFlag(value);
  } else if (k.equals(u"EMBEDMOVIE")) {
    p.embedMovie = parseFlag(value);
  } else if (k.equals(u"FLASHVARS")) {
    p.flashVars = value;
  } else if (k.equals(u"FRAMENUM")) {
    if (parseDecimal(value, &number)) p.frameNum = number;
  } else if (k.equals(u"LOOP")) {
    p.loop = parseFlag(value);
  } else if (k.equals(u"MENU")) {
    p.menu = parseFlag(value);
  } else if (k.equals(u"PLAYING")) {
    p.playing = parseFlag(value);
  } else if (k.equals(u"QUALITY")) {
    p.quality = value;
  } else if (k.equals(u"QUALITY2")) {
    p.quality2 = value;
  } else if (k.equals(u"SALIGN")) {
    p.sAlign = value;
  } else if (k.equals(u"SCALE")) {
    p.scale = value;
  } else if (k.equals(u"SCALEMODE")) {
    if (parseDecimal(value, &number)) p.scaleMode = number;
  } else if (k.equals(u"SOUND")) {
    p.sound = value;
  } else if (k.equals(u"SWREMOTE")) {
    p.swRemote = value;
  } else if (k.equals(u"WMODE")) {
    p.wMode = value;
  }
}

int Flash::parseColor(const String& s) {
  const int NONE = 0xFFFFFF;
  int at = s.indexOf(u"0x"_s);
  if (at >= 0) {
    at += 2;
  } else {
    at = s.indexOf(u'#');
    if (at < 0) return NONE;
    at += 1;
  }
  uint32_t v = 0;
  int digits = 0;
  for (int i = at; i < s.length(); ++i) {
    int d = Integer::hexDigit(s.charAt(i));
    if (d < 0) break;
    // More than 32 bits is no colour.
    if (++digits > 8) return NONE;
    v = v << 4 | static_cast<uint32_t>(d);
  }
  return digits ? static_cast<int>(v) : NONE;
}

void Flash::draw() {
  Graphics* g = getGraphics();
  if (!g) return;
  int w = rectWidth_, h = rectHeight_;
  g->clearClip();
  g->setClip(0, 0, w, h);
  uint32_t bg = static_cast<uint32_t>(properties_.backgroundColor) & 0xFFFFFFu;
  g->setColor(static_cast<int>(bg));
  g->fillRect(0, 0, w, h);
  // Dark text and frame on a light background, light ones on a dark background.
  int luminance = static_cast<int>((bg >> 16 & 255) * 299 + (bg >> 8 & 255) * 587 + (bg & 255) * 114) / 1000;
  bool light = luminance >= 128;
  g->setColor(light ? 0x808080 : 0xA0A0A0);
  g->drawRect(0, 0, w - 1, h - 1);
  int slash = std::max(moviePath_.lastIndexOf(u'/'), moviePath_.lastIndexOf(u'\\'));
  String name = moviePath_.substring(slash + 1);
  if (name.length() == 0 || !font_.get()) return;
  g->setFont(font_.get());
  g->setColor(light ? 0x202020 : 0xF0F0F0);
  // Centred when it fits, else from the left edge; cut at the frame either way.
  int textWidth = g->stringWidth(name);
  int tx = textWidth <= w - 2 * NAME_MARGIN ? (w - textWidth) / 2 : NAME_MARGIN;
  int ty = (h - font_->getHeight()) / 2 + font_->getAscent();
  g->setClip(1, 1, w - 2, h - 2);
  g->drawString(name, tx, ty);
  g->setFont(nullptr);
}

void Flash::click(int x, int y) {
  if (!atlWindow_ || !atlWindow_->getHandle() || x < 0 || x > rectWidth_ || y < 0 || y > rectHeight_) return;
  int64_t now = clock_();
  bool doubleClick = now - lastClickTime_ < DOUBLE_CLICK_MS;
  lastClickTime_ = doubleClick ? 0 : now;
  WindowSystem& ws = WindowSystem::get();
  int control = atlWindow_->getHandle();
  intptr_t at = packPoint(x, y);
  ws.send(control, WM_SETCURSOR, static_cast<uintptr_t>(control), packPoint(HT_CLIENT, WM_LBUTTONDOWN));
  ws.send(control, doubleClick ? WM_LBUTTONDBLCLK : WM_LBUTTONDOWN, MK_LBUTTON, at);
  ws.send(control, WM_CAPTURECHANGED, 0, 0);
  ws.send(control, WM_MOUSEMOVE, MK_LBUTTON, at);
  ws.send(control, WM_LBUTTONUP, 0, at);
  ws.send(control, WM_CAPTURECHANGED, 0, 0);
}

intptr_t Flash::flashProcedure(int handle, uint32_t message, uintptr_t wParam, intptr_t lParam) {
  Flash* flash = flashOf(handle);
  if (!flash || flash->getHandle() != handle) return 0;
  switch (message) {
    case WM_TIMER:
      flash->draw();
      return 0;
    case WM_DESTROY:
      flash->release();
      return flash->handleMessage(message, wParam, lParam);
    default:
      return 0;
  }
}

intptr_t Flash::controlProcedure(int handle, uint32_t message, uintptr_t wParam, intptr_t lParam) {
  (void)wParam, (void)lParam;
  Flash* flash = flashOf(handle);
  if (!flash) return 0;
  switch (message) {
    case WM_PAINT:
      flash->draw();
      return 0;
    case WM_ERASEBKGND:
      return 1;  // draw() covers the window
    case WM_LBUTTONDOWN:
      ++flash->properties_.singleClicks;
      return 0;
    case WM_LBUTTONDBLCLK:
      ++flash->properties_.doubleClicks;
      return 0;
    default:
      return 0;
  }
}
