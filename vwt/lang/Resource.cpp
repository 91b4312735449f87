#include "vwt/lang/Resource.h"

// Message files arrive with the resource loader; until then no id has text.
const String& Resource::getString(int) { return String::null; }
