#pragma once

// The window system's inner state, shared by its source files only.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "vwt/platform/InputScript.h"
#include "vwt/platform/PixelRegion.h"
#include "vwt/platform/Surface.h"
#include "vwt/platform/WindowSystem.h"

namespace vwt {
namespace platform {

struct WindowSystem::Node {
  WindowHandle handle = 0;
  const WindowClass* windowClass = nullptr;
  std::u16string title;
  Node* parent = nullptr;
  std::vector<Node*> children;         // bottom to top
  PixelRect rect;                      // parent client coordinates (screen for top-level)
  std::unique_ptr<PixelRegion> shape;  // window coordinates
  bool visible = false;
  bool enabled = true;
  bool noActivate = false;
  bool destroying = false;
  bool dirty = false;     // waits for WM_PAINT
  bool erase = false;     // waits for WM_ERASEBKGND
  PixelRegion dirtyArea;  // client coordinates
  std::unique_ptr<Surface> surface;
  bool painting = false;
  PixelRect paintRect;
};

struct WindowSystem::Timer {
  WindowHandle window = 0;
  int id = 0;
  int interval = 1;
  int64_t due = 0;  // milliseconds on the monotonic clock
  bool tick = false;
};

struct Sent {
  Message message;
  const std::function<intptr_t()>* task = nullptr;  // instead of the message when set
  intptr_t answer = 0;
  bool done = false;
};

struct WindowSystem::State {
  // UI thread only.
  std::map<std::u16string, std::unique_ptr<WindowClass>> classes;
  std::map<WindowHandle, std::unique_ptr<Node>> nodes;
  std::vector<Node*> topLevel;  // bottom to top
  WindowHandle nextHandle = 1;
  std::vector<Timer> timers;
  std::vector<uint32_t> screenPixels;
  int capacity = 0;  // the pixel buffer is capacity x capacity: a rotated screen still fits
  int width = 0;
  int height = 0;
  PixelRegion presentArea;  // screen pixels drawn since the last present
  std::unique_ptr<InputScript> script;
  std::function<void()> service;
  bool keysDown[256] = {};
  std::thread::id uiThread;

  // Any thread.
  mutable std::mutex lock;
  std::condition_variable answered;
  std::deque<Message> posted;
  std::deque<Sent*> sent;
  std::atomic<bool> quit{false};
  std::atomic<WindowHandle> highestHandle{0};
  std::map<WindowHandle, bool> alive;  // guarded by lock: post() checks targets from any thread
};

int64_t monotonicMs();

// A paint requested by another thread; the queue turns it into an invalidation on the UI thread.
constexpr uint32_t PAINT_REQUEST = 0x7F00;

}  // namespace platform
}  // namespace vwt
