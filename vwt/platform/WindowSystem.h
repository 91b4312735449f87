#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "vwt/platform/Display.h"
#include "vwt/platform/InputSink.h"
#include "vwt/platform/PixelRegion.h"
#include "vwt/platform/PixelTarget.h"

namespace vwt {
namespace platform {

class Surface;
class InputScript;

// A window of the window system; 0 is none. Handles are never reused within a process.
using WindowHandle = int;

struct Message {
  WindowHandle window = 0;
  uint32_t kind = 0;
  uintptr_t wParam = 0;
  intptr_t lParam = 0;
};

// The procedure of a window class: every message for a window of the class goes through it.
using WindowProcedure =
    std::function<intptr_t(WindowHandle, uint32_t kind, uintptr_t wParam, intptr_t lParam)>;

struct WindowClass {
  std::u16string name;
  WindowProcedure procedure;
  uint32_t background = 0xFFFFFFFFu;  // the default erase colour
};

enum WindowStyle : uint32_t {
  STYLE_CHILD = 1,    // positioned in and clipped to its parent's client area
  STYLE_VISIBLE = 2,  // shown when created
  STYLE_DISABLED = 4,
  // A top-level window that is never activated by being shown, nor given keys or the close
  // request for being on top (a bar beside the main window).
  STYLE_NO_ACTIVATE = 8,
};

// Handles, classes, the window tree, the message queue, timers and the paint cycle of one process.
// Everything but post(), send(), wake-ups and the handle queries runs on the thread that made it
// (the UI thread); send() from another thread waits for that thread to answer.
//
// The screen is one surface of pixels; every window draws into it through a surface of its own that
// borrows those pixels, with the window's place as origin and its visible part as clip.
class WindowSystem : public InputSink {
 public:
  // width x height is the screen in handset pixels.
  WindowSystem(std::unique_ptr<Display> display, int width, int height);
  ~WindowSystem() override;
  WindowSystem(const WindowSystem&) = delete;
  WindowSystem& operator=(const WindowSystem&) = delete;

  // The process's window system, made on first use with the display of createDisplay() and the
  // screen of ScreenMetrics; shutdown() destroys it (tests, the end of a program).
  static WindowSystem& get();
  static bool exists();
  static void shutdown();

  Display& display() { return *display_; }
  void screenSize(int* width, int* height) const;
  // The composed screen as last painted (stride may exceed the width).
  PixelTarget screen() const;

  // Classes. A second class of the same name is refused.
  bool registerClass(const WindowClass& windowClass);
  bool isClassRegistered(const std::u16string& name) const;

  // Windows. create sends WM_CREATE (a procedure answering -1 refuses the window: 0 is returned)
  // and WM_SIZE. x, y are in the parent's client coordinates for a child, screen ones otherwise.
  WindowHandle createWindow(const std::u16string& className, const std::u16string& title, uint32_t style,
                            WindowHandle parent, int x, int y, int width, int height);
  // Destroys the children first; each gets WM_DESTROY. False for no such window.
  bool destroyWindow(WindowHandle window);
  bool isWindow(WindowHandle window) const;
  WindowHandle getParent(WindowHandle window) const;
  std::u16string getClassName(WindowHandle window) const;
  // The top-level window of a class, the one nearest the top first; 0 for none.
  WindowHandle findWindow(const std::u16string& className) const;
  // Tells the window with WM_SETTEXT after the text has changed (the edit controls draw it).
  void setText(WindowHandle window, const std::u16string& text);
  std::u16string getText(WindowHandle window) const;

  bool show(WindowHandle window, bool visible);
  // Shown, and every ancestor shown.
  bool isVisible(WindowHandle window) const;
  bool enable(WindowHandle window, bool enabled);
  bool isEnabled(WindowHandle window) const;
  // Moves and sizes; WM_SIZE when the size changed. False for no such window.
  bool move(WindowHandle window, int x, int y, int width, int height);
  // In the parent's client coordinates (screen ones for a top-level window).
  PixelRect getRect(WindowHandle window) const;
  PixelRect getScreenRect(WindowHandle window) const;
  // Top of its siblings.
  void bringToTop(WindowHandle window);
  // A shape in window coordinates; null gives the rectangle back. Points outside it belong to
  // whatever is below.
  void setShape(WindowHandle window, std::unique_ptr<PixelRegion> shape);
  // The deepest visible, enabled window whose shape holds the screen point; 0 for none.
  WindowHandle windowAt(int x, int y) const;

  // Focus: WM_KILLFOCUS to the old one (wParam the new), WM_SETFOCUS to the new one. Returns the old.
  WindowHandle setFocus(WindowHandle window);
  WindowHandle getFocus() const { return focus_; }
  // Activation of top-level windows: WM_ACTIVATE (low word 0 or 1) to both.
  WindowHandle setActive(WindowHandle window);
  WindowHandle getActive() const { return active_; }
  // Pointer capture: every pointer message goes to the window until released.
  WindowHandle setCapture(WindowHandle window);
  void releaseCapture();
  WindowHandle getCapture() const { return capture_; }

  // Queue. post and send may be called from any thread; post to a window that does not exist is
  // refused. A send on the UI thread calls the procedure at once; from another thread it waits for
  // the UI thread to take it (sent messages go before posted ones) and returns the answer.
  bool post(WindowHandle window, uint32_t kind, uintptr_t wParam, intptr_t lParam);
  intptr_t send(WindowHandle window, uint32_t kind, uintptr_t wParam, intptr_t lParam);
  // Runs task on the UI thread and returns its answer: at once on the UI thread; from another
  // thread it waits, as send() does, for the UI thread to take it.
  intptr_t call(const std::function<intptr_t()>& task);
  // Waits for the next message: sent ones are answered on the way, posted ones come first, then one
  // paint pass when something is dirty, then due timers, then input (or the script). False on quit.
  bool get(Message* message);
  // Like get without waiting: false when there is nothing (paints and due timers count).
  bool peek(Message* message, bool remove);
  // A key down that types a character posts WM_CHAR behind it.
  bool translate(const Message& message);
  intptr_t dispatch(const Message& message);
  // get() returns false once the queue before the quit is drained.
  void postQuit(int exitCode);
  int getQuitCode() const { return quitCode_; }
  // Messages waiting (posted, sent), for idleness checks.
  bool hasPending() const;

  // Timers: WM_TIMER with wParam id every ms (at least 1); a second set of the same id restarts
  // it. A periodic tick is not waited for by the script's `idle`.
  bool setTimer(WindowHandle window, int id, int ms, bool periodicTick = false);
  bool killTimer(WindowHandle window, int id);
  // A timer other than the ticks is due within ms.
  bool hasTimerDueWithin(int ms) const;

  // Paint. invalidate only collects (rect in client coordinates, null = all); erase asks for
  // WM_ERASEBKGND first. Everything dirty is painted in one pass when the queue is empty.
  void invalidate(WindowHandle window, const PixelRect* rect, bool erase);
  void validate(WindowHandle window);
  // invalidate of the whole window from any thread: another thread's request is queued for the UI
  // thread, which owns the dirty areas.
  void requestPaint(WindowHandle window, bool erase);
  bool isUiThread() const;
  bool isDirty() const;
  // Paints now when anything is dirty (a window asking for its picture at once).
  void update();
  // During WM_PAINT: the window's surface with origin at its client origin and the clip it may
  // paint. Outside a paint: the surface for drawing straight onto the screen (shown on the next
  // pass). Null for no such window.
  Surface* getSurface(WindowHandle window);
  // The rectangle being painted, client coordinates, during WM_PAINT.
  PixelRect getPaintRect(WindowHandle window) const;
  // WM_PAINT calls so far, for tests.
  int getPaintCount() const { return paintCount_; }

  // Work from outside the window system (another process's requests) run on the UI thread at the
  // start of every pass of get(); whoever queues such work wakes the wait with display().wake().
  void setService(std::function<void()> serve);

  // Scripted input fed when the queue is idle; wake-ups from the script's clock.
  void setInputScript(std::unique_ptr<InputScript> script);
  // True while the script has commands left.
  bool isScriptRunning() const;

  // Window client point from the screen point.
  void screenToClient(WindowHandle window, int* x, int* y) const;

  // Whether the key is held now, as input has delivered it (shift for the edit controls).
  bool isKeyDown(int virtualKey) const;

  // InputSink: desktop and scripted input become queued messages.
  void keyDown(int virtualKey, bool repeat) override;
  void keyUp(int virtualKey) override;
  void character(char16_t c) override;
  void pointerDown(int x, int y) override;
  void pointerMove(int x, int y) override;
  void pointerUp(int x, int y) override;
  void wheel(int steps) override;
  void closeRequested() override;
  void resized(int width, int height) override;

 private:
  struct State;
  struct Node;
  struct Timer;

  Node* node(WindowHandle window) const;
  void destroyTree(Node* n);
  void exposeArea(const PixelRegion& screenArea);
  PixelRegion visibleArea(const Node* n) const;
  void paintPass();
  bool takeDueTimer(Message* message, bool remove = true);
  int msUntilNextTimer() const;
  bool takeQueued(Message* message, bool remove);
  void serveSent();
  void waitForInput(int timeoutMs);
  WindowHandle keyTarget() const;
  WindowHandle pointerTarget(int x, int y) const;
  void postPointer(uint32_t kind, int x, int y);
  WindowHandle topLevelTop() const;

  std::unique_ptr<Display> display_;
  std::unique_ptr<State> state_;
  WindowHandle focus_ = 0;
  WindowHandle active_ = 0;
  WindowHandle capture_ = 0;
  int quitCode_ = 0;
  int paintCount_ = 0;
};

}  // namespace platform
}  // namespace vwt
