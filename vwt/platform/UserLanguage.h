#pragma once

#include <string>

namespace vwt {
namespace platform {

// The user's language as the locale names it ("de_DE", "sr_RS@latin"): the
// first of LC_ALL, LC_MESSAGES and LANG that is set, without its code set.
// Empty for the C and POSIX locales and when none is set.
std::string userLocaleName();

}  // namespace platform
}  // namespace vwt
