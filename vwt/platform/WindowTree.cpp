// The window tree: classes, windows, z-order, shapes, hit tests, focus, activation and capture.

#include <stdio.h>
#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <mutex>

#include "vwt/platform/HeadlessDisplay.h"
#include "vwt/platform/MessageKinds.h"
#include "vwt/platform/ScreenMetrics.h"
#include "vwt/platform/WindowSystemState.h"

namespace vwt {
namespace platform {

namespace {
std::mutex gProcessLock;
WindowSystem* gProcess = nullptr;
// The screen pixels reach at most this far in either direction.
const int MAX_SCREEN = 4096;

PixelRect intersect(const PixelRect& a, const PixelRect& b) {
  PixelRect r{std::max(a.x0, b.x0), std::max(a.y0, b.y0), std::min(a.x1, b.x1), std::min(a.y1, b.y1)};
  if (r.x1 < r.x0) r.x1 = r.x0;
  if (r.y1 < r.y0) r.y1 = r.y0;
  return r;
}
}  // namespace

int64_t monotonicMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

WindowSystem::WindowSystem(std::unique_ptr<Display> display, int width, int height)
    : display_(std::move(display)), state_(new State()) {
  width = std::min(std::max(width, 1), MAX_SCREEN);
  height = std::min(std::max(height, 1), MAX_SCREEN);
  state_->uiThread = std::this_thread::get_id();
  state_->capacity = std::max(width, height);
  state_->width = width;
  state_->height = height;
  state_->screenPixels.assign(static_cast<size_t>(state_->capacity) * state_->capacity, 0xFF000000u);
}

WindowSystem::~WindowSystem() {
  while (!state_->topLevel.empty()) destroyWindow(state_->topLevel.back()->handle);
  // Nobody will answer the senders still waiting: release them with 0.
  std::lock_guard<std::mutex> g(state_->lock);
  for (Sent* s : state_->sent) s->done = true;
  state_->sent.clear();
  state_->answered.notify_all();
}

WindowSystem& WindowSystem::get() {
  std::lock_guard<std::mutex> g(gProcessLock);
  if (!gProcess) {
    int w, h;
    platform::screenSize(&w, &h);
    gProcess = new WindowSystem(createDisplay(w, h, screenScale()), w, h);
    const char* path = getenv("VWT_INPUT_SCRIPT");
    if (path && *path) {
      std::string error;
      int line = 0;
      std::unique_ptr<InputScript> script = InputScript::load(path, &error, &line);
      if (!script) {
        fprintf(stderr, "%s:%s\n", path, error.c_str());
        exit(2);
      }
      gProcess->setInputScript(std::move(script));
    }
  }
  return *gProcess;
}

bool WindowSystem::exists() {
  std::lock_guard<std::mutex> g(gProcessLock);
  return gProcess != nullptr;
}

void WindowSystem::shutdown() {
  WindowSystem* ws;
  {
    std::lock_guard<std::mutex> g(gProcessLock);
    ws = gProcess;
    gProcess = nullptr;
  }
  delete ws;
}

void WindowSystem::screenSize(int* width, int* height) const {
  *width = state_->width;
  *height = state_->height;
}

PixelTarget WindowSystem::screen() const {
  PixelTarget t;
  t.pixels = state_->screenPixels.data();
  t.stride = state_->capacity;
  t.width = state_->width;
  t.height = state_->height;
  return t;
}

bool WindowSystem::registerClass(const WindowClass& windowClass) {
  if (windowClass.name.empty() || !windowClass.procedure || state_->classes.count(windowClass.name))
    return false;
  state_->classes[windowClass.name].reset(new WindowClass(windowClass));
  return true;
}

bool WindowSystem::isClassRegistered(const std::u16string& name) const {
  return state_->classes.count(name) != 0;
}

WindowSystem::Node* WindowSystem::node(WindowHandle window) const {
  auto it = state_->nodes.find(window);
  return it == state_->nodes.end() || it->second->destroying ? nullptr : it->second.get();
}

WindowHandle WindowSystem::createWindow(const std::u16string& className, const std::u16string& title,
                                        uint32_t style, WindowHandle parent, int x, int y, int width,
                                        int height) {
  auto cls = state_->classes.find(className);
  if (cls == state_->classes.end()) return 0;
  Node* up = nullptr;
  if (style & STYLE_CHILD) {
    up = node(parent);
    if (!up) return 0;
  }
  std::unique_ptr<Node> n(new Node());
  Node* w = n.get();
  w->handle = state_->nextHandle++;
  w->windowClass = cls->second.get();
  w->title = title;
  w->parent = up;
  w->rect = PixelRect{x, y, x + std::max(width, 0), y + std::max(height, 0)};
  w->enabled = (style & STYLE_DISABLED) == 0;
  w->noActivate = (style & STYLE_NO_ACTIVATE) != 0;
  PixelTarget t = screen();
  t.width = t.height = state_->capacity;
  w->surface.reset(new Surface(t));
  state_->nodes[w->handle] = std::move(n);
  (up ? up->children : state_->topLevel).push_back(w);
  {
    std::lock_guard<std::mutex> g(state_->lock);
    state_->alive[w->handle] = true;
  }
  WindowHandle h = w->handle;
  if (send(h, WM_CREATE, 0, 0) == -1) {
    destroyWindow(h);
    return 0;
  }
  if (!node(h)) return 0;
  send(h, WM_SIZE, 0, packPoint(width, height));
  if ((style & STYLE_VISIBLE) && node(h)) show(h, true);
  return node(h) ? h : 0;
}

void WindowSystem::destroyTree(Node* n) {
  n->destroying = true;
  // The window hears of it before its children, as they are still there to be asked.
  const WindowClass* cls = n->windowClass;
  cls->procedure(n->handle, WM_DESTROY, 0, 0);
  std::vector<Node*> children = n->children;
  for (Node* c : children) destroyTree(c);
  {
    std::lock_guard<std::mutex> g(state_->lock);
    state_->alive.erase(n->handle);
  }
  if (focus_ == n->handle) focus_ = 0;
  if (active_ == n->handle) active_ = 0;
  if (capture_ == n->handle) capture_ = 0;
  auto& timers = state_->timers;
  timers.erase(
      std::remove_if(timers.begin(), timers.end(), [n](const Timer& t) { return t.window == n->handle; }),
      timers.end());
}

bool WindowSystem::destroyWindow(WindowHandle window) {
  Node* n = node(window);
  if (!n) return false;
  PixelRegion area = visibleArea(n);
  destroyTree(n);
  std::vector<Node*>& siblings = n->parent ? n->parent->children : state_->topLevel;
  siblings.erase(std::remove(siblings.begin(), siblings.end(), n), siblings.end());
  // Gather the subtree's handles, then free the nodes.
  std::vector<WindowHandle> gone;
  std::vector<Node*> stack{n};
  while (!stack.empty()) {
    Node* d = stack.back();
    stack.pop_back();
    gone.push_back(d->handle);
    for (Node* c : d->children) stack.push_back(c);
  }
  for (WindowHandle h : gone) state_->nodes.erase(h);
  exposeArea(area);
  if (!active_ && !state_->topLevel.empty()) setActive(topLevelTop());
  return true;
}

bool WindowSystem::isWindow(WindowHandle window) const {
  if (std::this_thread::get_id() != state_->uiThread) {
    std::lock_guard<std::mutex> g(state_->lock);
    return state_->alive.count(window) != 0;
  }
  return node(window) != nullptr;
}

WindowHandle WindowSystem::getParent(WindowHandle window) const {
  Node* n = node(window);
  return n && n->parent ? n->parent->handle : 0;
}

std::u16string WindowSystem::getClassName(WindowHandle window) const {
  Node* n = node(window);
  return n ? n->windowClass->name : std::u16string();
}

WindowHandle WindowSystem::findWindow(const std::u16string& className) const {
  for (auto it = state_->topLevel.rbegin(); it != state_->topLevel.rend(); ++it)
    if (!(*it)->destroying && (*it)->windowClass->name == className) return (*it)->handle;
  return 0;
}

void WindowSystem::setText(WindowHandle window, const std::u16string& text) {
  if (Node* n = node(window)) {
    n->title = text;
    if (!n->parent) display_->setTitle(String(text.data(), 0, static_cast<int>(text.size())));
    send(window, WM_SETTEXT, 0, 0);
  }
}

std::u16string WindowSystem::getText(WindowHandle window) const {
  Node* n = node(window);
  return n ? n->title : std::u16string();
}

bool WindowSystem::show(WindowHandle window, bool visible) {
  Node* n = node(window);
  if (!n) return false;
  bool was = n->visible;
  if (was == visible) return was;
  if (!visible) {
    PixelRegion area = visibleArea(n);
    n->visible = false;
    if (capture_ == window) releaseCapture();
    exposeArea(area);
  } else {
    n->visible = true;
    send(window, WM_SHOWWINDOW, 1, 0);
    invalidate(window, nullptr, true);
    if (!n->parent && !n->noActivate) {
      setActive(window);
      if (!focus_) setFocus(window);
    }
  }
  return was;
}

bool WindowSystem::isVisible(WindowHandle window) const {
  for (Node* n = node(window); n; n = n->parent)
    if (!n->visible) return false;
  return node(window) != nullptr;
}

bool WindowSystem::enable(WindowHandle window, bool enabled) {
  Node* n = node(window);
  if (!n) return false;
  bool was = n->enabled;
  if (was != enabled) {
    n->enabled = enabled;
    if (!enabled && capture_ == window) releaseCapture();
    send(window, WM_ENABLE, enabled ? 1 : 0, 0);
  }
  return was;
}

bool WindowSystem::isEnabled(WindowHandle window) const {
  for (Node* n = node(window); n; n = n->parent)
    if (!n->enabled) return false;
  return node(window) != nullptr;
}

bool WindowSystem::move(WindowHandle window, int x, int y, int width, int height) {
  Node* n = node(window);
  if (!n) return false;
  width = std::max(width, 0);
  height = std::max(height, 0);
  PixelRect old = n->rect;
  if (old.x0 == x && old.y0 == y && old.x1 - old.x0 == width && old.y1 - old.y0 == height) return true;
  PixelRegion before = visibleArea(n);
  n->rect = PixelRect{x, y, x + width, y + height};
  exposeArea(before);
  invalidate(window, nullptr, true);
  if (old.x1 - old.x0 != width || old.y1 - old.y0 != height)
    send(window, WM_SIZE, 0, packPoint(width, height));
  else
    send(window, WM_MOVE, 0, packPoint(x, y));
  return true;
}

PixelRect WindowSystem::getRect(WindowHandle window) const {
  Node* n = node(window);
  return n ? n->rect : PixelRect();
}

PixelRect WindowSystem::getScreenRect(WindowHandle window) const {
  Node* n = node(window);
  if (!n) return PixelRect();
  PixelRect r = n->rect;
  for (Node* p = n->parent; p; p = p->parent) {
    r.x0 += p->rect.x0;
    r.x1 += p->rect.x0;
    r.y0 += p->rect.y0;
    r.y1 += p->rect.y0;
  }
  return r;
}

void WindowSystem::screenToClient(WindowHandle window, int* x, int* y) const {
  PixelRect r = getScreenRect(window);
  *x -= r.x0;
  *y -= r.y0;
}

void WindowSystem::bringToTop(WindowHandle window) {
  Node* n = node(window);
  if (!n) return;
  std::vector<Node*>& siblings = n->parent ? n->parent->children : state_->topLevel;
  if (siblings.back() == n) return;
  siblings.erase(std::remove(siblings.begin(), siblings.end(), n), siblings.end());
  siblings.push_back(n);
  invalidate(window, nullptr, false);
}

void WindowSystem::setShape(WindowHandle window, std::unique_ptr<PixelRegion> shape) {
  Node* n = node(window);
  if (!n) return;
  PixelRegion before = visibleArea(n);
  n->shape = std::move(shape);
  exposeArea(before);
  invalidate(window, nullptr, true);
}

PixelRegion WindowSystem::visibleArea(const Node* n) const {
  if (!n->visible) return PixelRegion();
  PixelRect r = getScreenRect(n->handle);
  PixelRegion area(intersect(r, PixelRect{0, 0, state_->width, state_->height}));
  if (n->shape) {
    PixelRegion shape(*n->shape);
    shape.translate(r.x0, r.y0);
    area.combine(shape, PixelRegion::AND);
  }
  if (n->parent) area.combine(visibleArea(n->parent), PixelRegion::AND);
  return area;
}

void WindowSystem::exposeArea(const PixelRegion& screenArea) {
  if (screenArea.isEmpty()) return;
  for (auto& entry : state_->nodes) {
    Node* n = entry.second.get();
    if (n->destroying || !isVisible(n->handle)) continue;
    PixelRegion part = visibleArea(n);
    part.combine(screenArea, PixelRegion::AND);
    if (part.isEmpty()) continue;
    PixelRect r = getScreenRect(n->handle);
    part.translate(-r.x0, -r.y0);
    n->dirtyArea.combine(part, PixelRegion::OR);
    n->dirty = true;
    n->erase = true;
  }
}

WindowHandle WindowSystem::windowAt(int x, int y) const {
  const std::vector<Node*>* level = &state_->topLevel;
  WindowHandle found = 0;
  for (;;) {
    const Node* hit = nullptr;
    for (auto it = level->rbegin(); it != level->rend(); ++it)
      if (!(*it)->destroying && visibleArea(*it).contains(x, y)) {
        hit = *it;
        break;
      }
    if (!hit) return found;
    found = hit->handle;
    level = &hit->children;
  }
}

WindowHandle WindowSystem::topLevelTop() const {
  for (auto it = state_->topLevel.rbegin(); it != state_->topLevel.rend(); ++it)
    if (!(*it)->destroying && (*it)->visible && !(*it)->noActivate) return (*it)->handle;
  for (auto it = state_->topLevel.rbegin(); it != state_->topLevel.rend(); ++it)
    if (!(*it)->noActivate) return (*it)->handle;
  return 0;
}

WindowHandle WindowSystem::setFocus(WindowHandle window) {
  WindowHandle old = focus_;
  if (window && !node(window)) return old;
  if (old == window) return old;
  focus_ = window;
  if (old && node(old)) send(old, WM_KILLFOCUS, static_cast<uintptr_t>(window), 0);
  if (window && focus_ == window) send(window, WM_SETFOCUS, static_cast<uintptr_t>(old), 0);
  return old;
}

WindowHandle WindowSystem::setActive(WindowHandle window) {
  WindowHandle old = active_;
  Node* n = node(window);
  if (window && (!n || n->parent)) return old;
  if (old == window) return old;
  active_ = window;
  if (old && node(old)) send(old, WM_ACTIVATE, makeWParam(WA_INACTIVE, 0), static_cast<intptr_t>(window));
  if (window) send(window, WM_ACTIVATE, makeWParam(WA_ACTIVE, 0), static_cast<intptr_t>(old));
  return old;
}

WindowHandle WindowSystem::setCapture(WindowHandle window) {
  WindowHandle old = capture_;
  if (!node(window)) return old;
  capture_ = window;
  if (old && old != window && node(old)) send(old, WM_CAPTURECHANGED, 0, static_cast<intptr_t>(window));
  return old;
}

void WindowSystem::releaseCapture() {
  WindowHandle old = capture_;
  capture_ = 0;
  if (old && node(old)) send(old, WM_CAPTURECHANGED, 0, 0);
}

}  // namespace platform
}  // namespace vwt
