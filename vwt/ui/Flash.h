#pragma once

#include <cstdint>
#include <functional>

#include "vwt/lang/AutoPtr.h"
#include "vwt/lang/String.h"
#include "vwt/ui/Window.h"

class Graphics;
namespace vwt {
class Font;
}

// A Flash movie of a page at a rectangle of its parent. This platform has no Flash control: a
// stand-in control keeps the movie's parameters and its taps and draws a placeholder (the movie's
// background, a frame and the file name) in the window that stands for the control's own.
class Flash : public Window {
 public:
  // What the control holds: the movie, its parameters (the file's keys) and the taps it took.
  struct Properties {
    String movie;  // the URL it plays
    int alignMode = 0;
    int backgroundColor = 0xFFFFFF;
    String base;
    String bgColor;
    bool deviceFont = false;
    bool embedMovie = false;
    String flashVars;
    int frameNum = 0;
    bool loop = true;
    bool menu = true;
    bool playing = false;
    String quality;
    String quality2;
    String sAlign;
    String scale;
    int scaleMode = 0;
    String sound;
    String swRemote;
    String wMode;
    int singleClicks = 0;
    int doubleClicks = 0;
  };

  // A second tap sooner than this after a single one is a double click.
  static const int DOUBLE_CLICK_MS = 300;
  // The longest wait for the movie to load before it is left to start by itself.
  static const int READY_TIMEOUT_MS = 3000;

  // The host window of class "veskFlash" + moviePath at the rectangle, owned by parent, with the
  // control's window inside it; the movie is started and moviePath + ".param" applied. Throws
  // -3302 when the window cannot be made, -500 when the parameter file cannot be opened, and the
  // stream's or -3304 when it is damaged (then no parameter is applied).
  Flash(const Window* parent, const String& moviePath, int x, int y, int width, int height);
  // Stops the movie, lets go of the control's window and destroys the host window.
  ~Flash() override;

  // The rectangle given when it was made.
  int getX() const { return rectX_; }
  int getY() const { return rectY_; }
  int getWidth() const { return rectWidth_; }
  int getHeight() const { return rectHeight_; }
  const String& getMoviePath() const { return moviePath_; }

  // The control's window, to which input is forwarded while the movie is active; null without it.
  Window* getATLWindow() const { return atlWindow_; }
  // The control's window's context; null without it.
  Graphics* getGraphics();
  // The control's interface: none for the stand-in.
  void* getControl() const { return nullptr; }
  const Properties& getProperties() const { return properties_; }

  // Renders the control's content into its window.
  void draw();
  // A tap at (x, y) of the host window, as a single or double click; outside the rectangle nothing.
  void click(int x, int y);
  int64_t getLastClickTime() const { return lastClickTime_; }
  // Milliseconds since boot for the click timing; tests give their own.
  void setClock(std::function<int64_t()> clock) { clock_ = std::move(clock); }

  // One movie parameter; the key in any case, unknown keys ignored.
  void setParameter(const String& key, const String& value);
  // The hexadecimal number after the first "0x", else after the first "#"; 0xFFFFFF otherwise.
  static int parseColor(const String& s);

  static intptr_t flashProcedure(int handle, uint32_t message, uintptr_t wParam, intptr_t lParam);
  static intptr_t controlProcedure(int handle, uint32_t message, uintptr_t wParam, intptr_t lParam);

 private:
  void readParameter(const String& moviePath);
  void release();

  int rectX_, rectY_, rectWidth_, rectHeight_;
  String moviePath_;
  String className_;
  Window* atlWindow_ = nullptr;  // owned wrapper; the window itself is the control's
  Properties properties_;
  int64_t lastClickTime_ = 0;
  std::function<int64_t()> clock_;
  AutoPtr<vwt::Font> font_;
};
