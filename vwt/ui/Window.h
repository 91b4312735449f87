#pragma once

#include <cstdint>

#include "vwt/lang/String.h"
#include "vwt/ui/Container.h"
#include "vwt/ui/Point.h"

class Graphics;
class Region;

// A window of the window system with overridable event methods. The handle is 0 until the window
// exists. Input and paint reach the methods from the window's procedure on the UI thread.
class Window : public Container {
 public:
  // The toolkit's key codes.
  enum Key {
    KEY_NONE = -1,
    KEY_0 = 0,
    KEY_9 = 9,
    KEY_ASTERISK = 10,
    KEY_POUND = 11,
    KEY_LEFT = 16,
    KEY_UP = 17,
    KEY_RIGHT = 18,
    KEY_DOWN = 19,
    KEY_SELECT = 20,
    KEY_SOFT1 = 21,
    KEY_SOFT2 = 22,
    KEY_ESCAPE = 24,
    KEY_SHIFT = 63,
    KEY_BACKSPACE = 64,
  };

  Window();
  explicit Window(const String& title);
  // Wraps a window made elsewhere; clear the handle before the wrapper goes, or it is destroyed.
  explicit Window(int handle);
  ~Window() override;

  int getHandle() const { return handle_; }
  void setHandle(int handle) { handle_ = handle; }

  // Client area.
  int getWidth() const;
  int getHeight() const;
  void setSize(int width, int height);
  void setPosition(int x, int y);
  void setPosition(int x, int y, int width, int height);
  void setVisible(bool visible);
  bool isVisible() const;
  void requestFocus();
  void setCapture();
  void releaseCapture();
  // Shapes the window with the region's area, which the window takes; null gives the rectangle back.
  void setWindowRgn(Region* region);
  void setText(const String& text);
  // Line ends as LF.
  String getText() const;
  static String convertLfToCrLf(const String& text);
  static String convertCrLfToLf(const String& text);
  Point getLocationOnScreen() const;
  // The window's own drawing context, kept until dispose(); draws straight onto the screen.
  Graphics* getGraphics();

  // The input method stands in as closed: there is no composition on this platform yet.
  void enableIme(bool on) { imeEnabled_ = on; }
  void setImeMode(int mode) { imeMode_ = mode; }
  int getImeCandidateListCount() const { return 0; }
  int getImeCompositionString() const { return 0; }
  int getLastWMChar() const { return lastWMChar_; }
  void setLastWMChar(int c) { lastWMChar_ = static_cast<unsigned char>(c); }

  // Drops the drawing context and destroys the window; the handle is 0 afterwards.
  virtual void dispose();

  // Makes a child window of the toolkit's plain class in parent (null: a top-level window);
  // registered with the application under its handle. False when it cannot be made.
  bool createWindow(Window* parent, int x, int y, int width, int height, bool visible);

  // A short message to another window: 0 when its onShortMessage answered true, 1 when false, -1
  // when there is no such window (or it did not answer in time).
  int sendShortMessage(const Window* target, const char* data, int length) const;
  int sendShortMessage(const String& className, const char* data, int length) const;

  // A stand-in for the main window of another process holding className: short messages to it
  // travel by the class's instance channel.
  void setRemoteClass(const String& className) { remoteClass_ = className; }
  const String& getRemoteClass() const { return remoteClass_; }

  static int ConvertVKeyToKey(int virtualKey);
  static int ConvertAsciiToKey(int c);
  // Shifted digits of a hardware keyboard: 3 is '#' and 8 is '*' while the main frame holds shift.
  static int translateKey(int key);

  virtual void onPaint(Graphics* g) { (void)g; }
  virtual void onResize(int width, int height) { (void)width, (void)height; }
  virtual void onCreate() {}
  virtual void onActivate(bool active) { (void)active; }
  virtual bool onClose() { return true; }
  virtual void onDestory() {}
  virtual void onKeyPressed(int key) { (void)key; }
  virtual void onKeyReleased(int key) { (void)key; }
  // A typed character (a UTF-16 unit), after the key down that typed it.
  virtual void onCharacter(char16_t c) { (void)c; }
  virtual bool isOverrideBackKey() { return false; }
  virtual void onPointerPressed(int x, int y) { (void)x, (void)y; }
  virtual void onPointerReleased(int x, int y) { (void)x, (void)y; }
  virtual void onPointerDragged(int x, int y) { (void)x, (void)y; }
  virtual void onTimerExpired(int timerId) { (void)timerId; }
  virtual bool onCommand(int id) {
    (void)id;
    return false;
  }
  virtual void onEraseBackground() {}
  virtual bool onPreTranslateMessage(int handle, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    (void)handle, (void)message, (void)wParam, (void)lParam;
    return true;
  }
  // Invalidates the whole client area without erasing; safe from any thread.
  virtual void repaint() const;

  // The procedure of the toolkit's plain window class.
  static intptr_t windowProcedure(int handle, uint32_t message, uintptr_t wParam, intptr_t lParam);

 protected:
  // What the plain procedure does with a message for this window.
  intptr_t handleMessage(uint32_t message, uintptr_t wParam, intptr_t lParam);
  int handle_ = 0;
  String text_;
  Graphics* graphics_ = nullptr;  // owned
  int x_ = 0;
  int y_ = 0;
  unsigned char lastWMChar_ = 0;
  bool modifierHeld_ = false;  // the X01T modifier key
  int previousKey_ = -1;       // the last key down while the modifier counts
  bool imeEnabled_ = false;
  int imeMode_ = 0;
  String remoteClass_;
};
