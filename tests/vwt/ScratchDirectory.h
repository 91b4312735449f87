#pragma once
// A temporary folder for one test, removed with everything in it at the end;
// it can stand in for the program directory and the user's XDG folders.

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "vwt/lang/Resource.h"
#include "vwt/lang/System.h"
#include "vwt/platform/Paths.h"

class ScratchDirectory {
 public:
  ScratchDirectory() {
    char pattern[] = "/tmp/vwt-test-XXXXXX";
    path_ = mkdtemp(pattern);
  }
  ~ScratchDirectory() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  ScratchDirectory(const ScratchDirectory&) = delete;
  ScratchDirectory& operator=(const ScratchDirectory&) = delete;

  // Without a trailing separator.
  const std::string& path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }

  // Writes a file below the folder, creating its folders.
  void write(const std::string& name, const std::string& bytes) const {
    std::filesystem::path p(path_ + "/" + name);
    std::filesystem::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary) << bytes;
  }
  std::string read(const std::string& name) const {
    std::ifstream in(path_ + "/" + name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  bool exists(const std::string& name) const { return std::filesystem::exists(path_ + "/" + name); }

 private:
  std::string path_;
};

// Points the program directory and the XDG folders into a scratch folder
// for the life of the object, and reloads texts and properties from there.
class ScratchProgram {
 public:
  ScratchProgram() {
    vwt::platform::setProgramDirectory(dir.path() + "/program");
    std::filesystem::create_directories(dir.path() + "/program/res");
    setenv("XDG_CONFIG_HOME", (dir.path() + "/config").c_str(), 1);
    setenv("XDG_DATA_HOME", (dir.path() + "/data").c_str(), 1);
    Resource::unload();
    System::unloadProperties();
  }
  ~ScratchProgram() {
    Resource::unload();
    System::unloadProperties();
    vwt::platform::setProgramDirectory(std::string());
    unsetenv("XDG_CONFIG_HOME");
    unsetenv("XDG_DATA_HOME");
  }
  // A file of the program directory.
  void write(const std::string& name, const std::string& bytes) const { dir.write("program/" + name, bytes); }
  std::string programDirectory() const { return dir.path() + "/program/"; }

  ScratchDirectory dir;
};
