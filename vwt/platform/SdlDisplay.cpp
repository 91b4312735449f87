#include "vwt/platform/SdlDisplay.h"

#include <SDL.h>

#include <algorithm>
#include <string>

#include "vwt/platform/Display.h"
#include "vwt/platform/Text.h"
#include "vwt/platform/VirtualKeys.h"

namespace vwt {
namespace platform {

namespace {

// The desktop keys that stand for the handset's. Every other key reaches the program only as the
// text it types.
struct KeyMapping {
  SDL_Keycode key;
  int virtualKey;
};
const KeyMapping KEYS[] = {
    {SDLK_0, '0'},
    {SDLK_1, '1'},
    {SDLK_2, '2'},
    {SDLK_3, '3'},
    {SDLK_4, '4'},
    {SDLK_5, '5'},
    {SDLK_6, '6'},
    {SDLK_7, '7'},
    {SDLK_8, '8'},
    {SDLK_9, '9'},
    {SDLK_KP_0, '0'},
    {SDLK_KP_1, '1'},
    {SDLK_KP_2, '2'},
    {SDLK_KP_3, '3'},
    {SDLK_KP_4, '4'},
    {SDLK_KP_5, '5'},
    {SDLK_KP_6, '6'},
    {SDLK_KP_7, '7'},
    {SDLK_KP_8, '8'},
    {SDLK_KP_9, '9'},
    {SDLK_ASTERISK, VK_ASTERISK},
    {SDLK_KP_MULTIPLY, VK_ASTERISK},
    {SDLK_HASH, VK_POUND},
    {SDLK_LEFT, VK_LEFT},
    {SDLK_UP, VK_UP},
    {SDLK_RIGHT, VK_RIGHT},
    {SDLK_DOWN, VK_DOWN},
    {SDLK_RETURN, VK_SELECT},
    {SDLK_KP_ENTER, VK_SELECT},
    {SDLK_F1, VK_SOFT1},
    {SDLK_F2, VK_SOFT2},
    {SDLK_ESCAPE, VK_ESCAPE},
    {SDLK_BACKSPACE, VK_BACK},
    {SDLK_DELETE, VK_DELETE},
    {SDLK_LSHIFT, VK_SHIFT},
    {SDLK_RSHIFT, VK_SHIFT},
};

int virtualKeyOf(SDL_Keycode key) {
  for (const KeyMapping& k : KEYS) {
    if (k.key == key) return k.virtualKey;
  }
  return 0;
}

// The keys whose key-down the window system turns into a character itself.
bool typesCharacter(int virtualKey) {
  return (virtualKey >= VK_0 && virtualKey <= VK_9) || virtualKey == VK_ASTERISK || virtualKey == VK_POUND;
}

class SdlDisplay : public Display {
 public:
  SdlDisplay(int width, int height, int scale) : width_(width), height_(height), scale_(scale) {}
  ~SdlDisplay() override;
  bool open(std::string* error);

  void present(const PixelTarget& screen, const PixelRect& dirty) override;
  void waitEvents(int timeoutMs, InputSink& sink) override;
  void wake() override;
  void size(int* width, int* height) const override {
    *width = width_;
    *height = height_;
  }
  void setTitle(const String& title) override;
  void setIcon(const PixelTarget& icon) override;
  void raise() override;
  bool isHeadless() const override { return false; }
  bool setClipboardText(const std::u16string& text) override;
  bool getClipboardText(std::u16string* text) override;

  bool readWindow(std::vector<uint32_t>* pixels, int* width, int* height);
  int scale() const { return scale_; }

 private:
  // One short function per kind of desktop event.
  void onKey(const SDL_KeyboardEvent& e, InputSink& sink);
  void onText(const SDL_TextInputEvent& e, InputSink& sink);
  void onButton(const SDL_MouseButtonEvent& e, InputSink& sink);
  void onMotion(const SDL_MouseMotionEvent& e, InputSink& sink);
  void onWheel(const SDL_MouseWheelEvent& e, InputSink& sink);
  void onWindow(const SDL_WindowEvent& e, InputSink& sink);
  void handle(const SDL_Event& e, InputSink& sink);

  // Desktop pixels to handset pixels, kept on the screen as a stylus would be.
  int toScreenX(int x) const { return std::min(std::max(x / scale_, 0), width_ - 1); }
  int toScreenY(int y) const { return std::min(std::max(y / scale_, 0), height_ - 1); }
  bool ensureTexture(int width, int height);
  void render();

  int width_;
  int height_;
  int scale_;
  SDL_Window* window_ = nullptr;
  SDL_Renderer* renderer_ = nullptr;
  SDL_Texture* texture_ = nullptr;
  int textureWidth_ = 0;
  int textureHeight_ = 0;
  uint32_t wakeEvent_ = 0;
  bool videoStarted_ = false;
  bool stylusDown_ = false;
  // The text event that follows a key-down the window system already types is dropped.
  bool dropNextText_ = false;
};

bool SdlDisplay::open(std::string* error) {
  // Ctrl-C ends the program as it ends any other; the close button is ours to report.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
  SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
  SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
  if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
    *error = SDL_GetError();
    return false;
  }
  videoStarted_ = true;
  wakeEvent_ = SDL_RegisterEvents(1);
  if (wakeEvent_ == static_cast<uint32_t>(-1)) {
    *error = "no SDL user event left";
    return false;
  }
  // A scale the desktop cannot show whole comes down until it fits.
  scale_ = std::min(std::max(scale_, 1), 16);
  SDL_DisplayMode mode;
  if (SDL_GetDesktopDisplayMode(0, &mode) == 0) {
    while (scale_ > 1 && (width_ * scale_ > mode.w || height_ * scale_ > mode.h)) --scale_;
  }
  window_ = SDL_CreateWindow("", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width_ * scale_,
                             height_ * scale_, SDL_WINDOW_RESIZABLE);
  if (window_ == nullptr) {
    *error = SDL_GetError();
    return false;
  }
  SDL_SetWindowMinimumSize(window_, scale_, scale_);
  renderer_ = SDL_CreateRenderer(window_, -1, 0);
  if (renderer_ == nullptr) {
    *error = SDL_GetError();
    return false;
  }
  if (!ensureTexture(width_, height_)) {
    *error = SDL_GetError();
    return false;
  }
  SDL_StartTextInput();
  return true;
}

SdlDisplay::~SdlDisplay() {
  if (texture_ != nullptr) SDL_DestroyTexture(texture_);
  if (renderer_ != nullptr) SDL_DestroyRenderer(renderer_);
  if (window_ != nullptr) SDL_DestroyWindow(window_);
  if (videoStarted_) SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
}

bool SdlDisplay::ensureTexture(int width, int height) {
  if (texture_ != nullptr && width == textureWidth_ && height == textureHeight_) return true;
  if (texture_ != nullptr) SDL_DestroyTexture(texture_);
  // The screen's words are 0xAARRGGBB in native order, which is what ARGB8888 means to SDL.
  texture_ =
      SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING, width, height);
  if (texture_ == nullptr) return false;
  SDL_SetTextureBlendMode(texture_, SDL_BLENDMODE_NONE);
  textureWidth_ = width;
  textureHeight_ = height;
  return true;
}

void SdlDisplay::render() {
  SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
  SDL_RenderClear(renderer_);
  SDL_Rect target = {0, 0, textureWidth_ * scale_, textureHeight_ * scale_};
  SDL_RenderCopy(renderer_, texture_, nullptr, &target);
}

void SdlDisplay::present(const PixelTarget& screen, const PixelRect& dirty) {
  if (screen.pixels == nullptr || screen.width <= 0 || screen.height <= 0) return;
  bool fresh = texture_ == nullptr || screen.width != textureWidth_ || screen.height != textureHeight_;
  if (!ensureTexture(screen.width, screen.height)) return;
  // A new texture holds nothing yet: all of it is dirty.
  PixelRect r = fresh ? PixelRect{0, 0, screen.width, screen.height} : dirty;
  r.x0 = std::max(r.x0, 0);
  r.y0 = std::max(r.y0, 0);
  r.x1 = std::min(r.x1, screen.width);
  r.y1 = std::min(r.y1, screen.height);
  if (r.x0 < r.x1 && r.y0 < r.y1) {
    SDL_Rect area = {r.x0, r.y0, r.x1 - r.x0, r.y1 - r.y0};
    SDL_UpdateTexture(texture_, &area, screen.pixels + static_cast<size_t>(r.y0) * screen.stride + r.x0,
                      screen.stride * 4);
  }
  render();
  SDL_RenderPresent(renderer_);
}

void SdlDisplay::waitEvents(int timeoutMs, InputSink& sink) {
  SDL_Event e;
  int got = timeoutMs < 0 ? SDL_WaitEvent(&e) : SDL_WaitEventTimeout(&e, timeoutMs);
  if (got == 0) return;
  handle(e, sink);
  // Whatever else has come, without waiting; bounded, so a flood of motion cannot starve the loop.
  for (int i = 0; i < 256 && SDL_PollEvent(&e) != 0; ++i) handle(e, sink);
}

void SdlDisplay::wake() {
  SDL_Event e;
  SDL_zero(e);
  e.type = wakeEvent_;
  SDL_PushEvent(&e);
}

void SdlDisplay::handle(const SDL_Event& e, InputSink& sink) {
  switch (e.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP:
      onKey(e.key, sink);
      break;
    case SDL_TEXTINPUT:
      onText(e.text, sink);
      break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
      onButton(e.button, sink);
      break;
    case SDL_MOUSEMOTION:
      onMotion(e.motion, sink);
      break;
    case SDL_MOUSEWHEEL:
      onWheel(e.wheel, sink);
      break;
    case SDL_WINDOWEVENT:
      onWindow(e.window, sink);
      break;
    case SDL_QUIT:
      sink.closeRequested();
      break;
    default:
      break;  // the wake-up event, and what the handset has no use for
  }
}

void SdlDisplay::onKey(const SDL_KeyboardEvent& e, InputSink& sink) {
  int vk = virtualKeyOf(e.keysym.sym);
  if (vk == 0) return;
  if (e.type == SDL_KEYUP) {
    sink.keyUp(vk);
    return;
  }
  dropNextText_ = typesCharacter(vk);
  sink.keyDown(vk, e.repeat != 0);
}

void SdlDisplay::onText(const SDL_TextInputEvent& e, InputSink& sink) {
  if (dropNextText_) {
    dropNextText_ = false;
    return;
  }
  for (char16_t c : utf16FromUtf8(e.text)) sink.character(c);
}

void SdlDisplay::onButton(const SDL_MouseButtonEvent& e, InputSink& sink) {
  if (e.button != SDL_BUTTON_LEFT) return;
  if (e.type == SDL_MOUSEBUTTONDOWN) {
    stylusDown_ = true;
    sink.pointerDown(toScreenX(e.x), toScreenY(e.y));
  } else if (stylusDown_) {
    stylusDown_ = false;
    sink.pointerUp(toScreenX(e.x), toScreenY(e.y));
  }
}

void SdlDisplay::onMotion(const SDL_MouseMotionEvent& e, InputSink& sink) {
  // A stylus moves only while it touches the screen.
  if (stylusDown_ && (e.state & SDL_BUTTON_LMASK) != 0) sink.pointerMove(toScreenX(e.x), toScreenY(e.y));
}

void SdlDisplay::onWheel(const SDL_MouseWheelEvent& e, InputSink& sink) {
  int steps = e.direction == SDL_MOUSEWHEEL_FLIPPED ? -e.y : e.y;
  if (steps != 0) sink.wheel(steps);
}

void SdlDisplay::onWindow(const SDL_WindowEvent& e, InputSink& sink) {
  switch (e.event) {
    case SDL_WINDOWEVENT_SIZE_CHANGED: {
      int width = std::max(e.data1 / scale_, 1);
      int height = std::max(e.data2 / scale_, 1);
      if (width == width_ && height == height_) return;
      width_ = width;
      height_ = height;
      sink.resized(width, height);
      break;
    }
    case SDL_WINDOWEVENT_EXPOSED:
      render();
      SDL_RenderPresent(renderer_);
      break;
    case SDL_WINDOWEVENT_CLOSE:
      sink.closeRequested();
      break;
    default:
      break;
  }
}

void SdlDisplay::setTitle(const String& title) {
  SDL_SetWindowTitle(window_, utf8FromUtf16(title.getCString(), static_cast<size_t>(title.length())).c_str());
}

void SdlDisplay::setIcon(const PixelTarget& icon) {
  if (icon.pixels == nullptr || icon.width <= 0 || icon.height <= 0) return;
  SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(icon.pixels, icon.width, icon.height, 32,
                                                            icon.stride * 4, SDL_PIXELFORMAT_ARGB8888);
  if (surface == nullptr) return;
  SDL_SetWindowIcon(window_, surface);
  SDL_FreeSurface(surface);
}

void SdlDisplay::raise() {
  if ((SDL_GetWindowFlags(window_) & SDL_WINDOW_MINIMIZED) != 0) SDL_RestoreWindow(window_);
  SDL_RaiseWindow(window_);
}

bool SdlDisplay::setClipboardText(const std::u16string& text) {
  return SDL_SetClipboardText(utf8FromUtf16(text.data(), text.size()).c_str()) == 0;
}

bool SdlDisplay::getClipboardText(std::u16string* text) {
  // SDL answers an empty text, never null, when the desktop holds none.
  char* utf8 = SDL_GetClipboardText();
  if (utf8 == nullptr) return false;
  *text = utf16FromUtf8(utf8);
  SDL_free(utf8);
  return true;
}

bool SdlDisplay::readWindow(std::vector<uint32_t>* pixels, int* width, int* height) {
  render();
  int w = textureWidth_ * scale_;
  int h = textureHeight_ * scale_;
  pixels->assign(static_cast<size_t>(w) * h, 0);
  if (SDL_RenderReadPixels(renderer_, nullptr, SDL_PIXELFORMAT_ARGB8888, pixels->data(), w * 4) != 0) {
    return false;
  }
  *width = w;
  *height = h;
  return true;
}

}  // namespace

std::unique_ptr<Display> createSdlDisplay(int width, int height, int scale, std::string* error) {
  std::string ignored;
  if (error == nullptr) error = &ignored;
  if (width <= 0 || height <= 0) {
    *error = "the screen has no pixels";
    return nullptr;
  }
  std::unique_ptr<SdlDisplay> display(new SdlDisplay(width, height, scale));
  if (!display->open(error)) return nullptr;
  return display;
}

bool readSdlWindow(Display& display, std::vector<uint32_t>* pixels, int* width, int* height) {
  SdlDisplay* sdl = dynamic_cast<SdlDisplay*>(&display);
  return sdl != nullptr && sdl->readWindow(pixels, width, height);
}

int sdlDisplayScale(const Display& display) {
  const SdlDisplay* sdl = dynamic_cast<const SdlDisplay*>(&display);
  return sdl != nullptr ? sdl->scale() : 0;
}

}  // namespace platform
}  // namespace vwt
