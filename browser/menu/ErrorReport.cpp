#include "browser/menu/ErrorReport.h"

String ErrorReport::text(const String& context, const String&, const String&, const String&, const String&) {
  return context;
}
