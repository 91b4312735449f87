#include "browser/menu/MenuOrder.h"

#include "vwt/lang/Resource.h"
#include "vwt/lang/StringBuffer.h"

const char16_t MenuOrder::DEFAULT_ORDER[] = u"GYgWMyjAK ";

namespace {

const int LETTER_NAMES = 10254;
// The entries of the letters text are keyed on the letter's code plus this, as the cookie lookup of
// command addresses reads them.
const int MARKER_OFFSET = 44;
const int LETTER_COUNT = 9;

bool isCommandLetter(char16_t c) {
  for (int i = 0; i < LETTER_COUNT; ++i)
    if (MenuOrder::DEFAULT_ORDER[i] == c) return true;
  return false;
}

}  // namespace

MenuOrder::MenuOrder(const String& stored) {
  StringBuffer kept;
  for (int i = 0; i < stored.length(); ++i) {
    const char16_t c = stored.charAt(i);
    if (isCommandLetter(c) && kept.toString().indexOf(c) < 0) kept.append(c);
  }
  if (kept.length() == 0) {
    letters_ = String(DEFAULT_ORDER, false);
    return;
  }
  for (int i = 0; i < LETTER_COUNT; ++i)
    if (kept.toString().indexOf(DEFAULT_ORDER[i]) < 0) kept.append(DEFAULT_ORDER[i]);
  kept.append(u' ');
  letters_ = kept.toString();
}

void MenuOrder::use(char16_t letter) {
  const int at = letters_.indexOf(letter);
  if (at <= 0 || !isCommandLetter(letter)) return;
  letters_ = String(letter) + letters_.substring(0, at) + letters_.substring(at + 1);
}

String MenuOrder::nameOf(char16_t letter) { return nameIn(Resource::getString(LETTER_NAMES), letter); }

String MenuOrder::nameIn(const String& text, char16_t letter) {
  const char16_t marker = static_cast<char16_t>(letter + MARKER_OFFSET);
  // An entry starts the text or follows a comma.
  for (int at = text.indexOf(marker); at >= 0; at = text.indexOf(marker, at + 1)) {
    if (at > 0 && text.charAt(at - 1) != u',') continue;
    const int colon = text.indexOf(u':', at + 1);
    const int comma = text.indexOf(u',', at + 1);
    const int end = colon >= 0 && (comma < 0 || colon < comma) ? colon : comma;
    return (end < 0 ? text.substring(at + 1) : text.substring(at + 1, end)).trim();
  }
  return String();
}
