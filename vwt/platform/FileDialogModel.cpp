#include "vwt/platform/FileDialogModel.h"

#include <algorithm>
#include <utility>

#include "vwt/platform/Files.h"
#include "vwt/platform/Text.h"
#include "vwt/platform/UserDirectories.h"

namespace vwt {
namespace platform {

namespace {

std::string toNative(const std::u16string& path) {
  std::string out(path.size() * static_cast<size_t>(maxBytesPerUnit(CodePage::Ansi)) + 1, '\0');
  int n = encodeCodePage(CodePage::Ansi, path.data(), path.size(), &out[0], out.size());
  out.resize(n > 0 ? static_cast<size_t>(n) : 0);
  return out;
}

std::u16string fromNative(const std::string& path) {
  std::u16string out;
  if (!decodeCodePage(CodePage::Ansi, path.data(), path.size(), out)) out.clear();
  return out;
}

bool isFolder(const std::u16string& path) {
  bool folder = false;
  return fileAttributes(toNative(path), &folder, nullptr) && folder;
}

bool exists(const std::u16string& path, bool* folder) {
  return fileAttributes(toNative(path), folder, nullptr);
}

std::u16string homeFolder() { return fromNative(userHomeDirectory()); }

bool sameIgnoringCase(char16_t a, char16_t b) { return a == b || compareIgnoreCase(&a, &b, 1) == 0; }

bool lessByName(const FileDialogModel::Entry& a, const FileDialogModel::Entry& b) {
  int c = compareIgnoreCase(a.name.c_str(), b.name.c_str());
  return c != 0 ? c < 0 : a.name < b.name;
}

std::u16string trimmed(const std::u16string& s) {
  size_t from = s.find_first_not_of(u' ');
  if (from == std::u16string::npos) return std::u16string();
  size_t to = s.find_last_not_of(u' ');
  return s.substr(from, to - from + 1);
}

std::vector<std::u16string> split(const std::u16string& s, char16_t separator) {
  std::vector<std::u16string> pieces;
  size_t from = 0;
  for (;;) {
    size_t at = s.find(separator, from);
    pieces.push_back(s.substr(from, at == std::u16string::npos ? std::u16string::npos : at - from));
    if (at == std::u16string::npos) return pieces;
    from = at + 1;
  }
}

}  // namespace

FileDialogModel::FileDialogModel(Purpose purpose, const std::u16string& initialFolder,
                                 std::vector<Filter> filters)
    : purpose_(purpose), filters_(std::move(filters)) {
  if (filters_.empty()) filters_.push_back(Filter{u"*", {u"*"}});
  if (!enterFolder(startFolder(initialFolder))) {
    // Even an unreadable start leaves a folder to show and to climb out of.
    folder_ = startFolder(initialFolder);
    if (folder_ != u"/") entries_.push_back(Entry{u"..", true});
  }
}

std::vector<FileDialogModel::Filter> FileDialogModel::parseFilters(const std::u16string& text,
                                                                   const std::u16string& allFilesText) {
  std::vector<std::u16string> pieces = split(text, u'|');
  if (!pieces.empty() && pieces.back().empty()) pieces.pop_back();
  std::vector<Filter> filters;
  bool wellFormed = !pieces.empty() && pieces.size() % 2 == 0;
  for (size_t i = 0; wellFormed && i < pieces.size(); i += 2) {
    Filter f;
    f.description = trimmed(pieces[i]);
    for (const std::u16string& p : split(pieces[i + 1], u';')) {
      std::u16string pattern = trimmed(p);
      if (!pattern.empty()) f.patterns.push_back(pattern);
    }
    if (f.patterns.empty()) wellFormed = false;
    if (f.description.empty()) f.description = trimmed(pieces[i + 1]);
    filters.push_back(f);
  }
  if (!wellFormed) filters.assign(1, Filter{allFilesText, {u"*"}});
  return filters;
}

bool FileDialogModel::matches(const std::u16string& name, const std::u16string& pattern) {
  // "*.*" is every file on the handset, names without a dot included.
  if (pattern == u"*" || pattern == u"*.*") return true;
  size_t n = 0, p = 0;
  size_t starP = std::u16string::npos, starN = 0;
  while (n < name.size()) {
    if (p < pattern.size() && pattern[p] == u'*') {
      starP = p++;
      starN = n;
    } else if (p < pattern.size() && (pattern[p] == u'?' || sameIgnoringCase(pattern[p], name[n]))) {
      ++p;
      ++n;
    } else if (starP != std::u16string::npos) {
      p = starP + 1;
      n = ++starN;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == u'*') ++p;
  return p == pattern.size();
}

bool FileDialogModel::matchesAny(const std::u16string& name, const std::vector<std::u16string>& patterns) {
  for (const std::u16string& p : patterns)
    if (matches(name, p)) return true;
  return false;
}

std::u16string FileDialogModel::startFolder(const std::u16string& requested) {
  if (requested.empty() || requested == u"\\") {
    std::u16string home = homeFolder();
    if (isFolder(home)) return resolve(u"/", home);
    std::u16string current = fromNative(currentDirectory());
    return current.empty() ? u"/" : resolve(u"/", current);
  }
  std::u16string current = fromNative(currentDirectory());
  std::u16string folder = resolve(current.empty() ? u"/" : current, requested);
  while (folder != u"/" && !isFolder(folder)) folder = parentOf(folder);
  return folder;
}

std::u16string FileDialogModel::resolve(const std::u16string& folder, const std::u16string& typed) {
  std::u16string whole;
  if (typed == u"~" || typed.compare(0, 2, u"~/") == 0)
    whole = homeFolder() + u"/" + typed.substr(1);
  else if (!typed.empty() && typed[0] == u'/')
    whole = typed;
  else
    whole = folder + u"/" + typed;
  std::vector<std::u16string> parts;
  for (const std::u16string& part : split(whole, u'/')) {
    if (part.empty() || part == u".") continue;
    if (part == u"..") {
      if (!parts.empty()) parts.pop_back();
      continue;
    }
    parts.push_back(part);
  }
  std::u16string out;
  for (const std::u16string& part : parts) out += u"/" + part;
  return out.empty() ? u"/" : out;
}

std::u16string FileDialogModel::parentOf(const std::u16string& path) {
  size_t at = path.find_last_of(u'/');
  if (at == std::u16string::npos || at == 0) return u"/";
  return path.substr(0, at);
}

void FileDialogModel::setFilterIndex(int index) {
  int count = static_cast<int>(filters_.size());
  filterIndex_ = ((index % count) + count) % count;
  reload();
}

bool FileDialogModel::enterFolder(const std::u16string& path) {
  std::u16string folder = resolve(folder_.empty() ? u"/" : folder_, path);
  std::vector<DirectoryEntry> listed;
  if (listDirectory(toNative(folder), &listed) != 0) return false;
  std::vector<Entry> folders, files;
  const std::vector<std::u16string>& patterns = filters_[filterIndex_].patterns;
  for (const DirectoryEntry& e : listed) {
    if (e.name.empty() || e.name[0] == '.') continue;
    Entry entry{fromNative(e.name), e.isDirectory};
    if (entry.isFolder)
      folders.push_back(entry);
    else if (matchesAny(entry.name, patterns))
      files.push_back(entry);
  }
  std::sort(folders.begin(), folders.end(), lessByName);
  std::sort(files.begin(), files.end(), lessByName);
  entries_.clear();
  if (folder != u"/") entries_.push_back(Entry{u"..", true});
  entries_.insert(entries_.end(), folders.begin(), folders.end());
  entries_.insert(entries_.end(), files.begin(), files.end());
  folder_ = folder;
  return true;
}

bool FileDialogModel::goUp() { return folder_ != u"/" && enterFolder(parentOf(folder_)); }

void FileDialogModel::reload() { enterFolder(folder_); }

FileDialogModel::PathProblem FileDialogModel::checkPath(const std::u16string& typed, std::u16string* resolved,
                                                        bool* exists) const {
  if (trimmed(typed).empty()) return PATH_EMPTY;
  for (char16_t c : typed)
    if (c < 0x20 || c == 0x7F) return PATH_CONTROL_CHARACTER;
  if (typed.size() >= static_cast<size_t>(MAX_PATH_UNITS)) return PATH_TOO_LONG;
  std::u16string path = resolve(folder_, typed);
  if (path.size() >= static_cast<size_t>(MAX_PATH_UNITS)) return PATH_TOO_LONG;
  bool folder = false;
  bool found = vwt::platform::exists(path, &folder);
  if (found && folder) return PATH_IS_FOLDER;
  // "name/" asks for a folder that is not there.
  if (typed.back() == u'/') return purpose_ == SAVE ? PATH_NO_FOLDER : PATH_NO_FILE;
  std::u16string target = path;
  if (purpose_ == SAVE) {
    if (target.back() == u'.') target.pop_back();
    found = vwt::platform::exists(target, &folder);
    if (found && folder) return PATH_IS_FOLDER;
    if (!isFolder(parentOf(target))) return PATH_NO_FOLDER;
  } else if (!found) {
    return PATH_NO_FILE;
  }
  if (resolved) *resolved = path;
  if (exists) *exists = found;
  return PATH_OK;
}

}  // namespace platform
}  // namespace vwt
