#pragma once

#include <string>

namespace vwt {
namespace platform {

// The text clipboard the edit controls cut, copy and paste through: the desktop's while the desktop
// back end runs, else one inside the process. UI thread.
class Clipboard {
 public:
  static void setText(const std::u16string& text);
  // Empty when nothing has been copied.
  static std::u16string getText();
  static bool hasText() { return !getText().empty(); }
  // Forgets the text of the process's own clipboard (tests).
  static void clear();
};

}  // namespace platform
}  // namespace vwt
