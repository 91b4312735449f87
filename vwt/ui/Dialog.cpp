#include "vwt/ui/Dialog.h"

#include <string>

#include "vwt/platform/DrawnMessageBox.h"
#include "vwt/ui/Window.h"

using vwt::platform::DrawnMessageBox;

namespace {
std::u16string units(const String& s) {
  return std::u16string(s.getCString(), static_cast<size_t>(s.length()));
}
}  // namespace

Dialog::Dialog(const Window* owner, DialogType type, const String& caption, const String& text)
    : owner_(owner), caption_(caption), text_(text), type_(type) {}

int Dialog::show() {
  int buttons = DrawnMessageBox::BUTTONS_OK, icon = DrawnMessageBox::ICON_QUESTION;
  switch (type_) {
    case TYPE_ERROR:
      icon = DrawnMessageBox::ICON_STOP;
      break;
    case TYPE_WARNING:
      icon = DrawnMessageBox::ICON_WARNING;
      break;
    case TYPE_INFORMATION:
      icon = DrawnMessageBox::ICON_INFORMATION;
      break;
    case TYPE_YES_NO:
      buttons = DrawnMessageBox::BUTTONS_YES_NO;
      break;
    case TYPE_YES_NO_CANCEL:
      buttons = DrawnMessageBox::BUTTONS_YES_NO_CANCEL;
      break;
    default:
      break;
  }
  int result = DrawnMessageBox::show(owner_ ? owner_->getHandle() : 0, units(caption_),
                                     units(Window::convertLfToCrLf(text_)), buttons, icon);
  switch (result) {
    case DrawnMessageBox::RESULT_OK:
      return RESULT_OK;
    case DrawnMessageBox::RESULT_YES:
      return RESULT_YES;
    case DrawnMessageBox::RESULT_NO:
      return RESULT_NO;
    default:
      return RESULT_OTHER;
  }
}
