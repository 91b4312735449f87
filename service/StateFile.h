#pragma once

#include <string>

namespace vesk {

// Whole-file reads and atomic whole-file writes for the state directory.
class StateFile {
 public:
  static bool read(const std::string& path, std::string& out);
  // Writes through a temporary file and a rename; returns false on failure.
  static bool write(const std::string& path, const std::string& data);
  static std::string toHex(const std::string& bytes);
  static bool fromHex(const std::string& hex, std::string& out);
};

}  // namespace vesk
