#pragma once

#include <string>

#include "vwt/platform/WindowSystem.h"

namespace vwt {
namespace platform {

// The soft-key bar along the bottom of the screen: two labelled buttons whose taps send their
// commands to the main window, as its soft keys do. It never takes the focus or activation.
class SoftKeyBar {
 public:
  // Makes the bar's window, hidden; commands go to target as WM_COMMAND.
  SoftKeyBar(WindowHandle target, int height, int firstCommand, int secondCommand);
  ~SoftKeyBar();
  SoftKeyBar(const SoftKeyBar&) = delete;
  SoftKeyBar& operator=(const SoftKeyBar&) = delete;

  // 0 when the window could not be made.
  WindowHandle getHandle() const { return handle_; }
  int getHeight() const { return height_; }
  // Button 0 (left) or 1 (right); repaints when the label changes.
  void setLabel(int button, const std::u16string& label);
  const std::u16string& getLabel(int button) const { return labels_[button == 0 ? 0 : 1]; }
  int getCommand(int button) const { return commands_[button == 0 ? 0 : 1]; }
  // Shown screen-wide along the bottom of the screen, or hidden (full screen).
  void place(bool visible);

 private:
  static intptr_t procedure(WindowHandle window, uint32_t kind, uintptr_t wParam, intptr_t lParam);
  intptr_t handle(uint32_t kind, uintptr_t wParam, intptr_t lParam);
  void paint();
  int buttonAt(int x, int y) const;

  WindowHandle target_;
  WindowHandle handle_ = 0;
  int height_;
  int commands_[2];
  std::u16string labels_[2];
  int pressed_ = -1;  // the button under the stylus
};

}  // namespace platform
}  // namespace vwt
