#pragma once

#include "vwt/lang/Object.h"
#include "vwt/lang/String.h"

class Window;

// The open and save file dialogs: a start folder, a filter list in "description|pattern|..." form
// and the chosen file's name, which a cancelled dialog leaves as it was.
class FileChooser : public Object {
 public:
  enum ChooseState { CANCELLED = 0, APPROVED = 1 };

  // The name field holds this many UTF-16 units, its terminator included.
  static const int NAME_BUFFER_UNITS = 2048;

  // Starts in "\" (the user's home folder) with the filter of message -1300 and no name.
  FileChooser();

  void setInitialDirectory(const String& directory) { initialDirectory_ = directory; }
  void setFileNameFilter(const String& filter) { fileNameFilter_ = filter; }
  void setSelectedFileName(const String& name) { selectedFileName_ = name; }
  const String& getInitialDirectory() const { return initialDirectory_; }
  const String& getFileNameFilter() const { return fileNameFilter_; }
  const String& getSelectedFileName() const { return selectedFileName_; }

  // Modal over owner (may be null). The open dialog takes only an existing file; the save dialog
  // asks before replacing one, and a trailing "." of the chosen name is dropped.
  int showOpenDialog(const Window* owner);
  int showSaveDialog(const Window* owner);

 private:
  int show(const Window* owner, bool save);

  String initialDirectory_;
  String fileNameFilter_;
  String selectedFileName_;
};
