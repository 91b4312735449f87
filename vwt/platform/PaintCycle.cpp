// Invalidation and the paint pass: invalidate only collects; one pass paints everything dirty, bottom
// window first, each clipped to its visible part of the dirty area, then the screen is presented.

#include <algorithm>

#include "vwt/platform/MessageKinds.h"
#include "vwt/platform/WindowSystemState.h"

namespace vwt {
namespace platform {

void WindowSystem::invalidate(WindowHandle window, const PixelRect* rect, bool erase) {
  Node* n = node(window);
  if (!n) return;
  PixelRect all{0, 0, n->rect.x1 - n->rect.x0, n->rect.y1 - n->rect.y0};
  PixelRegion area(all);
  if (rect) area.combine(PixelRegion(*rect), PixelRegion::AND);
  if (area.isEmpty()) return;
  n->dirtyArea.combine(area, PixelRegion::OR);
  n->dirty = true;
  n->erase = n->erase || erase;
}

void WindowSystem::validate(WindowHandle window) {
  if (Node* n = node(window)) {
    n->dirty = n->erase = false;
    n->dirtyArea = PixelRegion();
  }
}

void WindowSystem::requestPaint(WindowHandle window, bool erase) {
  if (isUiThread())
    invalidate(window, nullptr, erase);
  else
    post(window, PAINT_REQUEST, erase ? 1 : 0, 0);
}

bool WindowSystem::isUiThread() const { return std::this_thread::get_id() == state_->uiThread; }

bool WindowSystem::isDirty() const {
  for (const auto& entry : state_->nodes)
    if (entry.second->dirty && !entry.second->destroying) return true;
  return false;
}

void WindowSystem::update() {
  if (isDirty()) paintPass();
}

void WindowSystem::paintPass() {
  // Paint order: top-level windows bottom to top, each before its children.
  std::vector<Node*> order;
  std::vector<Node*> stack(state_->topLevel.rbegin(), state_->topLevel.rend());
  while (!stack.empty()) {
    Node* n = stack.back();
    stack.pop_back();
    if (n->destroying) continue;
    order.push_back(n);
    for (auto it = n->children.rbegin(); it != n->children.rend(); ++it) stack.push_back(*it);
  }
  PixelRegion dirty;
  for (Node* n : order) {
    if (!n->dirty) continue;
    PixelRegion part(n->dirtyArea);
    PixelRect r = getScreenRect(n->handle);
    part.translate(r.x0, r.y0);
    part.combine(visibleArea(n), PixelRegion::AND);
    dirty.combine(part, PixelRegion::OR);
  }
  // What lies under a dirty area is painted again too: the windows share the screen's pixels.
  std::vector<std::pair<WindowHandle, bool>> toPaint;
  std::vector<PixelRegion> clips;
  for (Node* n : order) {
    PixelRegion clip = visibleArea(n);
    clip.combine(dirty, PixelRegion::AND);
    bool erase = n->erase;
    n->dirty = n->erase = false;
    n->dirtyArea = PixelRegion();
    if (clip.isEmpty()) continue;
    toPaint.emplace_back(n->handle, erase);
    clips.push_back(clip);
  }
  for (size_t i = 0; i < toPaint.size(); ++i) {
    Node* n = node(toPaint[i].first);
    if (!n) continue;  // destroyed by an earlier paint
    PixelRect r = getScreenRect(n->handle);
    n->surface->setBase(r.x0, r.y0, clips[i]);
    PixelRect b = clips[i].bounds();
    n->paintRect = PixelRect{b.x0 - r.x0, b.y0 - r.y0, b.x1 - r.x0, b.y1 - r.y0};
    n->painting = true;
    if (toPaint[i].second && send(n->handle, WM_ERASEBKGND, 0, 0) == 0 && (n = node(toPaint[i].first))) {
      uint32_t colour = n->windowClass->background | 0xFF000000u;
      for (const PixelRect& c : n->surface->clipRects())
        for (int y = c.y0; y < c.y1; ++y)
          std::fill(n->surface->row(y) + c.x0, n->surface->row(y) + c.x1, colour);
    }
    if (!(n = node(toPaint[i].first))) continue;
    ++paintCount_;
    send(n->handle, WM_PAINT, 0, 0);
    if ((n = node(toPaint[i].first))) n->painting = false;
  }
  state_->presentArea.combine(dirty, PixelRegion::OR);
}

Surface* WindowSystem::getSurface(WindowHandle window) {
  Node* n = node(window);
  if (!n) return nullptr;
  if (!n->painting) {
    PixelRect r = getScreenRect(window);
    PixelRegion area = visibleArea(n);
    n->surface->setBase(r.x0, r.y0, area);
    state_->presentArea.combine(area, PixelRegion::OR);
  }
  return n->surface.get();
}

PixelRect WindowSystem::getPaintRect(WindowHandle window) const {
  Node* n = node(window);
  return n && n->painting ? n->paintRect : PixelRect();
}

}  // namespace platform
}  // namespace vwt
