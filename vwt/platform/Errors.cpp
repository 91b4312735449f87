#include "vwt/platform/Errors.h"

#include <string.h>

namespace vwt {
namespace platform {

bool systemErrorText(unsigned int code, std::string* text) {
  if (code > 4095) return false;  // far above every errno value
  const char* desc = strerrordesc_np(static_cast<int>(code));
  if (!desc) return false;
  *text = desc;
  return true;
}

}  // namespace platform
}  // namespace vwt
