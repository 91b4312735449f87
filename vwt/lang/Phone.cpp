#include "vwt/lang/Phone.h"

#include <string>

#include "vwt/crypto/MessageDigest.h"
#include "vwt/lang/StringBuffer.h"
#include "vwt/platform/MachineIdentity.h"

namespace {
// Mixed into the machine's identity so that the identifier is this
// application's own.
const char APPLICATION_TAG[] = "veskBrowserQKDevId";
static_assert(sizeof APPLICATION_TAG == 19, "the tag has 18 characters");

const char16_t ALPHABET[] = u"ABCDEFGHIJKLMNOPQRSTUVWXYZ!#$%*'()?-^~|@+:[{]}_\\<>,.0123456789`/";
static_assert(sizeof ALPHABET / sizeof ALPHABET[0] == 65, "64 characters");
}  // namespace

String Phone::encodeDeviceId(const unsigned char id[20]) {
  StringBuffer out;
  // Groups of three bytes from the end; the first group has two.
  for (int start = -1; start < 20; start += 3) {
    unsigned int v = 0;
    for (int i = start; i < start + 3; ++i) v = (v << 8) | (i >= 0 ? id[i] : 0);
    for (int shift = 18; shift >= 0; shift -= 6) out.append(ALPHABET[(v >> shift) & 63]);
  }
  return out.toString();
}

String Phone::getProperty(int property, int n) {
  if (property == 0) {
    std::string machine;
    if (!vwt::platform::machineIdentity(&machine)) return String(u"WM_", false);
    std::string message = machine + APPLICATION_TAG;
    // A copy of its own: the shared instance must not digest on two threads.
    MessageDigest sha1(*MessageDigest::getInstance(u"SHA-1"_s));
    char digest[20];
    sha1.digest(message.data(), 0, static_cast<int64_t>(message.size()), digest);
    return String(u"WM_", false) + encodeDeviceId(reinterpret_cast<const unsigned char*>(digest));
  }
  if (property == 1) {
    String unit(n);
    StringBuffer out;
    while (out.length() < 15) out.append(unit);
    out.setLength(15);
    return out.toString();
  }
  return String::null;
}
