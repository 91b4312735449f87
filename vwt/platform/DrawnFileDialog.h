#pragma once

#include <functional>
#include <string>

#include "vwt/platform/FileDialogModel.h"
#include "vwt/platform/WindowSystem.h"

namespace vwt {
namespace platform {

// The open and save file dialogs, drawn over the whole screen inside the program's window and run
// modally: a caption, the current folder, the list of its folders and matching files, the filter,
// the name field and OK and Cancel.
//
// Keys in the list: up and down choose, select enters a folder or takes a file, back goes up a
// folder, left and right change the filter, the soft keys are OK and Cancel, escape cancels, and a
// typed character goes on in the name field. Enter in the name field is OK. The stylus: a tap
// chooses a row, a second tap on it (or a double tap) opens it; a tap on the filter changes it.
//
// OK checks the name against the folder first: a folder is entered; a name that cannot be used
// gets a message box and the dialog stays; a save over an existing file asks first.
class DrawnFileDialog {
 public:
  // What a message box tells the user.
  enum Notice {
    NOTICE_EMPTY_NAME,
    NOTICE_CONTROL_CHARACTER,
    NOTICE_TOO_LONG,
    NOTICE_NO_FOLDER,          // the path's folder does not exist
    NOTICE_NO_FILE,            // the file to open does not exist
    NOTICE_UNREADABLE_FOLDER,  // a folder that cannot be listed
    NOTICE_REPLACE_QUESTION,   // a save over an existing file (yes/no)
  };

  // The words of the dialog, in the user's language.
  struct Texts {
    std::u16string title;  // "Open" or "Save as"; also the caption of its message boxes
    std::u16string ok;
    std::u16string cancel;
    std::u16string allFiles;  // the filter a malformed filter string falls back to
    std::function<std::u16string(Notice notice, const std::u16string& path)> notice;
  };

  struct Request {
    FileDialogModel::Purpose purpose = FileDialogModel::OPEN;
    std::u16string initialFolder;
    std::u16string filter;  // "description|patterns|..."
    std::u16string name;    // the name field's first text
  };

  // Runs the dialog over owner (0: none) on the UI thread. 1 with the chosen absolute path in
  // *chosen, or 0 when cancelled (*chosen untouched). A script's answer ends it at once: 1 with its
  // text as the path, as given.
  static int show(WindowHandle owner, const Request& request, const Texts& texts, std::u16string* chosen);

  // The class of the dialog's window.
  static const char16_t* const CLASS_NAME;
};

}  // namespace platform
}  // namespace vwt
