#pragma once

#include <string>

namespace vwt {
namespace platform {

// The C library's text for an errno value; false when it knows none.
bool systemErrorText(unsigned int code, std::string* text);

}  // namespace platform
}  // namespace vwt
