#pragma once

#include <string>
#include <vector>

#include "service/ServiceConfig.h"

namespace vesk {

// Parses the service's command line into its configuration.
class CommandLine {
 public:
  // Returns false with a reason in error (or with help set) when the service should not start.
  static bool parse(const std::vector<std::string>& args, ServiceConfig& config, std::string& error,
                    bool& help);
  static std::string usage();
};

}  // namespace vesk
