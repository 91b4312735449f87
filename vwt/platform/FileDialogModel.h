#pragma once

#include <string>
#include <vector>

namespace vwt {
namespace platform {

// What the file dialogs show and check, without any drawing: the listing of one folder under the
// current filter, the filter list, where a dialog starts, and the check of a path the user typed.
// Paths are UTF-16 and absolute with "/" separators; the file system sees them in the ANSI code page.
class FileDialogModel {
 public:
  enum Purpose { OPEN, SAVE };

  // The longest path a dialog hands back, in UTF-16 units, its terminator included.
  static const int MAX_PATH_UNITS = 2048;

  struct Filter {
    std::u16string description;
    std::vector<std::u16string> patterns;  // "*.gif", "*.jpg"; "*" or "*.*" take every file
  };

  struct Entry {
    std::u16string name;  // ".." for the way up
    bool isFolder = false;
  };

  // Why a typed path cannot be used (or PATH_OK).
  enum PathProblem {
    PATH_OK,
    PATH_EMPTY,
    PATH_CONTROL_CHARACTER,  // NUL or another control character
    PATH_TOO_LONG,           // MAX_PATH_UNITS or more
    PATH_IS_FOLDER,          // a folder where a file is wanted
    PATH_NO_FOLDER,          // save: the folder it would go into does not exist
    PATH_NO_FILE,            // open: no such file
  };

  // Starts in startFolder(initialFolder) with the first filter; `filters` is not empty.
  FileDialogModel(Purpose purpose, const std::u16string& initialFolder, std::vector<Filter> filters);

  Purpose purpose() const { return purpose_; }

  // "Description|pattern|Description|pattern": pairs, the patterns of one pair separated by ";". A
  // trailing empty piece is ignored; anything else malformed (an odd count, an empty pattern) gives
  // the single filter "all files" with the given description.
  static std::vector<Filter> parseFilters(const std::u16string& text, const std::u16string& allFilesText);
  // A shell pattern with "*" and "?", without regard to case.
  static bool matches(const std::u16string& name, const std::u16string& pattern);
  static bool matchesAny(const std::u16string& name, const std::vector<std::u16string>& patterns);

  // Where a dialog asked to start in `requested` starts: "\" or nothing means the user's home
  // folder (the current folder when there is no home); a relative folder is taken from the
  // current one; a folder that does not exist gives way to its nearest existing parent.
  static std::u16string startFolder(const std::u16string& requested);
  // `typed` made absolute against `folder`: "~" and "~/..." are the home folder, "." and ".."
  // are resolved, repeated separators dropped. No file-system access.
  static std::u16string resolve(const std::u16string& folder, const std::u16string& typed);
  // The folder part of an absolute path ("/" for a file at the root).
  static std::u16string parentOf(const std::u16string& path);

  const std::u16string& folder() const { return folder_; }
  const std::vector<Entry>& entries() const { return entries_; }
  const std::vector<Filter>& filters() const { return filters_; }
  int filterIndex() const { return filterIndex_; }
  // Wraps around; lists again.
  void setFilterIndex(int index);

  // Lists `path` (absolute, or relative to the current folder): folders first, then the files the
  // filter takes, each group sorted without regard to case; dot files left out; ".." first
  // unless at "/". False, with the model unchanged, when the folder cannot be read.
  bool enterFolder(const std::u16string& path);
  bool goUp();
  // Lists the current folder again (after a filter change or a file written).
  void reload();

  // Checks the typed path for the dialog's purpose. On PATH_OK `resolved` is the absolute path and
  // `exists` says whether a file is there already (for the overwrite question of a save). A save
  // name with a trailing "." is checked as the file it becomes, without that dot.
  PathProblem checkPath(const std::u16string& typed, std::u16string* resolved, bool* exists) const;

 private:
  Purpose purpose_;
  std::u16string folder_;
  std::vector<Filter> filters_;
  int filterIndex_ = 0;
  std::vector<Entry> entries_;
};

}  // namespace platform
}  // namespace vwt
