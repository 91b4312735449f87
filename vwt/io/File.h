#pragma once

#include <string>

#include "vwt/lang/String.h"
#include "vwt/lang/VectorV.h"

// A path in the file system, used as given, and the questions and
// directory operations on it. Queries report failure by their result.
class File : public Object {
 public:
  // What list enumerates: a bit set.
  enum FileType { FILES = 1, DIRECTORIES = 2, ALL = 3 };

  static const String separator;
  static const char16_t separatorChar;

  explicit File(const String& path) : path_(path) {}

  const String& getAbsolutePath() const { return path_; }
  bool exists() const { return exists(path_); }
  static bool exists(const String& path);
  // The size in bytes, cut to 31 bits; 0 when the path names nothing.
  int length() const;
  bool isFile() const;
  bool isDirectory() const;
  // True when the path exists already.
  bool mkdir() const;
  // Creates the directory before each separator (the root's excepted), in
  // order from the root; a last name without a trailing separator is not
  // created. False at the first failure and for a path without separators.
  bool mkdirs() const;
  bool renameTo(const File& to) const;
  // Deletes a file or an empty directory.
  bool doDelete() const;
  // The last name; a directory path keeps its trailing separator.
  String getName() const;
  // getName() without its extension (a leading '.' is not one) or trailing
  // separator.
  String getNameNoExt() const;
  // Appends the directory's entries to out: names of files with FILES,
  // names of directories followed by a separator with DIRECTORIES, each
  // after the path with fullPath. Throws -400 when the directory cannot be
  // read.
  void list(FileType type, bool fullPath, VectorV<String>* out) const;
  void list(bool fullPath, VectorV<String>* out) const { list(ALL, fullPath, out); }

  String toString() const override { return path_; }

  // The path as the system's file functions take it (ANSI code page).
  static std::string toNativePath(const String& path);

 private:
  String path_;
};
