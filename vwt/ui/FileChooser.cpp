#include "vwt/ui/FileChooser.h"

#include <string>

#include "vwt/lang/Resource.h"
#include "vwt/platform/DrawnFileDialog.h"
#include "vwt/platform/WindowSystem.h"
#include "vwt/ui/Window.h"

using vwt::platform::DrawnFileDialog;
using vwt::platform::FileDialogModel;

namespace {

std::u16string units(const String& s) { return std::u16string(s.getCString(), s.length()); }
String text(const std::u16string& s) { return String(s.data(), 0, static_cast<int>(s.size())); }

std::u16string message(int id) { return units(Resource::getString(id)); }

// Message ids of the notices, in the order of DrawnFileDialog::Notice.
const int NOTICE_MESSAGES[] = {-3104, -3105, -3106, -3107, -3108, -3109, -3110};

}  // namespace

FileChooser::FileChooser() : initialDirectory_(u"\\"_s), fileNameFilter_(Resource::getString(-1300)) {}

int FileChooser::showOpenDialog(const Window* owner) { return show(owner, false); }

int FileChooser::showSaveDialog(const Window* owner) { return show(owner, true); }

int FileChooser::show(const Window* owner, bool save) {
  DrawnFileDialog::Request request;
  request.purpose = save ? FileDialogModel::SAVE : FileDialogModel::OPEN;
  request.initialFolder = units(initialDirectory_);
  request.filter = units(fileNameFilter_);
  // The name field starts with as much of the name as its buffer holds.
  request.name = units(selectedFileName_).substr(0, NAME_BUFFER_UNITS - 1);

  DrawnFileDialog::Texts texts;
  texts.title = message(save ? -3101 : -3100);
  texts.ok = message(-3000);
  texts.cancel = message(-3003);
  texts.allFiles = message(-3111);
  texts.notice = [](DrawnFileDialog::Notice notice, const std::u16string& path) {
    return units(Resource::getString(NOTICE_MESSAGES[notice], text(path)));
  };

  std::u16string chosen;
  if (DrawnFileDialog::show(owner ? owner->getHandle() : 0, request, texts, &chosen) != APPROVED)
    return CANCELLED;
  // A name the buffer cannot hold is a failed dialog, which counts as cancelled.
  if (chosen.empty() || chosen.size() >= static_cast<size_t>(NAME_BUFFER_UNITS)) return CANCELLED;
  if (save && chosen.back() == u'.') chosen.pop_back();
  selectedFileName_ = text(chosen);
  return APPROVED;
}
