#include "vwt/lang/Exception.h"

#include <string>

#include "vwt/lang/Resource.h"
#include "vwt/platform/Errors.h"

String Exception::toString() const {
  String text = Resource::getString(-1900) + message_;
  if (code_ == 0) return text;
  text = (text + u"\r\n") + getErrorMessage(code_);
  if (code_ != UINT64_MAX) text = ((text + u" (CODE=") + code_) + u')';
  return text;
}

int Exception::getSocketErrorMessageId(uint64_t code) {
  static const unsigned SINGLES[] = {10004, 10009, 10013, 10014, 10022, 10024};
  static const unsigned LATE[] = {10091, 10092, 10093, 10101};
  if (code == 0) return -1910;
  for (int i = 0; i < 6; ++i)
    if (code == SINGLES[i]) return -1911 - i;
  if (code >= 10035 && code <= 10071) return -1917 - static_cast<int>(code - 10035);
  for (int i = 0; i < 4; ++i)
    if (code == LATE[i]) return -1954 - i;
  if (code == 11001) return -1958;
  if (code == 11004) return -1959;
  return 0;
}

String Exception::getErrorMessage(uint64_t code) {
  std::string system;
  if (vwt::platform::systemErrorText(static_cast<unsigned int>(code & 0xFFFFFFFFu), &system))
    return String(system.c_str());
  int id = getSocketErrorMessageId(code);
  return id ? Resource::getString(id) : String::null;
}
