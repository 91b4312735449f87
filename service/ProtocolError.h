#pragma once

#include <stdexcept>
#include <string>

namespace vesk {

// Raised for any malformed input that arrives from the network or from a fixture file.
// Handlers turn it into a clean error answer.
class ProtocolError : public std::runtime_error {
 public:
  explicit ProtocolError(const std::string& what) : std::runtime_error(what) {}
};

}  // namespace vesk
