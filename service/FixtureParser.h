#pragma once

#include <string>

#include "service/PageModel.h"

namespace vesk {

// Reads the plain-text fixture format (see service/README.md): one directive per line,
// "keyword key=value ...", values bare or "quoted" with \" \\ \n \t \uXXXX escapes.
// Files named by a fixture are read from the fixture folder and may not leave it.
class FixtureParser {
 public:
  // folder: where file=/src= paths are looked up; name: used in error messages.
  FixtureParser(std::string folder, std::string name);

  // Throws ProtocolError "name:line: reason" on any mistake.
  Page parse(const std::string& text) const;

  static int typeCode(const std::string& word);  // -1 when unknown

 private:
  std::string folder_;
  std::string name_;
};

}  // namespace vesk
